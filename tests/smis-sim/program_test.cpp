// The smis-sim program: command line, printed port, seed file, certificate files, stop on SIGTERM.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "smis-sim/Certificate.h"
#include "support/SimClient.h"

using namespace Pegasus;
using namespace simtest;

namespace {

struct Program {
  pid_t pid = -1;
  FILE* output = nullptr;
};

// Starts the program with its output on a pipe.
Program launch(const std::vector<std::string>& arguments) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    dup2(fds[1], STDERR_FILENO);
    close(fds[0]);
    std::vector<char*> argv{const_cast<char*>(SMIS_SIM_PROGRAM)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(SMIS_SIM_PROGRAM, argv.data());
    _exit(127);
  }
  close(fds[1]);
  return Program{pid, fdopen(fds[0], "r")};
}

std::string line(FILE* output) {
  char buffer[512];
  return fgets(buffer, sizeof buffer, output) ? std::string(buffer) : std::string();
}

// What the program writes until it closes its output.
std::string everything(FILE* output) {
  std::string text;
  for (std::string got = line(output); !got.empty(); got = line(output)) text += got;
  return text;
}

int finish(Program& program, int signal) {
  if (signal) kill(program.pid, signal);
  int status = 0;
  waitpid(program.pid, &status, 0);
  fclose(program.output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A file the program reads, removed with the test however it ends.
struct TempFile {
  TempFile(const std::string& name, const std::string& text)
      : path(testing::TempDir() + std::to_string(getpid()) + "-" + name) {
    std::ofstream(path) << text;
  }
  ~TempFile() { std::remove(path.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string path;
};

TEST(ProgramTest, ServesTheSeedFileOverHttpsWithGivenCertificateUntilTerminated) {
  smissim::Certificate certificate = smissim::Certificate::selfSigned("127.0.0.1");
  const TempFile cert("smis-sim-cert.pem", certificate.certificatePem());
  const TempFile key("smis-sim-key.pem", certificate.keyPem());
  const TempFile seed("smis-sim-seed.json", R"({"arrays":[{"serial":"00F00D","cpgs":["C"],
        "volumes":[{"name":"only","cpg":"C","wwn":"60002ac000000000000000000100f00d"}]}]})");

  Program program = launch({"--port", "0", "--https", "--cert", cert.path, "--key", key.path, "--seed", seed.path,
                            "--user", "operator", "--password", "pw"});
  ASSERT_NE(nullptr, program.output);
  std::string banner = line(program.output);
  EXPECT_NE(std::string::npos, banner.find("https://127.0.0.1:")) << banner;
  std::string portLine = line(program.output);
  ASSERT_EQ(0u, portLine.rfind("port ", 0)) << portLine;
  int port = std::stoi(portLine.substr(5));

  CIMClient client;
  SSLContext context("", &acceptAnyCertificate);
  client.connect("127.0.0.1", static_cast<Uint32>(port), context, "operator", "pw");
  Array<CIMInstance> volumes = client.enumerateInstances(tpd(), "CIM_StorageVolume", true, false);
  ASSERT_EQ(1u, volumes.size());
  EXPECT_EQ(String("only"), propertyText(volumes[0], "ElementName"));
  EXPECT_EQ(String("60002AC000000000000000000100F00D"), propertyText(volumes[0], "DeviceID"))
      << "a WWN in lower case is taken, ending in the serial whatever the case";
  client.disconnect();

  EXPECT_EQ(0, finish(program, SIGTERM));
}

// Options and seed files the program refuses at start (exit 2), each with the message that says why.
TEST(ProgramTest, RefusesBadOptionsAndSeedsSayingWhy) {
  struct Case {
    std::vector<std::string> arguments;
    std::string seed;  // when not empty, written to a file given with --seed
    std::string message;
  };
  auto wwnSeed = [](const std::string& wwn) {
    return R"({"arrays":[{"serial":"001234","cpgs":["C"],"volumes":[{"name":"v1","cpg":"C","wwn":")" + wwn +
           R"("}]}]})";
  };
  auto wwnRefused = [](const std::string& wwn) {
    return "volume v1: WWN \"" + wwn + "\" is not 32 hex digits ending in the array's serial 001234";
  };
  const Case cases[] = {
      {{"--port", "70000"}, "", "bad port: 70000 (a whole number from 0 to 65535)"},
      {{"--port", "5988x"}, "", "bad port: 5988x"},
      {{"--threads", "abc"}, "", "bad thread count: abc (a whole number from 1 to 65535)"},
      {{"--threads", "0"}, "", "bad thread count: 0"},
      {{"--threads"}, "", "--threads needs a value"},
      {{"--cert", "only-a-cert.pem"}, "", "--cert and --key go together"},
      {{"--seed", "/nonexistent/seed.json"}, "", "cannot read /nonexistent/seed.json"},
      {{"--frobnicate"}, "", "unknown option --frobnicate"},
      {{},
       R"({"arrays":[{"serial":"001234","hosts":["h1"],"hardwareIds":[{"port":"10000000C9000002","hosts":["h1","h2"]}]}]})",
       "hardware ID 10000000C9000002: no host h2"},
      {{}, wwnSeed("60002AC0..."), wwnRefused("60002AC0...")},  // a placeholder
      {{}, wwnSeed("60002AC000000000000000000100BEEF"), wwnRefused("60002AC000000000000000000100BEEF")},  // serial
      {{}, wwnSeed("60002AC00000000000000000001234"), wwnRefused("60002AC00000000000000000001234")},      // 30
      {{}, wwnSeed("60002AC0000000000000000G01001234"), wwnRefused("60002AC0000000000000000G01001234")},  // not hex
      {{}, wwnSeed("001234"), wwnRefused("001234")},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    std::unique_ptr<TempFile> seed;
    if (!c.seed.empty()) {
      seed = std::make_unique<TempFile>("smis-sim-refused-seed.json", c.seed);
      arguments.insert(arguments.end(), {"--port", "0", "--seed", seed->path});
    }
    SCOPED_TRACE(c.message);
    Program program = launch(arguments);
    ASSERT_NE(nullptr, program.output);
    const std::string output = everything(program.output);
    EXPECT_EQ(2, finish(program, 0)) << output;
    EXPECT_EQ(0u, output.rfind("smis-sim: " + c.message, 0)) << output;
  }
}

// The seed document that tools/smis-sim/README.md shows is served as written.
TEST(ProgramTest, ServesTheSeedExampleOfItsReadme) {
  std::ifstream readme(SMIS_SIM_README);
  ASSERT_TRUE(readme) << SMIS_SIM_README;
  const std::string text((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
  const std::size_t section = text.find("## Seed documents");
  const std::size_t begin = text.find("```json\n", section);
  ASSERT_NE(std::string::npos, begin);
  const std::size_t end = text.find("```", begin + 8);
  const TempFile seed("smis-sim-readme-seed.json", text.substr(begin + 8, end - begin - 8));

  Program program = launch({"--port", "0", "--seed", seed.path});
  ASSERT_NE(nullptr, program.output);
  line(program.output);
  const std::string portLine = line(program.output);
  ASSERT_EQ(0u, portLine.rfind("port ", 0)) << portLine << everything(program.output);

  CIMClient client;
  client.connect("127.0.0.1", static_cast<Uint32>(std::stoi(portLine.substr(5))), "admin", "secret");
  const Array<CIMObjectPath> hosts = client.enumerateInstanceNames(tpd(), "TPD_StorageHardwareIDCollection");
  EXPECT_EQ(2u, hosts.size()) << "host1 and host2";
  client.disconnect();
  EXPECT_EQ(0, finish(program, SIGTERM));
}

}  // namespace
