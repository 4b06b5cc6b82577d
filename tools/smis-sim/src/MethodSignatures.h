// The extrinsic methods the provider offers, with their parameters: used to type parameters that arrive
// without PARAMTYPE and to describe classes to clients that ask for them.
#pragma once
#include <string>
#include <vector>

#include "Pegasus/CIMType.h"

namespace smissim {

struct ParameterSignature {
  const char* name;
  Pegasus::CIMType type;
  bool isArray;
  bool in;
  bool out;
  const char* referenceClass;  // references only
  bool required = false;       // a call without it is refused as an invalid request
};

struct MethodSignature {
  const char* className;  // the TPD_ class that offers the method (a CIM_ class: every family's)
  const char* name;
  std::vector<ParameterSignature> parameters;
};

const std::vector<MethodSignature>& methodSignatures();
// The method offered by `className` or one of its superclasses/subclasses of that name (ignoring case).
const MethodSignature* findMethod(const std::string& className, const std::string& methodName);
// The parameter of that name (ignoring case), nullptr when the method has none.
const ParameterSignature* findParameter(const MethodSignature& method, const std::string& name);

}  // namespace smissim
