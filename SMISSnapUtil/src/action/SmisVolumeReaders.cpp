// Readers shared by the volume-creation steps: the argument check, instance properties and numbers of
// firmware texts.
#include <cctype>
#include <limits>

#include "Pegasus/CIMValue.h"
#include "SmisNumberText.h"
#include "SmisVolumeParams.h"

using namespace Pegasus;

namespace smisvolume {

const char* const kParamsLabel = "SMIS::CreateStorageVolParams";

bool HasCreateVolArgs(SmisAction& action, const char* label, const SmisArgs& args, std::size_t required,
                      const char* need) {
  if (args.size() >= required) return true;
  action.DEBUG_TRACE(label, "createvol: insufficient args specified\n");
  action.DEBUG_TRACE(label, "need: %s\n", need);
  return false;
}

namespace {

bool ValueOf(const CIMInstance& instance, const char* name, CIMValue& value) {
  Uint32 index = instance.findProperty(CIMName(name));
  if (index == PEG_NOT_FOUND) return false;
  value = instance.getProperty(index).getValue();
  return !value.isNull() && !value.isArray();
}

}  // namespace

bool ReadUint64(const CIMInstance& instance, const char* name, Uint64& value) {
  CIMValue v;
  if (!ValueOf(instance, name, v)) return false;
  switch (v.getType()) {
    case CIMTYPE_UINT64:
      v.get(value);
      return true;
    case CIMTYPE_UINT32: {
      Uint32 n;
      v.get(n);
      value = n;
      return true;
    }
    case CIMTYPE_UINT16: {
      Uint16 n;
      v.get(n);
      value = n;
      return true;
    }
    case CIMTYPE_UINT8: {
      Uint8 n;
      v.get(n);
      value = n;
      return true;
    }
    default:
      return false;
  }
}

bool ReadBoolean(const CIMInstance& instance, const char* name, bool& value) {
  CIMValue v;
  if (!ValueOf(instance, name, v) || v.getType() != CIMTYPE_BOOLEAN) return false;
  Boolean b;
  v.get(b);
  value = b;
  return true;
}

bool ReadString(const CIMInstance& instance, const char* name, std::string& value) {
  CIMValue v;
  if (!ValueOf(instance, name, v)) return false;
  value = v.toString().str();
  return true;
}

}  // namespace smisvolume

template <>
unsigned short str2num<unsigned short>(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  unsigned long value = 0;
  const unsigned long top = std::numeric_limits<unsigned short>::max();
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + static_cast<unsigned long>(text[at] - '0');
    if (value > top) return static_cast<unsigned short>(top);
  }
  return static_cast<unsigned short>(value);
}
