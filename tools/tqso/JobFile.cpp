// Reading and writing job files. Every field is checked for its type; a password comes from the file
// itself, from an environment variable or from a file of its own.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "Job.h"
#include "UnicodeEscapes.h"
#include "jsonxx.h"

namespace tqso {

namespace {

using jsonxx::Array;
using jsonxx::Number;
using jsonxx::Object;
using jsonxx::String;

// The engine's calls take the count of devices as a signed 16-bit number.
const size_t kMostDevices = static_cast<size_t>(std::numeric_limits<short>::max());

bool Fail(std::string& error, const std::string& text) {
  error = text;
  return false;
}

bool OptionalText(const Object& object, const std::string& key, const std::string& where, std::string& out,
                  std::string& error) {
  if (object.kv_map().count(key) == 0) return true;
  if (!object.has<String>(key)) return Fail(error, where + "." + key + " must be a text");
  out = object.get<String>(key);
  return true;
}

bool RequiredText(const Object& object, const std::string& key, const std::string& where, std::string& out,
                  std::string& error) {
  if (object.kv_map().count(key) == 0) return Fail(error, where + "." + key + " is missing");
  if (!OptionalText(object, key, where, out, error)) return false;
  if (out.empty()) return Fail(error, where + "." + key + " is empty");
  return true;
}

bool OptionalNumber(const Object& object, const std::string& key, const std::string& where, int low, int high, int& out,
                    std::string& error) {
  if (object.kv_map().count(key) == 0) return true;
  if (!object.has<Number>(key)) return Fail(error, where + "." + key + " must be a number");
  const Number value = object.get<Number>(key);
  if (value < low || value > high || value != static_cast<int>(value))
    return Fail(error, where + "." + key + " must be a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high));
  out = static_cast<int>(value);
  return true;
}

bool Settings(const Object& object, const std::string& where, std::map<std::string, std::string>& out,
              std::string& error) {
  if (object.kv_map().count("settings") == 0) return true;
  if (!object.has<Object>("settings")) return Fail(error, where + ".settings must be an object");
  for (const auto& item : object.get<Object>("settings").kv_map()) {
    if (item.second->is<String>()) {
      out[item.first] = item.second->get<String>();
    } else if (item.second->is<Number>()) {
      out[item.first] = std::to_string(static_cast<long long>(item.second->get<Number>()));
    } else {
      return Fail(error, where + ".settings." + item.first + " must be a text or a number");
    }
  }
  return true;
}

bool TextList(const Object& object, const std::string& key, const std::string& where, std::vector<std::string>& out,
              std::string& error) {
  if (object.kv_map().count(key) == 0) return true;
  if (!object.has<Array>(key)) return Fail(error, where + "." + key + " must be a list of texts");
  const Array& list = object.get<Array>(key);
  for (unsigned i = 0; i < list.size(); ++i) {
    if (!list.has<String>(i)) return Fail(error, where + "." + key + "[" + std::to_string(i) + "] must be a text");
    out.push_back(list.get<String>(i));
  }
  return true;
}

bool Password(const Object& object, const std::string& where, std::string& password, std::string& error) {
  const bool direct = object.kv_map().count("password") != 0;
  const bool fromEnv = object.kv_map().count("passwordEnv") != 0;
  const bool fromFile = object.kv_map().count("passwordFile") != 0;
  if (direct + fromEnv + fromFile != 1)
    return Fail(error, where + " needs exactly one of password, passwordEnv, passwordFile");
  if (direct) return OptionalText(object, "password", where, password, error);
  std::string source;
  if (fromEnv) {
    if (!RequiredText(object, "passwordEnv", where, source, error)) return false;
    const char* value = std::getenv(source.c_str());
    if (value == nullptr)
      return Fail(error, where + ".passwordEnv: the environment variable " + source + " is not set");
    password = value;
    return true;
  }
  if (!RequiredText(object, "passwordFile", where, source, error)) return false;
  std::ifstream file(source);
  if (!file || !std::getline(file, password))
    return Fail(error, where + ".passwordFile: the file " + source + " cannot be read");
  while (!password.empty() && (password.back() == '\r' || password.back() == '\n')) password.pop_back();
  return true;
}

bool ArrayOf(const Object& object, const std::string& where, ArraySpec& array, std::string& error) {
  std::string protocol = "http";
  if (!RequiredText(object, "id", where, array.id, error) ||
      !RequiredText(object, "address", where, array.address, error) ||
      !OptionalText(object, "protocol", where, protocol, error) ||
      !OptionalNumber(object, "port", where, 1, 65535, array.port, error) ||
      !RequiredText(object, "user", where, array.user, error) || !Password(object, where, array.password, error) ||
      !Settings(object, where, array.settings, error))
    return false;
  // The array-info text the engine reads cannot carry these characters inside a value.
  for (const std::string* value : {&array.address, &array.user, &array.password})
    if (value->find_first_of(",}") != std::string::npos)
      return Fail(error, where + ": address, user and password cannot hold ',' or '}'");
  if (protocol != "http" && protocol != "https") return Fail(error, where + ".protocol must be \"http\" or \"https\"");
  array.https = protocol == "https";
  return true;
}

bool DeviceOf(const Array& list, unsigned i, DeviceSpec& device, std::string& error) {
  const std::string where = "devices[" + std::to_string(i) + "]";
  if (list.has<String>(i)) {
    device.path = list.get<String>(i);
    if (device.path.empty()) return Fail(error, where + " is empty");
    return true;
  }
  if (!list.has<Object>(i)) return Fail(error, where + " must be a device path or an object");
  const Object& object = list.get<Object>(i);
  if (!OptionalText(object, "path", where, device.path, error) ||
      !OptionalText(object, "wwn", where, device.wwn, error) ||
      !OptionalText(object, "snapName", where, device.snapName, error))
    return false;
  if (device.path.empty() == device.wwn.empty()) return Fail(error, where + " needs exactly one of path, wwn");
  return true;
}

bool HostOf(const Object& object, HostSpec& host, std::string& error) {
  if (object.kv_map().count("host") == 0) return true;
  if (!object.has<Object>("host")) return Fail(error, "host must be an object");
  const Object& spec = object.get<Object>("host");
  if (!RequiredText(spec, "simulator", "host", host.simulatorUrl, error) ||
      !OptionalText(spec, "user", "host", host.user, error) ||
      !OptionalText(spec, "password", "host", host.password, error) ||
      !TextList(spec, "fcPorts", "host", host.fcPorts, error) ||
      !TextList(spec, "iscsiNames", "host", host.iscsiNames, error))
    return false;
  if (host.fcPorts.empty() && host.iscsiNames.empty()) return Fail(error, "host needs fcPorts or iscsiNames");
  return true;
}

}  // namespace

const std::vector<std::string>& KnownCalls() {
  static const std::vector<std::string> calls = {"prepare", "unprepare", "snap",      "map",     "unmap",
                                                 "delete",  "revert",    "reconcile", "isMapped"};
  return calls;
}

bool ParseJob(const std::string& text, Job& job, std::string& error) {
  // A NUL byte would cut a text short on its way to the engine (as an escaped one would, below).
  const size_t nul = text.find('\0');
  if (nul != std::string::npos)
    return Fail(error,
                "the job file holds a NUL byte at byte " + std::to_string(nul) + ", which no engine text can carry");
  std::string decoded;
  if (!DecodeUnicodeEscapes(text, decoded, error)) return false;
  Object root;
  if (!root.parse(decoded)) return Fail(error, "the job file is not a JSON object");
  job = Job();
  if (!OptionalNumber(root, "engineId", "job", 25, 26, job.engineId, error) ||
      !Settings(root, "job", job.settings, error) || !HostOf(root, job.host, error))
    return false;
  if (!root.has<Array>("arrays") || root.get<Array>("arrays").size() == 0)
    return Fail(error, "arrays must be a list of at least one array");
  const Array& arrays = root.get<Array>("arrays");
  for (unsigned i = 0; i < arrays.size(); ++i) {
    const std::string where = "arrays[" + std::to_string(i) + "]";
    if (!arrays.has<Object>(i)) return Fail(error, where + " must be an object");
    ArraySpec array;
    if (!ArrayOf(arrays.get<Object>(i), where, array, error)) return false;
    job.arrays.push_back(array);
  }
  if (!root.has<Array>("devices") || root.get<Array>("devices").size() == 0)
    return Fail(error, "devices must be a list of at least one device");
  const Array& devices = root.get<Array>("devices");
  if (devices.size() > kMostDevices)
    return Fail(error, "devices: a job holds at most " + std::to_string(kMostDevices) +
                           " devices (the engine's calls " + "take a 16-bit count), this one has " +
                           std::to_string(devices.size()));
  for (unsigned i = 0; i < devices.size(); ++i) {
    DeviceSpec device;
    if (!DeviceOf(devices, i, device, error)) return false;
    if (!device.wwn.empty() && job.host.simulatorUrl.empty())
      return Fail(error, "devices[" + std::to_string(i) + "].wwn needs a simulated host (host.simulator)");
    job.devices.push_back(device);
  }
  if (!TextList(root, "calls", "job", job.calls, error)) return false;
  if (job.calls.empty()) return Fail(error, "calls must be a list of at least one call");
  for (size_t i = 0; i < job.calls.size(); ++i)
    if (std::find(KnownCalls().begin(), KnownCalls().end(), job.calls[i]) == KnownCalls().end())
      return Fail(error, "calls[" + std::to_string(i) + "]: unknown call \"" + job.calls[i] + "\"");
  return true;
}

bool ReadJobFile(const std::string& path, Job& job, std::string& error) {
  std::ifstream file(path);
  if (!file) return Fail(error, "the job file " + path + " cannot be read");
  std::stringstream text;
  text << file.rdbuf();
  return ParseJob(text.str(), job, error);
}

std::string JobFileText(const Job& job) {
  Object root;
  root << "engineId" << job.engineId;
  Array arrays;
  for (const ArraySpec& spec : job.arrays) {
    Object array;
    array << "id" << spec.id << "address" << spec.address << "protocol" << (spec.https ? "https" : "http");
    if (spec.port != 0) array << "port" << spec.port;
    array << "user" << spec.user << "password" << spec.password;
    arrays << array;
  }
  root << "arrays" << arrays;
  if (!job.host.simulatorUrl.empty()) {
    Object host;
    Array ports;
    for (const std::string& port : job.host.fcPorts) ports << port;
    host << "simulator" << job.host.simulatorUrl << "user" << job.host.user << "password" << job.host.password
         << "fcPorts" << ports;
    root << "host" << host;
  }
  Array devices;
  for (const DeviceSpec& spec : job.devices) {
    Object device;
    if (!spec.path.empty()) device << "path" << spec.path;
    if (!spec.wwn.empty()) device << "wwn" << spec.wwn;
    if (!spec.snapName.empty()) device << "snapName" << spec.snapName;
    devices << device;
  }
  root << "devices" << devices;
  Array calls;
  for (const std::string& call : job.calls) calls << call;
  root << "calls" << calls;
  return root.json();
}

}  // namespace tqso
