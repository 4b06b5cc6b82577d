// tqso devices: the host's disks as the engine identifies them (array, LUN WWN, volume).
#include <iostream>
#include <map>
#include <vector>

#include "Commands.h"
#include "EngineLibrary.h"
#include "EvDebug.h"
#include "JobRun.h"
#include "SimulatedHostPlatform.h"
#include "TqDeviceTree.h"
#include "TqHostPlatform.h"

namespace tqso {

namespace {

typedef int (*SupportCall)(const char*, int32_t, void*, void*, int16_t);

// What the engine's support check says of a disk, and (on the simulated host) which volume it is.
std::string Identification(const EngineLibrary& engine, const std::shared_ptr<TQSO::TqHostPlatform>& host,
                           const std::string& path) {
  SupportCall supported = reinterpret_cast<SupportCall>(engine.Symbol("tqso_isSupported"));
  const bool threePar = supported != nullptr && supported(path.c_str(), 0, nullptr, nullptr, 0) == 0;
  if (!threePar) return "no";
  auto simulated = std::dynamic_pointer_cast<TQSO::SimulatedHostPlatform>(host);
  if (!simulated) return "yes";
  // The simulated host answers with a copy of its disks: keep it while the volume is read.
  const std::map<std::string, TQSO::ExposedVolume> disks = simulated->visibleDevices();
  const auto found = disks.find(path);
  if (found == disks.end()) return "yes";
  const TQSO::ExposedVolume& volume = found->second;
  return "array " + volume.array + " WWN " + volume.wwn + " volume " + volume.volume;
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
  std::cout << "device  vendor  product  3PAR volume\n";
  for (const TQSO::HostBlockDevice& disk : disks) {
    std::cout << disk.path << "  " << disk.vendor << "  " << disk.product << "  "
              << Identification(engine, host, disk.path) << "\n";
  }
  return 0;
}

}  // namespace tqso
