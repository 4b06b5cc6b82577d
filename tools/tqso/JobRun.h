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
  JobRun(const Job& job, EngineLibrary& engine) : job_(job), engine_(engine) {}
  // The host, the arrays and the device records; false with the reason.
  bool Setup(std::string& error);
  StepOutcome Step(const std::string& call);
  std::shared_ptr<TQSO::TqHostPlatform> platform() const { return platform_; }

 private:
  bool ResolveDevicePath(const DeviceSpec& spec, std::string& path, std::string& error);
  void NameProblems(StepOutcome& step) const;

  const Job& job_;
  EngineLibrary& engine_;
  std::shared_ptr<TQSO::TqHostPlatform> platform_;
  std::unique_ptr<TqDeviceSourceScope> scope_;
  std::shared_ptr<TQSO::ArrayRegistry> registry_;
  std::unique_ptr<TQSO::TQOSUtil> services_;
  std::vector<std::unique_ptr<TQSO::SnapInfo>> records_;
  std::vector<TQSO::SnapInfo*> list_;
};

// The status name of a TQSO::SnapStatus number.
const char* StatusName(int status);
// A host platform from the job's host (the simulated one, or this machine).
std::shared_ptr<TQSO::TqHostPlatform> MakeHost(const HostSpec& host, std::string& error);

}  // namespace tqso
