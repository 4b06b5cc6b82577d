// tqso devices: the host's disks as the engine identifies them (array, LUN WWN, and on the simulated host
// the volume).
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "Commands.h"
#include "EngineLibrary.h"
#include "EvDebug.h"
#include "JobRun.h"
#include "SimulatedHostPlatform.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TextTable.h"
#include "TqDeviceTree.h"
#include "TqHostPlatform.h"

namespace tqso {

namespace {

struct Identity {
  std::string array;  // empty: no 3PAR volume
  std::string wwn;
};

// The engine's own identification of each disk (the INQUIRY of pages 0 and 0x83, the array id derived from
// the WWN), as prepare does it: a record per disk given to its VPD call, the LUN WWN and array read back.
std::vector<Identity> Identify(const EngineLibrary& engine, const std::shared_ptr<TQSO::TqHostPlatform>& host,
                               const std::vector<TQSO::HostBlockDevice>& disks) {
  std::vector<std::unique_ptr<TQSO::SnapInfo>> records;
  std::vector<TQSO::SnapInfo*> list;
  for (const TQSO::HostBlockDevice& disk : disks) {
    records.push_back(std::make_unique<TQSO::SnapInfo>());
    records.back()->setHostDevicePath(disk.path.c_str());
    list.push_back(records.back().get());
  }
  TQSO::TQOSUtil services(std::make_shared<TQSO::ArrayRegistry>(), host);
  auto identify = reinterpret_cast<EngineLibrary::ListCall>(engine.Symbol("tqso_processVPDInfo"));
  // The call counts its devices in 16 bits.
  const size_t kMostPerCall = 32767;
  for (size_t first = 0; first < list.size(); first += kMostPerCall)
    identify(list.data() + first, static_cast<short>(std::min(kMostPerCall, list.size() - first)), &services);
  std::vector<Identity> identities;
  for (const TQSO::SnapInfo* record : list) identities.push_back({record->arrayName(), record->lunWWN()});
  return identities;
}

// The volume of each disk the simulated host sees, by path; none on a real host.
std::map<std::string, std::string> SimulatedVolumes(const std::shared_ptr<TQSO::TqHostPlatform>& host) {
  std::map<std::string, std::string> volumes;
  auto simulated = std::dynamic_pointer_cast<TQSO::SimulatedHostPlatform>(host);
  if (simulated)
    for (const auto& disk : simulated->visibleDevices()) volumes[disk.first] = disk.second.volume;
  return volumes;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

void PrintDisks(const std::vector<TQSO::HostBlockDevice>& disks, const std::vector<Identity>& identities,
                const std::map<std::string, std::string>& volumes) {
  std::vector<std::string> heading = {"device", "vendor", "product", "3PAR array", "LUN WWN"};
  if (!volumes.empty()) heading.push_back("volume");
  TextTable table(heading);
  for (size_t i = 0; i < disks.size(); ++i) {
    std::vector<std::string> row = {disks[i].path, OrDash(disks[i].vendor), OrDash(disks[i].product),
                                    OrDash(identities[i].array), OrDash(identities[i].wwn)};
    if (!volumes.empty()) {
      const auto volume = volumes.find(disks[i].path);
      row.push_back(volume == volumes.end() ? "-" : volume->second);
    }
    table.Add(row);
  }
  table.Print(std::cout);
}

}  // namespace

int ListDevices(const std::string& jobPath, const Options& options) {
  if (options.logFile.empty()) EvDebug::setDebugLevel(-2);
  Job job;
  std::string error;
  if (!jobPath.empty() && !ReadJobFile(jobPath, job, error)) {
    std::cerr << "tqso: " << jobPath << ": " << error << "\n";
    return 2;
  }
  auto host = MakeHost(job.host, error);
  if (!host) {
    std::cerr << "tqso: " << error << "\n";
    return 2;
  }
  TqDeviceSourceScope scope(host);
  std::vector<TQSO::HostBlockDevice> disks;
  if (!host->blockDevices(disks, error)) {
    std::cerr << "tqso: the host's disks cannot be listed: " << error << "\n";
    return 2;
  }
  EngineLibrary engine;
  if (!engine.Load(options.enginePath, error)) {
    std::cerr << "tqso: " << error << "\n";
    return 2;
  }
  if (disks.empty()) {
    std::cout << "no SCSI disks found\n";
    return 0;
  }
  PrintDisks(disks, Identify(engine, host, disks), SimulatedVolumes(host));
  return 0;
}

}  // namespace tqso
