// Presenting a copy to a host's definition on the array (its hardware-ID collection), with the host's
// unknown ports added first, and withdrawing a copy from every view that holds it.
#include <list>
#include <string>
#include <vector>

#include "HP3ParCimUtil.h"
#include "SmisHardwareId.h"
#include "SnapshotText.h"
#include "Tq3PARSnapshot.h"

namespace {

const char kMapLabel[] = "Tq3PARSnapshot::3PAR-MapSnaptoGroup";
const char kUnmapLabel[] = "Tq3PARSnapshot::3PAR-UnmapSnapVol";

}  // namespace

// Ports are about to join the definition `host`: warn when it already holds ports of another host. The
// check only informs, so a failed read is traced and the mapping goes on.
void Tq3PARSnapshot::WarnOfSharedHostDefinition(const std::string& host, Pegasus::Array<Pegasus::String>& ports) {
  HP3ParCimUtil definitions;
  definitions.m_SnapInfo = m_SnapInfo;
  Guarded(kMapLabel, 0, [&] {
    definitions.WarnWhenHostHoldsOtherPorts(m_Conn, kMapLabel, host, ports);
    return 0;
  });
}

int Tq3PARSnapshot::MapSnapToGroup(const char* volume, const char* hostGroupName, short deviceAccess,
                                   std::string& portList, bool iSCSI) {
  if (!ConnectTraced(kMapLabel, true)) {
    m_SnapStatus = TQSO::SS_PREPARE_FAILED;
    return TQSO::SS_PREPARE_FAILED;
  }
  const int failed = TQSO::SS_UNMAPPED;
  const int result = Handled(kMapLabel, TQ_SMIS_SNAP::kCaughtTexts, TQ_CATCH_SITE, failed, [&]() -> int {
    Pegasus::Array<Pegasus::String> ports = InputToStringArray(portList, ',');
    std::vector<std::string> hosts, unassigned;
    GetHostInfo(m_Conn, ports, hosts, unassigned);
    DEBUG_TRACE(kMapLabel, "[ hosts - %d)] [Ports to be assigned - %d ]", static_cast<int>(hosts.size()),
                static_cast<int>(unassigned.size()));
    if (hosts.size() > 1) {
      DEBUG_TRACE(kMapLabel,
                  "More than 1 hosts (%d) used here to assign initiator ports. which is not expected in 3PAR. Mapping "
                  "fails here...",
                  static_cast<int>(hosts.size()));
      return TQSO::SS_UNMAPPED;
    }
    if (hosts.empty() && unassigned.empty()) {
      DEBUG_TRACE(kMapLabel,
                  "[Ports evaluated - %d][Hosts - 0][Posrts need to assign - 0] No host found but ports are assigned. "
                  "it is not expected in 3PAR. Mapping fails here...",
                  static_cast<int>(ports.size()));
      return TQSO::SS_UNMAPPED;
    }
    const std::string host = hosts.empty() ? std::string(hostGroupName != nullptr ? hostGroupName : "") : hosts[0];
    std::string version;
    unsigned short build = 0;
    if (Get3PARVersionStrings(version, build) != 0) {
      DEBUG_TRACE(kMapLabel, "[ERROR] failed to get Version info.");
      return TQSO::SS_UNMAPPED;
    }
    DEBUG_TRACE(kMapLabel, "3PAR Firmware [Version - %s] [Build - %u]", version.c_str(), static_cast<unsigned>(build));
    if (!unassigned.empty()) {
      std::list<std::string> ids;
      const char* prefix = smishwid::InstanceIdPrefix(version);
      for (const std::string& port : unassigned) ids.push_back(smishwid::HardwareIdText(prefix, port, iSCSI));
      WarnOfSharedHostDefinition(host, ports);
      SmisArgs add = {m_SystemName, host, convertList2String(ids, false)};
      DEBUG_TRACE(kMapLabel, "Adding Ports [%s]", add[2].c_str());
      if (AddPortsToHardwareIDCollection(m_Conn, add) != 0) {
        DEBUG_TRACE(kMapLabel, "AddPortsToHardwareIDCollection failed");
        return TQSO::SS_UNMAPPED;
      }
    }
    SmisArgs expose = {m_SystemName, host, volume != nullptr ? volume : "", std::to_string(deviceAccess)};
    return ExposeLUsToCollections(m_Conn, expose) == 0 ? TQSO::SS_MAPPED : TQSO::SS_UNMAPPED;
  });
  m_Conn.DisconnectCimom();
  return result;
}

std::string Tq3PARSnapshot::convertList2String(std::list<std::string>& items, bool) {
  std::string text;
  for (auto item = items.begin(); item != items.end(); ++item) {
    if (item != items.begin()) text += ',';
    text += *item;
  }
  DEBUG_TRACE_NORMAL("3PAR-convertList2String", " converted list 2 string %s", text.c_str());
  return text;
}

int Tq3PARSnapshot::UnmapSnapVol(const char* volume) {
  const std::string name = volume != nullptr ? volume : "";
  DEBUG_TRACE(kUnmapLabel, "unmapping - %s", name.c_str());
  if (!ConnectTraced(kUnmapLabel, true)) {
    m_SnapStatus = TQSO::SS_UNMAP_FAILED;
    return TQSO::SS_UNMAP_FAILED;
  }
  const int failed = TQSO::SS_UNMAP_FAILED;
  const int result = Handled(kUnmapLabel, TQ_SMIS_SNAP::kCaughtTexts, TQ_CATCH_SITE, failed, [&]() -> int {
    Pegasus::CIMObjectPath system = GetSystemObjPathByNameProp(m_Conn, m_SystemName);
    if (system.getKeyBindings().size() == 0) {
      DEBUG_TRACE(kUnmapLabel, "SystemName <%s> not found", m_SystemName.c_str());
      return TQSO::SS_UNMAP_FAILED;
    }
    Pegasus::Array<Pegasus::String> volumes;
    volumes.append(Pegasus::String(name));
    Pegasus::Array<Pegasus::CIMObjectPath> views =
        GetCtlrPathList(m_Conn, system, volumes, Pegasus::Array<Pegasus::String>());
    if (views.size() == 0) {
      DEBUG_TRACE(kUnmapLabel, "Nothing to hide...");
      return TQSO::SS_UNMAPPED;
    }
    DEBUG_TRACE_NORMAL(kUnmapLabel, "Hiding %d paths...", static_cast<int>(views.size()));
    // Every view is tried; the copy counts as withdrawn only when every hide succeeded.
    bool allHidden = true;
    for (unsigned i = 0; i < views.size(); ++i) {
      if (Hide3PARPath(m_Conn, system, volumes, views[i]) != 0) {
        DEBUG_TRACE(kUnmapLabel, "Hide Path <%s> Failed", views[i].toString().str().c_str());
        allHidden = false;
      }
    }
    return allHidden ? TQSO::SS_UNMAPPED : TQSO::SS_UNMAP_FAILED;
  });
  m_Conn.DisconnectCimom();
  return result;
}
