// LSI-family views found through the identifiers a port's hardware ID carries: the view whose controller ID
// (its "DeviceID" after the first ':') is part of the "HostID", or, for host groups, is the "ClusterID" after
// its second ':'. Used when the privileges of the ports lead to no view.
#include "CimUtilLsi.h"
#include "Pegasus/CIMPropertyList.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;

namespace {

const char* const kViewClass = "CIM_SCSIProtocolController";
const char* const kDefaultGroupId = "0000000000000000000000000000000000000000";

// The text after the second ':' of a "ClusterID"; the whole text when it holds fewer than two.
std::string ClusterControllerId(const std::string& clusterId) {
  std::string::size_type first = clusterId.find(':');
  if (first == std::string::npos) return clusterId;
  std::string::size_type second = clusterId.find(':', first + 1);
  return second == std::string::npos ? clusterId : clusterId.substr(second + 1);
}

// The cluster controller ID of the port's host group; "" for the Default Group and when not asked for.
std::string GroupControllerIdOf(TqCimUtil& util, TqCimConnection& conn, CIMObjectPath& hardwareId) {
  const char* label = tqcimutil::kLsiViewsLabel;
  std::string clusterId = util.GetCIMProp(conn, hardwareId, "ClusterID");
  util.DEBUG_TRACE_NORMAL(label, "ClusterID [%s]", clusterId.c_str());
  std::string groupId = ClusterControllerId(clusterId);
  util.DEBUG_TRACE_NORMAL(label, "Cluster host group Protocol ControllerID [%s]", groupId.c_str());
  if (groupId == kDefaultGroupId) {
    util.DEBUG_TRACE_NORMAL(label, "Skipping, ControllerID [%s] as it represents the Default Group", groupId.c_str());
    return "";
  }
  return groupId;
}

}  // namespace

namespace tqcimutil {

Array<CIMObjectPath> LsiViewsByIdentifiers(TqCimUtil& util, TqCimConnection& conn, const std::string& arrayName,
                                           Array<String>& ports, bool clusterMapping) {
  const char* label = kLsiViewsLabel;
  Array<CIMObjectPath> views;
  util.DEBUG_TRACE_NORMAL(label, "Executing the workaround for LSI lun Mapping and Masking");
  Array<CIMInstance> controllers = conn.GetInstances(kViewClass, CIMPropertyList());
  util.DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instances", kViewClass, static_cast<int>(controllers.size()));
  CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};

  for (Uint32 p = 0; p < ports.size(); ++p) {
    util.DEBUG_TRACE_NORMAL(label, "HBA Port:%s", ports[p].str().c_str());
    CIMObjectPath hardwareId = LsiHardwareId(util, conn, arrayName, ports[p]);
    if (hardwareId.toString().isEmpty()) continue;
    util.DEBUG_TRACE_NORMAL(label, "hwId path %s", hardwareId.toString().str().c_str());
    std::string groupId = clusterMapping ? GroupControllerIdOf(util, conn, hardwareId) : "";
    std::string hostId = util.GetCIMProp(conn, hardwareId, "HostID");
    util.DEBUG_TRACE_NORMAL(label, "HostID [%s]", hostId.c_str());

    for (Uint32 c = 0; c < controllers.size(); ++c) {
      CIMObjectPath path = controllers[c].getPath();
      path.setNameSpace(nameSpace);
      if (util.GetPropByObjPath(path, "SystemName") != arrayName) continue;
      std::string deviceId = util.GetPropByObjPath(path, "DeviceID");
      util.DEBUG_TRACE_NORMAL(label, "Controller path DeviceID [%s]", deviceId.c_str());
      std::string::size_type colon = deviceId.find(':');
      if (colon == std::string::npos) break;  // the rest of the list is not this port's
      // A blank controller ID names no view: it would be part of every host ID.
      std::string controllerId = deviceId.substr(colon + 1);
      if (IsBlankName(controllerId)) continue;
      if (clusterMapping && groupId == controllerId) views.append(path);
      if (!hostId.empty() && Contains(hostId, controllerId)) views.append(path);
    }
  }
  return views;
}

}  // namespace tqcimutil
