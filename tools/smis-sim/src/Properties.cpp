#include "Properties.h"

using namespace Pegasus;

namespace smissim {

void setProperty(CIMInstance& instance, const char* name, const CIMValue& value) {
  Uint32 index = instance.findProperty(CIMName(name));
  if (index != PEG_NOT_FOUND) {
    instance.getProperty(index).setValue(value);
    return;
  }
  instance.addProperty(CIMProperty(CIMName(name), value));
}

CIMValue propertyValue(const CIMInstance& instance, const char* name) {
  Uint32 index = instance.findProperty(CIMName(name));
  return index == PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
}

namespace {
template <class T>
T readProperty(const CIMInstance& instance, const char* name, CIMType type, T fallback) {
  CIMValue value = propertyValue(instance, name);
  if (value.isNull() || value.isArray() || value.getType() != type) return fallback;
  T result = fallback;
  value.get(result);
  return result;
}
}  // namespace

std::string stringProperty(const CIMInstance& instance, const char* name, const std::string& fallback) {
  return readProperty<String>(instance, name, CIMTYPE_STRING, String(fallback)).str();
}

Uint64 uint64Property(const CIMInstance& instance, const char* name, Uint64 fallback) {
  return readProperty<Uint64>(instance, name, CIMTYPE_UINT64, fallback);
}

Uint16 uint16Property(const CIMInstance& instance, const char* name, Uint16 fallback) {
  return readProperty<Uint16>(instance, name, CIMTYPE_UINT16, fallback);
}

bool booleanProperty(const CIMInstance& instance, const char* name, bool fallback) {
  return readProperty<Boolean>(instance, name, CIMTYPE_BOOLEAN, fallback);
}

CIMObjectPath pathFromKeys(const CIMInstance& instance, std::initializer_list<const char*> keyNames) {
  Array<CIMKeyBinding> keys;
  for (const char* keyName : keyNames) {
    CIMValue value = propertyValue(instance, keyName);
    keys.append(CIMKeyBinding(CIMName(keyName), value));
  }
  return CIMObjectPath(String(), CIMNamespaceName(), instance.getClassName(), keys);
}

CIMObjectPath qualified(const CIMObjectPath& path, const std::string& host, const std::string& nameSpace) {
  CIMObjectPath result = path;
  result.setHost(String(host));
  result.setNameSpace(CIMNamespaceName(String(nameSpace)));
  return result;
}

}  // namespace smissim
