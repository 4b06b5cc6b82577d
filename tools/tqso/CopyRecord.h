// The fields of the engine's record of a device's copy (metadata id 1, fields joined by '*') that tqso
// reports: the source's array, the copy, and the child snapshot the copy is presented through.
#pragma once

#include <string>

namespace tqso {

struct CopyFields {
  std::string array;
  std::string copy;      // the copy's volume id; empty until the copy exists
  std::string copyPath;  // its object path; empty until the copy exists
  std::string child;     // empty when the copy is presented through none
};

// Empty fields for an empty or shorter record.
CopyFields CopyFieldsOf(const std::string& record);

// Whether the text has the shape of an engine record: twelve fields, or the ten of older records.
bool IsCopyRecord(const std::string& text);

// What a record for a copy known only by its id needs: the source's array and volume id (LUN WWN), the copy's
// volume id, and whether the copy is a clone.
struct KnownCopy {
  std::string array;
  std::string source;
  std::string copy;
  bool clone = false;
};

// The engine's record of that copy: no object paths (the engine finds the copy by its id) and no child.
std::string RecordOfCopy(const KnownCopy& known);

}  // namespace tqso
