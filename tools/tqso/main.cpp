// tqso: plays the host agent for the snapshot engine. It loads the engine library as an agent does, fills
// the host's records from a job file and makes the engine's calls, printing what each left on each device.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

const char kUsage[] =
    "usage: tqso <command> [options]\n"
    "\n"
    "commands:\n"
    "  run JOBFILE   make the calls of a job file against its arrays and print each step\n"
    "  devices [JOBFILE]  list the host's disks and which are 3PAR volumes (the job file's host, if given)\n"
    "  demo          run a whole job against a simulated array and host on loopback\n"
    "\n"
    "options:\n"
    "  --json        one JSON document instead of tables (run, demo)\n"
    "  --https       the simulated array speaks HTTPS (demo)\n"
    "  --keep        leave the simulated array running and write a job file for it, printing its path (demo)\n"
    "  --engine PATH the engine library to load (default: $TQSO_ENGINE, else the one installed or built with tqso)\n"
    "  --log FILE    write the engine's log, with every device's SMI-S trace, to FILE\n"
    "  --help        this text, and the job file format (tqso --help, tqso run --help)\n"
    "\n"
    "The exit code is 0 when every device of every step succeeded, 1 when a step failed, 2 when the job\n"
    "could not be run (a bad job file, an engine library that does not load or lacks the engine's calls, a host\n"
    "that cannot be read).\n";

const char kJobHelp[] =
    "A job file is one JSON object:\n"
    "  {\"engineId\": 25,                       25 snapshots (default), 26 clones\n"
    "   \"settings\": {\"NAME\": value, ...},     engine settings given to every device (optional)\n"
    "   \"arrays\": [{\"id\": \"2FF70002AC00ABCD\", the array's system name (its CIM_ComputerSystem Name)\n"
    "               \"address\": \"10.0.0.5\", \"protocol\": \"https\", \"port\": 5989,\n"
    "               \"user\": \"admin\", \"password\": \"...\" | \"passwordEnv\": \"VAR\" | \"passwordFile\": "
    "\"path\",\n"
    "               \"settings\": {...}}],\n"
    "   \"devices\": [\"/dev/sdb\", {\"path\": \"/dev/sdc\", \"snapName\": \"nightly-sdc\"}],\n"
    "   \"calls\": [\"prepare\", \"snap\", \"map\", \"unmap\", \"delete\", \"reconcile\"]}\n"
    "Calls: prepare unprepare snap map unmap delete revert reconcile isMapped.\n"
    "The file is strict JSON (a fault is placed by line and column, nothing may follow the object); unknown\n"
    "keys are refused; a number must be whole and in its range (a setting: a 32-bit number, the provider's port\n"
    "SMCONFIG_NAME_SMIS_SERVER_PORT 1 to 65535). A device whose disk is on an array the job does not list is\n"
    "refused before any call.\n"
    "A device may carry its record from an earlier job, as an agent keeps it between jobs, so a later job can map,\n"
    "unmap, revert, reconcile or delete that job's copy:\n"
    "  {\"path\": \"/dev/sdc\", \"metadata\": \"...\"}  the device's \"metadata\" printed by tqso run --json\n"
    "  {\"path\": \"/dev/sdc\", \"copy\": \"...\"}      only its \"copy\" (the copy's volume id): enough to\n"
    "                                         delete or reconcile the copy\n"
    "With \"host\": {\"simulator\": URL, \"user\": ..., \"password\": ..., \"fcPorts\": [...], \"iscsiNames\": [...]}\n"
    "the host is a simulated one whose disks are what that simulated array exposes to those initiators; devices\n"
    "may then be {\"wwn\": ...}.\n";

bool IsHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

// A usage error: the reason and the usage on standard error, exit code 2.
int UsageError(const std::string& reason) {
  std::cerr << "tqso: " << reason << "\n" << kUsage;
  return 2;
}

struct CommandLine {
  tqso::Options options;
  std::vector<std::string> positional;
  bool help = false;
};

// The options and positional arguments; false with the reason for a usage error.
bool Parse(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (IsHelp(argument)) {
      line.help = true;
    } else if (argument == "--json") {
      line.options.json = true;
    } else if (argument == "--https") {
      line.options.https = true;
    } else if (argument == "--keep") {
      line.options.keep = true;
    } else if (argument == "--engine" || argument == "--log") {
      if (i + 1 == arguments.size()) {
        error = argument + " needs a value";
        return false;
      }
      (argument == "--engine" ? line.options.enginePath : line.options.logFile) = arguments[++i];
    } else if (argument.rfind("--", 0) == 0) {
      error = "unknown option " + argument;
      return false;
    } else {
      line.positional.push_back(argument);
    }
  }
  return true;
}

int Run(const CommandLine& line) {
  const std::vector<std::string>& positional = line.positional;
  const std::string& command = positional[0];
  if (command == "run") {
    if (positional.size() != 2) return UsageError("run needs one job file");
    return tqso::RunJobFile(positional[1], line.options);
  }
  if (command == "devices") return tqso::ListDevices(positional.size() > 1 ? positional[1] : "", line.options);
  if (command == "demo") return tqso::RunDemo(line.options);
  return UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  std::string error;
  if (!Parse(std::vector<std::string>(argv + 1, argv + argc), line, error)) return UsageError(error);
  const std::string command = line.positional.empty() ? "" : line.positional[0];
  if (line.help) {
    std::cout << kUsage;
    if (command.empty() || command == "run" || command == "devices") std::cout << "\n" << kJobHelp;
    return 0;
  }
  if (command.empty()) return UsageError("no command given");
  return Run(line);
}
