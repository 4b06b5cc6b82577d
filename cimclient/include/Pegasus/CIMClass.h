// Class descriptions: a class with its methods and their parameters (plain value types).
#pragma once
#include <vector>
#include "Pegasus/CIMName.h"
#include "Pegasus/CIMType.h"

namespace Pegasus {

class CIMParameter {
 public:
  CIMParameter() = default;
  CIMParameter(const CIMName& name, CIMType type, Boolean isArray = false, Uint32 arraySize = 0,
               const CIMName& referenceClassName = CIMName())
      : name_(name), type_(type), isArray_(isArray), arraySize_(arraySize), referenceClassName_(referenceClassName) {}

  const CIMName& getName() const { return name_; }
  CIMType getType() const { return type_; }
  Boolean isArray() const { return isArray_; }
  Uint32 getArraySize() const { return arraySize_; }
  const CIMName& getReferenceClassName() const { return referenceClassName_; }

 private:
  CIMName name_;
  CIMType type_ = CIMTYPE_STRING;
  Boolean isArray_ = false;
  Uint32 arraySize_ = 0;
  CIMName referenceClassName_;
};

class CIMMethod {
 public:
  CIMMethod() = default;
  CIMMethod(const CIMName& name, CIMType type) : name_(name), type_(type) {}

  const CIMName& getName() const { return name_; }
  CIMType getType() const { return type_; }
  CIMMethod& addParameter(const CIMParameter& parameter);
  Uint32 getParameterCount() const { return static_cast<Uint32>(parameters_.size()); }
  // Throws IndexOutOfBoundsException past the end.
  const CIMParameter& getParameter(Uint32 index) const;
  Uint32 findParameter(const CIMName& name) const;

 private:
  CIMName name_;
  CIMType type_ = CIMTYPE_UINT32;
  std::vector<CIMParameter> parameters_;
};

typedef CIMMethod CIMConstMethod;

class CIMClass {
 public:
  CIMClass() = default;
  explicit CIMClass(const CIMName& className, const CIMName& superClassName = CIMName())
      : className_(className), superClassName_(superClassName) {}

  const CIMName& getClassName() const { return className_; }
  const CIMName& getSuperClassName() const { return superClassName_; }
  CIMClass& addMethod(const CIMMethod& method);
  Uint32 getMethodCount() const { return static_cast<Uint32>(methods_.size()); }
  // Throws IndexOutOfBoundsException past the end.
  const CIMMethod& getMethod(Uint32 index) const;
  Uint32 findMethod(const CIMName& name) const;

 private:
  CIMName className_;
  CIMName superClassName_;
  std::vector<CIMMethod> methods_;
};

}  // namespace Pegasus
