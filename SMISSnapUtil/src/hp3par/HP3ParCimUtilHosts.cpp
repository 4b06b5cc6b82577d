// Hosts of a 3PAR array as the masking model shows them: a host is a hardware-ID collection of initiator
// ports; a port reaches its privileges, a privilege its masking views, a view its volumes.
#include <cstdlib>

#include "HP3ParCimUtil.h"
#include "HP3ParCimUtilSupport.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::TracedRethrow;

namespace {

const char* const kHardwareIdClass = "CIM_StorageHardwareID";

Array<CIMObjectPath> Associated(TqCimConnection& conn, const CIMObjectPath& from, const char* association,
                                const char* resultClass) {
  return conn.GetAssociatorNames(from, association, resultClass, "", "");
}

}  // namespace

void HP3ParCimUtil::GetHostInfo(TqCimConnection& conn, Array<String>& ports, std::vector<std::string>& hosts,
                                std::vector<std::string>& unassigned) {
  const char* label = "HP3ParCimUtil::GetHostInfo";
  hosts.clear();
  unassigned.clear();
  TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    String idClass = kHardwareIdClass;
    for (Uint32 i = 0; i < ports.size(); ++i) {
      std::string port = ports[i].str();
      CIMObjectPath id = GetObjPathByPropName(conn, idClass, "StorageID", ports[i]);
      if (id.getClassName().isNull()) {
        DEBUG_TRACE_NORMAL(label, "[port - %s] Not assigned", port.c_str());
        unassigned.push_back(port);
        continue;
      }
      std::string host = GetCIMProp(conn, id, "ElementName");
      DEBUG_TRACE_NORMAL(label, "[port - %s] [Path - %s] [Host - %s]", port.c_str(), GetObjectPathString(id).c_str(),
                         host.c_str());
      if (host.empty()) {
        DEBUG_TRACE_NORMAL(label, "[port - %s] port found but not assigned to Host", port.c_str());
        unassigned.push_back(port);
      } else {
        AddUniqString(hosts, host.c_str());
      }
    }
    DEBUG_TRACE_NORMAL(label, " [Host found - %d ] [Ports not assigned - %d]", static_cast<int>(hosts.size()),
                       static_cast<int>(unassigned.size()));
  });
}

void HP3ParCimUtil::GetHostList(TqCimConnection& conn, Array<String> ports, Array<String>& hosts) {
  const char* label = "HP3ParCimUtil::GetHostList";
  String idClass = kHardwareIdClass;
  for (Uint32 i = 0; i < ports.size(); ++i) {
    CIMObjectPath id = GetObjPathByPropName(conn, idClass, "StorageID", ports[i]);
    if (id.getClassName().isNull()) continue;
    std::string idText = GetObjectPathString(id);
    DEBUG_TRACE(label, "hwId path %s", idText.c_str());
    Array<CIMObjectPath> collections = Associated(conn, id, "CIM_MemberOfCollection", "CIM_SystemSpecificCollection");
    if (collections.size() > 1) {
      DEBUG_TRACE(label, "[***] 3PAR device has %u Host-paths, which is not expected [%s][%s]", collections.size(),
                  ports[i].str().c_str(), idText.c_str());
    } else if (collections.size() == 0) {
      DEBUG_TRACE_NORMAL(label, "No host has been defined with the given HBA port %s", ports[i].str().c_str());
    } else {
      hosts.append(String(GetCIMProp(conn, collections[0], "ElementName")));
    }
  }
}

int HP3ParCimUtil::GetVolumeCountByHostPath(TqCimConnection& conn, String hostName) {
  const char* label = "HP3ParCimUtil::GetVolumeCountByHostPath";
  String hostClass = "TPD_StorageHardwareIDCollection";
  CIMObjectPath host = GetObjPathByPropName(conn, hostClass, "ElementName", hostName);
  int total = 0;
  // A host that is not found has no hardware IDs: asking from an empty path would select nothing anyway.
  Array<CIMObjectPath> ids;
  if (!host.getClassName().isNull()) ids = Associated(conn, host, "CIM_MemberOfCollection", kHardwareIdClass);
  if (ids.size() > 0) DEBUG_TRACE(label, "hwIds count is: %d", static_cast<int>(ids.size()));
  for (Uint32 i = 0; i < ids.size(); ++i) {
    Array<CIMObjectPath> privileges = Associated(conn, ids[i], "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege");
    DEBUG_TRACE(label, "authPrivs count is: %d", static_cast<int>(privileges.size()));
    for (Uint32 p = 0; p < privileges.size(); ++p) {
      Array<CIMObjectPath> views =
          Associated(conn, privileges[p], "CIM_AuthorizedTarget", "CIM_SCSIProtocolController");
      DEBUG_TRACE(label, "ctlrs count is: %d", static_cast<int>(views.size()));
      for (Uint32 v = 0; v < views.size(); ++v) {
        Array<CIMObjectPath> volumes = Associated(conn, views[v], "CIM_ProtocolControllerForUnit", "CIM_StorageVolume");
        DEBUG_TRACE(label, "volumes count is: %d", static_cast<int>(volumes.size()));
        total += static_cast<int>(volumes.size());
      }
    }
  }
  DEBUG_TRACE(label, "Host is associated with %d of volumes", total);
  return total;
}

SmisResultCode HP3ParCimUtil::GetVolumeInitiatorsUtil(TqCimConnection& conn, std::vector<std::string>& args,
                                                      std::vector<MappedHBAInfoList_t>& initiators) {
  const char* label = "HP3ParCimUtil::GetVolumeInitiatorsUtil";
  if (args.size() < 2) {
    DEBUG_TRACE(label, "getinitiators: insufficient args specified, need: SystemName VolName");
    conn.DisconnectCimom();
    return kSmisTooFewArguments;
  }
  CIMObjectPath volume = FindArrayVolume(conn, args[0], args[1]);
  DEBUG_TRACE_NORMAL(label, "Volume Path : %s", GetObjectPathString(volume).c_str());
  if (hp3par::LoginRefused(*this, conn, label)) {
    conn.DisconnectCimom();
    return kSmisFailed;
  }
  // A volume that is not there has no initiators to report: say so rather than list none.
  if (volume.getClassName().isNull()) {
    DEBUG_TRACE(label, "Volume %s not found", args[1].c_str());
    conn.DisconnectCimom();
    return kSmisVolumeNotFound;
  }
  Array<CIMObjectPath> views = GetVolCtlrPaths(conn, volume);
  if (views.size() == 0)
    DEBUG_TRACE(label, "Volume is not associated with any of the hosts");
  else
    DEBUG_TRACE(label, "Volume is associated with %d host mappings", static_cast<int>(views.size()));
  size_t before = initiators.size();
  for (Uint32 v = 0; v < views.size(); ++v) AppendInitiatorsOfView(conn, views[v], initiators);
  conn.DisconnectCimom();
  // Initiators that could not be listed are no answer: never report "none".
  if (hp3par::LoginRefused(*this, conn, label)) {
    initiators.resize(before);
    return kSmisFailed;
  }
  DEBUG_TRACE_NORMAL(label, "Volume [%s] is associated with [%d] initiators using [%d] hosts", args[1].c_str(),
                     static_cast<int>(initiators.size() - before), static_cast<int>(views.size()));
  return kSmisSuccess;
}

void HP3ParCimUtil::AppendInitiatorsOfView(TqCimConnection& conn, const CIMObjectPath& view,
                                           std::vector<MappedHBAInfoList_t>& initiators) {
  const char* label = "HP3ParCimUtil::GetVolumeInitiatorsUtil";
  Array<CIMObjectPath> privileges = Associated(conn, view, "CIM_AuthorizedTarget", "CIM_AuthorizedPrivilege");
  DEBUG_TRACE(label, "CIM_AuthorizedPrivilege objects size: %d", static_cast<int>(privileges.size()));
  for (Uint32 p = 0; p < privileges.size(); ++p) {
    Array<CIMObjectPath> ids = Associated(conn, privileges[p], "CIM_AuthorizedSubject", kHardwareIdClass);
    DEBUG_TRACE(label, "CIM_StorageHardwareID objects size: %d", static_cast<int>(ids.size()));
    for (Uint32 i = 0; i < ids.size(); ++i) {
      CIMInstance id = conn.GetInstance(ids[i]);
      MappedHBAInfoList_t initiator;
      initiator.port = GetCIMProp(id, "StorageID");
      std::string idType = GetCIMProp(id, "IDType");
      DEBUG_TRACE(label, "StorageID: %s", initiator.port.c_str());
      DEBUG_TRACE(label, "IDType: %s", idType.c_str());
      initiator.type = std::atoi(idType.c_str());
      if (!initiator.port.empty()) initiators.push_back(initiator);
    }
  }
}
