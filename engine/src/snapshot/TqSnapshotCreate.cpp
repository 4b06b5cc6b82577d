// Creating the prepared copy on the array and recording the new volume.
#include <string>

#include "SnapshotText.h"
#include "TQProviderVendor.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kCreateLabel = "Snapshot::SnapCreate";

}  // namespace

int Snapshot::SnapCreate() {
  // From here on the target names only a copy this call made.
  m_TargetDev.clear();
  m_TargetDevPath.clear();
  m_UnsettledCopyNote.clear();
  if (m_SnapStatus != TQSO::SS_PREPARED) {
    DEBUG_TRACE(kCreateLabel, "Device not ready for snapshot\n");
    m_SnapStatus = TQSO::SS_SNAPSHOT_FAILED;
    return m_SnapStatus;
  }
  DEBUG_TRACE_NORMAL(kCreateLabel, "Creating snapshot\n");
  bool valid =
      !m_ServicePath.empty() && !m_SnapName.empty() && !m_SourceDevPath.empty() && (m_SnapOp == 4 || m_SnapOp == 5);
  std::string dump =
      FormatText("servicePath = %s, snapName = %s, sourceDevPath = %s,\t\t\tTargetDG = %s, snapOp = %d\n",
                 m_ServicePath.c_str(), m_SnapName.c_str(), m_SourceDevPath.c_str(), m_TargetDGPath.c_str(), m_SnapOp);
  if (valid) {
    DEBUG_TRACE_NORMAL(kCreateLabel, "Dumping Parameters\n");
    DEBUG_TRACE_NORMAL(kCreateLabel, "%s", dump.c_str());
  } else {
    DEBUG_TRACE(kCreateLabel, "Invalid Parameters\n");
    DEBUG_TRACE(kCreateLabel, "Dumping Parameters\n");
    DEBUG_TRACE(kCreateLabel, "%s", dump.c_str());
  }
  if (!valid) {
    m_SnapStatus = TQSO::SS_SNAPSHOT_FAILED;
    return m_SnapStatus;
  }
  m_SnapStatus =
      Connected(kCreateLabel, static_cast<int>(TQSO::SS_SNAPSHOT_FAILED), [this] { return CreateOnArray(); });
  return m_SnapStatus;
}

int Snapshot::CreateOnArray() {
  if (!m_SourceFriendlyName.empty())
    DEBUG_TRACE_NORMAL(kCreateLabel, "Source Device friendly name: %s\n", m_SourceFriendlyName.c_str());
  SmisArgs args{m_ServicePath, m_SnapName, std::to_string(m_SnapOp), m_SourceDevPath};
  if (m_TargetSettingPath.empty()) {
    args.push_back("null");
  } else {
    DEBUG_TRACE_NORMAL(kCreateLabel, "pushing m_TargetSettingPath=  %s\n", m_TargetSettingPath.c_str());
    args.push_back(m_TargetSettingPath);
  }
  if (!m_TargetDGPath.empty()) {
    DEBUG_TRACE_NORMAL(kCreateLabel, "pushing m_TargetDGPath=  %s\n", m_TargetDGPath.c_str());
    args.push_back(m_TargetDGPath);
  }
  // What the source had before, so that a failed create's clean-up never takes an older copy for its own.
  ListCopiesBefore(kCreateLabel);
  PrimeFaultRetry(kCreateLabel, args, {{2, "15"}}, [this](SmisArgs& spoiled) {
    std::string ignored;
    CreateReplica(m_Conn, spoiled, ignored);
  });

  SmisResultCode result = CreateReplica(m_Conn, args, m_TargetDevPath);
  const SmisCallOutcome outcome = LastCallOutcome();
  m_TargetFriendlyName.clear();
  if (!m_TargetDevPath.empty()) {
    m_TargetDev = CopyIdOf(m_TargetDevPath);
    DEBUG_TRACE_NORMAL(kCreateLabel, "Target Device UUID %s\n", m_TargetDev.c_str());
  }

  int code = result == 0 ? 0 : GetVendorSmisErrorCode(static_cast<int>(result));
  m_LastErrorCode = code;
  if (code == 0 && m_TargetDev.empty()) {
    // A copy without an id can be neither mapped, deleted nor reconciled later.
    DEBUG_TRACE(kCreateLabel, "The array named no copy (target [%s]), the snapshot counts as failed\n",
                m_TargetDevPath.c_str());
    code = -1;
  }
  if (code == 0) {
    ForgetCopiesBefore();
    DEBUG_TRACE_NORMAL(kCreateLabel, "Success\n");
    return TQSO::SS_SNAPSHOT_CREATED;
  }
  // A failure the array did not answer as a refusal may have made the copy all the same.
  if (MayHaveActed(outcome)) SettleUncertainCopy(kCreateLabel, outcome);
  ForgetCopiesBefore();
  RecordCreateFailure(code);
  DEBUG_TRACE(kCreateLabel, "Failed\n");
  return TQSO::SS_SNAPSHOT_FAILED;
}

std::string Snapshot::CopyIdOf(std::string path) {
  if (TQProviderVendor::GetVendorId(path) == TQ_VENDOR_HP_3PAR) {
    Pegasus::CIMObjectPath target(Pegasus::String(path.c_str()));
    return GetPropByObjPath(target, "DeviceID");
  }
  return GetCIMProp(m_Conn, path, "Name");
}

void Snapshot::RecordCreateFailure(int code) {
  int smisCode = 0;
  const char* text = nullptr;
  if (m_SnapOp == 5 && (code == kSmisCloneInProgress || code == kSmisClonePending)) {
    smisCode = kSmisClonePending;
    text = ": Clone Failed, previous clone still in progress or Snapshot may exist for the source lun";
  } else if (code == kSmisNameInUse) {
    smisCode = kSmisNameInUse;
    text = ": Snap Failed, snapshot/clone name already exists";
  } else if ((m_SnapOp == 4 && code == kSmisSnapLimit) || code == kSmisCloneInProgress) {
    smisCode = kSmisSnapLimit;
    text = ": Snap Failed, maximum number of snaps reached";
  } else if (code == kSmisSnapshotDiskSource) {
    smisCode = kSmisSnapshotDiskSource;
    text = ": Snap Failed, snapshot disk used as source disk";
  }
  if (!text) return;
  std::string message = std::string(kCreateLabel) + text;
  setErrorMsg(smisCode, message.c_str());
}

}  // namespace TQ_SMIS_SNAP
