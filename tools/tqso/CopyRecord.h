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

}  // namespace tqso
