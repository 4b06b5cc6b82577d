// The simulated host against the real simulated array (the smis-sim program of this build, started on
// a loopback port): a volume exported to the host's port becomes a device after a rescan, with the
// volume's WWN in page 0x83, and goes away once it is no longer exported.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>

#include "InquiryCommands.h"
#include "SimulatorExposureSource.h"
#include "TQOSUtil.h"
#include "TqDeviceTree.h"

extern char** environ;

namespace {

const char kPort[] = "10000000C9A1B2C3";
const char kWwn1[] = "60002AC0000000000000000100001234";
const char kWwn2[] = "60002AC0000000000000000200001234";

std::string simulatorProgram() {
  if (const char* configured = std::getenv("TQ_SMIS_SIM_PROGRAM")) return configured;
  char self[PATH_MAX] = {0};
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0) return std::string();
  std::string directory(self, static_cast<size_t>(length));
  directory.erase(directory.find_last_of('/'));
  return directory + "/../../tools/smis-sim/smis-sim";
}

// The smis-sim program, started for one test and stopped with it.
class SimulatorProcess {
 public:
  bool start(std::string& error) {
    const std::string program = simulatorProgram();
    if (program.empty() || ::access(program.c_str(), X_OK) != 0) {
      error = "no smis-sim program at '" + program + "'";
      return false;
    }
    int out[2];
    if (::pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args = {program, "--port", "0", "--bind", "127.0.0.1", "--user", ""};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
      ::close(out[0]);
      pid_ = -1;
      error = "cannot start smis-sim";
      return false;
    }
    port_ = readPort(out[0]);
    ::close(out[0]);
    if (port_ <= 0) error = "smis-sim did not say its port";
    return port_ > 0;
  }
  ~SimulatorProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  // Reads the program's output until its "port N" line (at most 20 s).
  static int readPort(int fd) {
    std::string output;
    for (int waited = 0; waited < 200; ++waited) {
      pollfd ready{fd, POLLIN, 0};
      if (::poll(&ready, 1, 100) <= 0) continue;
      char chunk[256];
      const ssize_t count = ::read(fd, chunk, sizeof(chunk));
      if (count <= 0) return -1;
      output.append(chunk, static_cast<size_t>(count));
      const size_t line = output.find("\nport ");
      if (line != std::string::npos && output.find('\n', line + 1) != std::string::npos)
        return std::atoi(output.c_str() + line + 6);
    }
    return -1;
  }

  pid_t pid_ = -1;
  int port_ = 0;
};

std::string seed(const std::string& exports) {
  return std::string(R"({"arrays":[{"serial":"001234","firmware":"3.1.2","cpgs":["FC_r1"],)") +
         R"("volumes":[{"name":"hostvol1","cpg":"FC_r1","wwn":")" + kWwn1 + R"("},)" +
         R"({"name":"hostvol2","cpg":"FC_r1","wwn":")" + kWwn2 + R"("}],)" + R"("hosts":[{"name":"simhost","fc":[")" +
         kPort + R"("]}],)" + R"("exports":[)" + exports + "]}]}";
}

std::string pageWwn(const char* path) {
  CWmError error;
  SP<TqDevice> device = TqDeviceTree::getDevice(path, &error);
  if (!device) return "absent";
  unsigned char buffer[255];
  if (inquire(device, kPage83Cdb, buffer, &error) < 0) return "failed";
  return firstDesignatorHex(buffer);
}

TEST(SimulatedHostWithSimulator, ExportedVolumesComeAndGoWithRescans) {
  SimulatorProcess simulator;
  std::string error;
  if (!simulator.start(error)) GTEST_SKIP() << error;
  httplib::Client control(simulator.url());
  auto reset = [&](const std::string& exports) {
    auto answer = control.Post("/control/reset", seed(exports), "application/json");
    return answer && answer->status == 200;
  };
  ASSERT_TRUE(reset(R"({"volume":"hostvol1","host":"simhost","lun":1})"));

  auto host =
      std::make_shared<TQSO::SimulatedHostPlatform>(std::vector<TQSO::HostInitiator>{{kPort, TQSO::INITIATOR_FC}},
                                                    std::make_shared<TQSO::SimulatorExposureSource>(simulator.url()));
  TQSO::TQOSUtil services(nullptr, host);
  TqDeviceSourceScope scope(host);
  std::vector<char> list(4096);

  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  ASSERT_EQ(0, services.listDevices(nullptr, "3P", '*', 4096, list.data()));
  EXPECT_STREQ("/dev/sda*", list.data());
  EXPECT_EQ(kWwn1, pageWwn("/dev/sda"));

  ASSERT_TRUE(reset(R"({"volume":"hostvol2","host":"simhost","lun":2})"));
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  ASSERT_EQ(0, services.listDevices(nullptr, "3P", '*', 4096, list.data()));
  EXPECT_STREQ("/dev/sdb*", list.data()) << "hostvol1 is gone, hostvol2 is new";
  EXPECT_EQ("absent", pageWwn("/dev/sda"));
  EXPECT_EQ(kWwn2, pageWwn("/dev/sdb"));

  ASSERT_TRUE(reset(""));
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  ASSERT_EQ(0, services.listDevices(nullptr, "3P", '*', 4096, list.data()));
  EXPECT_STREQ("", list.data());
}

}  // namespace
