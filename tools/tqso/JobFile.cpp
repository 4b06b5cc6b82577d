// Reading job files. The text must be strict JSON (checked first, so a fault is placed by line and column);
// every key must be known and every field is checked for its type and range; a password comes from the file
// itself, from an environment variable or from a file of its own.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "CopyRecord.h"
#include "Job.h"
#include "JsonSyntax.h"
#include "KnownKeys.h"
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
// The engine reads a numeric setting as a signed 32-bit number, and the provider's port as a port.
const long long kLowestSetting = std::numeric_limits<int32_t>::min();
const long long kHighestSetting = std::numeric_limits<int32_t>::max();
const char kPortSetting[] = "SMCONFIG_NAME_SMIS_SERVER_PORT";
const long long kHighestPort = 65535;

const std::vector<std::string> kJobKeys = {"engineId", "settings", "arrays", "host", "devices", "calls"};
const std::vector<std::string> kArrayKeys = {"id",       "address",     "protocol",     "port",    "user",
                                             "password", "passwordEnv", "passwordFile", "settings"};
const std::vector<std::string> kHostKeys = {"simulator", "user", "password", "fcPorts", "iscsiNames"};
const std::vector<std::string> kDeviceKeys = {"path", "wwn", "snapName", "metadata", "copy"};

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

// The number as a whole number from `low` to `high`; false for a fraction, an infinity or one out of range
// (checked before any conversion, which would be undefined for a number out of range).
bool WholeNumber(Number value, long long low, long long high, const std::string& field, long long& out,
                 std::string& error) {
  if (!(value >= static_cast<Number>(low) && value <= static_cast<Number>(high)) || std::floor(value) != value)
    return Fail(error, field + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  out = static_cast<long long>(value);
  return true;
}

bool OptionalNumber(const Object& object, const std::string& key, const std::string& where, int low, int high, int& out,
                    std::string& error) {
  if (object.kv_map().count(key) == 0) return true;
  if (!object.has<Number>(key)) return Fail(error, where + "." + key + " must be a number");
  long long value = 0;
  if (!WholeNumber(object.get<Number>(key), low, high, where + "." + key, value, error)) return false;
  out = static_cast<int>(value);
  return true;
}

bool Settings(const Object& object, const std::string& where, std::map<std::string, std::string>& out,
              std::string& error) {
  if (object.kv_map().count("settings") == 0) return true;
  if (!object.has<Object>("settings")) return Fail(error, where + ".settings must be an object");
  for (const auto& item : object.get<Object>("settings").kv_map()) {
    const std::string field = where + ".settings." + item.first;
    if (item.second->is<String>()) {
      out[item.first] = item.second->get<String>();
    } else if (item.second->is<Number>()) {
      const bool port = item.first == kPortSetting;
      long long value = 0;
      if (!WholeNumber(item.second->get<Number>(), port ? 1 : kLowestSetting, port ? kHighestPort : kHighestSetting,
                       field, value, error))
        return false;
      out[item.first] = std::to_string(value);
    } else {
      return Fail(error, field + " must be a text or a number");
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
  if (!OnlyKnownKeys(object, kArrayKeys, where, error) || !RequiredText(object, "id", where, array.id, error) ||
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

// A device's record from an earlier job: the engine's record whole, or the id of its copy.
bool CarriedRecord(const Object& object, const std::string& where, const DeviceSpec& device, std::string& error) {
  const bool hasMetadata = object.kv_map().count("metadata") != 0;
  const bool hasCopy = object.kv_map().count("copy") != 0;
  if (hasMetadata && hasCopy) return Fail(error, where + " takes one of metadata, copy, not both");
  if (hasMetadata && !IsCopyRecord(device.metadata))
    return Fail(error, where + ".metadata is not an engine record (the metadata field of tqso run --json)");
  if (hasCopy && (device.copy.empty() || device.copy.find('*') != std::string::npos))
    return Fail(error, where + ".copy must be a copy's volume id (the copy field of tqso run --json)");
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
  if (!OnlyKnownKeys(object, kDeviceKeys, where, error) || !OptionalText(object, "path", where, device.path, error) ||
      !OptionalText(object, "wwn", where, device.wwn, error) ||
      !OptionalText(object, "snapName", where, device.snapName, error) ||
      !OptionalText(object, "metadata", where, device.metadata, error) ||
      !OptionalText(object, "copy", where, device.copy, error))
    return false;
  if (device.path.empty() == device.wwn.empty()) return Fail(error, where + " needs exactly one of path, wwn");
  return CarriedRecord(object, where, device, error);
}

bool HostOf(const Object& object, HostSpec& host, std::string& error) {
  if (object.kv_map().count("host") == 0) return true;
  if (!object.has<Object>("host")) return Fail(error, "host must be an object");
  const Object& spec = object.get<Object>("host");
  if (!OnlyKnownKeys(spec, kHostKeys, "host", error) ||
      !RequiredText(spec, "simulator", "host", host.simulatorUrl, error) ||
      !OptionalText(spec, "user", "host", host.user, error) ||
      !OptionalText(spec, "password", "host", host.password, error) ||
      !TextList(spec, "fcPorts", "host", host.fcPorts, error) ||
      !TextList(spec, "iscsiNames", "host", host.iscsiNames, error))
    return false;
  if (host.fcPorts.empty() && host.iscsiNames.empty()) return Fail(error, "host needs fcPorts or iscsiNames");
  return true;
}

// A carried record names the array of its source, which the job must list to reach the copy.
bool RecordArrayListed(const Job& job, const DeviceSpec& device, const std::string& where, std::string& error) {
  if (device.metadata.empty()) return true;
  const std::string array = CopyFieldsOf(device.metadata).array;
  if (ListsArray(job, array)) return true;
  return Fail(error, where + ".metadata is a record of array " + array + ", which the job does not list (it lists " +
                         ListedArrays(job) + ")");
}

}  // namespace

std::string ListedArrays(const Job& job) {
  std::string ids;
  for (const ArraySpec& array : job.arrays) ids += (ids.empty() ? "" : ", ") + array.id;
  return ids;
}

bool ListsArray(const Job& job, const std::string& id) {
  return std::any_of(job.arrays.begin(), job.arrays.end(), [&](const ArraySpec& array) { return array.id == id; });
}

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
  if (!CheckJsonObjectSyntax(text, error)) return false;
  std::string decoded;
  if (!DecodeUnicodeEscapes(text, decoded, error)) return false;
  Object root;
  if (!root.parse(decoded)) return Fail(error, "the job file is not a JSON object");
  job = Job();
  if (!OnlyKnownKeys(root, kJobKeys, "", error) ||
      !OptionalNumber(root, "engineId", "job", 25, 26, job.engineId, error) ||
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
    if (!RecordArrayListed(job, device, "devices[" + std::to_string(i) + "]", error)) return false;
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

}  // namespace tqso
