// tqso demo: a simulated 3PAR array and a simulated host on loopback, three source volumes the host sees
// as disks, and a whole snapshot job run against them through the engine library.
#include <signal.h>

#include <iostream>
#include <map>

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

void WaitForInterrupt() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  int received = 0;
  sigwait(&signals, &received);
}

}  // namespace

int RunDemo(const Options& options) {
  smissim::SimulatorOptions simulatorOptions;
  simulatorOptions.https = options.https;
  simulatorOptions.seedJson = DemoSeed();
  smissim::Simulator simulator(simulatorOptions);
  simulator.start();
  if (!simulator.waitUntilAnswering(5000)) {
    std::cerr << "tqso: the simulated array did not start\n";
    return 2;
  }
  Job job;
  ArraySpec array;
  array.id = kArrayId;
  array.address = "127.0.0.1";
  array.https = options.https;
  array.port = simulator.port();
  array.user = simulatorOptions.user;
  array.password = simulatorOptions.password;
  job.arrays.push_back(array);
  job.host.simulatorUrl = simulator.url();
  job.host.user = simulatorOptions.user;
  job.host.password = simulatorOptions.password;
  job.host.fcPorts = {kHostPort};
  job.calls = {"prepare", "snap", "map", "unmap", "delete", "reconcile"};

  std::string error;
  auto host = std::dynamic_pointer_cast<TQSO::SimulatedHostPlatform>(MakeHost(job.host, error));
  if (!host) {
    std::cerr << "tqso: " << error << "\n";
    return 2;
  }
  std::map<std::string, TQSO::ExposedVolume> disks = host->visibleDevices();
  for (const auto& disk : disks) {
    DeviceSpec device;
    device.wwn = disk.second.wwn;
    device.snapName = "demo-snap-" + disk.second.volume;
    job.devices.push_back(device);
    if (!options.json)
      std::cout << "source " << disk.second.volume << " is host disk " << disk.first << " (WWN " << disk.second.wwn
                << ")\n";
  }
  if (!options.json)
    std::cout << "simulated array " << kArrayId << " at " << simulator.url() << ", simulated host port " << kHostPort
              << "\n\n";
  const int code = RunJob(job, options);
  if (options.keep) {
    job.calls = {"prepare", "snap", "map", "unmap", "delete", "reconcile"};
    std::cout << "\nThe simulated array stays at " << simulator.url() << " until interrupted (Ctrl-C).\n"
              << "A job file for tqso run:\n"
              << JobFileText(job) << "\n";
    std::cout.flush();
    WaitForInterrupt();
  }
  simulator.stop();
  return code;
}

}  // namespace tqso
