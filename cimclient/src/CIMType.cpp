// CIM type names.
#include "Pegasus/CIMType.h"

#include <cstring>

namespace Pegasus {

namespace {
const char* const typeNames[] = {"boolean", "uint8",    "sint8",     "uint16", "sint16",  "uint32",
                                 "sint32",  "uint64",   "sint64",    "real32", "real64",  "char16",
                                 "string",  "datetime", "reference", "object", "instance"};
const int typeCount = sizeof(typeNames) / sizeof(typeNames[0]);
}  // namespace

const char* cimTypeToString(CIMType type) {
  const int index = static_cast<int>(type);
  return (index >= 0 && index < typeCount) ? typeNames[index] : "unknown";
}

Boolean cimTypeFromString(const char* name, CIMType& type) {
  if (!name) return false;
  for (int i = 0; i < typeCount; ++i) {
    if (std::strcmp(name, typeNames[i]) == 0) {
      type = static_cast<CIMType>(i);
      return true;
    }
  }
  return false;
}

}  // namespace Pegasus
