// Presenting a 3PAR volume to a host's initiator ports and taking it away again. A host is a hardware-ID
// collection named after it; mapping creates it (or adds the ports no host holds yet) before exposing the
// volume to it, and unmapping hides the volume from the ports and removes every host collection of those
// ports that sees nothing any more. The connection stays open for the caller to close.
#include <list>

#include "FXString.h"
#include "HP3ParCimUtil.h"
#include "HP3ParCimUtilSupport.h"
#include "SmisHardwareId.h"
#include "SmisImpl.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

enum MapPosition { kSystem, kVolume, kInitiators, kHost, kMapPositions };
const size_t kUnmapPositions = 3;
const char* const kHostClass = "TPD_StorageHardwareIDCollection";
const size_t kHostNameKept = 20;

// "TQ_" + the first 20 characters of the host name + "_iscsi" or "_fc".
std::string HostDefinitionName(const std::string& hostName, bool iscsi) {
  return "TQ_" + hostName.substr(0, kHostNameKept) + (iscsi ? "_iscsi" : "_fc");
}

// What a refused expose or hide means, for the trace.
std::string RefusalText(SmisResultCode result, const std::string& initiators, const std::string& volume, bool map) {
  const bool iscsi = initiators.find("iqn") != std::string::npos || initiators.find("eui") != std::string::npos ||
                     initiators.find("naa") != std::string::npos;
  switch (result) {
    case 4098:
      return FXString::Format(
          "Invalid Initiator port[s] %s supplied, please check %s is supported with the Storage "
          "Array ",
          initiators.c_str(), iscsi ? "iSCSI" : "FC");
    case 4097:
      return FXString::Format("Invalid volume ID %s supplied", volume.c_str());
    case kSmisInvalidParameter:
      return "Invalid parameter supplied for SMIS operation";
    default:
      return map ? "Error: mapping failed" : "Error: unmapping failed";
  }
}

}  // namespace

SmisResultCode HP3ParCimUtil::MapStorageVolume(TqCimConnection& conn, std::vector<std::string>& prepared,
                                               std::string&) {
  const char* label = "HP3ParCimUtil::MapStorageVolume";
  if (prepared.size() < kMapPositions) {
    DEBUG_TRACE(label, "mapvol: insufficient args specified\n");
    return kSmisTooFewArguments;
  }
  const std::string& systemName = prepared[kSystem];
  const std::string& volumeName = prepared[kVolume];
  const std::string& initiators = prepared[kInitiators];
  const std::string& hostName = prepared[kHost];
  Array<String> ports = InputToStringArray(initiators, ',');
  if (hostName.empty()) {
    DEBUG_TRACE(label, "Unable to find hostName from %s.", hostName.c_str());
    return kSmisFailed;
  }
  std::vector<std::string> hosts, unassigned;
  GetHostInfo(conn, ports, hosts, unassigned);
  // Ports read as held by no host would be registered again.
  if (hp3par::LoginRefused(*this, conn, label)) return kSmisFailed;
  DEBUG_TRACE(label, "[ hosts - %d)] [Ports to be assigned - %d ]", static_cast<int>(hosts.size()),
              static_cast<int>(unassigned.size()));
  if (hosts.size() > 1) {
    DEBUG_TRACE(label,
                "More than 1 hosts (%d) used here to assign initiator ports. which is not expected in 3PAR. Mapping "
                "fails here...",
                static_cast<int>(hosts.size()));
    return kHP3ParHostUnusable;
  }
  if (hosts.empty() && unassigned.empty()) {
    DEBUG_TRACE(label,
                "[Ports evaluated - %d][Hosts - 0][Posrts need to assign - 0] No host found but ports are assigned. "
                "it is not expected in 3PAR. Mapping fails here...",
                static_cast<int>(ports.size()));
    return kHP3ParHostUnusable;
  }
  const std::string host =
      hosts.empty() ? HostDefinitionName(hostName, smishwid::IsIscsiPort(unassigned.front())) : hosts.front();

  std::string volumeUuid;
  const int state = IsVolumeMapped(conn, systemName, volumeName, initiators, volumeUuid);
  if (state == kHP3ParMappedToPorts) {
    DEBUG_TRACE(label, "IsVolumeMapped found volume UUID [%s] is already mapped on the Array!!", volumeUuid.c_str());
    return kSmisSuccess;
  }
  if (state != kHP3ParNotMapped) {
    DEBUG_SET_ERROR(1, "IsVolumeMapped found there is an error in mapping on the Array");
    return kSmisFailed;
  }
  SmisAction action;
  if (!unassigned.empty()) {
    SmisResultCode added = AddPortsToHost(conn, action, systemName, host, ports, unassigned);
    if (added != kSmisSuccess) return added;
  }
  SmisArgs expose = {systemName, host, volumeUuid, FXString::Format("%d", kHP3ParReadWrite)};
  const SmisResultCode exposed = action.ExposeLUsToCollections(conn, expose);
  if (hp3par::LoginRefused(*this, conn, label)) return kSmisFailed;
  if (exposed != kSmisSuccess) {
    DEBUG_TRACE(label, "%s", RefusalText(exposed, initiators, volumeUuid, true).c_str());
    return kSmisFailed;
  }
  DEBUG_TRACE_NORMAL(label, "Device %s Mapping Success\n", volumeName.c_str());
  return kSmisSuccess;
}

// Registers the ports no host holds with the host's collection (made when missing), each by its own kind.
SmisResultCode HP3ParCimUtil::AddPortsToHost(TqCimConnection& conn, SmisAction& action, const std::string& systemName,
                                             const std::string& host, Array<String>& ports,
                                             const std::vector<std::string>& unassigned) {
  const char* label = "HP3ParCimUtil::MapStorageVolume";
  std::list<std::string> references;
  for (const std::string& port : unassigned) {
    std::string version;
    std::uint16_t build = 0;
    if (!action.Get3PARFirmware(conn, version, build)) {
      DEBUG_TRACE(label, "3PAR Firmware [Version - %s] [Build - %u]", version.c_str(), build);
      DEBUG_TRACE(label, "Tq3PARSnapshot::Get3PARVersionStrings: [Error] ivalid version found] ");
      return kSmisFailed;
    }
    references.push_back(smishwid::HardwareIdText(smishwid::InstanceIdPrefix(version), port));
  }
  WarnWhenHostHoldsOtherPorts(conn, label, host, ports);
  const std::string joined = ConvertListToString(references, true);
  DEBUG_TRACE(label, "Adding Ports [%s]", joined.c_str());
  SmisArgs args = {systemName, host, joined};
  if (action.AddPortsToHardwareIDCollection(conn, args) != kSmisSuccess) {
    DEBUG_TRACE(label, "AddPortsToHardwareIDCollection failed");
    return kHP3ParHostUnusable;
  }
  return kSmisSuccess;
}

// Two hosts whose names share their first 20 characters share one definition: say so when it happens.
void HP3ParCimUtil::WarnWhenHostHoldsOtherPorts(TqCimConnection& conn, const char* label, const std::string& host,
                                                Array<String>& ports) {
  CIMObjectPath collection = GetStorageHardwareIDCollectionObjPathByProp(conn, kHostClass, "ElementName", String(host));
  if (collection.getClassName().isNull()) return;
  Array<CIMObjectPath> ids =
      conn.GetAssociatorNames(collection, "CIM_MemberOfCollection", "CIM_StorageHardwareID", "", "");
  for (Uint32 i = 0; i < ids.size(); ++i) {
    const std::string held = GetCIMProp(conn, ids[i], "StorageID");
    bool given = false;
    for (Uint32 p = 0; p < ports.size() && !given; ++p) given = String::equalNoCase(ports[p], String(held));
    if (!given) {
      DEBUG_TRACE(label,
                  "Warning: host definition [%s] already holds port [%s] of another host; the ports given are added "
                  "to it",
                  host.c_str(), held.c_str());
      return;
    }
  }
}

SmisResultCode HP3ParCimUtil::UnmapStorageVolume(TqCimConnection& conn, std::vector<std::string>& prepared,
                                                 std::string&) {
  const char* label = "HP3ParCimUtil::UnmapStorageVolume";
  if (prepared.size() < kUnmapPositions) {
    DEBUG_TRACE(label, "unmapvol: insufficient args specified\n");
    return kSmisTooFewArguments;
  }
  const std::string& systemName = prepared[kSystem];
  const std::string& volumeName = prepared[kVolume];
  const std::string& initiators = prepared[kInitiators];
  const CIMNamespaceName nameSpace(String(conn.m_Cimom.GetNameSpace()));
  Array<String> ports = InputToStringArray(initiators, ',');
  Array<String> hosts;
  GetHostList(conn, ports, hosts);
  if (hp3par::LoginRefused(*this, conn, label)) return kSmisFailed;

  std::string volumeUuid;
  const int state = IsVolumeMapped(conn, systemName, volumeName, initiators, volumeUuid);
  if (state == kHP3ParNotMapped) {
    DEBUG_TRACE(label, "IsVolumeMapped found volume UUID [%s] is already unmapped on the Array!!", volumeUuid.c_str());
    return kSmisSuccess;
  }
  if (state != kHP3ParMappedToPorts) {
    DEBUG_SET_ERROR(1, "IsVolumeMapped found there is an error in unmapping on the Array");
    return kSmisFailed;
  }
  SmisAction action;
  SmisArgs hide = {systemName, volumeUuid, initiators, "null", "null", "null"};
  unsigned long faultRetry = 0;
  TQPlatformInfo().getNumber("Corvane", "TQ_PEGASUS_FAULT_RETRY", &faultRetry);
  if (faultRetry != 0) {
    SmisArgs priming = hide;
    priming[4] = "23";
    DEBUG_TRACE(label, "Pegasus retry in faulty environment");
    action.HidePaths(conn, priming);
  }
  const SmisResultCode hidden = action.HidePaths(conn, hide);
  // Views the hide could not list may still present the volume.
  if (hp3par::LoginRefused(*this, conn, label)) return kSmisFailed;
  if (hidden != kSmisSuccess) {
    DEBUG_TRACE(label, "%s", RefusalText(hidden, initiators, volumeUuid, false).c_str());
    return kSmisFailed;
  }
  RemoveHostsThatSeeNothing(conn, nameSpace, hosts);
  DEBUG_TRACE_NORMAL(label, "Volume %s Unmapping Success\n", volumeName.c_str());
  return kSmisSuccess;
}

// Each host once; a host whose collection is gone or cannot be looked at is left to the next unmap: the
// volume is already hidden, so a failure here never fails the unmap.
void HP3ParCimUtil::RemoveHostsThatSeeNothing(TqCimConnection& conn, const CIMNamespaceName& nameSpace,
                                              Array<String>& hosts) {
  const char* label = "HP3ParCimUtil::UnmapStorageVolume";
  std::vector<std::string> distinct;
  for (Uint32 i = 0; i < hosts.size(); ++i) AddUniqString(distinct, hosts[i].str().c_str());
  for (const std::string& host : distinct) {
    try {
      if (GetVolumeCountByHostPath(conn, String(host)) != 0) continue;
      CIMObjectPath collection =
          GetStorageHardwareIDCollectionObjPathByProp(conn, kHostClass, "ElementName", String(host));
      // A count read after the login was refused is no count: the host may still see volumes.
      if (hp3par::LoginRefused(*this, conn, label)) {
        DEBUG_TRACE(label, "Host [%s] left in place", host.c_str());
        continue;
      }
      if (collection.getClassName().isNull()) continue;
      if (conn.DeleteInstance(nameSpace, collection) == 0) {
        DEBUG_TRACE(label, "The host [%s] is deleted", host.c_str());
      } else {
        DEBUG_SET_ERROR(3, FXString::Format("%s:Error in deleting [%s] the host", label, host.c_str()).c_str());
      }
    } catch (const Exception& e) {
      DEBUG_TRACE(label, "Host [%s] left in place: %s", host.c_str(), e.getMessage().str().c_str());
    }
  }
}
