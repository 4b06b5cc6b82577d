// Removing a copy: deleting it, or detaching it from its source, and reading the removal's result.
#include <string>

#include "SnapshotText.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kDetachLabel = "Snapshot::DetachSnap";
const char* const kDeleteLabel = "Snapshot::SnapDelete";

// Arrays whose snapshots are detached from their source instead of deleted.
bool DetachesSnapshots(const std::string& vendor) {
  return vendor.find("LSI") != std::string::npos || vendor.find("DCIM") != std::string::npos ||
         vendor.find("NETAPP") != std::string::npos;
}

}  // namespace

void Snapshot::FillTargetName(const char* label) {
  if (m_TargetDevPath.empty() || !m_TargetDev.empty()) return;
  m_TargetDev = GetCIMProp(m_Conn, m_TargetDevPath, "Name");
  DEBUG_TRACE_NORMAL(label, "Target Device UUID %s\n", m_TargetDev.c_str());
}

int Snapshot::MapRemoval(const char* label, SmisResultCode result, const std::string& name, bool detach) {
  if (result == kSmisVolumeNotFound && detach) {
    std::string message = FormatText("%s: Device %s not found", label, m_TargetDev.c_str());
    setErrorMsg(kSmisVolumeNotFound, message.c_str());
    return 0;
  }
  if (result == kSmisVolumeNotFound) return TQSO::SS_DELETED;
  if (result == kSmisHostMappingsFound) {
    std::string message = FormatText("%s Device %s delete failed, Host mappings found\n", label, name.c_str());
    setErrorMsg(kSmisHostMappingsFound, message.c_str());
    return TQSO::SS_DELETE_FAILED;
  }
  if (result == 0) {
    DEBUG_TRACE_NORMAL(label, detach ? "Device %s detached\n" : "Device %s deleted\n", name.c_str());
    return TQSO::SS_DELETED;
  }
  DEBUG_TRACE(label, "Device %s delete failed\n", name.c_str());
  return TQSO::SS_DELETE_FAILED;
}

int Snapshot::SnapDelete() {
  if (m_SystemName.empty() || (m_TargetDev.empty() && m_TargetDevPath.empty())) {
    DEBUG_TRACE(kDeleteLabel, "Invalid Parameters\n");
    DEBUG_TRACE(kDeleteLabel, "Dumping Parameters\n");
    DEBUG_TRACE(kDeleteLabel, "m_SystemName = %s, m_TargetDev = %s, m_TargetDevPath = %s\n", m_SystemName.c_str(),
                m_TargetDev.c_str(), m_TargetDevPath.c_str());
    return TQSO::SS_DELETE_FAILED;
  }
  return Connected(kDeleteLabel, static_cast<int>(TQSO::SS_DELETE_FAILED), [this] { return DeleteOnArray(); });
}

int Snapshot::DeleteOnArray() {
  bool detach = DetachesSnapshots(GetVendorName()) && m_SnapOp == 4;
  FillTargetName(kDeleteLabel);
  SmisArgs args{m_SystemName};
  if (detach) {
    if (m_SourceDev.empty()) {
      DEBUG_TRACE_NORMAL(kDeleteLabel, "Can not perform delete Source Device UUID is empty\n");
    } else {
      args.push_back(m_SourceDev);
      DEBUG_TRACE_NORMAL(kDeleteLabel, "Source Device UUID %s\n", m_SourceDev.c_str());
    }
  }
  // Under a fault retry the copy is named by its id, which survives a rebuilt client.
  bool byPath = !m_TargetDevPath.empty() && !FaultRetryConfigured();
  args.push_back(byPath ? m_TargetDevPath : m_TargetDev);
  if (m_TargetDev.empty()) {
    DEBUG_TRACE(kDeleteLabel, "Invalid Parameter\n");
    return TQSO::SS_DELETE_FAILED;
  }
  std::string name = m_TargetDev;
  if (!m_TargetDevPath.empty()) {
    DEBUG_TRACE_NORMAL(kDeleteLabel, "Target Device UUID %s\n", m_TargetDev.c_str());
    std::string friendly = GetCIMProp(m_Conn, m_TargetDevPath, "ElementName");
    DEBUG_TRACE_NORMAL(kDeleteLabel, "Target Device friendly name: %s\n", friendly.c_str());
    if (!friendly.empty()) name = friendly;
  }
  SmisResultCode result;
  if (detach) {
    PrimeFaultRetry(kDeleteLabel, args, {}, [this](SmisArgs& copy) { DetachVol(m_Conn, copy); });
    result = DetachVol(m_Conn, args);
  } else {
    PrimeFaultRetry(kDeleteLabel, args, {}, [this](SmisArgs& copy) { DeleteVol(m_Conn, copy); });
    result = DeleteVol(m_Conn, args);
  }
  return MapRemoval(kDeleteLabel, result, name, false);
}

int Snapshot::DetachSnap() {
  if (m_SystemName.empty() || (m_SourceDev.empty() && m_SourceDevPath.empty()) ||
      (m_TargetDev.empty() && m_TargetDevPath.empty())) {
    DEBUG_TRACE(kDetachLabel, "Invalid Parameters\n");
    DEBUG_TRACE(kDetachLabel, "Dumping Parameters\n");
    DEBUG_TRACE(kDetachLabel, "m_SystemName = %s, m_TargetDev = %s, m_TargetDevPath = %s, m_SourceDev = %s",
                m_SystemName.c_str(), m_TargetDev.c_str(), m_TargetDevPath.c_str(), m_SourceDev.c_str());
    return TQSO::SS_DELETE_FAILED;
  }
  return Connected(kDetachLabel, static_cast<int>(TQSO::SS_DELETE_FAILED), [this] {
    FillTargetName(kDetachLabel);
    SmisArgs args{m_SystemName};
    if (m_SourceDevPath.empty()) {
      args.push_back(m_SourceDev);
      DEBUG_TRACE_NORMAL(kDetachLabel, "Source Device UUID %s\n", m_SourceDev.c_str());
    } else {
      args.push_back(m_SourceDevPath);
    }
    args.push_back(m_TargetDevPath.empty() ? m_TargetDev : m_TargetDevPath);
    DEBUG_TRACE_NORMAL(kDetachLabel, "Target Device UUID %s\n", m_TargetDev.c_str());
    std::string name = m_TargetDev;
    if (!m_TargetDevPath.empty()) {
      std::string friendly = GetCIMProp(m_Conn, m_TargetDevPath, "ElementName");
      DEBUG_TRACE_NORMAL(kDetachLabel, "Target Device friendly name: %s\n", friendly.c_str());
      if (!friendly.empty()) name = friendly;
    }
    return MapRemoval(kDetachLabel, DetachVol(m_Conn, args), name, true);
  });
}

}  // namespace TQ_SMIS_SNAP
