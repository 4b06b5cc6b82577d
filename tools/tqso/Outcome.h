// What one call left on one device, read from the device's record once the call has returned.
#pragma once

#include <cstddef>
#include <string>

#include "JobRun.h"
#include "SnapInfo.h"

namespace tqso {

const int kErrorMessage = 2;  // the level of a job message that reports an error

// call: the job file's name of the call; firstMessage: the number of job messages the record held before
// the call (the call's own follow).
DeviceOutcome ReadOutcome(TQSO::SnapInfo& record, const std::string& call, size_t firstMessage);

// The text without the blanks, tabs and line ends it ends with.
std::string TrimmedEnd(const std::string& text);

}  // namespace tqso
