// Operations on an existing source/copy pair: restoring the source from its copy and sending a
// synchronization operation to the pair.
#include <string>

#include "TQProviderVendor.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kRestoreLabel = "Snapshot::SnapRestore";
const char* const kSyncLabel = "Snapshot::SnapSyncOp";
// The SMI-S synchronization operation that restores the source from its copy.
const char* const kOperationRestore = "5";

}  // namespace

// The source and the copy as the array is given them: the path when known, else the name.
SmisArgs Snapshot::PairArgs(const std::string& operation) {
  return SmisArgs{m_SystemName, operation, m_SourceDevPath.empty() ? m_SourceDev : m_SourceDevPath,
                  m_TargetDevPath.empty() ? m_TargetDev : m_TargetDevPath};
}

bool Snapshot::HasPair() {
  return !m_SystemName.empty() && !m_SourceDev.empty() && !(m_TargetDev.empty() && m_TargetDevPath.empty());
}

SmisResultCode Snapshot::ModifySyncPrimed(const char* label, SmisArgs& args, bool noWait) {
  PrimeFaultRetry(label, args, {{1, "55"}}, [&](SmisArgs& spoiled) { ModifySync(m_Conn, spoiled, noWait); });
  return ModifySync(m_Conn, args, noWait);
}

int Snapshot::SnapRestore(short) {
  if (m_SnapOp != 6 || !HasPair()) {
    DEBUG_TRACE(kRestoreLabel, "Invalid Parameters\n");
    m_SnapStatus = TQSO::SS_RESTORE_FAILED;
    return m_SnapStatus;
  }
  SmisArgs args = PairArgs(kOperationRestore);
  m_SnapStatus = Connected(kRestoreLabel, static_cast<int>(TQSO::SS_RESTORE_FAILED), [&] {
    if (!m_SourceDevPath.empty())
      DEBUG_TRACE_NORMAL(kRestoreLabel, "source Device friendly name: %s\n",
                         GetCIMProp(m_Conn, m_SourceDevPath, "ElementName").c_str());
    if (!m_TargetDevPath.empty())
      DEBUG_TRACE_NORMAL(kRestoreLabel, "Target Device friendly name: %s\n",
                         GetCIMProp(m_Conn, m_TargetDevPath, "ElementName").c_str());
    if (ModifySyncPrimed(kRestoreLabel, args, false) != 0) return static_cast<int>(TQSO::SS_RESTORE_FAILED);
    DEBUG_TRACE_NORMAL(kRestoreLabel, "Success\n");
    return static_cast<int>(TQSO::SS_RESTORED);
  });
  return m_SnapStatus;
}

int Snapshot::SnapSyncOp(unsigned short op, bool noWait) {
  if ((m_SnapOp != 4 && m_SnapOp != 5) || !HasPair()) {
    DEBUG_TRACE(kSyncLabel, "Invalid Parameters\n");
    m_SnapStatus = TQSO::SS_SNAPSHOT_FAILED;
    return m_SnapStatus;
  }
  SmisArgs args = PairArgs(std::to_string(op));
  const bool quiet = true;
  m_SnapStatus = Connected(
      kSyncLabel, static_cast<int>(TQSO::SS_SNAPSHOT_FAILED),
      [&] {
        if (TQProviderVendor::GetVendorId(m_SourceDevPath) == TQ_VENDOR_HP_3PAR) {
          args.push_back(m_SyncPath);
          DEBUG_TRACE(kSyncLabel, "[3PAR Sync path] %s", m_SyncPath.c_str());
        }
        if (ModifySyncPrimed(kSyncLabel, args, noWait) != 0) return static_cast<int>(TQSO::SS_SNAPSHOT_FAILED);
        DEBUG_TRACE_NORMAL(kSyncLabel, "Success\n");
        return static_cast<int>(TQSO::SS_SNAPSHOT_CREATED);
      },
      quiet);
  return m_SnapStatus;
}

}  // namespace TQ_SMIS_SNAP
