// Questions put to the array about a copy and its source: whether the copy is still there, whether a
// copy kind is supported, whether the array and the source can be found.
#include <string>

#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kStatusLabel = "Snapshot::GetSnapStatus";
const char* const kSupportLabel = "Snapshot::IsSupported";
const char* const kArrayLabel = "Snapshot::CheckArrayExistence";

// CheckInstanceExistence: the volume is there under its expected name.
const int kInstanceFound = 1;
const int kInstanceMissing = 0;

}  // namespace

int Snapshot::GetSnapStatus() {
  if (m_SystemName.empty() || (m_TargetDev.empty() && m_TargetDevPath.empty())) {
    DEBUG_TRACE(kStatusLabel, "Invalid Parameters\n");
    return 0;
  }
  return Connected(kStatusLabel, 0, [this] {
    std::string target = m_TargetDevPath.empty() ? m_TargetDev : m_TargetDevPath;
    int found = CheckInstanceExistence(m_Conn, m_SystemName, target, m_TargetDev);
    return found == kInstanceMissing ? static_cast<int>(TQSO::SS_GONE_FROM_ARRAY) : 0;
  });
}

int Snapshot::IsSupported(TQSO::SNAP_TYPE type) {
  if (m_SystemName.empty()) {
    DEBUG_TRACE(kSupportLabel, "Invalid Parameters\n");
    return 0;
  }
  bool clone = type == TQSO::SNAP_TYPE_CLONE;
  if (!clone && type != TQSO::SNAP_TYPE_SNAPSHOT) return 0;
  SmisArgs args{m_SystemName, clone ? "5" : "4"};
  return Connected(kSupportLabel, 0, [&] {
    if (IsCopyTypeSupported(m_Conn, args) == 0) {
      DEBUG_TRACE_NORMAL(kSupportLabel, clone ? "Copy type CLONE supported\n" : "Copy type SNAPSHOT supported\n");
      return 1;
    }
    DEBUG_TRACE_NORMAL(kSupportLabel, clone ? "Copy type Clone NOT supported\n" : "Copy type Snapshot NOT supported\n");
    return 0;
  });
}

int Snapshot::CheckArrayExistence() {
  if (m_SystemName.empty() || m_SourceDev.empty()) {
    DEBUG_TRACE(kArrayLabel, "Invalid Parameters\n");
    return 1;
  }
  return Connected(kArrayLabel, 1, [this] {
    if (GetSystemObjPathString(m_Conn, m_SystemName).empty()) return 1;
    int found = CheckInstanceExistence(m_Conn, m_SystemName, m_SourceDev, m_SourceDev);
    if (found == kInstanceFound) return 0;
    return found == kInstanceMissing ? 2 : 1;
  });
}

}  // namespace TQ_SMIS_SNAP
