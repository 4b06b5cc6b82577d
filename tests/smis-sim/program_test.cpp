// The smis-sim program: command line, printed port, seed file, certificate files, stop on SIGTERM.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
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
        "volumes":[{"name":"only","cpg":"C"}]}]})");

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
  client.disconnect();

  EXPECT_EQ(0, finish(program, SIGTERM));
}

TEST(ProgramTest, RefusesBadCommandLines) {
  const std::vector<std::vector<std::string>> cases = {
      {"--port", "70000"}, {"--bind", "0.0.0.0"}, {"--cert", "only-a-cert.pem"}, {"--seed", "/nonexistent/seed.json"},
      {"--frobnicate"},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(arguments[0]);
    Program program = launch(arguments);
    ASSERT_NE(nullptr, program.output);
    EXPECT_EQ(2, finish(program, 0));
  }
}

}  // namespace
