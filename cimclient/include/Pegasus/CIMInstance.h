// CIMInstance: a class name, an object path and properties in the order they were added.
#pragma once
#include <vector>
#include "Pegasus/CIMProperty.h"

namespace Pegasus {

class CIMObject;

class CIMInstance {
 public:
  // The empty instance: empty class name, empty path, no properties.
  CIMInstance() = default;
  explicit CIMInstance(const CIMName& className) : className_(className) {}
  explicit CIMInstance(const CIMObject& object);

  const CIMName& getClassName() const { return className_; }
  void setClassName(const CIMName& className) { className_ = className; }
  const CIMObjectPath& getPath() const { return path_; }
  void setPath(const CIMObjectPath& path) { path_ = path; }

  Uint32 getPropertyCount() const { return static_cast<Uint32>(properties_.size()); }
  // Throws IndexOutOfBoundsException for an index >= getPropertyCount().
  CIMProperty& getProperty(Uint32 index);
  const CIMProperty& getProperty(Uint32 index) const;
  // Index of the property with that name (ignoring case), or PEG_NOT_FOUND.
  Uint32 findProperty(const CIMName& name) const;
  // Throws AlreadyExistsException when a property of that name is already there.
  CIMInstance& addProperty(const CIMProperty& property);
  void removeProperty(Uint32 index);

  // The key bindings built from this instance's properties named in `keyNames`, in that order.
  // A missing or null key property is skipped.
  Array<CIMKeyBinding> buildKeyBindings(const Array<CIMName>& keyNames) const;

  friend Boolean operator==(const CIMInstance& a, const CIMInstance& b);
  friend Boolean operator!=(const CIMInstance& a, const CIMInstance& b) { return !(a == b); }

 private:
  friend class CimXmlElementReader;  // moves decoded parts in

  CIMName className_;
  CIMObjectPath path_;
  std::vector<CIMProperty> properties_;
};

}  // namespace Pegasus
