#include "ProcessRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace bench {

namespace {

double seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

const char kReportTag[] = "\n@launched ";  // then peak KiB, user and system seconds

}  // namespace

int launchAndReport(char** argv) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return 127;
  if (child == 0) {
    execvp(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  std::printf("%s%ld %.6f %.6f\n", kReportTag, usage.ru_maxrss, seconds(usage.ru_utime), seconds(usage.ru_stime));
  std::fflush(stdout);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}

ProcessRun runProcess(const std::vector<std::string>& programArgv, bool keepOutput) {
  std::vector<std::string> argv = {"/proc/self/exe", kLaunchArgument};
  argv.insert(argv.end(), programArgv.begin(), programArgv.end());
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);

  ProcessRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int failed = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (failed != 0) {
    close(pipeEnds[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }
  char buffer[4096];
  ssize_t got = 0;
  std::string output;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
    output.append(buffer, static_cast<size_t>(got));
    // Only the tail is needed for the launcher's report unless the output is kept.
    if (!keepOutput && output.size() > 4096) output.erase(0, output.size() - 256);
  }
  close(pipeEnds[0]);

  int status = 0;
  waitpid(child, &status, 0);
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const std::size_t report = output.rfind(kReportTag);
  if (report == std::string::npos) throw std::runtime_error("no figures from the launcher of " + programArgv[0]);
  long peakKiB = 0;
  double user = 0, system = 0;
  std::sscanf(output.c_str() + report + std::strlen(kReportTag), "%ld %lf %lf", &peakKiB, &user, &system);
  run.cpuSeconds = user + system;
  run.peakBytes = static_cast<double>(peakKiB) * 1024.0;
  if (keepOutput) run.output = output.substr(0, report);
  return run;
}

std::string findInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

}  // namespace bench
