// The tqso harness run as a program: job files against the simulated array and host, the JSON report,
// the exit codes, the messages for a bad job file, a refused login and an array that cannot be reached,
// the kept demo and the host's disks.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "RefusingPort.h"
#include "jsonxx.h"
#include "smis-sim/TestServer.h"

namespace {

const char kPort[] = "10000000C9A1B2C3";
const char kTwoDevices[] = R"([{"wwn":"60002AC000000000000000000100ABCD","snapName":"job-snap-1"},)"
                           R"({"wwn":"60002AC000000000000000000200ABCD","snapName":"job-snap-2"}])";

struct Outcome {
  int exitCode = -1;
  std::string out;  // standard output, and standard error unless kept apart
  std::string err;  // standard error when kept apart
};

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// tqso with the arguments; standard error joins standard output unless kept apart.
Outcome Tqso(const std::string& arguments, bool errorApart = false) {
  Outcome outcome;
  const std::string errorFile = ::testing::TempDir() + "tqso_stderr_" + std::to_string(getpid());
  const std::string command =
      std::string(TQSO_BINARY) + " " + arguments + (errorApart ? " 2>" + errorFile : std::string(" 2>&1"));
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[4096];
  size_t read = 0;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.out.append(buffer, read);
  const int status = pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (errorApart) outcome.err = ReadWhole(errorFile);
  std::remove(errorFile.c_str());
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

// "tqso demo --keep" in the background, its standard output read line by line while its simulated array
// stays up.
class KeptDemo {
 public:
  explicit KeptDemo(const char* option = nullptr) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      execl(TQSO_BINARY, TQSO_BINARY, "demo", "--keep", option, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    stream_ = fdopen(out[0], "r");
  }
  ~KeptDemo() { Stop(); }

  // The lines up to the first for which `last` holds, that one included; all there is when none does.
  template <class Last>
  std::string ReadThrough(Last last) {
    std::string text;
    char* line = nullptr;
    size_t size = 0;
    while (stream_ != nullptr && getline(&line, &size, stream_) > 0) {
      text += line;
      if (last(std::string(line))) break;
    }
    free(line);
    return text;
  }

  // Interrupts the demo and waits for its end; what it printed after everything read before.
  std::string Stop() {
    if (pid_ <= 0) return "";
    kill(pid_, SIGTERM);
    const std::string rest = ReadThrough([](const std::string&) { return false; });
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    if (stream_ != nullptr) fclose(stream_);
    stream_ = nullptr;
    return rest;
  }

  // The path of the job file the table form names.
  std::string JobFile() {
    static const std::string kHeading = "Job file for tqso run: ";
    const std::string text =
        ReadThrough([](const std::string& line) { return line.compare(0, kHeading.size(), kHeading) == 0; });
    const size_t found = text.rfind(kHeading);
    if (found == std::string::npos) return "";
    std::string path = text.substr(found + kHeading.size());
    while (!path.empty() && path.back() == '\n') path.pop_back();
    return path;
  }

 private:
  pid_t pid_ = -1;
  FILE* stream_ = nullptr;
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
    return JobFileFor(ArrayEntry("127.0.0.1", "http", array_.port(), password), calls, extra, devices);
  }

  static std::string ArrayEntry(const std::string& address, const std::string& protocol, int port,
                                const std::string& password = "secret") {
    return R"({"id":"2FF70002AC00ABCD","address":")" + address + R"(","protocol":")" + protocol + R"(","port":)" +
           std::to_string(port) + R"(,"user":"admin","password":")" + password + R"("})";
  }

  // A job file whose one array is `array`, on the simulated host of the port `hostPort`.
  std::string JobFileFor(const std::string& array, const std::string& calls, const std::string& extra = "",
                         const std::string& devices = kTwoDevices, const std::string& hostPort = kPort) {
    return WriteJobFile(JobTextFor(array, calls, extra, devices, hostPort));
  }

  std::string JobTextFor(const std::string& array, const std::string& calls, const std::string& extra = "",
                         const std::string& devices = kTwoDevices, const std::string& hostPort = kPort) {
    return R"({"arrays":[)" + array + "]," + R"("host":{"simulator":")" + array_->url() +
           R"(","user":"admin","password":"secret",)" + R"("fcPorts":[")" + hostPort + R"("]},)" + R"("devices":)" +
           devices + "," + extra + R"("calls":)" + calls + "}";
  }

  // A job file of the text as given.
  std::string WriteJobFile(const std::string& text) {
    const std::string path =
        ::testing::TempDir() + "tqso_job_" + std::to_string(getpid()) + "_" + std::to_string(++files_) + ".json";
    std::ofstream(path) << text;
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

// Successful devices carry no reasons; the copy, its child and its host disk have fields of their own
// beside the engine's record.
TEST_F(TqsoRun, JsonReportHoldsEveryStepAndDevice) {
  const Outcome run = Tqso("run --json " + JobFile("secret", R"(["prepare","snap","map","unmap"])"), true);
  ASSERT_EQ(0, run.exitCode) << run.out << run.err;
  jsonxx::Object report;
  ASSERT_TRUE(report.parse(run.out)) << run.out;
  ASSERT_TRUE(report.has<jsonxx::Boolean>("ok"));
  EXPECT_TRUE(report.get<jsonxx::Boolean>("ok"));
  const jsonxx::Array& steps = report.get<jsonxx::Array>("steps");
  ASSERT_EQ(4u, steps.size());
  const auto device = [&](size_t step, size_t index) {
    return steps.get<jsonxx::Object>(step).get<jsonxx::Array>("devices").get<jsonxx::Object>(index);
  };
  for (size_t step = 0; step < steps.size(); ++step) {
    ASSERT_EQ(2u, steps.get<jsonxx::Object>(step).get<jsonxx::Array>("devices").size());
    for (size_t index = 0; index < 2; ++index) {
      EXPECT_EQ(0u, device(step, index).get<jsonxx::Array>("reasons").size()) << device(step, index).json();
      EXPECT_EQ("2FF70002AC00ABCD", device(step, index).get<jsonxx::String>("array"));
    }
  }
  const jsonxx::Object& snapped = device(1, 0);
  EXPECT_EQ(5, snapped.get<jsonxx::Number>("status"));
  const std::string copy = snapped.get<jsonxx::String>("copy");
  EXPECT_EQ(32u, copy.size()) << snapped.json();
  EXPECT_NE(std::string::npos, snapped.get<jsonxx::String>("metadata").find("*" + copy + "*"));
  EXPECT_EQ("", snapped.get<jsonxx::String>("child"));
  const jsonxx::Object& mapped = device(2, 0);
  EXPECT_EQ(copy, mapped.get<jsonxx::String>("copy"));
  EXPECT_EQ(32u, mapped.get<jsonxx::String>("child").size()) << mapped.json();
  EXPECT_NE(copy, mapped.get<jsonxx::String>("child"));
  EXPECT_EQ(0u, mapped.get<jsonxx::String>("copyDevice").rfind("/dev/sd", 0)) << mapped.json();
  EXPECT_NE(mapped.get<jsonxx::String>("device"), mapped.get<jsonxx::String>("copyDevice"));
  EXPECT_EQ("", device(3, 0).get<jsonxx::String>("copyDevice")) << "no host disk once unmapped";
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

// Job files refused before any call, each fault named where it is: a syntax fault by line and column, a field
// by its path, a disk by the array it is on and the arrays the job lists.
TEST_F(TqsoRun, RefusedJobFilesSayWhereAndWhy) {
  const std::string array = ArrayEntry("127.0.0.1", "http", array_.port());
  const std::string valid = JobTextFor(array, R"(["prepare"])");
  const std::string otherArray = R"({"id":"2FF70002AC001234","address":"127.0.0.1","port":)" +
                                 std::to_string(array_.port()) + R"(,"user":"admin","password":"secret"})";
  const std::string arraySetting = R"({"id":"2FF70002AC00ABCD","address":"127.0.0.1","port":)" +
                                   std::to_string(array_.port()) + R"(,"user":"admin","password":"secret",)" +
                                   R"("settings":{"SMCONFIG_NAME_ENABLE_THIN_PROVISIONING":1e300}})";
  struct Case {
    const char* name;
    std::string text;
    int exitCode;
    std::string message;
  } cases[] = {
      {"text after the object", valid + "\n ]", 2, "line 2, column 2: text after the end of the job's object: ']'"},
      {"syntax fault", "{\"engineId\": 25,\n \"arrays\": [ }", 2, "line 2, column 14: expected a value, found '}'"},
      {"misspelt device key",
       JobTextFor(array, R"(["prepare"])", "",
                  R"(["/dev/sda",{"wwn":"60002AC000000000000000000200ABCD","snapname":"x"}])"),
       2, "unknown key devices[1].snapname (did you mean snapName?)"},
      {"misspelt top key", R"({"arrayz":[],)" + valid.substr(1), 2, "unknown key arrayz (did you mean arrays?)"},
      {"disk on an array the job does not list", JobTextFor(otherArray, R"(["prepare"])"), 2,
       "devices[0] (/dev/sda) is a disk of array 2FF70002AC00ABCD, which the job does not list (it lists "
       "2FF70002AC001234)"},
      {"fraction in a setting",
       JobTextFor(array, R"(["prepare"])", R"("settings":{"SMCONFIG_NAME_MOUNT_RETRY_INTERVAL_IN_SEC":1.5},)"), 2,
       "job.settings.SMCONFIG_NAME_MOUNT_RETRY_INTERVAL_IN_SEC must be a whole number from -2147483648 to "
       "2147483647"},
      {"setting beyond 32 bits", JobTextFor(arraySetting, R"(["prepare"])"), 2,
       "arrays[0].settings.SMCONFIG_NAME_ENABLE_THIN_PROVISIONING must be a whole number from -2147483648 to "
       "2147483647"},
      {"record of an array the job does not list",
       JobTextFor(array, R"(["delete"])", "",
                  R"([{"path":"/dev/sda","metadata":"2FF70002AC001234*4*a*b*c*d*e*f*g*h*1*0"}])"),
       2, "devices[0].metadata is a record of array 2FF70002AC001234, which the job does not list"},
  };
  for (const Case& c : cases) {
    const Outcome run = Tqso("run " + WriteJobFile(c.text), true);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.name << "\n" << run.out << run.err;
    EXPECT_NE(std::string::npos, run.err.find(c.message)) << c.name << "\n" << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("== ")) << c.name << ": no step runs\n" << run.out;
  }
}

// A later job reaches the copy an earlier one made through the record the device carries, the engine's whole
// record or only the copy's id, as an agent keeps records between jobs: its delete removes the copy from the
// array.
TEST_F(TqsoRun, ALaterJobDeletesTheCopyOfTheRecordItCarries) {
  const std::string array = ArrayEntry("127.0.0.1", "http", array_.port());
  const char kSource[] = R"({"wwn":"60002AC000000000000000000100ABCD","snapName":"job-snap-1")";
  for (const char* carried : {"metadata", "copy"}) {
    const Outcome first =
        Tqso("run --json " + JobFileFor(array, R"(["prepare","snap"])", "", std::string("[") + kSource + "}]"), true);
    ASSERT_EQ(0, first.exitCode) << carried << "\n" << first.out << first.err;
    jsonxx::Object report;
    ASSERT_TRUE(report.parse(first.out)) << first.out;
    const jsonxx::Object& snapped =
        report.get<jsonxx::Array>("steps").get<jsonxx::Object>(1).get<jsonxx::Array>("devices").get<jsonxx::Object>(0);
    const std::string copy = snapped.get<jsonxx::String>("copy");
    ASSERT_FALSE(copy.empty()) << snapped.json();
    ASSERT_NE(std::string::npos, array_->modelJson().find(copy)) << carried;
    jsonxx::Object device;
    device << "wwn"
           << "60002AC000000000000000000100ABCD" << carried << snapped.get<jsonxx::String>(carried);
    jsonxx::Array devices;
    devices << device;
    const Outcome second = Tqso("run " + JobFileFor(array, R"(["delete"])", "", devices.json()));
    EXPECT_EQ(0, second.exitCode) << carried << "\n" << second.out;
    EXPECT_NE(std::string::npos, second.out.find("20 deleted")) << second.out;
    EXPECT_EQ(std::string::npos, second.out.find("nothing to delete")) << second.out;
    EXPECT_EQ(std::string::npos, array_->modelJson().find(copy)) << carried << ": the copy is gone from the array";
  }
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
  const std::string jobFile = demo.JobFile();
  ASSERT_FALSE(jobFile.empty()) << "the demo named no job file";
  const Outcome devices = Tqso("devices " + jobFile);
  EXPECT_EQ(0, devices.exitCode) << devices.out;
  std::istringstream lines(devices.out);
  std::string heading;
  std::getline(lines, heading);
  const size_t wwnColumn = heading.find("LUN WWN");
  ASSERT_NE(std::string::npos, wwnColumn) << devices.out;
  for (int volume = 1; volume <= 3; ++volume) {
    std::string row;
    ASSERT_TRUE(std::getline(lines, row)) << devices.out;
    const std::string wwn = "60002AC000000000000000000" + std::to_string(volume) + "00ABCD";
    EXPECT_NE(std::string::npos, row.find("2FF70002AC00ABCD  " + wwn + "  vol" + std::to_string(volume))) << row;
    EXPECT_EQ(wwnColumn, row.find(wwn)) << "columns line up:\n" << devices.out;
  }
  demo.Stop();
  EXPECT_FALSE(std::ifstream(jobFile).good()) << "the job file goes with the array it names";
}

// With --json the kept demo prints one document, naming the kept array and the job file, and nothing else.
TEST(TqsoDemo, KeptJsonIsOneDocumentNamingTheArrayAndTheJobFile) {
  KeptDemo demo("--json");
  const std::string text = demo.ReadThrough([](const std::string& line) { return line[0] == '}'; });
  jsonxx::Object report;
  ASSERT_TRUE(report.parse(text)) << text;
  EXPECT_TRUE(report.get<jsonxx::Boolean>("ok"));
  EXPECT_EQ(0u, report.get<jsonxx::String>("array").rfind("http://127.0.0.1:", 0)) << text;
  const std::string jobFile = report.get<jsonxx::String>("jobFile");
  EXPECT_NE(std::string::npos, ReadWhole(jobFile).find("\"demo-snap-vol1\"")) << jobFile;
  EXPECT_EQ("", demo.Stop());
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

// Each way an array cannot be reached has its own problem line, with the transport's reason; an error text
// ends its row (no blank line after it); a failed device's reasons name source files without directories.
TEST_F(TqsoRun, ProblemLinesSayWhyTheArrayCouldNotBeReached) {
  smissim::SimulatorOptions httpsOptions = Options();
  httpsOptions.https = true;
  smissim::TestServer httpsArray(httpsOptions);
  tqtest::RefusingPort refusing;
  struct Case {
    const char* name;
    std::string array, expected;
  } cases[] = {
      {"refused port", ArrayEntry("127.0.0.1", "http", refusing.port()),
       "! array 2FF70002AC00ABCD at 127.0.0.1:" + std::to_string(refusing.port()) +
           " could not be reached: nothing accepts connections on that port\n"},
      {"unresolved name", ArrayEntry("no-such-host.invalid", "http", 5988),
       "! array 2FF70002AC00ABCD at no-such-host.invalid:5988 could not be reached: unknown host\n"},
      {"HTTPS to an HTTP port", ArrayEntry("127.0.0.1", "https", array_.port()),
       " could not be reached: TLS handshake failed (does the port speak HTTPS?)\n"},
      {"HTTP to an HTTPS port", ArrayEntry("127.0.0.1", "http", httpsArray.port()),
       "(sent over HTTP: does the provider expect HTTPS?)\n"},
  };
  const std::regex directoryOfSource("/[A-Za-z0-9_]+\\.(cpp|h):");
  for (const Case& c : cases) {
    const std::string jobFile = JobFileFor(c.array, R"(["prepare"])");
    const Outcome run = Tqso("run " + jobFile);
    EXPECT_EQ(1, run.exitCode) << c.name;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << c.name << "\n" << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("\n\n")) << c.name << "\n" << run.out;
    const Outcome json = Tqso("run --json " + jobFile, true);
    jsonxx::Object report;
    ASSERT_TRUE(report.parse(json.out)) << c.name << "\n" << json.out;
    const jsonxx::Object& failed =
        report.get<jsonxx::Array>("steps").get<jsonxx::Object>(0).get<jsonxx::Array>("devices").get<jsonxx::Object>(0);
    const jsonxx::Array& reasons = failed.get<jsonxx::Array>("reasons");
    EXPECT_GT(reasons.size(), 0u) << c.name << "\n" << failed.json();
    for (size_t i = 0; i < reasons.size(); ++i)
      EXPECT_FALSE(std::regex_search(reasons.get<jsonxx::String>(i), directoryOfSource))
          << c.name << ": " << reasons.get<jsonxx::String>(i);
  }
}

// A device whose copy was never made is deleted without a delete on the array, and its row says so.
TEST_F(TqsoRun, ADeleteWithNothingToDeleteSaysSo) {
  array_->injectFault(ReplicaRefused());
  const Outcome run = Tqso("run " + JobFile("secret", R"(["prepare","snap","delete"])"));
  EXPECT_EQ(1, run.exitCode) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("20 deleted              -\n"
                                            "            nothing to delete: no copy was made\n"))
      << run.out;
}

// A library that is not the engine is refused before any step, naming the calls it lacks.
TEST_F(TqsoRun, ALibraryWithoutTheEnginesCallsIsRefusedBeforeAnyStep) {
  const Outcome run = Tqso("run --engine " + std::string(TQHOST_LIBRARY) + " " + JobFile("secret", R"(["prepare"])"));
  EXPECT_EQ(2, run.exitCode) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("is not the engine library: it does not export tqso_version")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("tqso_prepareDevices")) << run.out;
  EXPECT_EQ(std::string::npos, run.out.find("== prepare")) << run.out;
}

TEST_F(TqsoRun, DevicesSaysSoWhenTheHostHasNoDisks) {
  const std::string jobFile =
      JobFileFor(ArrayEntry("127.0.0.1", "http", array_.port()), R"(["prepare"])", "", kTwoDevices, "10000000C9FFFFFF");
  const Outcome devices = Tqso("devices " + jobFile);
  EXPECT_EQ(0, devices.exitCode) << devices.out;
  EXPECT_EQ("no SCSI disks found\n", devices.out);
}

// Usage errors, no arguments included, go to standard error with exit code 2; asked-for help goes to
// standard output, with the job file format.
TEST(TqsoUsage, ErrorsGoToStandardErrorAndHelpToStandardOutput) {
  struct Case {
    std::string arguments;
    int exitCode;
    std::string err;
  } cases[] = {
      {"", 2, "tqso: no command given\nusage: tqso"},
      {"fly", 2, "tqso: unknown command fly\nusage: tqso"},
      {"run", 2, "tqso: run needs one job file\nusage: tqso"},
      {"run job.json --fly", 2, "tqso: unknown option --fly\nusage: tqso"},
      {"run job.json --engine", 2, "tqso: --engine needs a value\nusage: tqso"},
      {"--help", 0, ""},
      {"run --help", 0, ""},
  };
  for (const Case& c : cases) {
    const Outcome run = Tqso(c.arguments, true);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.arguments;
    EXPECT_EQ(0u, run.err.find(c.err)) << c.arguments << "\n" << run.err;
    if (c.exitCode == 0) {
      EXPECT_EQ("", run.err) << c.arguments;
      EXPECT_NE(std::string::npos, run.out.find("A job file is one JSON object")) << c.arguments << "\n" << run.out;
    } else {
      EXPECT_EQ("", run.out) << c.arguments;
    }
  }
}

}  // namespace
