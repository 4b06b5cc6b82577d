// CIMParamValue: a named method parameter; a typed one carries its type on the wire.
#pragma once
#include "Pegasus/CIMValue.h"

namespace Pegasus {

class CIMParamValue {
 public:
  CIMParamValue() = default;
  CIMParamValue(const String& name, const CIMValue& value, Boolean isTyped = true)
      : name_(name), value_(value), isTyped_(isTyped) {}

  String getParameterName() const { return name_; }
  void setParameterName(const String& name) { name_ = name; }
  CIMValue getValue() const { return value_; }
  void setValue(const CIMValue& value) { value_ = value; }
  Boolean isTyped() const { return isTyped_; }
  void setIsTyped(Boolean isTyped) { isTyped_ = isTyped; }

 private:
  String name_;
  CIMValue value_;
  Boolean isTyped_ = true;
};

}  // namespace Pegasus
