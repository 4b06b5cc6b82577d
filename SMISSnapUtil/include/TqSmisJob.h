// Follows a CIM job (an SMI-S method that answered 4096, job started) to its end: picks the job out of the
// method's output parameters and polls it until it is final or the try budget is spent.
#pragma once

#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "TqCimUtil.h"

class TqCimConnection;

// One row of the job-state table.
struct TqJobStateInfo_t {
  int state;
  const char* text;
};

const int kTqJobStateRows = 10;
// 2 New ... 7 Completed, 8 Terminated, 9 Killed, 10 Exception, 11 Service.
extern const TqJobStateInfo_t jobStateInfo[kTqJobStateRows];

class TqSmisJob : public virtual TqCimUtil {
 public:
  static const int kJobCompleted = 7;

  TqSmisJob() = default;

  // The job's path from the first reference-typed output parameter named exactly "Job" that holds a value;
  // empty when none.
  Pegasus::CIMObjectPath GetJobHandle(Pegasus::Array<Pegasus::CIMParamValue>& outParams);
  // The job instance (state, status, percent); an empty instance when the job no longer exists. Other
  // faults are traced and thrown on.
  Pegasus::CIMInstance GetJobInstance(Pegasus::CIMObjectPath& job, TqCimConnection& conn);
  // The state's text, or "<n>: Unknown state".
  std::string GetjobStateString(int state);
  // True for the final states 7 to 10.
  bool IsJobDone(int state);
  bool IsJobDone(Pegasus::CIMInstance instance);
  // True when the job is final or gone.
  bool IsJobDone(Pegasus::CIMObjectPath job, TqCimConnection& conn);
  // Traces the job's progress (and a failed job's details); its state, 7 when the job is gone.
  int PrintJobSummary(Pegasus::CIMObjectPath& job, TqCimConnection& conn, int& percent);
  // Waits the milliseconds, rounded up to whole seconds; zero or negative waits nothing.
  static void GotoSleep(int milliseconds);
  // Polls up to maxTries times, sleepSecs apart. The final state when the job ends within the budget;
  // 7 for a job that is gone or still running when the tries run out, unless the last state read is
  // 8, 9 or 10, which is returned as it is.
  int WatchJob(Pegasus::CIMObjectPath& job, TqCimConnection& conn, int maxTries, int sleepSecs);
};
