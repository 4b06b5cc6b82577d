// LSI, DCIM and NetApp: the controller that owns the source volume, so that the new volume can be given
// the same owner and stay visible on the host's paths.
#include "TqCimConnection.h"
#include "action/SmisHostConfig.h"
#include "action/SmisVolumeParams.h"

using namespace Pegasus;

namespace smisvolume {

namespace {

const char* const kPrefixSetting = "SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX";
const char* const kPrefixKey = "LSI_OEM_CLASSNAME_PREFIX";
const std::size_t kPrefixBuffer = 1024;

// The class-name prefix: the host key, else the array's setting, else the family's own prefix.
std::string ClassPrefix(SmisAction& action, TQ_PROVIDER_VENDOR vendor) {
  std::string prefix = smisconfig::ArrayText(action, kPrefixSetting, kPrefixBuffer);
  smisconfig::Text(kPrefixKey, prefix);
  if (!prefix.empty()) {
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Classname prefix [%s]  read from regkey/ snap config", prefix.c_str());
    return prefix;
  }
  prefix = TQProviderVendor::GetVendorPrefix(vendor);
  return prefix.empty() ? "LSISSI" : prefix;
}

Array<CIMInstance> InstancesOf(SmisAction& action, TqCimConnection& conn, const std::string& className,
                               const char* first, const char* second) {
  Array<CIMName> names;
  names.append(CIMName(first));
  names.append(CIMName(second));
  Array<CIMInstance> instances = conn.GetInstances(String(className), CIMPropertyList(names));
  action.DEBUG_TRACE_NORMAL(kParamsLabel, "Class [%s] got %d instances", className.c_str(),
                            static_cast<int>(instances.size()));
  return instances;
}

// The PreferredManager of the setting whose StorageVolume_DeviceID the source text contains; "" when none.
std::string PreferredManager(SmisAction& action, TqCimConnection& conn, const std::string& prefix,
                             const VolumeSource& source) {
  Array<CIMInstance> settings =
      InstancesOf(action, conn, prefix + "_StorageVolumeSetting", "PreferredManager", "StorageVolume_DeviceID");
  for (Uint32 i = 0; i < settings.size(); ++i) {
    std::string deviceId;
    if (!ReadString(settings[i], "StorageVolume_DeviceID", deviceId)) {
      action.DEBUG_TRACE(kParamsLabel, " Can not get LSI StorageVolumeSetting of source volume %s",
                         source.text.c_str());
      return "";
    }
    if (source.text.find(deviceId) == std::string::npos) continue;
    std::string manager;
    if (!ReadString(settings[i], "PreferredManager", manager))
      action.DEBUG_TRACE(kParamsLabel, " Can not get PreferredManager of source volume %s", source.text.c_str());
    return manager;
  }
  return "";
}

// The path text of the processor whose Name is the manager; "" when none.
std::string ControllerNamed(SmisAction& action, TqCimConnection& conn, const std::string& prefix,
                            const std::string& manager) {
  std::string processorClass = prefix + "_StorageProcessorSystem";
  Array<CIMInstance> processors = InstancesOf(action, conn, processorClass, "Name", "ElementName");
  for (Uint32 i = 0; i < processors.size(); ++i) {
    std::string name;
    if (!ReadString(processors[i], "Name", name)) {
      action.DEBUG_TRACE(kParamsLabel, " Can not get Name propery of %s", processorClass.c_str());
      return "";
    }
    if (name == manager) return processors[i].getPath().toString().str();
  }
  return "";
}

}  // namespace

std::string LsiPreferredController(SmisAction& action, TqCimConnection& conn, const VolumeSource& source) {
  std::string prefix = ClassPrefix(action, source.vendor);
  std::string manager = PreferredManager(action, conn, prefix, source);
  std::string controller;
  if (!manager.empty() && manager != "null") controller = ControllerNamed(action, conn, prefix, manager);
  if (controller.empty()) {
    action.DEBUG_TRACE(kParamsLabel,
                       "Unable to derive prefered controller for the storage volume, storage volume may not visible "
                       "on the host after mapping");
    return "null";
  }
  action.DEBUG_TRACE(kParamsLabel, "The prefered controller path is [%s]", controller.c_str());
  return controller;
}

}  // namespace smisvolume
