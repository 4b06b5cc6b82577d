// In-parameters of cimcli's method call, written as text:
//   name=value            a string
//   name:type=value       a typed scalar (boolean, uint8 ... sint64, real32, real64, char16, datetime, string)
//   name:type[]=v1,v2     an array of that type (empty after '=' for an empty array)
//   name:reference=path   a reference (name:reference[]=p1;p2 for an array, paths separated by ';')
//   name:type             a NULL of that type
#pragma once
#include <string>
#include "Pegasus/CIMParamValue.h"

namespace cimcli {

// Throws UsageError for a text that does not follow these forms or a value outside its type.
Pegasus::CIMParamValue parseParam(const std::string& text);

}  // namespace cimcli
