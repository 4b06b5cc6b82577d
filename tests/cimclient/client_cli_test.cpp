// The cimcli tool end to end against the loopback server: options, parameter texts, printed answers, exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "support/LoopbackCimServer.h"

using namespace Pegasus;
using cimtest::LoopbackCimServer;
using CimXml::Request;
using CimXml::Response;

namespace {

// The build tree mirrors the source tree: tests/cimclient/<this test> and tools/cimcli/cimcli.
std::string cimcliPath() {
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return std::string();
  std::string directory(self, static_cast<std::size_t>(length));
  directory.resize(directory.rfind('/'));
  return directory + "/../../tools/cimcli/cimcli";
}

std::string shellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct RunResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

// Standard output and error together, or standard output alone.
RunResult runCimcli(const std::vector<std::string>& arguments, bool standardOutputOnly = false) {
  std::string command = shellQuoted(cimcliPath());
  for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
  command += standardOutputOnly ? " 2>/dev/null" : " 2>&1";
  RunResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  const int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

CIMObjectPath diskPath(const char* id) {
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("DeviceID", id, CIMKeyBinding::STRING));
  return CIMObjectPath(String(), CIMNamespaceName(), "TPD_StorageVolume", keys);
}

Response answer(const Request& request) {
  Response response;
  if (request.methodName == "EnumerateInstanceNames") {
    response.returnKind = Response::INSTANCE_NAMES;
    response.paths = {diskPath("1"), diskPath("2")};
  } else if (request.methodName == "EnumerateInstances") {
    CIMInstance instance("TPD_StorageVolume");
    instance.addProperty(CIMProperty("ElementName", CIMValue(String("vol 1"))));
    instance.addProperty(CIMProperty("Description", CIMValue(String("a\", \"b\\\n"))));
    instance.addProperty(CIMProperty("BlockSize", CIMValue(Uint64(512))));
    Array<Uint16> status;
    status.append(2);
    status.append(32768);
    instance.addProperty(CIMProperty("OperationalStatus", CIMValue(status)));
    instance.addProperty(CIMProperty("Caption", CIMValue(CIMTYPE_STRING, false)));
    instance.setPath(diskPath("1"));
    response.returnKind = Response::NAMED_INSTANCES;
    response.instances = {instance};
  } else if (request.methodName == "GetInstance") {
    response.isError = true;
    response.errorCode = CIM_ERR_NOT_FOUND;
    response.errorDescription = "CIM_ERR_NOT_FOUND: no such volume";  // as providers often write it
  } else {
    response.returnValue = CIMValue(Uint32(0));
    response.outParams.push_back(CIMParamValue("TargetElement", CIMValue(diskPath("9"))));
  }
  return response;
}

class Cimcli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(cimcliPath().c_str(), X_OK) != 0) GTEST_SKIP() << "cimcli is not built next to the tests";
  }

  std::vector<std::string> connection(const LoopbackCimServer& server, const char* scheme = "http") const {
    return {"--url", std::string(scheme) + "://127.0.0.1:" + std::to_string(server.port()),
            "-n",    "root/tpd",
            "-u",    "admin",
            "-p",    "s3cret"};
  }

  LoopbackCimServer server{answer, {false, "admin", "s3cret"}};
};

TEST_F(Cimcli, PrintsNamesAndInstances) {
  std::vector<std::string> args = connection(server);
  args.insert(args.end(), {"ein", "TPD_StorageVolume"});
  RunResult names = runCimcli(args);
  EXPECT_EQ(0, names.exitCode) << names.output;
  EXPECT_EQ("TPD_StorageVolume.DeviceID=\"1\"\nTPD_StorageVolume.DeviceID=\"2\"\n", names.output);

  args.back() = "TPD_StorageVolume";
  args[args.size() - 2] = "ei";
  RunResult instances = runCimcli(args);
  EXPECT_EQ(0, instances.exitCode) << instances.output;
  EXPECT_EQ(
      "TPD_StorageVolume.DeviceID=\"1\"\n"
      "    ElementName (string) = \"vol 1\"\n"
      "    Description (string) = \"a\\\", \\\"b\\\\\\n\"\n"
      "    BlockSize (uint64) = 512\n"
      "    OperationalStatus (uint16[]) = {2, 32768}\n"
      "    Caption (string) = NULL\n\n",
      instances.output);
}

TEST_F(Cimcli, InvokesAMethodWithTypedParametersOverHttps) {
  LoopbackCimServer secure(answer, {true, "admin", "s3cret"});
  std::vector<std::string> args = connection(secure, "https");
  args.insert(args.end(), {"cm", "TPD_StorageConfigurationService.Name=\"S1\"", "CreateReplica", "ElementName=snap 1",
                           "CopyType:uint16=4", "SourceElement:reference=TPD_StorageVolume.DeviceID=\"1\"",
                           "TargetPool:reference", "Sizes:uint64[]=1,2"});
  RunResult run = runCimcli(args);
  EXPECT_EQ(0, run.exitCode) << run.output;
  EXPECT_EQ("ReturnValue (uint32) = 0\nTargetElement (reference) = TPD_StorageVolume.DeviceID=\"9\"\n", run.output);

  const Request sent = secure.lastSeen().decoded;
  EXPECT_EQ("CreateReplica", sent.methodName);
  ASSERT_EQ(5u, sent.params.size());
  EXPECT_EQ("snap 1", sent.params[0].value.toString());
  EXPECT_EQ(CIMTYPE_UINT16, sent.params[1].value.getType());
  EXPECT_EQ(diskPath("1"), [&] {
    CIMObjectPath p;
    sent.params[2].value.get(p);
    return p;
  }());
  EXPECT_TRUE(sent.params[3].value.isNull());
  EXPECT_EQ("1 2 ", sent.params[4].value.toString());
  EXPECT_TRUE(sent.params[4].value.isArray());
}

TEST_F(Cimcli, FailuresExitNonZeroWithTheReason) {
  struct Case {
    std::vector<std::string> tail;
    int exitCode;
    const char* inOutput;
  };
  const Case cases[] = {
      {{"gi", "TPD_StorageVolume.DeviceID=\"404\""}, 1, "no such volume"},
      {{"cm", "TPD_StorageConfigurationService.Name=\"S1\"", "M", "CopyType:uint16=70000"}, 2, "CopyType"},
      {{"cm", "X.Name=\"S1\"", "M", "Id:colour=red"}, 2, "unknown type colour"},
      {{"frobnicate"}, 2, "unknown command"},
      {{"--url", "ftp://127.0.0.1:1", "ein", "X"}, 2, "http:// or https://"},
      {{"--url", "http://127.0.0.1:99999", "ein", "X"}, 2, "invalid port"},
      {{"gi", "60002AC0"}, 2, "malformed"},
      {{"ein", "Not A Class"}, 2, "The CIM name is not valid"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = connection(server);
    args.insert(args.end(), c.tail.begin(), c.tail.end());
    RunResult run = runCimcli(args);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.tail.front() << ": " << run.output;
    EXPECT_NE(std::string::npos, run.output.find(c.inOutput)) << run.output;
  }

  RunResult wrongPassword = runCimcli({"--url", "http://127.0.0.1:" + std::to_string(server.port()), "-u", "admin",
                                       "-p", "guess", "ein", "TPD_StorageVolume"});
  EXPECT_EQ(1, wrongPassword.exitCode);
  EXPECT_NE(std::string::npos, wrongPassword.output.find("401")) << wrongPassword.output;

  std::vector<std::string> args = connection(server);
  args.insert(args.end(), {"gi", "TPD_StorageVolume.DeviceID=\"404\""});
  EXPECT_EQ("cimcli: CIM error 6 (CIM_ERR_NOT_FOUND): no such volume\n", runCimcli(args).output)
      << "the code name is said once";
}

TEST_F(Cimcli, HelpAskedForIsStandardOutputAndSuccess) {
  for (const char* option : {"--help", "-h"}) {
    RunResult help = runCimcli({option}, true);
    EXPECT_EQ(0, help.exitCode) << option;
    EXPECT_EQ(0u, help.output.find("usage: cimcli")) << help.output;
    EXPECT_NE(std::string::npos, help.output.find("-h, --help")) << help.output;
    EXPECT_NE(std::string::npos, help.output.find("exit codes: 0 success, 1 the operation failed")) << help.output;
  }
  RunResult wrong = runCimcli({"--frobnicate"}, true);
  EXPECT_EQ(2, wrong.exitCode);
  EXPECT_EQ("", wrong.output) << "usage errors go to standard error";
}

// A failed connection says "Connection failed" first, then why.
TEST_F(Cimcli, FailedConnectionsSayWhy) {
  LoopbackCimServer secure(answer, {true, "admin", "s3cret"});
  const std::string trustStore = ::testing::TempDir() + "cimcli-trust.pem";
  const std::string garbage = ::testing::TempDir() + "cimcli-garbage.pem";
  {
    FILE* file = std::fopen(trustStore.c_str(), "w");
    ASSERT_NE(nullptr, file);
    std::fputs(secure.certificatePem().c_str(), file);
    std::fclose(file);
    file = std::fopen(garbage.c_str(), "w");
    ASSERT_NE(nullptr, file);
    std::fputs("not a certificate\n", file);
    std::fclose(file);
  }
  const std::string httpPort = std::to_string(server.port());
  const std::string httpsPort = std::to_string(secure.port());
  struct Case {
    std::vector<std::string> options;
    const char* cause;  // nullptr: the operation succeeds
  };
  const Case cases[] = {
      {{"--url", "http://127.0.0.1:1"}, "nothing accepts connections on that port"},
      {{"--url", "http://no-such-host.invalid:5988", "-t", "3000"}, "unknown host"},
      {{"--url", "https://127.0.0.1:" + httpPort}, "TLS handshake failed"},
      // The certificate is issued for 127.0.0.1: with a trust store the name is verified too.
      {{"--url", "https://127.0.0.1:" + httpsPort, "--trust-store", trustStore}, nullptr},
      {{"--url", "https://localhost:" + httpsPort, "--trust-store", trustStore}, "certificate was refused"},
      {{"--url", "https://localhost:" + httpsPort}, nullptr},  // no trust store: any certificate, as the engine
      {{"--url", "https://127.0.0.1:" + httpsPort, "--trust-store", garbage}, "certificate check could not be set up"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-u", "admin", "-p", "s3cret", "ein", "TPD_StorageVolume"});
    RunResult run = runCimcli(args);
    if (!c.cause) {
      EXPECT_EQ(0, run.exitCode) << c.options[1] << ": " << run.output;
      continue;
    }
    EXPECT_EQ(1, run.exitCode) << c.options[1] << ": " << run.output;
    const std::size_t failed = run.output.find("Connection failed: ");
    EXPECT_NE(std::string::npos, failed) << run.output;
    EXPECT_LT(failed, run.output.find(c.cause)) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(c.cause)) << run.output;
  }
  std::remove(trustStore.c_str());
  std::remove(garbage.c_str());
}

// An HTTPS port closes a plain HTTP request unanswered; the message says what that may mean.
TEST_F(Cimcli, PlainHttpToAnHttpsPortSaysItMayExpectHttps) {
  LoopbackCimServer secure(answer, {true, "admin", "s3cret"});
  RunResult run = runCimcli({"--url", "http://127.0.0.1:" + std::to_string(secure.port()), "-u", "admin", "-p",
                             "s3cret", "ein", "TPD_StorageVolume"});
  EXPECT_EQ(1, run.exitCode) << run.output;
  EXPECT_EQ("cimcli: Connection closed by CIM Server. (sent over HTTP: does the provider expect HTTPS?)\n", run.output);
}

}  // namespace
