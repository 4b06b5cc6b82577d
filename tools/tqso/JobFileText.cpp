// Writing a job as a job file: every field the reader reads, so the file reads back to the same job.
#include "Job.h"
#include "jsonxx.h"

namespace tqso {

namespace {

using jsonxx::Array;
using jsonxx::Object;

Array TextList(const std::vector<std::string>& texts) {
  Array list;
  for (const std::string& text : texts) list << text;
  return list;
}

// Settings as texts: the reader keeps a number as its decimal text.
Object SettingsObject(const std::map<std::string, std::string>& settings) {
  Object object;
  for (const auto& setting : settings) object << setting.first << setting.second;
  return object;
}

Object ArrayObject(const ArraySpec& spec) {
  Object array;
  array << "id" << spec.id << "address" << spec.address << "protocol" << (spec.https ? "https" : "http");
  if (spec.port != 0) array << "port" << spec.port;
  array << "user" << spec.user << "password" << spec.password;
  if (!spec.settings.empty()) array << "settings" << SettingsObject(spec.settings);
  return array;
}

Object HostObject(const HostSpec& spec) {
  Object host;
  host << "simulator" << spec.simulatorUrl << "user" << spec.user << "password" << spec.password;
  if (!spec.fcPorts.empty()) host << "fcPorts" << TextList(spec.fcPorts);
  if (!spec.iscsiNames.empty()) host << "iscsiNames" << TextList(spec.iscsiNames);
  return host;
}

Object DeviceObject(const DeviceSpec& spec) {
  Object device;
  if (!spec.path.empty()) device << "path" << spec.path;
  if (!spec.wwn.empty()) device << "wwn" << spec.wwn;
  if (!spec.snapName.empty()) device << "snapName" << spec.snapName;
  if (!spec.metadata.empty()) device << "metadata" << spec.metadata;
  if (!spec.copy.empty()) device << "copy" << spec.copy;
  return device;
}

}  // namespace

std::string JobFileText(const Job& job) {
  Object root;
  root << "engineId" << job.engineId;
  if (!job.settings.empty()) root << "settings" << SettingsObject(job.settings);
  Array arrays;
  for (const ArraySpec& spec : job.arrays) arrays << ArrayObject(spec);
  root << "arrays" << arrays;
  if (!job.host.simulatorUrl.empty()) root << "host" << HostObject(job.host);
  Array devices;
  for (const DeviceSpec& spec : job.devices) devices << DeviceObject(spec);
  root << "devices" << devices;
  root << "calls" << TextList(job.calls);
  return root.json();
}

}  // namespace tqso
