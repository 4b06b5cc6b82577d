// Clone volumes: attaching a new volume to its source as a replica, which starts the copy.
#include <string>

#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kAttachLabel = "Snapshot::AttachCloneVolume";

}  // namespace

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
    std::string message = std::string(kAttachLabel) + ": Failed to attach replica";
    setErrorMsg(code == -1 ? kSmisAttachFailed : code, message.c_str());
    return false;
  });
}

}  // namespace TQ_SMIS_SNAP
