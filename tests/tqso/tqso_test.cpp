// The tqso harness run as a program: job files against the simulated array and host, the JSON report,
// the exit codes, and the messages for a bad job file and a refused login.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "jsonxx.h"
#include "smis-sim/TestServer.h"

namespace {

const char kPort[] = "10000000C9A1B2C3";
const char kTwoDevices[] = R"([{"wwn":"60002AC000000000000000000100ABCD","snapName":"job-snap-1"},)"
                           R"({"wwn":"60002AC000000000000000000200ABCD","snapName":"job-snap-2"}])";

struct Outcome {
  int exitCode = -1;
  std::string out;  // standard output and standard error
};

Outcome Tqso(const std::string& arguments) {
  Outcome outcome;
  const std::string command = std::string(TQSO_BINARY) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[4096];
  size_t read = 0;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.out.append(buffer, read);
  const int status = pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

// CreateReplica refused with return value 4, which sets no error code on the device.
smissim::FaultRule ReplicaRefused() {
  smissim::FaultRule rule;
  rule.operation = "CreateReplica";
  rule.action = smissim::FaultAction::ForceReturnValue;
  rule.returnValue = 4;
  rule.count = 10;
  return rule;
}

// A file of the given text under the test's temporary directory.
std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "tqso_" + std::to_string(getpid()) + "_" + name;
  std::ofstream(path) << text;
  return path;
}

// "tqso demo --keep" in the background: its simulated array stays up, and the job file it prints is kept.
class KeptDemo {
 public:
  KeptDemo() {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      execl(TQSO_BINARY, TQSO_BINARY, "demo", "--keep", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    FILE* stream = fdopen(out[0], "r");
    char* line = nullptr;
    size_t size = 0;
    // The job file follows its heading, up to the line that closes its outermost object.
    bool inJobFile = false;
    std::string text;
    while (stream != nullptr && getline(&line, &size, stream) > 0) {
      if (inJobFile) text += line;
      if (inJobFile && line[0] == '}') {
        jobFile_ = WriteFile("demo_job.json", text);
        break;
      }
      inJobFile = inJobFile || std::string(line).find("A job file for tqso run:") != std::string::npos;
    }
    free(line);
    if (stream != nullptr) fclose(stream);
  }
  ~KeptDemo() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& jobFile() const { return jobFile_; }

 private:
  pid_t pid_ = -1;
  std::string jobFile_;
};

class TqsoRun : public ::testing::Test {
 protected:
  TqsoRun() : array_(Options()) {}

  static smissim::SimulatorOptions Options() {
    smissim::SimulatorOptions options;
    options.seedJson = std::string(R"({"arrays":[{"serial":"00ABCD","firmware":"3.2.1","cpgs":["FC_r1"],)") +
                       R"("volumes":[{"name":"vol1","cpg":"FC_r1"},{"name":"vol2","cpg":"FC_r1"}],)" +
                       R"("hosts":[{"name":"h","fc":[")" + kPort + R"("]}],)" +
                       R"("exports":[{"volume":"vol1","host":"h","lun":1},{"volume":"vol2","host":"h","lun":2}]}]})";
    return options;
  }

  // A job file for the simulated array; `password`, `calls` and the `devices` list as given.
  std::string JobFile(const std::string& password, const std::string& calls, const std::string& extra = "",
                      const std::string& devices = kTwoDevices) {
    const std::string path =
        ::testing::TempDir() + "tqso_job_" + std::to_string(getpid()) + "_" + std::to_string(++files_) + ".json";
    std::ofstream(path) << R"({"arrays":[{"id":"2FF70002AC00ABCD","address":"127.0.0.1","port":)" << array_.port()
                        << R"(,"user":"admin","password":")" << password << R"("}],)"
                        << R"("host":{"simulator":")" << array_->url() << R"(","user":"admin","password":"secret",)"
                        << R"("fcPorts":[")" << kPort << R"("]},)"
                        << R"("devices":)" << devices << "," << extra << R"("calls":)" << calls << "}";
    return path;
  }

  smissim::TestServer array_;
  int files_ = 0;
};

TEST_F(TqsoRun, PrintsEachStepsDevicesAndSucceeds) {
  const Outcome run = Tqso("run " + JobFile("secret", R"(["prepare","snap","delete"])"));
  EXPECT_EQ(0, run.exitCode) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("== snap: result 0 (all devices)")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("5 snapshot created"));
  EXPECT_NE(std::string::npos, run.out.find("20 deleted"));
  EXPECT_EQ(std::string::npos, run.out.find("secret")) << "passwords are never printed";
  EXPECT_EQ(std::string::npos, array_->modelJson().find("job-snap-1")) << "the copies were deleted again";
}

TEST_F(TqsoRun, JsonReportHoldsEveryStepAndDevice) {
  const Outcome run = Tqso("run --json " + JobFile("secret", R"(["prepare","snap"])"));
  ASSERT_EQ(0, run.exitCode) << run.out;
  jsonxx::Object report;
  ASSERT_TRUE(report.parse(run.out)) << run.out;
  ASSERT_TRUE(report.has<jsonxx::Boolean>("ok"));
  EXPECT_TRUE(report.get<jsonxx::Boolean>("ok"));
  const jsonxx::Array& steps = report.get<jsonxx::Array>("steps");
  ASSERT_EQ(2u, steps.size());
  const jsonxx::Array& devices = steps.get<jsonxx::Object>(1).get<jsonxx::Array>("devices");
  ASSERT_EQ(2u, devices.size());
  EXPECT_EQ(5, devices.get<jsonxx::Object>(0).get<jsonxx::Number>("status"));
  EXPECT_NE(std::string::npos, devices.get<jsonxx::Object>(0).get<jsonxx::String>("metadata").find("2FF70002AC00ABCD"));
}

TEST_F(TqsoRun, AWrongPasswordNamesTheArrayThatRefusedTheLogin) {
  const Outcome run = Tqso("run " + JobFile("wrong-password", R"(["prepare"])"));
  EXPECT_EQ(1, run.exitCode);
  EXPECT_NE(std::string::npos, run.out.find("array 2FF70002AC00ABCD at 127.0.0.1")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("refused the login of user admin"));
  EXPECT_EQ(std::string::npos, run.out.find("wrong-password"));
}

TEST_F(TqsoRun, ABadJobFileNamesTheField) {
  struct Case {
    std::string calls, extra, message;
  } cases[] = {
      {R"(["prepare","fly"])", "", "calls[1]: unknown call \"fly\""},
      {R"(["prepare"])", R"("engineId":"25",)", "job.engineId must be a number"},
      {R"(["prepare"])", R"("engineId":27,)", "job.engineId must be a whole number from 25 to 26"},
      {R"(["prepare"])", R"("settings":[1],)", "job.settings must be an object"},
  };
  for (const Case& c : cases) {
    const Outcome run = Tqso("run " + JobFile("secret", c.calls, c.extra));
    EXPECT_EQ(2, run.exitCode) << c.message;
    EXPECT_NE(std::string::npos, run.out.find(c.message)) << run.out;
  }
  EXPECT_EQ(2, Tqso("run /nonexistent/job.json").exitCode);
  EXPECT_EQ(2, Tqso("fly").exitCode);
  EXPECT_EQ(0, Tqso("run --help").exitCode);
}

// The engine's calls carry the count of devices in 16 bits, and the JSON reader keeps one byte of a \u
// escape: tqso refuses what the calls cannot carry and decodes escapes to UTF-8 itself.
TEST_F(TqsoRun, JobFilesTheCallsCannotCarryAreRefused) {
  const auto paths = [](int count) {
    std::string list = "[";
    for (int i = 0; i < count; ++i) list += std::string(i ? "," : "") + "\"/dev/sdz\"";
    return list + "]";
  };
  struct Case {
    std::string devices, calls, message;
  } cases[] = {
      {paths(32767), R"(["fly"])", "calls[0]: unknown call \"fly\""},  // the count passes
      {paths(32768), R"(["prepare"])", "a job holds at most 32767 devices"},
      {paths(65537), R"(["prepare"])", "a job holds at most 32767 devices"},
      {R"(["/dev/\ud83d"])", R"(["prepare"])", "\\ud83d at byte"},
      {R"(["/dev/\ud83dx"])", R"(["prepare"])", "first half of a surrogate pair without its second half"},
      {R"(["/dev/\uDE00"])", R"(["prepare"])", "second half of a surrogate pair without its first half"},
      {R"(["/dev/a\u0000b"])", R"(["prepare"])", "a NUL character"},
      {std::string("[\"/dev/a") + '\0' + "b\"]", R"(["prepare"])", "a NUL byte at byte"},
      {R"(["/dev/a\u0{b"])", R"(["prepare"])", "without four hexadecimal digits"},
  };
  for (const Case& c : cases) {
    const Outcome run = Tqso("run " + JobFile("secret", c.calls, "", c.devices));
    EXPECT_EQ(2, run.exitCode) << c.message;
    EXPECT_NE(std::string::npos, run.out.find(c.message)) << run.out.substr(0, 2000);
  }
}

TEST_F(TqsoRun, EscapedTextsReachTheEngineAsUtf8) {
  const Outcome run = Tqso(
      "run " + JobFile("secret", R"(["prepare"])", "", R"(["/dev/caf\u00e9-\u4e2d-\uD83D\uDE00-\\u00e9-\u0041"])"));
  EXPECT_EQ(1, run.exitCode) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("/dev/caf\xc3\xa9-\xe4\xb8\xad-\xf0\x9f\x98\x80-\\u00e9-A ")) << run.out;
}

TEST_F(TqsoRun, AFailureWithoutACodeShowsItsReasonAndTheLogHoldsTheTrace) {
  const std::string log = ::testing::TempDir() + "tqso_trace_" + std::to_string(getpid()) + ".log";
  std::remove(log.c_str());
  array_->injectFault(ReplicaRefused());
  const Outcome run = Tqso("run --log " + log + " " + JobFile("secret", R"(["prepare","snap"])"));
  EXPECT_EQ(1, run.exitCode) << run.out;
  EXPECT_NE(std::string::npos,
            run.out.find("snapshot failed       -\n"
                         "            reason: SMIS::CreateReplica: CreateReplica: Method, retVal = 4"))
      << run.out;
  std::ifstream file(log);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(std::string::npos, text.str().find("tqso /dev/sda: SMIS::CreateReplica: ElementName   - job-snap-1"))
      << "the SMI-S trace is in the log";
  EXPECT_EQ(std::string::npos, text.str().find("secret"));
}

TEST(TqsoDemo, DevicesNamesTheArrayWwnAndVolumeOfEachDiskOfItsJobFile) {
  KeptDemo demo;
  ASSERT_FALSE(demo.jobFile().empty()) << "the demo printed no job file";
  const Outcome devices = Tqso("devices " + demo.jobFile());
  EXPECT_EQ(0, devices.exitCode) << devices.out;
  for (int volume = 1; volume <= 3; ++volume) {
    const std::string wwn = "60002AC000000000000000000" + std::to_string(volume) + "00ABCD";
    EXPECT_NE(std::string::npos,
              devices.out.find("  array 2FF70002AC00ABCD WWN " + wwn + " volume vol" + std::to_string(volume) + "\n"))
        << devices.out;
  }
}

TEST(TqsoDemo, RunsTheWholeJobOverHttpAndHttps) {
  for (const char* options : {"", "--https"}) {
    const Outcome demo = Tqso(std::string("demo ") + options);
    EXPECT_EQ(0, demo.exitCode) << demo.out;
    for (const char* step : {"prepare", "snap", "map", "unmap", "delete", "reconcile"})
      EXPECT_NE(std::string::npos, demo.out.find(std::string("== ") + step + ": result 0")) << step;
    EXPECT_NE(std::string::npos, demo.out.find("host disk of the copy /dev/sd"));
  }
}

}  // namespace
