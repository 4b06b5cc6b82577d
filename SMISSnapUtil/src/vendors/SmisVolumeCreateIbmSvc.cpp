// IBM SVC parameters of a new volume: space-efficient volumes with their real-size percentage and grain
// size, the IO group and the preferred node.
#include "TqCimConnection.h"
#include "action/SmisHostConfig.h"
#include "action/SmisVolumeCreate.h"

using namespace Pegasus;

namespace smisvolume {

const char* const kCreateLabel = "SMIS::CreateStorageVolume";
const char* const kCreateMethod = "CreateOrModifyElementFromStoragePool";

namespace {

const char* const kCloneTarget = "6";
const unsigned long kDefaultClonePercent = 20;

bool IsPercent(unsigned long value) { return value >= 1 && value <= 100; }

// The first four characters of the cluster's version text, "0.0" when it has none.
std::string ClusterVersion(SmisAction& action, TqCimConnection& conn) {
  Array<CIMName> names;
  names.append(CIMName("VersionString"));
  Array<CIMInstance> identities = conn.GetInstances(String("IBMTSSVC_ClusterSoftwareIdentity"), CIMPropertyList(names));
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "IBMTSSVC_ClusterSoftwareIdentity got  [%d] instances",
                            static_cast<int>(identities.size()));
  if (identities.size() == 0) return "0.0";
  Uint32 index = identities[0].findProperty(CIMName("VersionString"));
  if (index == PEG_NOT_FOUND || identities[0].getProperty(index).getValue().isNull()) return "0.0";
  std::string version = identities[0].getProperty(index).getValue().toString().str();
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "Detected version string [%s] from IBMTSSVC_ClusterSoftwareIdentity",
                            version.c_str());
  return version.substr(0, 4);
}

void AppendRealSizePercent(SmisAction& action, TqCimConnection& conn, const std::string& flag,
                           Array<CIMParamValue>& in) {
  unsigned long cloneKey = flag == kCloneTarget ? smisconfig::Number("nIBMSVCFCRealAllocPerc", 0) : 0;
  unsigned long snapshotKey = flag == kCloneTarget ? 0 : smisconfig::Number("nIBMSVCSEFCRealAllocPerc", 0);
  if (IsPercent(cloneKey))
    action.DEBUG_TRACE_NORMAL(kCreateLabel, "Clone RealSizePercent [%d] read from registry nIBMSVCFCRealAllocPerc",
                              static_cast<int>(cloneKey));
  if (IsPercent(snapshotKey))
    action.DEBUG_TRACE_NORMAL(kCreateLabel, "snapshot RealSizePercent [%d] read from registry nIBMSVCSEFCRealAllocPerc",
                              static_cast<int>(snapshotKey));
  Uint64 percent = IbmSvcRealSizePercent(flag, cloneKey, snapshotKey);
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "RealSizePercent [%d]", static_cast<int>(percent));
  int skipKey = smisconfig::RegInt("~Corvane", "nIBMSVCSkipRealAllocPerc", -1);
  if (IbmSvcSendsRealSizePercent(skipKey, ClusterVersion(action, conn))) {
    in.append(CIMParamValue("RealSizePercent", CIMValue(percent)));
    return;
  }
  action.DEBUG_TRACE_NORMAL(
      kCreateLabel,
      "Skipping RealSizePercent as registry key nIBMSVCSkipRealAllocPerc has been set or firmware "
      "vesrion 7.6.x");
}

void AppendGrainSize(SmisAction& action, Array<CIMParamValue>& in) {
  int mapKey = smisconfig::RegInt("Corvane", "IBMSVC_MAP_GRAIN_SIZE", 0);
  int thinKey = smisconfig::RegInt("Corvane", "IBMSVC_THIN_VOLUME_GRAIN_SIZE", 0);
  GrainChoice grain = IbmSvcGrainSize(mapKey, thinKey);
  if (mapKey > 0) action.DEBUG_TRACE(kCreateLabel, "Registry Key [IBMSVC_MAP_GRAIN_SIZE], value = [%d].", mapKey);
  if (grain.mapRefused)
    action.DEBUG_TRACE(kCreateLabel, "Invalid Map Grain Size [%d] provided. Setting the default value 256", mapKey);
  if (thinKey > 0)
    action.DEBUG_TRACE(kCreateLabel, "Registry Key [IBMSVC_THIN_VOLUME_GRAIN_SIZE], value = [%d].", thinKey);
  if (grain.thinRefused)
    action.DEBUG_TRACE(kCreateLabel, "Invalid Volume Grain Size [%d] provided. Setting the default value 256", thinKey);
  if (!grain.send) return;
  if (grain.largerThanMap)
    action.DEBUG_TRACE_NORMAL(
        kCreateLabel, "IBM Recommends to use same volume grain size as the map grain size for best performance.");
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "Setting the Thin-Volume Grainsize = [%d]", static_cast<int>(grain.size));
  in.append(CIMParamValue("Grainsize", CIMValue(static_cast<Uint32>(grain.size))));
}

}  // namespace

bool IbmSvcSpaceEfficient(const std::string& flag) { return flag == "4" || flag == "6" || flag == "7"; }

unsigned long IbmSvcRealSizePercent(const std::string& flag, unsigned long cloneKey, unsigned long snapshotKey) {
  if (flag == kCloneTarget) return IsPercent(cloneKey) ? cloneKey : kDefaultClonePercent;
  return IsPercent(snapshotKey) ? snapshotKey : 0;
}

bool IbmSvcSendsRealSizePercent(int skipKey, const std::string& version) {
  if (skipKey == 0) return true;
  return skipKey == -1 && version.find("7.6.") == std::string::npos;
}

GrainChoice IbmSvcGrainSize(int mapKey, int thinKey) {
  GrainChoice grain;
  unsigned mapSize = 256;
  if (mapKey > 0) {
    if (mapKey == 64 || mapKey == 256)
      mapSize = static_cast<unsigned>(mapKey);
    else
      grain.mapRefused = true;
  }
  grain.size = mapSize;
  if (thinKey > 0) {
    if (thinKey == 32 || thinKey == 64 || thinKey == 128 || thinKey == 256)
      grain.size = static_cast<unsigned>(thinKey);
    else
      grain.thinRefused = true;
  }
  grain.send = mapKey > 0 || thinKey > 0;
  grain.largerThanMap = mapKey > 0 && thinKey > 0 && grain.size > mapSize;
  return grain;
}

void AppendIbmSvcParams(SmisAction& action, TqCimConnection& conn, const SmisArgs& args, Array<CIMParamValue>& in) {
  if (args.size() > 5 && IbmSvcSpaceEfficient(args[5])) {
    action.DEBUG_TRACE_NORMAL(kCreateLabel, "Going to create Space-efficient vdisk");
    in.append(CIMParamValue("isSpaceEfficient", CIMValue(true)));
    in.append(CIMParamValue("Autoexpand", CIMValue(true)));
    AppendRealSizePercent(action, conn, args[5], in);
    AppendGrainSize(action, in);
  }
  // The IO group and the node are absent only when exactly "null".
  if (args.size() > 6 && args[6] != "null")
    in.append(CIMParamValue("IOGroup", CIMValue(CIMObjectPath(String(args[6])))));
  if (args.size() > 7 && args[7] != "null") {
    action.DEBUG_TRACE_NORMAL("CreateStorageVolume", "Setting the preferred node parameter as [%s]", args[7].c_str());
    in.append(CIMParamValue("PreferredNode", CIMValue(CIMObjectPath(String(args[7])))));
  }
}

}  // namespace smisvolume
