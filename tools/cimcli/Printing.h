// The readable text form in which cimcli prints what the server answered.
#pragma once
#include <ostream>
#include "Pegasus/Array.h"
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "Pegasus/CIMValue.h"

namespace cimcli {

// NULL, "quoted strings" (and char16, datetime; '"' and '\\' escaped with a backslash, control characters as
// \n, \r, \t or \xHH), plain numbers and booleans, references as bare path text,
// arrays as {a, b}.
std::string valueText(const Pegasus::CIMValue& value);

// One path per line.
void printPaths(std::ostream& out, const Pegasus::Array<Pegasus::CIMObjectPath>& paths);

// The path (or the class name when the instance has no path), then "    Name (type) = value" lines.
void printInstance(std::ostream& out, const Pegasus::CIMInstance& instance);

// "ReturnValue (type) = value", then one line per out-parameter.
void printMethodResult(std::ostream& out, const Pegasus::CIMValue& returnValue,
                       const Pegasus::Array<Pegasus::CIMParamValue>& outParameters);

}  // namespace cimcli
