// tqso demo: a simulated 3PAR array and a simulated host on loopback, three source volumes the host sees
// as disks, and a whole snapshot job run against them through the engine library.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "Commands.h"
#include "JobRun.h"
#include "SimulatedHostPlatform.h"
#include "smis-sim/Simulator.h"

namespace tqso {

namespace {

const char kArrayId[] = "2FF70002AC00ABCD";  // the system name of the array of serial 00ABCD
const char kHostPort[] = "10000000C9A1B2C3";

std::string DemoSeed() {
  std::string volumes, exports;
  for (int i = 1; i <= 3; ++i) {
    const std::string name = "vol" + std::to_string(i);
    if (i > 1) volumes += ",", exports += ",";
    volumes += R"({"name":")" + name + R"(","cpg":"FC_r1"})";
    exports += R"({"volume":")" + name + R"(","host":"demohost","lun":)" + std::to_string(i) + "}";
  }
  return std::string(R"({"arrays":[{"serial":"00ABCD","firmware":"3.2.1","cpgs":["FC_r1"],"volumes":[)") + volumes +
         R"(],"hosts":[{"name":"demohost","fc":[")" + kHostPort + R"("]}],"exports":[)" + exports + "]}]}";
}

sigset_t Interrupts() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

// Blocked before any thread starts, so that every thread inherits the mask and an interrupt waits for
// WaitForInterrupt instead of ending the process where it stands.
void BlockInterrupts() {
  const sigset_t signals = Interrupts();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void WaitForInterrupt() {
  const sigset_t signals = Interrupts();
  int received = 0;
  sigwait(&signals, &received);
}

// The job against the simulated array, without its devices.
Job DemoJob(const smissim::Simulator& simulator, const smissim::SimulatorOptions& simulatorOptions, bool https) {
  Job job;
  ArraySpec array;
  array.id = kArrayId;
  array.address = "127.0.0.1";
  array.https = https;
  array.port = simulator.port();
  array.user = simulatorOptions.user;
  array.password = simulatorOptions.password;
  job.arrays.push_back(array);
  job.host.simulatorUrl = simulator.url();
  job.host.user = simulatorOptions.user;
  job.host.password = simulatorOptions.password;
  job.host.fcPorts = {kHostPort};
  job.calls = {"prepare", "snap", "map", "unmap", "delete", "reconcile"};
  return job;
}

// One device per disk the simulated host sees, each named in the tables' heading.
void AddDevices(TQSO::SimulatedHostPlatform& host, Job& job, bool json) {
  for (const auto& disk : host.visibleDevices()) {
    DeviceSpec device;
    device.wwn = disk.second.wwn;
    device.snapName = "demo-snap-" + disk.second.volume;
    job.devices.push_back(device);
    if (!json)
      std::cout << "source " << disk.second.volume << " is host disk " << disk.first << " (WWN " << disk.second.wwn
                << ")\n";
  }
}

// The job written to a new file of the temporary directory (readable by its owner alone: it holds the
// password); its path, or empty with the reason.
std::string WriteJobFile(const Job& job, std::string& error) {
  const char* directory = std::getenv("TMPDIR");
  std::string path =
      std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") + "/tqso-demo-XXXXXX.json";
  const int fd = mkstemps(path.data(), 5);
  if (fd < 0) {
    error = "a job file cannot be created in the temporary directory: " + std::string(std::strerror(errno));
    return "";
  }
  const std::string text = JobFileText(job) + "\n";
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = write(fd, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<size_t>(count);
  }
  close(fd);
  if (written == text.size()) return path;
  error = "the job file " + path + " cannot be written";
  std::remove(path.c_str());
  return "";
}

}  // namespace

int RunDemo(const Options& options) {
  if (options.keep) BlockInterrupts();
  smissim::SimulatorOptions simulatorOptions;
  simulatorOptions.https = options.https;
  simulatorOptions.seedJson = DemoSeed();
  smissim::Simulator simulator(simulatorOptions);
  simulator.start();
  if (!simulator.waitUntilAnswering(5000)) {
    std::cerr << "tqso: the simulated array did not start\n";
    return 2;
  }
  Job job = DemoJob(simulator, simulatorOptions, options.https);
  std::string error;
  auto host = std::dynamic_pointer_cast<TQSO::SimulatedHostPlatform>(MakeHost(job.host, error));
  if (!host) {
    std::cerr << "tqso: " << error << "\n";
    return 2;
  }
  AddDevices(*host, job, options.json);
  if (!options.json)
    std::cout << "simulated array " << kArrayId << " at " << simulator.url() << ", simulated host port " << kHostPort
              << "\n\n";
  ReportFields kept;
  if (options.keep) {
    kept["array"] = simulator.url();
    kept["jobFile"] = WriteJobFile(job, error);
    if (kept["jobFile"].empty()) {
      std::cerr << "tqso: " << error << "\n";
      return 2;
    }
  }
  const int code = RunJob(job, options, kept);
  const int kNotRun = 2;
  if (options.keep && code != kNotRun) {
    if (!options.json)
      std::cout << "\nThe simulated array stays at " << simulator.url() << " until interrupted (Ctrl-C).\n"
                << "Job file for tqso run: " << kept["jobFile"] << "\n";
    std::cout.flush();
    WaitForInterrupt();
  }
  // The file names an array that is gone with this process.
  if (options.keep) std::remove(kept["jobFile"].c_str());
  simulator.stop();
  return code;
}

}  // namespace tqso
