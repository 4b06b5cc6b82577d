// Printing what the calls of a job left on the devices: a table per step, or one JSON document.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "JobRun.h"

namespace tqso {

// Texts added to the JSON document beside "ok" and "steps", by name.
typedef std::map<std::string, std::string> ReportFields;

void PrintStep(std::ostream& out, const StepOutcome& step);
// The document without a line end after it.
std::string JsonReport(const std::vector<StepOutcome>& steps, bool ok, const ReportFields& extra = {});

}  // namespace tqso
