// Runs a program as a child process and measures it as the system accounts it: wall time, CPU time and
// peak resident memory (from wait4), with what it printed on standard output.
#pragma once
#include <string>
#include <vector>

namespace bench {

struct ProcessRun {
  double wallSeconds = 0;
  double cpuSeconds = 0;  // user and system
  double peakBytes = 0;   // largest resident set
  int exitStatus = -1;    // -1 when it did not exit normally
  std::string output;     // standard output when kept (standard error is dropped)
};

// Runs `argv` (argv[0] looked up in PATH) and waits for it; its output is read throughout and kept when
// asked. Throws std::runtime_error when it cannot start.
// The program is started through this program run as a launcher (see launchAndReport): a program started
// straight from a large process would report that process's resident set as its own peak, since the kernel
// keeps the high-water mark across exec.
ProcessRun runProcess(const std::vector<std::string>& argv, bool keepOutput);

// The launcher: when this program's first argument is kLaunchArgument, main calls this with the arguments
// after it. Runs them as a child, then prints the child's CPU and peak on a line of its own after its output,
// and exits as the child did.
constexpr const char* kLaunchArgument = "--launch";
int launchAndReport(char** argv);

// The path of `name` in PATH, or "" when it is not installed.
std::string findInPath(const std::string& name);

}  // namespace bench
