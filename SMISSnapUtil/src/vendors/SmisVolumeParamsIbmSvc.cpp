// IBM SVC rules of a new volume: the target pool must be online, the volume type follows the host's and
// the array's thin settings, the IO group and preferred node follow the configuration or the source, and
// a thick volume on firmware 7.7 and later needs the array's "Standard" setting as its goal.
#include <map>

#include "TqCimConnection.h"
#include "action/SmisHostConfig.h"
#include "action/SmisNumberText.h"
#include "action/SmisVolumeParams.h"

using namespace Pegasus;

namespace smisvolume {

namespace {

const char* const kVdiskTypeKey = "IBMSVC_VDISK_TYPE";
const char* const kThinSetting = "SMCONFIG_NAME_ENABLE_THIN_PROVISIONING";
const char* const kIoGroupKey = "IBMSVC_IOGroup";
const char* const kIoGroupSetting = "SMCONFIG_NAME_IBMSVC_IOGROUP";
const std::size_t kIoGroupBuffer = 64;
const char* const kThickType = "5";

// The IO group path text, or "null"; viaSource tells that the source's own group was chosen.
std::string ChooseIoGroup(SmisAction& action, TqCimConnection& conn, const std::string& sourceGroup, bool& viaSource) {
  std::string configured;
  bool named = smisconfig::Text(kIoGroupKey, configured);
  if (named) {
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "IBMSVC_IOGroup registry key set to [%s]", configured.c_str());
  } else {
    configured = smisconfig::ArrayText(action, kIoGroupSetting, kIoGroupBuffer);
    named = !configured.empty();
    if (named) action.DEBUG_TRACE_NORMAL(kParamsLabel, "Array Config [%s : %s]", kIoGroupSetting, configured.c_str());
  }
  Array<CIMInstance> groups = conn.GetInstances(String("IBMTSSVC_IOGroup"), CIMPropertyList());
  action.DEBUG_TRACE_NORMAL(kParamsLabel, "IOGroup count [%d]", static_cast<int>(groups.size()));
  if (named)
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "IOGroup is set in registry/Snap Config. Using [%s]", configured.c_str());
  else
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Source IOGroup [%s] going to be used as target", sourceGroup.c_str());
  const std::string& wanted = named ? configured : sourceGroup;
  for (Uint32 i = 0; i < groups.size(); ++i) {
    std::string name;
    if (!ReadString(groups[i], "ElementName", name)) {
      action.DEBUG_TRACE(kParamsLabel, "Cannot get Name of IOGroup");
      continue;
    }
    if (name != wanted) continue;
    std::string path = groups[i].getPath().toString().str();
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Selecting %s as IOGroup", path.c_str());
    viaSource = !named;
    return path;
  }
  action.DEBUG_TRACE_NORMAL(kParamsLabel, "Selecting default IOGroup");
  return "null";
}

std::string ChooseNode(SmisAction& action, TqCimConnection& conn, const std::string& sourceNode, bool viaSource) {
  const char* label = "CreateStorageVolParams";
  if (!viaSource) {
    action.DEBUG_TRACE_NORMAL(label,
                              "The storage array will automatically set the preferred node for the target volume.");
    return "null";
  }
  action.DEBUG_TRACE_NORMAL(label, "Setting source preferred node [%s] to target volume", sourceNode.c_str());
  std::string node;
  if (action.GetPreferredNodeForIBMSVC(conn, sourceNode, node) == 1 && !node.empty()) return node;
  action.DEBUG_TRACE_NORMAL(label,
                            "Unable to fetch the preferred node path using source volume details. The storage array "
                            "will automatically set the preferred node for the target volume.");
  return "null";
}

// Firmware 7.7 and later creates thick volumes only against the "Standard" goal: `goalText` (the volume's
// position 4) gets it, or the rule fails (1) when the array has none and the firmware is that new or cannot
// be read.
SmisResultCode ThickGoal(SmisAction& action, TqCimConnection& conn, const VolumeSource& source, std::string& goalText) {
  CIMObjectPath goal;
  if (action.CheckAndGetTargetGoal(conn, goal)) {
    goalText = goal.toString().str();
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Using [%s] as target volume setting goal.", goalText.c_str());
    return kSmisSuccess;
  }
  std::string version;
  Uint16 build = 0;
  action.GetVersionStrings(conn, source.systemName.c_str(), version, build);
  if (version.empty()) {
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Unable to get the storage array-[%s] firmware details.",
                              source.systemName.c_str());
    return kSmisFailed;
  }
  switch (IbmSvcThickGoalNeed(version)) {
    case ThickGoalNeed::kNotNeeded:
      return kSmisSuccess;
    case ThickGoalNeed::kUnreadable:
      action.DEBUG_TRACE_NORMAL(kParamsLabel, "Unable to split firmware string-[%s].", version.c_str());
      return kSmisFailed;
    case ThickGoalNeed::kNeeded:
      break;
  }
  action.DEBUG_TRACE_NORMAL(kParamsLabel, "Unable to get the standard goal setting for array-[%s] firmware-[%s]",
                            source.systemName.c_str(), version.c_str());
  action.DEBUG_TRACE_NORMAL(kParamsLabel,
                            "Firmware revision [7.7.0] and higher requires standard goal to be set in order to create "
                            "thick target volumes.");
  return kSmisFailed;
}

}  // namespace

std::string IbmSvcVolumeType(const std::string& typeFlag, unsigned long vdiskType, int thinSetting,
                             bool spaceEfficientSource) {
  if (vdiskType == 1) return typeFlag;
  if (vdiskType != 2 && !spaceEfficientSource && thinSetting == 0) return typeFlag;
  if (typeFlag == kThickType) return "6";
  if (typeFlag == "4" && spaceEfficientSource) return "7";
  return "4";
}

ThickGoalNeed IbmSvcThickGoalNeed(const std::string& version) {
  TqCimUtil util;
  std::vector<std::string> fields = util.Tokenize(version, '.');
  if (fields.size() < 2) return ThickGoalNeed::kUnreadable;
  unsigned short major = str2num<unsigned short>(fields[0]);
  unsigned short minor = str2num<unsigned short>(fields[1]);
  return (major > 7 || (major == 7 && minor > 6)) ? ThickGoalNeed::kNeeded : ThickGoalNeed::kNotNeeded;
}

SmisResultCode IbmSvcPoolCheck(SmisAction& action, TqCimConnection& conn, const VolumeSource& source,
                               bool checkDisabled) {
  if (checkDisabled) return kSmisSuccess;
  CIMObjectPath pool = source.pool;
  std::string status = action.GetCIMProp(conn, pool, "NativeStatus");
  if (status != "0" && status != "3") return kSmisSuccess;
  action.DEBUG_TRACE(kParamsLabel, "Source Volume Pool: [%s] is not online. Native Status is [%s].",
                     pool.toString().str().c_str(), status.c_str());
  return kSmisFailed;
}

SmisResultCode IbmSvcPositions(SmisAction& action, TqCimConnection& conn, const VolumeSource& source, SmisArgs& out,
                               std::size_t first) {
  bool spaceEfficient = false;
  if (!ReadBoolean(source.instance, "IsSpaceEfficient", spaceEfficient))
    action.DEBUG_TRACE(kParamsLabel,
                       " Can not find IsSpaceEfficient property of source volume %s, going ahead with generic volume",
                       source.text.c_str());
  if (source.hasTypeFlag) {
    unsigned long vdiskType = smisconfig::Number(kVdiskTypeKey, 0);
    int thinSetting = smisconfig::ArrayInt(action, kThinSetting, 0);
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Array Config [%s : %d]", kThinSetting, thinSetting);
    out.push_back(IbmSvcVolumeType(source.typeFlag, vdiskType, thinSetting, spaceEfficient));
  } else {
    // Without a requested type the IO group and node still belong in their own positions.
    out.push_back("null");
  }

  std::map<std::string, std::string> props{{"GroupName", ""}, {"PreferredNode", ""}};
  CIMObjectPath sourcePath = source.path;
  if (!action.GetCIMPropList(conn, sourcePath, props)) {
    action.DEBUG_TRACE_NORMAL("CreateStorageVolParams",
                              "Failed to fetch the properties for the source volume using "
                              "path-[%s]",
                              sourcePath.toString().str().c_str());
    return kSmisFailed;
  }
  bool viaSource = false;
  out.push_back(ChooseIoGroup(action, conn, props["GroupName"], viaSource));
  out.push_back(ChooseNode(action, conn, props["PreferredNode"], viaSource));
  if (out[first + 5] == kThickType) return ThickGoal(action, conn, source, out[first + 4]);
  return kSmisSuccess;
}

}  // namespace smisvolume
