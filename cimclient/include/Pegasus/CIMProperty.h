// CIMProperty: a named value of an instance, with its reference class, class origin and propagation flag.
#pragma once
#include "Pegasus/CIMValue.h"

namespace Pegasus {

class CIMProperty {
 public:
  CIMProperty() = default;
  CIMProperty(const CIMName& name, const CIMValue& value, Uint32 arraySize = 0,
              const CIMName& referenceClassName = CIMName(), const CIMName& classOrigin = CIMName(),
              Boolean propagated = false);

  const CIMName& getName() const { return name_; }
  void setName(const CIMName& name) { name_ = name; }
  const CIMValue& getValue() const { return value_; }
  void setValue(const CIMValue& value) { value_ = value; }
  CIMType getType() const { return value_.getType(); }
  Boolean isArray() const { return value_.isArray(); }
  // The declared array size (0 = variable length).
  Uint32 getArraySize() const { return arraySize_; }
  const CIMName& getReferenceClassName() const { return referenceClassName_; }
  const CIMName& getClassOrigin() const { return classOrigin_; }
  void setClassOrigin(const CIMName& classOrigin) { classOrigin_ = classOrigin; }
  Boolean getPropagated() const { return propagated_; }
  void setPropagated(Boolean propagated) { propagated_ = propagated; }

  friend Boolean operator==(const CIMProperty& a, const CIMProperty& b);
  friend Boolean operator!=(const CIMProperty& a, const CIMProperty& b) { return !(a == b); }

 private:
  CIMName name_;
  CIMValue value_;
  Uint32 arraySize_ = 0;
  CIMName referenceClassName_;
  CIMName classOrigin_;
  Boolean propagated_ = false;
};

}  // namespace Pegasus
