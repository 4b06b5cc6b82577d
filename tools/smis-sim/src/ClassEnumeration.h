// EnumerateClassNames and EnumerateClasses over the provider's class table, so that a general CIM client's
// first look at the namespace works.
#pragma once

#include <string>

#include "Pegasus/CimXml.h"

namespace smissim {

// True for the two operations this file answers.
bool isClassEnumeration(const Pegasus::String& method);

// The complete response document: the classes directly below ClassName (the root classes when it is
// absent), or every class below it with DeepInheritance. Throws CIMException(CIM_ERR_INVALID_CLASS) for an
// unknown class and CIM_ERR_INVALID_PARAMETER for a parameter of the wrong form.
std::string classEnumerationResponse(const Pegasus::CimXml::Request& request);

}  // namespace smissim
