// Resynchronizing an existing remote-copy group and watching it to its end.
#include <cstdlib>
#include <string>

#include "SnapshotText.h"
#include "Tq3PARSnapshot.h"
#include "TqSmisJob.h"

using namespace Pegasus;

namespace {

const char kLabel[] = "Tq3PARSnapshot::3PAR-SyncReplication";
const int kProgressCompleted = 2;
const Uint16 kResyncOperation = 14;
// The code the message of a caught exception is recorded with, as every failure here is.
const int kRemoteCopyRecorded = 4;

}  // namespace

int Tq3PARSnapshot::CheckForRunningReplicationJob(CIMObjectPath& syncPath, bool& running) {
  return Handled(kLabel, TQ_SMIS_SNAP::kCopyGroupCaughtTexts, TQ_CATCH_SITE, 1, [&]() -> int {
    running = std::atoi(GetCIMProp(m_Conn, syncPath, "ProgressStatus").c_str()) != kProgressCompleted;
    return 0;
  });
}

int Tq3PARSnapshot::WatchReplicationJob(CIMObjectPath& syncPath, int maxPolls, int waitSeconds) {
  return Handled(kLabel, TQ_SMIS_SNAP::kCopyGroupCaughtTexts, TQ_CATCH_SITE, 1, [&]() -> int {
    for (int count = 0; count < maxPolls; ++count) {
      const int progress = std::atoi(GetCIMProp(m_Conn, syncPath, "ProgressStatus").c_str());
      const std::string percent = GetCIMProp(m_Conn, syncPath, "PercentSynced");
      if (progress == kProgressCompleted) return 8;
      TqSmisJob::GotoSleep(waitSeconds * 1000);
      DEBUG_TRACE_NORMAL(kLabel, "[Percent completed %s] ", percent.c_str());
    }
    return 10;
  });
}

int Tq3PARSnapshot::SyncReplication(const char* systemName, const char* syncPath, int waitSeconds, int maxPolls) {
  if (systemName == nullptr || syncPath == nullptr) {
    DEBUG_TRACE(kLabel, "[ERROR]Invalid parameters");
    return 1;
  }
  if (*syncPath == '\0') {
    DEBUG_TRACE(kLabel, "[ERROR]Invalid Group Synchronized Path name");
    return 1;
  }
  if (!Connect(kLabel)) {
    DEBUG_TRACE(kLabel, "[ERROR]%s", m_LastErrorMsg.c_str());
    return 3;
  }
  const TQ_SMIS_SNAP::CatchTexts& texts = TQ_SMIS_SNAP::kSyncGroupCaughtTexts;
  const int result = HandledAndRecorded(kLabel, texts, TQ_CATCH_SITE, 1, kRemoteCopyRecorded, [&]() -> int {
    String nameSpace(m_Conn.m_Cimom.GetNameSpace());
    CIMObjectPath service;
    if (!ValidateSystemName(m_Conn, systemName, "CIM_ReplicationService", service)) {
      DEBUG_TRACE(kLabel, "[ERROR]Class %s for system %s not found", "CIM_ReplicationService", systemName);
      setErrorMsg(4, "System Name validation for repliction faiure at 3PAR Arrayside");
      return 1;
    }
    CIMObjectPath sync{String(syncPath)};
    bool running = false;
    CheckForRunningReplicationJob(sync, running);
    if (!running) {
      Array<CIMParamValue> in, out;
      in.append(CIMParamValue("Operation", CIMValue(kResyncOperation)));
      in.append(CIMParamValue("Synchronization", CIMValue(sync)));
      const unsigned value = GetRetVal(m_Conn.Client().invokeMethod(CIMNamespaceName(nameSpace), service,
                                                                    CIMName("ModifyReplicaSynchronization"), in, out));
      DEBUG_TRACE_NORMAL(kLabel, "%s: *-* Method, retVal = %u (0x%x)", "ModifyReplicaSynchronization", value, value);
      if (value != 0 && value != 4096) {
        DEBUG_TRACE(kLabel, "%s: Method failed, retVal = %u (0x%x)", "ModifyReplicaSynchronization", value, value);
        setErrorMsg(4, "Invoking Remote Copy synchronization failed");
        PrintParamSet(out, true);
        return 1;
      }
      PrintParamSet(out, false);
    }
    const int watched = WatchReplicationJob(sync, maxPolls, waitSeconds);
    if (watched == 8) {
      DEBUG_TRACE_NORMAL(kLabel, " Sync-job completed successfuly");
      return 0;
    }
    setErrorMsg(4, "New remote-copy synchronization has timedout");
    DEBUG_TRACE(kLabel, "[ERROR] Synchronization timedout [%d].", watched);
    return 1;
  });
  m_Conn.DisconnectCimom();
  if (result == 0)
    DEBUG_TRACE_NORMAL(kLabel, "[Success] Sync-Group completed successfully");
  else
    DEBUG_TRACE(kLabel, "[ERROR] Sync-Group has failed(%d)", result);
  return result;
}
