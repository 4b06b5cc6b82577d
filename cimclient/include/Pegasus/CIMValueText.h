// Typed values from their text, for callers that hold a value as text (a command line, a configuration).
#pragma once
#include <string>
#include <vector>
#include "Pegasus/CIMValue.h"

namespace Pegasus {

// A value of `type` (not object or instance) from the texts of its elements, read as a CIM-XML VALUE is:
// booleans in any case, integers range-checked, reals in decimal or exponent form, a single char16
// character, datetimes, strings as given and references as object paths. With `isArray` false `elements`
// holds exactly one text and the value is a scalar; otherwise the value is an array of all of them.
// Throws Exception "\"<text>\" is not a valid <type>" for the first text that is not a value of the type;
// an object path that does not parse throws as CIMObjectPath(const String&) does.
CIMValue cimValueFromText(CIMType type, Boolean isArray, const std::vector<std::string>& elements);

}  // namespace Pegasus
