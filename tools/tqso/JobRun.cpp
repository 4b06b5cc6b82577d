#include "JobRun.h"

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <iostream>
#include <mutex>
#include <thread>

#include "ArrayProblems.h"
#include "DeviceRecords.h"
#include "DiskIdentity.h"
#include "EvDebug.h"
#include "LinuxHostPlatform.h"
#include "Outcome.h"
#include "SimulatedHostPlatform.h"
#include "SimulatorExposureSource.h"
#include "TQSOTypes.h"

namespace tqso {

namespace {

const std::chrono::seconds kProgressEvery(2);

std::string InfoText(const ArraySpec& array, int engineId) {
  return "{hostName:" + array.address + ",hostUserName:" + array.user + ",hostPassword:" + array.password +
         ",engineId:" + std::to_string(engineId) + "}";
}

// A device record whose job messages also go to the engine's log, tagged with the device's path.
class LoggedRecord : public TQSO::SnapInfo {
 public:
  explicit LoggedRecord(const std::string& path) : tag_("tqso " + path) {}

 protected:
  void addMessage(int level, const std::string& tag, const std::string& text) override {
    TQSO::SnapInfo::addMessage(level, tag, text);
    const std::string line = tag.empty() ? text : tag + ": " + text;
    EvDebug(nullptr).DebugLvl(tag_.c_str(), level >= kErrorMessage ? -1 : 1, "%s", line.c_str());
  }

 private:
  const std::string tag_;
};

std::string Basename(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

const char* StatusName(int status) {
  switch (status) {
    case TQSO::SS_RESET:
      return "reset";
    case TQSO::SS_PREPARED:
      return "prepared";
    case TQSO::SS_PREPARE_FAILED:
      return "prepare failed";
    case TQSO::SS_UNPREPARED:
      return "unprepared";
    case TQSO::SS_SNAPSHOT_CREATED:
      return "snapshot created";
    case TQSO::SS_SNAPSHOT_FAILED:
      return "snapshot failed";
    case TQSO::SS_CLONE_CREATED:
      return "clone created";
    case TQSO::SS_CLONE_FAILED:
      return "clone failed";
    case TQSO::SS_MAPPED:
      return "mapped";
    case TQSO::SS_MAPPED_TO_OTHER_HOST:
      return "mapped to another host";
    case TQSO::SS_MAP_FAILED:
      return "map failed";
    case TQSO::SS_SEEN_AS_HOST_DEVICE:
      return "seen on the host";
    case TQSO::SS_NO_SUCH_CHILD:
      return "no child";
    case TQSO::SS_UNMAPPED:
      return "unmapped";
    case TQSO::SS_UNMAP_FAILED:
      return "unmap failed";
    case TQSO::SS_DELETED:
      return "deleted";
    case TQSO::SS_DELETE_FAILED:
      return "delete failed";
    case TQSO::SS_RESTORED:
      return "restored";
    case TQSO::SS_RESTORE_FAILED:
      return "restore failed";
    case TQSO::SS_GONE_FROM_ARRAY:
      return "gone from the array";
    default:
      return "?";
  }
}

bool IsFailedStatus(int status) {
  switch (status) {
    case TQSO::SS_PREPARE_FAILED:
    case TQSO::SS_SNAPSHOT_FAILED:
    case TQSO::SS_CLONE_FAILED:
    case TQSO::SS_MAP_FAILED:
    case TQSO::SS_UNMAP_FAILED:
    case TQSO::SS_DELETE_FAILED:
    case TQSO::SS_RESTORE_FAILED:
      return true;
    default:
      return false;
  }
}

std::shared_ptr<TQSO::TqHostPlatform> MakeHost(const HostSpec& host, std::string& error) {
  if (host.simulatorUrl.empty()) return std::make_shared<TQSO::LinuxHostPlatform>("/");
  std::vector<TQSO::HostInitiator> ports;
  for (const std::string& port : host.fcPorts) ports.push_back({port, TQSO::INITIATOR_FC});
  for (const std::string& name : host.iscsiNames) ports.push_back({name, TQSO::INITIATOR_ISCSI});
  auto simulated = std::make_shared<TQSO::SimulatedHostPlatform>(
      ports, std::make_shared<TQSO::SimulatorExposureSource>(host.simulatorUrl, host.user, host.password));
  if (!simulated->rescan({}, {}, error)) {
    error = "the simulated host cannot read its disks from " + host.simulatorUrl + ": " + error;
    return nullptr;
  }
  return simulated;
}

bool JobRun::ResolveDevicePath(const DeviceSpec& spec, std::string& path, std::string& error) {
  if (spec.wwn.empty()) {
    path = spec.path;
    return true;
  }
  auto simulated = std::dynamic_pointer_cast<TQSO::SimulatedHostPlatform>(platform_);
  if (simulated)
    for (const auto& disk : simulated->visibleDevices())
      if (disk.second.wwn == spec.wwn) {
        path = disk.first;
        return true;
      }
  error = "no disk of the simulated host has the WWN " + spec.wwn;
  return false;
}

bool JobRun::Setup(std::string& error) {
  platform_ = MakeHost(job_.host, error);
  if (!platform_) return false;
  scope_ = std::make_unique<TqDeviceSourceScope>(platform_);
  registry_ = std::make_shared<TQSO::ArrayRegistry>();
  for (const ArraySpec& array : job_.arrays) {
    TQSO::ArrayEntry entry;
    entry.id = array.id;
    entry.info = InfoText(array, job_.engineId);
    entry.settings = array.settings;
    if (array.port != 0) entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = std::to_string(array.port);
    entry.settings["SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER"] = array.https ? "1" : "0";
    registry_->put(entry);
  }
  services_ = std::make_unique<TQSO::TQOSUtil>(registry_, platform_);
  std::vector<std::string> paths(job_.devices.size());
  for (size_t i = 0; i < job_.devices.size(); ++i)
    if (!ResolveDevicePath(job_.devices[i], paths[i], error)) return false;
  const std::vector<DiskIdentity> disks = IdentifyDisks(engine_, platform_, paths);
  const std::string stamp = std::to_string(static_cast<long long>(std::time(nullptr)));
  for (size_t i = 0; i < job_.devices.size(); ++i) {
    std::string carried;
    if (!DiskArrayListed(job_, i, paths[i], disks[i], error) || !CarriedRecordText(job_, i, disks[i], carried, error))
      return false;
    const std::string& path = paths[i];
    std::unique_ptr<TQSO::SnapInfo> record(traceToLog_ ? new LoggedRecord(path) : new TQSO::SnapInfo());
    record->setArrayRegistry(registry_);
    record->setHostDevicePath(path.c_str());
    const std::string& name = job_.devices[i].snapName;
    record->setSourceDeviceName(!name.empty() ? name : "tqso-" + stamp + "-" + Basename(path));
    for (const auto& setting : job_.settings) record->setSetting(setting.first, setting.second);
    if (!carried.empty()) record->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, carried.c_str());
    list_.push_back(record.get());
    records_.push_back(std::move(record));
  }
  services_->setDeviceList(list_.data(), static_cast<short>(list_.size()));
  // An array served by a proxy host: the host services run the engine's proxy side in this process.
  auto proxySide = reinterpret_cast<EngineLibrary::ListCall>(engine_.Symbol("tqso_execSnapEngineOp"));
  if (proxySide != nullptr)
    services_->setProxyEntryPoint([proxySide](TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services) {
      return proxySide(list, count, services);
    });
  return true;
}

StepOutcome JobRun::Step(const std::string& call) {
  StepOutcome step;
  step.call = call;
  EngineLibrary::ListCall entry = engine_.Find(call);
  if (entry == nullptr) {
    step.problems.push_back("the engine does not export " + EngineLibrary::ExportedName(call));
    return step;
  }
  std::vector<size_t> earlierMessages;
  for (TQSO::SnapInfo* record : list_) earlierMessages.push_back(record->messages().size());
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  const auto start = std::chrono::steady_clock::now();
  std::thread worker([&] {
    const int result = entry(list_.data(), static_cast<short>(list_.size()), services_.get());
    std::lock_guard<std::mutex> hold(mutex);
    step.result = result;
    finished = true;
    done.notify_one();
  });
  {
    std::unique_lock<std::mutex> hold(mutex);
    while (!done.wait_for(hold, kProgressEvery, [&] { return finished; })) {
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
      std::cerr << "tqso: " << call << " still running (" << seconds.count() << " s)\n";
    }
  }
  worker.join();
  step.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (size_t i = 0; i < list_.size(); ++i) step.devices.push_back(ReadOutcome(*list_[i], call, earlierMessages[i]));
  step.problems = ArrayProblems(job_.arrays, list_);
  return step;
}

}  // namespace tqso
