// The harness's commands.
#pragma once

#include <string>

#include "Job.h"
#include "Report.h"

namespace tqso {

struct Options {
  std::string enginePath;  // empty: $TQSO_ENGINE, else the installed or the built library
  bool json = false;
  bool https = false;   // demo over HTTPS
  bool keep = false;    // demo leaves the simulator running
  std::string logFile;  // the engine's log; empty: none
};

// Each returns the process exit code: 0 when every device of every step succeeded.
int RunJobFile(const std::string& path, const Options& options);
// extra: texts the JSON document carries beside the steps (with --json).
int RunJob(const Job& job, const Options& options, const ReportFields& extra = {});
int RunDemo(const Options& options);
int ListDevices(const std::string& jobPath, const Options& options);

}  // namespace tqso
