// Clone volumes: a new volume shaped like the source, then attached to it as a replica, which starts the copy.
#include <string>

#include "SnapshotText.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kAttachLabel = "Snapshot::AttachCloneVolume";
const char* const kCreateCloneLabel = "Snapshot::CreateCloneVolume";

}  // namespace

bool Snapshot::CreateCloneVolume() {
  m_UnsettledCopyNote.clear();
  if (m_SystemName.empty() || m_SnapName.empty() || m_SourceDev.empty()) {
    DEBUG_TRACE(kCreateCloneLabel, "Invalid Parameters\n");
    DEBUG_TRACE(kCreateCloneLabel, "Dumping Parameters\n");
    DEBUG_TRACE(kCreateCloneLabel, "systemName = %s, NewVolName = %s, sourceDev = %s", m_SystemName.c_str(),
                m_SnapName.c_str(), m_SourceDev.c_str());
    return false;
  }
  return Connected(kCreateCloneLabel, false, [this] { return CreateCloneOnArray(); });
}

bool Snapshot::CreateCloneOnArray() {
  bool poolFound = !m_TargetDG.empty() && !GetDGByName(m_Conn, m_SystemName, m_TargetDG).empty();
  if (!poolFound) {
    if (m_DGRequired) {
      std::string message = FormatText("%s: Can not find Disk Group [%s] for Snap/Clone operation", kCreateCloneLabel,
                                       m_TargetDG.c_str());
      setErrorMsg(kSmisInvalidParameter, message.c_str());
      return false;
    }
    DEBUG_TRACE_NORMAL(kCreateCloneLabel,
                       "Supplied DiskGroup [%s] not found, Going to use Default Disk Group for Snap/Clone operation",
                       m_TargetDG.c_str());
  }
  DEBUG_TRACE_NORMAL(kCreateCloneLabel, "Going to create new volume to perform clone operation\n");
  bool ibmSvc = GetVendorName().find("IBMTSSVC") != std::string::npos;
  SmisArgs args{m_SystemName, m_SnapName, poolFound ? m_TargetDG : "null",
                std::to_string(ibmSvc ? m_SnapOp : m_CloneProvisionType)};
  SmisArgs volume;
  if (CreateStorageVolParams(m_Conn, args, m_SourceDevPath.empty() ? m_SourceDev : m_SourceDevPath, volume) != 0) {
    std::string message = std::string(kCreateCloneLabel) + ": Failed to create new storage volume parameters\n";
    setErrorMsg(kSmisNewVolumeFailed, message.c_str());
    return false;
  }
  PrimeFaultRetry(kCreateCloneLabel, volume, {{1, ""}, {3, "0"}}, [this](SmisArgs& spoiled) {
    std::string ignored;
    CreateStorageVolume(m_Conn, spoiled, ignored);
  });
  SmisResultCode result = CreateStorageVolume(m_Conn, volume, m_TargetDevPath);
  if (result == 0) {
    m_TargetDev = GetCIMProp(m_Conn, m_TargetDevPath, "Name");
    return true;
  }
  if (MayHaveActed(LastCallOutcome())) NoteUncertainVolume(kCreateCloneLabel);
  std::string message = ibmSvc
                            ? FormatText("%s: Failed to create new storage volume[%u: %s]\n", kCreateCloneLabel, result,
                                         GetErrorMessage(result, "CreateOrModifyElementFromStoragePool").c_str())
                            : std::string(kCreateCloneLabel) + ": Failed to create new storage volume\n";
  setErrorMsg(kSmisNewVolumeFailed, message.c_str());
  return false;
}

void Snapshot::NoteUncertainVolume(const char* label) {
  const std::string where = m_TargetDevPath.empty() ? "" : " (" + m_TargetDevPath + ")";
  m_TargetDev.clear();
  m_TargetDevPath.clear();
  NoteUnsettledCopy(label, FormatText("Volume [%s]%s may be on the storage array: the outcome of its creation for a "
                                      "clone is unknown; if a volume of that name that no record names is there, "
                                      "remove it",
                                      m_SnapName.c_str(), where.c_str()));
}

bool Snapshot::AttachCloneVolume(std::string copyType) {
  if (m_SystemName.empty() || m_SourceDev.empty() || (m_TargetDev.empty() && m_TargetDevPath.empty())) {
    DEBUG_TRACE(kAttachLabel, "Invalid Parameters\n");
    return false;
  }
  DEBUG_TRACE_NORMAL(kAttachLabel, "Going to perform attach replica operation\n");
  // A copy known only by its path is named by the path.
  SmisArgs args{m_SystemName, copyType, m_SourceDev, m_TargetDev.empty() ? m_TargetDevPath : m_TargetDev};
  return Connected(kAttachLabel, false, [&] {
    PrimeFaultRetry(kAttachLabel, args, {{1, "55"}, {3, args[2]}}, [this](SmisArgs& spoiled) {
      std::string ignored;
      AttachModRep(m_Conn, spoiled, ignored);
    });
    std::string syncPath;
    SmisResultCode result = AttachModRep(m_Conn, args, syncPath);
    if (result == 0) {
      DEBUG_TRACE_NORMAL(kAttachLabel, "Attach Replica success[%s]", syncPath.c_str());
      m_SyncPath = syncPath;
      return true;
    }
    int code = GetVendorSmisErrorCode(static_cast<int>(result));
    const std::string message = FormatText("%s: Failed to attach replica", kAttachLabel);
    setErrorMsg(code == -1 ? kSmisAttachFailed : code, message.c_str());
    return false;
  });
}

}  // namespace TQ_SMIS_SNAP
