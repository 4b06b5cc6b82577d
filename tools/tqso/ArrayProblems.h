// The problem lines of a step: each array that refused the login or could not be reached, and why.
#pragma once

#include <string>
#include <vector>

#include "Job.h"
#include "SnapInfo.h"

namespace tqso {

// One line per array, named once however many of its devices met the problem.
std::vector<std::string> ArrayProblems(const std::vector<ArraySpec>& arrays,
                                       const std::vector<TQSO::SnapInfo*>& records);

}  // namespace tqso
