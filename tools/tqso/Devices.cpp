// tqso devices: the host's disks as the engine identifies them (array, LUN WWN, and on the simulated host
// the volume).
#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "Commands.h"
#include "DiskIdentity.h"
#include "EngineLibrary.h"
#include "EvDebug.h"
#include "JobRun.h"
#include "SimulatedHostPlatform.h"
#include "TextTable.h"
#include "TqDeviceTree.h"
#include "TqHostPlatform.h"

namespace tqso {

namespace {

// The volume of each disk the simulated host sees, by path; none on a real host.
std::map<std::string, std::string> SimulatedVolumes(const std::shared_ptr<TQSO::TqHostPlatform>& host) {
  std::map<std::string, std::string> volumes;
  auto simulated = std::dynamic_pointer_cast<TQSO::SimulatedHostPlatform>(host);
  if (simulated)
    for (const auto& disk : simulated->visibleDevices()) volumes[disk.first] = disk.second.volume;
  return volumes;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

void PrintDisks(const std::vector<TQSO::HostBlockDevice>& disks, const std::vector<DiskIdentity>& identities,
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
  std::vector<std::string> paths;
  for (const TQSO::HostBlockDevice& disk : disks) paths.push_back(disk.path);
  PrintDisks(disks, IdentifyDisks(engine, host, paths), SimulatedVolumes(host));
  return 0;
}

}  // namespace tqso
