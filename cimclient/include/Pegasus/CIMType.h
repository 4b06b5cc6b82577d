// The CIM data types with their fixed numbering (traces print the numbers).
#pragma once
#include "Pegasus/Config.h"

namespace Pegasus {

enum CIMType {
  CIMTYPE_BOOLEAN = 0,
  CIMTYPE_UINT8 = 1,
  CIMTYPE_SINT8 = 2,
  CIMTYPE_UINT16 = 3,
  CIMTYPE_SINT16 = 4,
  CIMTYPE_UINT32 = 5,
  CIMTYPE_SINT32 = 6,
  CIMTYPE_UINT64 = 7,
  CIMTYPE_SINT64 = 8,
  CIMTYPE_REAL32 = 9,
  CIMTYPE_REAL64 = 10,
  CIMTYPE_CHAR16 = 11,
  CIMTYPE_STRING = 12,
  CIMTYPE_DATETIME = 13,
  CIMTYPE_REFERENCE = 14,
  CIMTYPE_OBJECT = 15,
  CIMTYPE_INSTANCE = 16
};

// The lower-case type name used in TYPE and PARAMTYPE attributes: "boolean", "uint8", ..., "reference".
const char* cimTypeToString(CIMType type);

// The type named by `name` (exact lower-case spelling); false when the name is unknown.
Boolean cimTypeFromString(const char* name, CIMType& type);

}  // namespace Pegasus
