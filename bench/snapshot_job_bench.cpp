// A snapshot job of 64 devices (prepare, then snap) against a simulated array holding 10,000 volumes, with
// the volume-instance cache off and on. The simulator runs as a process of its own, so this process's CPU
// time is the engine's (with its CIM client and the simulated host's inquiries); the simulator's request
// counts give the CIM requests per device.
//
// usage: snapshot_job_bench [SMIS_SIM_PROGRAM]
#include <httplib.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ArrayRegistry.h"
#include "EvDebug.h"
#include "SimulatedHostPlatform.h"
#include "SimulatorExposureSource.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQPlatformInfo.h"
#include "TqDeviceTree.h"
#include "TqsoEntryPoints.h"

namespace {

const int kVolumes = 10000;
const int kDevices = 64;
const char kPort[] = "10000000C9A1B2C3";
const char kArrayId[] = "2FF70002AC00ABCD";

std::string Seed() {
  std::ostringstream seed;
  seed << R"({"arrays":[{"serial":"00ABCD","firmware":"3.2.1","cpgs":["FC_r1"],"volumes":[)";
  for (int i = 1; i <= kVolumes; ++i) seed << (i > 1 ? "," : "") << R"({"name":"vol)" << i << R"(","cpg":"FC_r1"})";
  seed << R"(],"hosts":[{"name":"benchhost","fc":[")" << kPort << R"("]}],"exports":[)";
  for (int i = 1; i <= kDevices; ++i)
    seed << (i > 1 ? "," : "") << R"({"volume":"vol)" << i * (kVolumes / kDevices) << R"(","host":"benchhost","lun":)"
         << i << "}";
  seed << "]}]}";
  return seed.str();
}

// The simulator as a child process; its port is read from what it prints.
class SimulatorProcess {
 public:
  SimulatorProcess(const std::string& program, const std::string& seedFile) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      execl(program.c_str(), program.c_str(), "--seed", seedFile.c_str(), "--port", "0", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    char line[512];
    while (lines != nullptr && std::fgets(line, sizeof line, lines) != nullptr)
      if (std::sscanf(line, "port %d", &port_) == 1) break;
    if (port_ == 0) throw std::runtime_error("the simulator did not start: " + program);
    lines_ = lines;
  }
  ~SimulatorProcess() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    if (lines_ != nullptr) std::fclose(lines_);
  }
  int port() const { return port_; }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  long long Requests() {
    httplib::Client client("127.0.0.1", port_);
    client.set_basic_auth("admin", "secret");
    auto answer = client.Get("/control/counts");
    if (!answer || answer->status != 200) return -1;
    // {"Operation":count,...}: the sum of the counts.
    long long total = 0;
    const std::string& body = answer->body;
    for (size_t colon = body.find(':'); colon != std::string::npos; colon = body.find(':', colon + 1))
      total += std::atoll(body.c_str() + colon + 1);
    return total;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  FILE* lines_ = nullptr;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
  double cpuMsPerDevice = 0;
  double wallSeconds = 0;
  double requestsPerDevice = 0;
  bool ok = false;
};

Figures RunJob(const std::string& program, const std::string& seedFile, bool cache) {
  TqConfigOverride cacheSetting("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", cache ? "1" : "0");
  SimulatorProcess simulator(program, seedFile);
  auto host = std::make_shared<TQSO::SimulatedHostPlatform>(
      std::vector<TQSO::HostInitiator>{{kPort, TQSO::INITIATOR_FC}},
      std::make_shared<TQSO::SimulatorExposureSource>(simulator.url(), "admin", "secret"));
  TqDeviceSourceScope scope(host);
  std::string error;
  if (!host->rescan({}, {}, error)) throw std::runtime_error(error);
  auto registry = std::make_shared<TQSO::ArrayRegistry>();
  TQSO::ArrayEntry entry;
  entry.id = kArrayId;
  entry.info = "{hostName:127.0.0.1,hostUserName:admin,hostPassword:secret,engineId:25}";
  entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = std::to_string(simulator.port());
  registry->put(entry);
  TQSO::TQOSUtil services(registry, host);
  std::vector<std::unique_ptr<TQSO::SnapInfo>> records;
  std::vector<TQSO::SnapInfo*> list;
  for (const auto& disk : host->visibleDevices()) {
    records.push_back(std::make_unique<TQSO::SnapInfo>());
    records.back()->setArrayRegistry(registry);
    records.back()->setHostDevicePath(disk.first.c_str());
    records.back()->setSourceDeviceName("bench-" + disk.second.volume);
    list.push_back(records.back().get());
  }
  const long long before = simulator.Requests();
  const double cpu = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const short count = static_cast<short>(list.size());
  const bool prepared = tqso_prepareDevices(list.data(), count, &services) == TQSO::RC_SUCCESS;
  const bool snapped = tqso_snapDevices(list.data(), count, &services) == TQSO::RC_SUCCESS;
  Figures figures;
  figures.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.cpuMsPerDevice = (CpuSeconds() - cpu) * 1000 / count;
  figures.requestsPerDevice = static_cast<double>(simulator.Requests() - before - 1) / count;
  figures.ok = prepared && snapped && count == kDevices;
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : SMIS_SIM_PROGRAM;
  EvDebug::setDebugLevel(-2);
  const std::string seedFile = "/tmp/snapshot_job_bench_seed_" + std::to_string(getpid()) + ".json";
  std::ofstream(seedFile) << Seed();
  std::cout << "snapshot job: " << kDevices << " devices, prepare + snap, array of " << kVolumes << " volumes\n";
  std::cout << "cache  engine CPU/device  requests/device  wall\n";
  int status = 0;
  for (bool cache : {false, true}) {
    const Figures figures = RunJob(program, seedFile, cache);
    std::printf("%-5s  %11.2f ms  %15.1f  %5.2f s%s\n", cache ? "on" : "off", figures.cpuMsPerDevice,
                figures.requestsPerDevice, figures.wallSeconds, figures.ok ? "" : "  (a step failed)");
    if (!figures.ok) status = 1;
  }
  std::remove(seedFile.c_str());
  return status;
}
