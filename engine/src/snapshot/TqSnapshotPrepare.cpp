// Preparing a copy: the source volume, the disk group and the storage configuration service found on the
// array and kept in the object for the creation.
#include <string>

#include "SnapshotText.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kPrepareLabel = "Snapshot::PrepareSnap";

// How the array family changes the lookups of a prepare.
struct ArrayFamily {
  bool ibmSvc = false;
  bool lsi = false;
  bool hpEva = false;
};

ArrayFamily FamilyOf(const std::string& vendor) {
  ArrayFamily family;
  family.ibmSvc = vendor.find("IBMTSSVC") != std::string::npos;
  family.lsi = vendor.find("LSI") != std::string::npos || vendor.find("DCIM") != std::string::npos;
  family.hpEva = vendor.find("HPEVA") != std::string::npos;
  return family;
}

bool IsCopyOp(int op) { return op == 4 || op == 5; }

}  // namespace

int Snapshot::PrepareSnap() {
  if (m_SystemName.empty() || m_SnapName.empty() || m_SourceDev.empty() || !IsCopyOp(m_SnapOp)) {
    DEBUG_TRACE(kPrepareLabel, "Invalid Parameters\n");
    DEBUG_TRACE(kPrepareLabel, "Dumping Parameters\n");
    DEBUG_TRACE(kPrepareLabel, "systemName = %s, snapName = %s, sourceDev = %s,\t\t\tsnapOp = %d\n",
                m_SystemName.c_str(), m_SnapName.c_str(), m_SourceDev.c_str(), m_SnapOp);
    m_SnapStatus = TQSO::SS_PREPARE_FAILED;
    return m_SnapStatus;
  }
  m_SnapStatus =
      Connected(kPrepareLabel, static_cast<int>(TQSO::SS_PREPARE_FAILED), [this] { return PrepareOnArray(); });
  return m_SnapStatus;
}

int Snapshot::PrepareOnArray() {
  std::string poolPath;
  if (!m_TargetDG.empty()) poolPath = GetDGByName(m_Conn, m_SystemName, m_TargetDG);
  bool poolFound = !poolPath.empty();
  ArrayFamily family = FamilyOf(GetVendorName());

  bool poolNeeded = m_SnapOp == 5 || family.ibmSvc || family.lsi;
  if (m_DGRequired && !poolFound && poolNeeded) {
    std::string message =
        FormatText("%s: Can not find Disk Group [%s] for Snap/Clone operation", kPrepareLabel, m_TargetDG.c_str());
    setErrorMsg(kSmisDiskGroupNotFound, message.c_str());
    return TQSO::SS_PREPARE_FAILED;
  }

  if (!FindSourceVolume(family.hpEva, family.ibmSvc)) return TQSO::SS_PREPARE_FAILED;

  m_SourceFriendlyName = GetCIMProp(m_Conn, m_SourceDevPath, "ElementName");
  DEBUG_TRACE_NORMAL(kPrepareLabel, "Source Device friendly name: %s\n", m_SourceFriendlyName.c_str());

  SmisArgs args{m_SystemName,
                m_SnapName,
                std::to_string(m_SnapOp),
                m_SourceDevPath,
                m_TargetSettingId.empty() ? "null" : m_TargetSettingId,
                PoolArgument(poolFound, family.ibmSvc)};
  m_PrepareOut.clear();
  if (!PrepareCreateReplica(m_Conn, args, m_PrepareOut) || m_PrepareOut.empty()) {
    DEBUG_TRACE(kPrepareLabel, "Failed\n");
    return TQSO::SS_PREPARE_FAILED;
  }
  DEBUG_TRACE_NORMAL(kPrepareLabel, "Success\n");
  m_ServicePath = m_PrepareOut[0];
  if (HoldsValue(m_PrepareOut, 4)) m_TargetSettingPath = m_PrepareOut[4];
  if (HoldsValue(m_PrepareOut, 5)) m_TargetDGPath = m_PrepareOut[5];
  return TQSO::SS_PREPARED;
}

bool Snapshot::FindSourceVolume(bool hpEva, bool ibmSvc) {
  m_Conn.m_LastFault.clear();
  if (hpEva) {
    m_SourceDevPath = GetVolObjPathByUUID(m_Conn, m_SourceDev.c_str(), m_SystemName.c_str());
  } else if (ibmSvc) {
    // The concise volumes name a volume by its UUID in one enumeration of names; the regular lookup on
    // the system is the fallback.
    m_SourceDevPath = GetIBMSVCVolObjPathByUUID(m_Conn, m_SourceDev, m_SystemName);
    if (m_SourceDevPath.empty()) {
      DEBUG_TRACE(kPrepareLabel,
                  "Can not find source volume [%s] using optmized IBMTSSVC_ConciseVolume, falling back to regular",
                  m_SourceDev.c_str());
      m_SourceDevPath = GetVolObjPathByUUID(m_Conn, m_SourceDev.c_str(), m_SystemName.c_str());
    } else {
      DEBUG_TRACE(kPrepareLabel, "Found source volume [%s] using optmized IBMTSSVC_ConciseVolume", m_SourceDev.c_str());
    }
  } else {
    m_SourceDevPath = GetVolObjPathByUUID(m_Conn, m_SourceDev.c_str(), "");
  }
  if (!m_SourceDevPath.empty()) return true;
  // A lookup that failed is told apart from a volume the array does not have, by its cause.
  std::string message = m_Conn.m_LastFault.empty()
                            ? FormatText("%s: Can not find source volume %s\n", kPrepareLabel, m_SourceDev.c_str())
                            : FormatText("%s: Can not find source volume %s: the lookup failed: %s\n", kPrepareLabel,
                                         m_SourceDev.c_str(), m_Conn.m_LastFault.c_str());
  if (m_Conn.m_AuthFailure)
    DEBUG_TRACE(kPrepareLabel, "%s", message.c_str());
  else
    setErrorMsg(kSmisSourceNotFound, message.c_str());
  return false;
}

std::string Snapshot::PoolArgument(bool poolFound, bool ibmSvc) {
  bool clone = m_SnapOp == 5;
  if (m_TargetDG.empty()) {
    if (clone || ibmSvc) DEBUG_TRACE_NORMAL(kPrepareLabel, "Going to use Default Disk Group for snap/clone operation");
    return "null";
  }
  if (poolFound) {
    if (clone)
      DEBUG_TRACE_NORMAL(kPrepareLabel, "Going to use Disk Group [%s] for clone operation", m_TargetDG.c_str());
    else
      DEBUG_TRACE_NORMAL(kPrepareLabel, "Uses Disk Group [%s] for snap operation, if applicable", m_TargetDG.c_str());
    return m_TargetDG;
  }
  if (clone)
    DEBUG_TRACE_NORMAL(kPrepareLabel,
                       "Supplied DiskGroup [%s] not found, Going to use Default Disk Group for clone operation",
                       m_TargetDG.c_str());
  else
    DEBUG_TRACE_NORMAL(kPrepareLabel,
                       "Supplied DiskGroup [%s] not found, Going to use Default Disk Group for Snap operation",
                       m_TargetDG.c_str());
  return "null";
}

}  // namespace TQ_SMIS_SNAP
