// tqso run: a job file's calls, one step after the other, each printed as it ends.
#include <iostream>
#include <vector>

#include "Commands.h"
#include "EngineLibrary.h"
#include "EvDebug.h"
#include "JobRun.h"
#include "Report.h"

namespace tqso {

namespace {

const int kSilent = -2;

void SetUpLog(const Options& options) {
  if (options.logFile.empty()) {
    EvDebug::setDebugLevel(kSilent);
    return;
  }
  EvDebug::setOutputFile(options.logFile);
}

}  // namespace

int RunJob(const Job& job, const Options& options, const ReportFields& extra) {
  SetUpLog(options);
  EngineLibrary engine;
  std::string error;
  if (!engine.Load(options.enginePath, error)) {
    std::cerr << "tqso: " << error << "\n";
    return 2;
  }
  if (!options.json) std::cout << "engine " << engine.File() << "\n";
  JobRun run(job, engine, !options.logFile.empty());
  if (!run.Setup(error)) {
    std::cerr << "tqso: " << error << "\n";
    return 2;
  }
  std::vector<StepOutcome> steps;
  bool ok = true;
  for (const std::string& call : job.calls) {
    steps.push_back(run.Step(call));
    ok = ok && steps.back().result == 0;
    if (!options.json) PrintStep(std::cout, steps.back());
  }
  if (options.json) std::cout << JsonReport(steps, ok, extra) << "\n";
  if (!options.json) std::cout << (ok ? "every device of every step succeeded\n" : "some step failed\n");
  return ok ? 0 : 1;
}

int RunJobFile(const std::string& path, const Options& options) {
  Job job;
  std::string error;
  if (!ReadJobFile(path, job, error)) {
    std::cerr << "tqso: " << path << ": " << error << "\n";
    return 2;
  }
  return RunJob(job, options);
}

}  // namespace tqso
