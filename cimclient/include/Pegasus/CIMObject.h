// CIMObject: an instance as returned by References/Associators, path included.
#pragma once
#include "Pegasus/CIMInstance.h"

namespace Pegasus {

class CIMObject {
 public:
  CIMObject() = default;
  CIMObject(const CIMInstance& instance) : instance_(instance) {}

  const CIMName& getClassName() const { return instance_.getClassName(); }
  const CIMObjectPath& getPath() const { return instance_.getPath(); }
  void setPath(const CIMObjectPath& path) { instance_.setPath(path); }
  Uint32 getPropertyCount() const { return instance_.getPropertyCount(); }
  CIMProperty& getProperty(Uint32 index) { return instance_.getProperty(index); }
  const CIMProperty& getProperty(Uint32 index) const { return instance_.getProperty(index); }
  Uint32 findProperty(const CIMName& name) const { return instance_.findProperty(name); }
  CIMObject& addProperty(const CIMProperty& property) {
    instance_.addProperty(property);
    return *this;
  }
  Boolean isInstance() const { return true; }

  const CIMInstance& asInstance() const { return instance_; }

 private:
  CIMInstance instance_;
};

}  // namespace Pegasus
