// Protocol controllers (views): the views of a volume, the views of initiator ports on 3PAR, ETERNUS and
// EMC arrays, and the views of volumes that also belong to given ports.
#include "CimUtilHandlers.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::TracedRethrow;

namespace {

const char* const kViewClass = "CIM_SCSIProtocolController";
const char* const kViewForUnit = "CIM_ProtocolControllerForUnit";

std::string PathText(const CIMObjectPath& path) { return path.toString().str(); }

}  // namespace

Array<CIMObjectPath> TqCimUtil::VolumeViews(TqCimConnection& conn, CIMObjectPath& volumePath) {
  return conn.GetAssociatorNames(volumePath, kViewForUnit, kViewClass, "", "");
}

Array<CIMObjectPath> TqCimUtil::GetVolCtlrPaths(TqCimConnection& conn, CIMObjectPath& volumePath) {
  const char* label = "SMIS::GetVolCtlrPaths";
  return TracedRethrow(
      *this, label, TQ_HANDLER_SITE,
      [&]() {
        Array<CIMObjectPath> views = VolumeViews(conn, volumePath);
        if (views.size() == 0)
          DEBUG_TRACE_NORMAL(label, "Ctlr paths not found for storage volume path %s", PathText(volumePath).c_str());
        return views;
      },
      tqcimutil::kUnknownExceptionLower);
}

Array<CIMObjectPath> TqCimUtil::IntersectVolumeAndPortViews(TqCimConnection& conn, const char* label,
                                                            const PortViewStep& portStep,
                                                            Array<CIMObjectPath>& volumes) {
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    Array<CIMObjectPath> result;
    Array<CIMObjectPath> portViews = portStep();
    if (portViews.size() == 0) {
      DEBUG_TRACE(label, "Not able to derive protocol controllers from the initiator ports");
      return result;
    }
    for (Uint32 v = 0; v < volumes.size(); ++v) {
      Array<CIMObjectPath> volumeViews = VolumeViews(conn, volumes[v]);
      DEBUG_TRACE_NORMAL(label, "Storage volume [%s] associated with [%d] protocol controller(s)",
                         PathText(volumes[v]).c_str(), static_cast<int>(volumeViews.size()));
      for (Uint32 i = 0; i < volumeViews.size(); ++i) {
        DEBUG_TRACE_NORMAL(label, "Volume associated Protocol Controller [%s]", PathText(volumeViews[i]).c_str());
        std::string volumeSideId = GetPropByObjPath(volumeViews[i], "DeviceID");
        for (Uint32 p = 0; p < portViews.size(); ++p) {
          DEBUG_TRACE_NORMAL(label, "Port associated Protocol Controller [%s]", PathText(portViews[p]).c_str());
          if (volumeSideId == GetPropByObjPath(portViews[p], "DeviceID")) result.append(volumeViews[i]);
        }
      }
    }
    return result;
  });
}

Array<CIMObjectPath> TqCimUtil::PortViews(TqCimConnection& conn, const char* label, PortFamily family,
                                          CIMObjectPath& systemPath, Array<String>& ports) {
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    Array<CIMObjectPath> views;
    std::string systemName = GetPropByObjPath(systemPath, "Name");
    DEBUG_TRACE_NORMAL(label, "System path:[%s]", systemName.c_str());
    if (ports.size() == 0) {
      DEBUG_TRACE(label, "no initiator ports supplied");
      return views;
    }
    for (Uint32 p = 0; p < ports.size(); ++p) {
      DEBUG_TRACE(label, "HBA Port:%s", ports[p].str().c_str());
      String hardwareIdClass = "CIM_StorageHardwareID";
      CIMObjectPath hardwareId = GetObjPathByPropName(conn, hardwareIdClass, "StorageID", ports[p]);
      if (hardwareId.toString().isEmpty()) continue;
      DEBUG_TRACE(label, "hwId path %s", PathText(hardwareId).c_str());
      switch (family) {
        case kPort3PAR:
          Add3PARPortViews(conn, label, ports[p], hardwareId, views);
          break;
        case kPortEternus: {
          Array<CIMObjectPath> privileges =
              conn.GetAssociatorNames(hardwareId, "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege", "", "");
          DEBUG_TRACE_NORMAL(label, "CIM_AuthorizedPrivilege objects size [%d]", static_cast<int>(privileges.size()));
          for (Uint32 i = 0; i < privileges.size(); ++i)
            views.appendArray(conn.GetAssociatorNames(privileges[i], "CIM_AuthorizedTarget", kViewClass, "", ""));
          break;
        }
        case kPortEMC:
          views.appendArray(
              conn.GetAssociatorNames(hardwareId, "CIM_AssociatedPrivilege", "CIM_ProtocolController", "", ""));
          break;
      }
    }
    // The same count under two texts on purpose: both traces are kept as they were.
    DEBUG_TRACE_NORMAL(label, "ctlrPath objects size [%d]", static_cast<int>(views.size()));
    DEBUG_TRACE_NORMAL(label, "Controller list size [%d]", static_cast<int>(views.size()));
    return views;
  });
}

// On 3PAR a hardware ID belongs to one host (a collection of its initiator IDs); the host's views are the
// targets of its privileges whose "ElementName" is the host's name.
void TqCimUtil::Add3PARPortViews(TqCimConnection& conn, const char* label, const String& port,
                                 CIMObjectPath& hardwareId, Array<CIMObjectPath>& views) {
  Array<CIMObjectPath> hosts =
      conn.GetAssociatorNames(hardwareId, "CIM_MemberOfCollection", "CIM_SystemSpecificCollection", "", "");
  if (hosts.size() > 1) {
    DEBUG_TRACE(label, "[***] 3PAR device has %u Host-paths, which is not expected [%s][%s]", hosts.size(),
                port.str().c_str(), PathText(hardwareId).c_str());
    return;
  }
  if (hosts.size() == 0) {
    DEBUG_TRACE_NORMAL(label, "No host has been defined with the given HBA port %s", port.str().c_str());
    return;
  }
  CIMObjectPath host = hosts[0];
  DEBUG_TRACE_NORMAL(label, "Found Host Path - %s", PathText(host).c_str());
  Array<CIMObjectPath> privileges =
      conn.GetAssociatorNames(host, "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege", "", "");
  if (privileges.size() == 0) {
    DEBUG_TRACE_NORMAL(label, "Host Path Association not found, so trying to find HWID-Association [%s]",
                       PathText(hardwareId).c_str());
    privileges = conn.GetAssociatorNames(hardwareId, "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege", "", "");
  }
  DEBUG_TRACE_NORMAL(label, "CIM_AuthorizedPrivilege objects size [%d]", static_cast<int>(privileges.size()));
  for (Uint32 i = 0; i < privileges.size(); ++i) {
    Array<CIMObjectPath> controllers =
        conn.GetAssociatorNames(privileges[i], "CIM_AuthorizedTarget", kViewClass, "", "");
    for (Uint32 c = 0; c < controllers.size(); ++c) {
      std::string hostName = GetCIMProp(conn, host, "ElementName");
      std::string viewName = GetCIMProp(conn, controllers[c], "ElementName");
      // Both reads give "" on failure: two unreadable names must not match and keep another host's view.
      if (!tqcimutil::IsBlankName(hostName) && hostName == viewName) {
        DEBUG_TRACE(label, "ctlr path %s", PathText(controllers[c]).c_str());
        views.append(controllers[c]);
      }
    }
  }
}

Array<CIMObjectPath> TqCimUtil::Get3PARCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                       Array<String>& ports) {
  // "2" on purpose: the ports-only overload traces apart from the one that also takes volumes.
  return PortViews(conn, "SMIS::Get3PARCtlrListByHwIDs2", kPort3PAR, systemPath, ports);
}

Array<CIMObjectPath> TqCimUtil::GetEternusCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                          Array<String>& ports) {
  return PortViews(conn, "SMIS::GetEternusCtlrListByHwIDs", kPortEternus, systemPath, ports);
}

Array<CIMObjectPath> TqCimUtil::GetEMCVMAXCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                          Array<String>& ports) {
  return PortViews(conn, "SMIS::GetEMCVMAXCtlrListByHwIDs", kPortEMC, systemPath, ports);
}

Array<CIMObjectPath> TqCimUtil::Get3PARCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                       Array<CIMObjectPath>& volumes, Array<String>& ports) {
  PortViewStep step = [&]() { return Get3PARCtlrListByHwIDs(conn, systemPath, ports); };
  return IntersectVolumeAndPortViews(conn, "SMIS::Get3PARCtlrListByHwIDs", step, volumes);
}

Array<CIMObjectPath> TqCimUtil::GetEternusCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                          Array<CIMObjectPath>& volumes, Array<String>& ports) {
  PortViewStep step = [&]() { return GetEternusCtlrListByHwIDs(conn, systemPath, ports); };
  return IntersectVolumeAndPortViews(conn, "SMIS::GetEternusCtlrListByHwIDs", step, volumes);
}

Array<CIMObjectPath> TqCimUtil::GetEMCVMAXCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                          Array<CIMObjectPath>& volumes, Array<String>& ports) {
  PortViewStep step = [&]() { return GetEMCVMAXCtlrListByHwIDs(conn, systemPath, ports); };
  return IntersectVolumeAndPortViews(conn, "SMIS::GetEMCVMAXCtlrListByHwIDs", step, volumes);
}

Array<CIMObjectPath> TqCimUtil::GetIBMSVCCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                         Array<CIMObjectPath>& volumes, Array<String>& ports) {
  PortViewStep step = [&]() { return GetIBMSVCCtlrListByHwIDs(conn, systemPath, ports); };
  return IntersectVolumeAndPortViews(conn, "SMIS::GetIBMSVCCtlrListByHwIDs", step, volumes);
}
