// Printing what the calls of a job left on the devices: a table per step, or one JSON document.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "JobRun.h"

namespace tqso {

void PrintStep(std::ostream& out, const StepOutcome& step);
std::string JsonReport(const std::vector<StepOutcome>& steps, bool ok);

}  // namespace tqso
