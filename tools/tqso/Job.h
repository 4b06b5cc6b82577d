// A job for the engine as the harness reads it from a job file: the arrays and how to log in to them,
// the host whose devices take part, the engine and its settings, the devices and the calls in order.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tqso {

struct ArraySpec {
  std::string id;  // the array's system name, e.g. "2FF70002AC00ABCD" (its CIM_ComputerSystem Name)
  std::string address;
  bool https = false;
  int port = 0;  // 0: 5988 for HTTP, 5989 for HTTPS
  std::string user;
  std::string password;  // never printed
  std::map<std::string, std::string> settings;
};

// The simulated host (its disks are what a simulated array exposes to its ports); empty URL: this machine.
struct HostSpec {
  std::string simulatorUrl;
  std::string user;
  std::string password;
  std::vector<std::string> fcPorts;
  std::vector<std::string> iscsiNames;
};

struct DeviceSpec {
  std::string path;      // a host device path
  std::string wwn;       // or the LUN WWN of a disk of the simulated host
  std::string snapName;  // the name of its copy on the array
  // Its record from an earlier job, as an agent keeps it between jobs: the engine's record whole (the
  // "metadata" of tqso run --json), or only its copy's volume id ("copy"); both empty for a new device.
  std::string metadata;
  std::string copy;
};

struct Job {
  int engineId = 25;  // 25 snapshots, 26 clones
  std::map<std::string, std::string> settings;
  std::vector<ArraySpec> arrays;
  HostSpec host;
  std::vector<DeviceSpec> devices;
  std::vector<std::string> calls;
};

// The job in a JSON text; false with a message naming the field that is wrong.
bool ParseJob(const std::string& text, Job& job, std::string& error);
bool ReadJobFile(const std::string& path, Job& job, std::string& error);
// The job as a job file text, every field the reader reads (passwords written as given: for files the
// harness writes itself).
std::string JobFileText(const Job& job);
// The ids of the job's arrays, joined by ", ".
std::string ListedArrays(const Job& job);
// Whether the job lists the array of that id.
bool ListsArray(const Job& job, const std::string& id);

// The calls a job can make, by the name used in job files.
const std::vector<std::string>& KnownCalls();

}  // namespace tqso
