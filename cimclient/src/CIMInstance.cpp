// CIMInstance, CIMProperty and CIMPropertyList members.
#include "Pegasus/CIMInstance.h"
#include "NamedItems.h"
#include "Pegasus/CIMObject.h"
#include "Pegasus/CIMPropertyList.h"

namespace Pegasus {

CIMProperty::CIMProperty(const CIMName& name, const CIMValue& value, Uint32 arraySize,
                         const CIMName& referenceClassName, const CIMName& classOrigin, Boolean propagated)
    : name_(name),
      value_(value),
      arraySize_(arraySize),
      referenceClassName_(referenceClassName),
      classOrigin_(classOrigin),
      propagated_(propagated) {}

Boolean operator==(const CIMProperty& a, const CIMProperty& b) {
  return a.name_ == b.name_ && a.value_ == b.value_ && a.arraySize_ == b.arraySize_ &&
         a.referenceClassName_ == b.referenceClassName_ && a.classOrigin_ == b.classOrigin_ &&
         a.propagated_ == b.propagated_;
}

CIMInstance::CIMInstance(const CIMObject& object) : CIMInstance(object.asInstance()) {}

CIMProperty& CIMInstance::getProperty(Uint32 index) { return itemAt(properties_, index); }

const CIMProperty& CIMInstance::getProperty(Uint32 index) const { return itemAt(properties_, index); }

Uint32 CIMInstance::findProperty(const CIMName& name) const { return indexByName(properties_, name); }

CIMInstance& CIMInstance::addProperty(const CIMProperty& property) {
  if (findProperty(property.getName()) != PEG_NOT_FOUND)
    throw AlreadyExistsException("property " + property.getName().getString());
  properties_.push_back(property);
  return *this;
}

void CIMInstance::removeProperty(Uint32 index) {
  if (index >= properties_.size()) throw IndexOutOfBoundsException();
  properties_.erase(properties_.begin() + index);
}

Array<CIMKeyBinding> CIMInstance::buildKeyBindings(const Array<CIMName>& keyNames) const {
  Array<CIMKeyBinding> keys;
  for (const CIMName& name : keyNames) {
    const Uint32 index = findProperty(name);
    if (index == PEG_NOT_FOUND || properties_[index].getValue().isNull()) continue;
    keys.append(CIMKeyBinding(properties_[index].getName(), properties_[index].getValue()));
  }
  return keys;
}

Boolean operator==(const CIMInstance& a, const CIMInstance& b) {
  return a.className_ == b.className_ && a.path_ == b.path_ && a.properties_ == b.properties_;
}

Boolean CIMPropertyList::includes(const CIMName& name) const {
  if (isNull_) return true;
  for (const CIMName& listed : names_)
    if (listed == name) return true;
  return false;
}

}  // namespace Pegasus
