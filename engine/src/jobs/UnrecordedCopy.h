// A copy the array holds that the device's record does not name: its record could not be stored, or a
// failed creation left it and it could not be removed. The device's error names it, so that the agent can
// remove it.
#pragma once

#include <string>

#include "SnapInfo.h"
#include "Tq3PARSnapshot.h"

namespace tqengine {

// Sets error 62010 on the device with a text that carries the copy's id (its path when the id is not known)
// and why it is left, replacing an earlier error: the id must reach the agent. Logged on the device too.
void ReportUnrecordedCopy(TQSO::SnapInfo* device, const char* tag, const std::string& copyId,
                          const std::string& copyPath, const char* why);

// The same for the copy a snapshot object still names after a failed create or delete; else error 62010 with
// the object's note of what a failed create may have left unsettled; nothing when there is neither (the
// create made nothing, or its copy was removed).
void ReportCopyStillNamed(TQSO::SnapInfo* device, const char* tag, Tq3PARSnapshot& snapshot, const char* why);

}  // namespace tqengine
