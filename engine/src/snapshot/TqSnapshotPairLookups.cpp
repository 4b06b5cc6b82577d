// Lookups on the array for the object's pair (its synchronization paths) and one property of any CIM
// object read or written.
#include <map>
#include <string>

#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const int kInvalid = -1;

}  // namespace

int Snapshot::GetSyncPathFromSource(std::map<std::string, std::string>& paths, bool, std::string label) {
  const char* traceLabel = "Snapshot::GetSyncPathFromSource";
  if (m_SystemName.empty() || (m_SourceDev.empty() && m_SourceDevPath.empty())) {
    DEBUG_TRACE(traceLabel, "Invalid Parameters\n");
    return kInvalid;
  }
  return Connected(traceLabel, kInvalid,
                   [&] { return GetAllSyncPathFromSource(m_Conn, m_SourceDevPath, label, paths); });
}

int Snapshot::GetSyncPathFromTarget() {
  const char* traceLabel = "Snapshot::GetSyncPathFromTarget";
  if (m_SystemName.empty() || (m_TargetDev.empty() && m_TargetDevPath.empty())) {
    DEBUG_TRACE(traceLabel, "Invalid Parameters\n");
    return kInvalid;
  }
  return Connected(traceLabel, kInvalid, [this] {
    return TqCimUtil::GetSyncPathFromTarget(m_Conn, m_TargetDevPath, m_SyncPath, m_SourceDevPath, m_SourceDev);
  });
}

int Snapshot::GetSyncPathFromTargetAndSource() {
  const char* traceLabel = "Snapshot::GetSyncPathFromTargetAndSource";
  if (m_SystemName.empty() || m_TargetDevPath.empty() || m_SourceDevPath.empty()) {
    DEBUG_TRACE(traceLabel, "Invalid Parameters\n");
    return kInvalid;
  }
  return Connected(traceLabel, kInvalid, [this] {
    return TqCimUtil::GetSyncPathFromTargetAndSource(m_Conn, m_TargetDevPath, m_SourceDevPath, m_SyncPath);
  });
}

std::string Snapshot::GetSnapObjectProperty(std::string path, std::string name) {
  const char* traceLabel = "Snapshot::GetSnapObjectProperty";
  if (m_SystemName.empty() || path.empty() || name.empty()) {
    DEBUG_TRACE(traceLabel, "Invalid Parameters\n");
    return "";
  }
  return Connected(traceLabel, std::string(), [&] {
    std::string value = GetCIMProp(m_Conn, path, Pegasus::String(name.c_str()));
    DEBUG_TRACE_NORMAL(traceLabel, "Property [%s], Value [%s]", name.c_str(), value.c_str());
    return value;
  });
}

int Snapshot::SetSnapObjectProperty(std::string path, std::string name, std::string value) {
  const char* traceLabel = "Snapshot::SetSnapObjectProperty";
  if (m_SystemName.empty() || path.empty() || name.empty()) {
    DEBUG_TRACE(traceLabel, "Invalid Parameters\n");
    return kInvalid;
  }
  return Connected(traceLabel, kInvalid, [&] { return UpdateInstanceProp(m_Conn, path, name, value) ? 0 : kInvalid; });
}

}  // namespace TQ_SMIS_SNAP
