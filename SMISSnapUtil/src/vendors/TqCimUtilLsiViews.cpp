// LSI-family (LSI, DCIM, NetApp) views of initiator ports and of volumes narrowed to ports. A port's hardware
// ID is a member of its host and of its host group (both collections); the view serving a host or group
// carries its name. Cluster host groups are wanted only when asked for.
#include "CimUtilLsi.h"
#include "CimUtilLsiClass.h"
#include "Pegasus/CIMPropertyList.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::Contains;
using tqcimutil::kLsiViewsLabel;

namespace tqcimutil {

const char* const kLsiViewsLabel = "SMIS::GetLSICtlrListByHwIDs";

CIMObjectPath LsiHardwareId(TqCimUtil& util, TqCimConnection& conn, const std::string& arrayName, const String& port) {
  return util.GetObjPathByPropName(conn, arrayName, "CIM_StorageHardwareID", "StorageID", port, false);
}

}  // namespace tqcimutil

namespace {

const char* const kLabel = kLsiViewsLabel;

// The pass over each port's collections: the view named like the host (or group) it serves.
class LsiCollectionPass {
 public:
  LsiCollectionPass(TqCimUtil& util, TqCimConnection& conn, const std::string& arrayName,
                    const Array<CIMInstance>& clusters, bool clusterMapping)
      : util_(util), conn_(conn), arrayName_(arrayName), clusters_(clusters), clusterMapping_(clusterMapping) {}

  void AddViewsOfPort(const String& port, Array<CIMObjectPath>& views) {
    util_.DEBUG_TRACE_NORMAL(kLabel, "HBA Port:%s", port.str().c_str());
    CIMObjectPath hardwareId = tqcimutil::LsiHardwareId(util_, conn_, arrayName_, port);
    if (hardwareId.toString().isEmpty()) return;
    util_.DEBUG_TRACE_NORMAL(kLabel, "hwId path %s", hardwareId.toString().str().c_str());
    Array<CIMObjectPath> collections =
        conn_.GetAssociatorNames(hardwareId, "CIM_MemberOfCollection", "CIM_SystemSpecificCollection", "", "");
    util_.DEBUG_TRACE_NORMAL(kLabel, "Host paths size [%d]", static_cast<int>(collections.size()));
    for (Uint32 c = 0; c < collections.size(); ++c) {
      CIMObjectPath& host = collections[c];
      util_.DEBUG_TRACE_NORMAL(kLabel, "host path %s", host.toString().str().c_str());
      if (!BelongsToArray(host)) {
        util_.DEBUG_TRACE_NORMAL(kLabel, "No host has been defined with the given HBA port %s", port.str().c_str());
        continue;
      }
      std::string hostName = util_.GetCIMProp(conn_, host, "ElementName");
      if (IsClusterHostGroup(hostName) && !clusterMapping_) {
        util_.DEBUG_TRACE_NORMAL(kLabel, "Skipping, the path [%s] represents the cluster host group",
                                 host.toString().str().c_str());
        continue;
      }
      AddCandidates(hardwareId);
      AddViewNamed(host, views);
    }
  }

 private:
  bool BelongsToArray(CIMObjectPath& path) {
    return Contains(util_.GetPropByObjPath(path, "SystemName"), arrayName_) ||
           Contains(util_.GetPropByObjPath(path, "InstanceID"), arrayName_);
  }

  bool IsClusterHostGroup(const std::string& hostName) {
    for (Uint32 i = 0; i < clusters_.size(); ++i) {
      CIMObjectPath path = clusters_[i].getPath();
      if (!BelongsToArray(path)) continue;
      CIMInstance cluster = clusters_[i];
      std::string clusterName = util_.GetCIMProp(cluster, "ElementName");
      if (clusterName == hostName) {
        util_.DEBUG_TRACE_NORMAL(kLabel, "The path [%s] represents the cluster host group [%s]",
                                 path.toString().str().c_str(), clusterName.c_str());
        return true;
      }
    }
    return false;
  }

  // The views the hardware ID's privileges reach join the candidates of every earlier collection and port.
  void AddCandidates(CIMObjectPath& hardwareId) {
    Array<CIMObjectPath> privileges =
        conn_.GetAssociatorNames(hardwareId, "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege", "", "");
    util_.DEBUG_TRACE_NORMAL(kLabel, "CIM_AuthorizedPrivilege objects size [%d]", static_cast<int>(privileges.size()));
    for (Uint32 i = 0; i < privileges.size(); ++i)
      candidates_.appendArray(
          conn_.GetAssociatorNames(privileges[i], "CIM_AuthorizedTarget", "CIM_SCSIProtocolController", "", ""));
    util_.DEBUG_TRACE_NORMAL(kLabel, "CIM_ProtocolController objects size [%d]", static_cast<int>(candidates_.size()));
  }

  // Appends the first candidate named like the host. A name that could not be read names no view.
  void AddViewNamed(CIMObjectPath& host, Array<CIMObjectPath>& views) {
    for (Uint32 i = 0; i < candidates_.size(); ++i) {
      std::string hostName = util_.GetCIMProp(conn_, host, "ElementName");
      std::string viewName = util_.GetCIMProp(conn_, candidates_[i], "ElementName");
      util_.DEBUG_TRACE_NORMAL(kLabel, "ctlr path [%s] host name [%s] ctlr host name [%s]",
                               candidates_[i].toString().str().c_str(), hostName.c_str(), viewName.c_str());
      if (!tqcimutil::IsBlankName(hostName) && viewName == hostName) {
        util_.DEBUG_TRACE_NORMAL(kLabel, "ctlr path %s", candidates_[i].toString().str().c_str());
        views.append(candidates_[i]);
        return;
      }
    }
  }

  TqCimUtil& util_;
  TqCimConnection& conn_;
  std::string arrayName_;
  const Array<CIMInstance>& clusters_;
  bool clusterMapping_;
  Array<CIMObjectPath> candidates_;  // lives for the whole lookup
};

}  // namespace

Array<CIMObjectPath> TqCimUtil::GetLSICtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                      Array<String>& ports, bool clusterMapping) {
  return tqcimutil::TracedRethrow(*this, kLabel, TQ_HANDLER_SITE, [&]() {
    Array<CIMObjectPath> views;
    std::string arrayName = GetPropByObjPath(systemPath, "Name");
    DEBUG_TRACE_NORMAL(kLabel, "System path:[%s]", arrayName.c_str());
    if (ports.size() == 0) {
      DEBUG_TRACE(kLabel, "no initiator ports supplied");
      return views;
    }
    std::string clusterClass = tqcimutil::LsiFamilyClass(*this, kLabel, systemPath, "_Cluster");
    Array<CIMInstance> clusters = conn.GetInstances(String(clusterClass), CIMPropertyList());
    DEBUG_TRACE_NORMAL(kLabel, "[%s] objects size [%d]", clusterClass.c_str(), static_cast<int>(clusters.size()));

    LsiCollectionPass pass(*this, conn, arrayName, clusters, clusterMapping);
    for (Uint32 p = 0; p < ports.size(); ++p) pass.AddViewsOfPort(ports[p], views);
    if (views.size() == 0) views = tqcimutil::LsiViewsByIdentifiers(*this, conn, arrayName, ports, clusterMapping);
    DEBUG_TRACE_NORMAL(kLabel, "Controller list size [%d]", static_cast<int>(views.size()));
    return views;
  });
}

Array<CIMObjectPath> TqCimUtil::GetLSICtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                      Array<CIMObjectPath>& volumes, Array<String>& ports) {
  // Host groups are wanted with the hosts unless "nLSIDisableCtlrAll" says otherwise.
  bool clusterMapping = false;
  if (volumes.size() > 0) {
    int disabled = 0;  // an absent key leaves the preset
    TQPlatformInfo config;
    config.getRegInt("Corvane", "nLSIDisableCtlrAll", &disabled);
    clusterMapping = disabled == 0;
  }
  PortViewStep step = [&]() { return GetLSICtlrListByHwIDs(conn, systemPath, ports, clusterMapping); };
  return IntersectVolumeAndPortViews(conn, kLabel, step, volumes);
}
