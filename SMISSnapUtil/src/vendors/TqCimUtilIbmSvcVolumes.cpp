// IBM SVC volumes by identifier, and a node by the number a volume names as its preferred node.
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::HandlerLevel;
using tqcimutil::TracedOr;

namespace {

const char* const kConciseVolumeClass = "IBMTSSVC_ConciseVolume";
const char* const kSvcVolumeClass = "IBMTSSVC_StorageVolume";

std::string BeforeFirstColon(const std::string& text) { return text.substr(0, text.find(':')); }

// The IBMTSSVC_StorageVolume path named by a concise volume's keys: its device in I/O group 0 of its cluster,
// on the concise volume's host and namespace (the connection's when it has none).
CIMObjectPath SvcVolumePathOf(TqCimUtil& util, TqCimConnection& conn, CIMObjectPath& concise, std::string& deviceId) {
  std::string cluster = BeforeFirstColon(util.GetPropByObjPath(concise, "Cluster"));
  deviceId = util.GetPropByObjPath(concise, "DeviceID");
  CIMNamespaceName nameSpace = concise.getNameSpace();
  if (nameSpace.isNull()) nameSpace = CIMNamespaceName(String(conn.m_Cimom.GetNameSpace()));
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding(CIMName("CreationClassName"), String(kSvcVolumeClass), CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding(CIMName("DeviceID"), String(deviceId), CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding(CIMName("SystemCreationClassName"), String("IBMTSSVC_IOGroup"), CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding(CIMName("SystemName"), String(cluster + ":0"), CIMKeyBinding::STRING));
  return CIMObjectPath(concise.getHost(), nameSpace, CIMName(kSvcVolumeClass), keys);
}

}  // namespace

std::string TqCimUtil::GetIBMSVCVolObjPathByUUID(TqCimConnection& conn, std::string uuid, std::string arrayName) {
  const char* label = "SMIS::GetIBMSVCVolObjPathByUUID";
  auto lookup = [&]() -> std::string {
    // A blank identifier would select the first concise volume of all.
    CIMObjectPath concise;
    if (!tqcimutil::IsBlankName(uuid)) concise = GetObjPathByProp(conn, kConciseVolumeClass, "UniqueID", uuid, "");
    if (concise.getClassName().isNull()) {
      DEBUG_TRACE_NORMAL(label, "Class %s: UUID %s not found", kConciseVolumeClass, uuid.c_str());
      return "";
    }
    DEBUG_TRACE_NORMAL(label, "IBMTSSVC_ConciseVolume object path [%s]", GetObjectPathString(concise).c_str());
    std::string deviceId;
    CIMObjectPath built = SvcVolumePathOf(*this, conn, concise, deviceId);
    std::string builtText = GetObjectPathString(built);
    DEBUG_TRACE_NORMAL(label, "IBMTSSVC_StorageVolume object path constructed using IBMTSSVC_ConciseVolume [%s]",
                       builtText.c_str());
    // A built path the CIMOM does not know is searched for like an unreadable one.
    CIMInstance instance = tqcimutil::NoneWhenNotFound([&]() { return conn.GetInstance(built); }, []() {});
    if (!instance.getClassName().isNull()) {
      DEBUG_TRACE_NORMAL(label, "Instance [%s] found", builtText.c_str());
      return builtText;
    }
    DEBUG_TRACE_NORMAL(label, "Instance [%s] not found, fetch all object paths and compare", builtText.c_str());
    // Without a device id the search would take the first volume of all.
    if (tqcimutil::IsBlankName(deviceId)) return "";
    return GetObjectPathString(GetObjPathByProp(conn, "CIM_StorageVolume", "DeviceID", deviceId, arrayName));
  };
  return TracedOr(*this, label, TQ_HANDLER_SITE, std::string(), lookup, tqcimutil::kUnknownException,
                  HandlerLevel::kNormal);
}

int TqCimUtil::GetPreferredNodeForIBMSVC(TqCimConnection& conn, const std::string& nodeId, std::string& nodePath) {
  const char* label = "GetPreferredNodeForIBMSVC";
  return TracedOr(*this, label, TQ_HANDLER_SITE, 0, [&]() {
    std::string nodeClass = TQProviderVendor::GetVendorPrefix(TQ_VENDOR_IBM_SVC) + "_Node";
    Array<CIMObjectPath> nodes = conn.GetInstanceNames(String(nodeClass));
    if (nodes.size() == 0) {
      DEBUG_TRACE(label, "Empty list was returned for [%s] class.", nodeClass.c_str());
      return 0;
    }
    for (Uint32 i = 0; i < nodes.size(); ++i) {
      std::string name = GetPropByObjPath(nodes[i], "Name");
      std::string::size_type colon = name.find(':');
      if (colon == std::string::npos) {
        DEBUG_TRACE(label, "Invalid path-[%s]. Expected the path to contain '<SystemId>:<NodeId>'",
                    GetObjectPathString(nodes[i]).c_str());
        continue;
      }
      if (name.substr(colon + 1) == nodeId) {
        nodePath = GetObjectPathString(nodes[i]);
        return 1;
      }
    }
    return 0;
  });
}
