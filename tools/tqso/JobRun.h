// Running a job: the host records and services filled from the job, the engine's calls made in order, and
// what each call left on each device.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ArrayRegistry.h"
#include "EngineLibrary.h"
#include "Job.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TqDeviceTree.h"
#include "TqHostPlatform.h"

namespace tqso {

struct DeviceOutcome {
  std::string device;  // host device path
  int status = 0;
  int errorCode = 0;
  std::string errorText;
  std::string metadata;    // the engine's record (metadata id 1)
  std::string copyDevice;  // the host path of the copy, once found
  // Why the step failed, for a failed device only: its last error messages of the step (at most three, in
  // order), else its last message of the step.
  std::vector<std::string> reasons;
  std::string note;  // what the engine did instead, when it had nothing to do ("nothing to delete: ...")
};

struct StepOutcome {
  std::string call;
  int result = 1;
  double seconds = 0;
  std::vector<DeviceOutcome> devices;
  std::vector<std::string> problems;  // arrays that refused the login or could not be reached
};

class JobRun {
 public:
  // traceToLog: every job message of every device also goes to the engine's log (the SMI-S trace with it).
  JobRun(const Job& job, EngineLibrary& engine, bool traceToLog = false)
      : job_(job), engine_(engine), traceToLog_(traceToLog) {}
  // The host, the arrays and the device records; false with the reason.
  bool Setup(std::string& error);
  StepOutcome Step(const std::string& call);
  std::shared_ptr<TQSO::TqHostPlatform> platform() const { return platform_; }

 private:
  bool ResolveDevicePath(const DeviceSpec& spec, std::string& path, std::string& error);

  const Job& job_;
  EngineLibrary& engine_;
  const bool traceToLog_;
  std::shared_ptr<TQSO::TqHostPlatform> platform_;
  std::unique_ptr<TqDeviceSourceScope> scope_;
  std::shared_ptr<TQSO::ArrayRegistry> registry_;
  std::unique_ptr<TQSO::TQOSUtil> services_;
  std::vector<std::unique_ptr<TQSO::SnapInfo>> records_;
  std::vector<TQSO::SnapInfo*> list_;
};

// The status name of a TQSO::SnapStatus number.
const char* StatusName(int status);
// True for the statuses that say a device's step failed.
bool IsFailedStatus(int status);
// A host platform from the job's host (the simulated one, or this machine).
std::shared_ptr<TQSO::TqHostPlatform> MakeHost(const HostSpec& host, std::string& error);

}  // namespace tqso
