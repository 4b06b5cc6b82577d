// The tqso harness run as a program: job files against the simulated array and host, the JSON report,
// the exit codes, and the messages for a bad job file and a refused login.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "jsonxx.h"
#include "smis-sim/TestServer.h"

namespace {

const char kPort[] = "10000000C9A1B2C3";

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

  // A job file for the simulated array; `password` and `calls` as given.
  std::string JobFile(const std::string& password, const std::string& calls, const std::string& extra = "") {
    const std::string path =
        ::testing::TempDir() + "tqso_job_" + std::to_string(getpid()) + "_" + std::to_string(++files_) + ".json";
    std::ofstream(path) << R"({"arrays":[{"id":"2FF70002AC00ABCD","address":"127.0.0.1","port":)" << array_.port()
                        << R"(,"user":"admin","password":")" << password << R"("}],)"
                        << R"("host":{"simulator":")" << array_->url() << R"(","user":"admin","password":"secret",)"
                        << R"("fcPorts":[")" << kPort << R"("]},)"
                        << R"("devices":[{"wwn":"60002AC000000000000000000100ABCD","snapName":"job-snap-1"},)"
                        << R"({"wwn":"60002AC000000000000000000200ABCD","snapName":"job-snap-2"}],)" << extra
                        << R"("calls":)" << calls << "}";
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
