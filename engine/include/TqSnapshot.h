// The snapshot object: one copy operation (snapshot, clone, restore, delete, status) for one source volume
// on one array, driven through the SMI-S action class it derives from, on a CIMOM connection of its own.
//
// Contract:
// - Fill it in this order: SetLogger (the device's job record, sink of every trace and device error),
//   SetArrayInfo, SetSnapInfo and/or SetSnapViewInfo (SetSnapStatus where an operation needs a status),
//   then run operations and read the getters and public members.
// - Every operation checks the object's fields first and refuses an incomplete object before it connects;
//   then it connects m_Conn, does its work and disconnects on every path before it returns. A failed
//   connect records error 3 through the error scheme. No exception leaves an operation.
// - Operations answer with TQSO::SnapStatus numbers and report errors only through setErrorMsg, which
//   turns an SMI-S code into the device's engine error through the vendor's error table.
// - The connection is disconnected between operations, so a copy (taken for a worker thread) opens its
//   own client; copies share only the constant error table and the job record.
#pragma once

#include <list>
#include <map>
#include <string>
#include <vector>

#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/Exception.h"
#include "SmisImpl.h"
#include "TQSOTypes.h"
#include "TqCimConnection.h"
#include "TqCimom.h"
#include "TqSourceFile.h"

namespace TQSO {
class SnapInfo;
}

namespace TQ_SMIS_SNAP {

// One row of a vendor's error table. A table ends at the first row whose providerCode is 0; that row is
// never matched.
struct TQ_SMIS_ERROR_MAP {
  int providerCode;     // the code as an SMI-S action returns it
  int smisCode;         // the engine-neutral SMI-S code
  int engineCode;       // the device's job error; -1 sets none
  const char* message;  // the row's text
};

// The SMI-S code of a failed connect.
const int kSmisConnectFailed = 3;
// Program codes of the snapshot operations (those of the actions stand in SmisResultCodes.h).
const int kSmisSourceNotFound = 650001;
const int kSmisNameInUse = 650002;
const int kSmisCloneInProgress = 650003;
const int kSmisSnapshotDiskSource = 650004;
const int kSmisClonePending = 650005;
const int kSmisSnapLimit = 650010;
const int kSmisNewVolumeFailed = 650011;
const int kSmisAttachFailed = 650012;
const int kSmisDiskGroupNotFound = 650013;

// The texts an operation traces a caught exception with, at error level: a CIM fault (the handler's source
// file and line, the status text, the message), another fault of the CIM client (file, line, message) and
// anything else (no values).
struct CatchTexts {
  const char* cim;
  const char* general;
  const char* unknown;
};

// The handler's source file without its directories, and its line.
#define TQ_CATCH_SITE TQ_SOURCE_FILE, __LINE__

// The connection parameters of the array's CIMOM, then the array's system name.
struct TqArrayParams : public TqCimomParams {
  std::string systemName;
};

// The request of one copy operation; SetSnapInfo copies it into the object.
struct TqSnapParams {
  std::string systemName;  // replaces the object's only when not empty
  std::string snapName;
  int snapOp = 99;  // 4 snapshot, 5 clone, 6 restore, 99 not set
  std::string sourceDev;
  std::string targetDev;
  std::string targetDG;
  bool dgRequired = false;
  std::string targetSettingId;
  std::string servicePath;
  std::string sourceDevPath;
  std::string targetDevPath;
  std::string targetDGPath;
  std::string targetSettingPath;
};

// The copy to present or withdraw; SetSnapViewInfo copies it into the object.
struct TqSnapViewParams {
  std::string targetDev;
  std::string targetDevPath;
  std::string initiatorPorts;
  std::string targetPorts;
  short deviceAccess = 99;  // 2 read-write, 3 read-only, 4 none, 99 not set
};

class Snapshot : public SmisAction {
 public:
  Snapshot();

  // Makes the job record the sink of the object's tracer and of its connection's tracer.
  void SetLogger(TQSO::SnapInfo* record);
  void SetArrayInfo(TqArrayParams& params);
  void SetSnapInfo(TqSnapParams& params);
  void SetSnapViewInfo(TqSnapViewParams& params);
  void SetSnapStatus(TQSO::SnapStatus status) { m_SnapStatus = status; }
  void SetSnapDevice(std::string device) { m_TargetDev = device; }

  std::string GetSourceDev() { return m_SourceDev; }
  std::string GetSnapDevice() { return m_TargetDev; }
  int GetSnapOperation() { return m_SnapOp; }
  std::string GetSourceDevPath() { return m_SourceDevPath; }
  std::string GetSnapDevPath() { return m_TargetDevPath; }
  std::string GetSyncPath() { return m_SyncPath; }
  // After a failed create or clone-volume creation: what it may have left on the array that the object could
  // not settle (a copy or volume that may exist under the requested name, or one it could not tell from an
  // older copy of that name), as a text for the device's error; empty when nothing is left unsettled.
  const std::string& GetUnsettledCopyNote() const { return m_UnsettledCopyNote; }
  // The copies of sourcePath that a read of its synchronizations gave without error (the child check's), so
  // that the next create below that source needs no read of its own to tell older copies from its own.
  void UseCopiesBefore(const std::string& sourcePath, const Pegasus::Array<Pegasus::CIMObjectPath>& copies);

  // The vendor's class prefix of the array ("3PAR", "HPEVA", ...); empty when not found. Needs m_Conn open.
  std::string GetVendorName();
  // Connects and disconnects; fills nothing.
  void GetHostHbaPorts(std::string host, std::list<std::string>& ports);

  // ---- The pair's synchronization and single properties (-1 on invalid fields or a failed connect) ----
  int GetSyncPathFromSource(std::map<std::string, std::string>& paths, bool unused, std::string label);
  // Fills m_SyncPath, m_SourceDevPath and m_SourceDev from the copy's one synchronization.
  int GetSyncPathFromTarget();
  // Fills m_SyncPath.
  int GetSyncPathFromTargetAndSource();
  // Empty on failure.
  std::string GetSnapObjectProperty(std::string path, std::string name);
  // 0 set, -1 not; an empty value is sent.
  int SetSnapObjectProperty(std::string path, std::string name, std::string value);

  // ---- Error scheme ----
  // The SMI-S code of the first row with this provider code, -1 when none; message (emptied first)
  // receives the row's text.
  int GetVendorSmisErrorCode(int providerCode, std::string* message = nullptr);
  // The engine code of the first row with this SMI-S code, -1 when none.
  int GetTqSmisErrorCode(int smisCode);
  // Logs the message on the job record and makes it the device's error under the code's engine code
  // (none for -1 and 4); after an authentication failure only logs it. Always records code and message.
  void setErrorMsg(int smisCode, const char* message);

  // ---- Operations (TQSO::SnapStatus numbers unless said) ----
  virtual int PrepareSnap();  // 1 prepared, 2 failed
  // 5 created, 6 failed; needs status 1. After a failure m_TargetDev and m_TargetDevPath are empty, unless
  // they name a copy this create made that could not be removed; GetUnsettledCopyNote names what else may be
  // left. A copy the source had before the create is never removed.
  virtual int SnapCreate();
  virtual int UnprepareSnap();                             // 0
  virtual int SnapRestore(short);                          // 22 restored, 23 failed
  virtual int MapSnap();                                   // 0 mapped, 1 failed
  virtual int UnmapSnap();                                 // 0 unmapped, 1 failed
  virtual int SnapDelete();                                // 20 deleted (or already gone), 21 failed
  virtual int IsSupported(TQSO::SNAP_TYPE type);           // 1 supported, 0 not
  virtual int IsSnapMapped();                              // 9, 10, 14, or 0 on failure
  virtual int GetSnapStatus();                             // 24 the copy is gone, else 0
  virtual int SnapSyncOp(unsigned short op, bool noWait);  // 5 done, 6 failed
  virtual bool CreateCloneVolume();
  virtual bool AttachCloneVolume(std::string copyType);
  virtual int DetachSnap();           // 20 detached, 21 failed, 0 the copy was not found
  virtual int CheckArrayExistence();  // 0 source found, 2 source gone, 1 failure

  TqCimConnection m_Conn;
  std::string m_SnapName;
  std::string m_SystemName;
  int m_SnapOp;
  std::string m_SourceDev;
  std::string m_TargetDev;
  std::string m_SourceFriendlyName;
  std::string m_TargetFriendlyName;
  std::string m_TargetDG;
  bool m_DGRequired;
  std::string m_TargetSettingId;
  int m_SnapStatus;
  std::vector<std::string> m_PrepareOut;
  std::string m_InitiatorPorts;
  std::string m_TargetPorts;
  short m_DeviceAccess;
  short m_CloneProvisionType;
  int m_LastErrorCode;
  std::string m_LastErrorMsg;
  const TQ_SMIS_ERROR_MAP* m_ErrorMap;
  std::string m_TargetDevPath;
  std::string m_SourceDevPath;
  std::string m_TargetDGPath;
  std::string m_TargetSettingPath;
  std::string m_ServicePath;
  std::string m_SyncPath;

 protected:
  // Connects m_Conn; a failure records error 3 ("<label>: Connection to CIMOM failed") unless quiet.
  bool Connect(const char* label, bool quiet = false);
  // Connects, runs work, and disconnects on every path. failed is the answer when the connect fails or
  // work throws (traced under the label). A quiet connect failure is only traced.
  template <class Result, class Work>
  Result Connected(const char* label, Result failed, Work work, bool quiet = false);
  // Runs work, tracing an exception under the label; failed is then the answer.
  template <class Result, class Work>
  Result Guarded(const char* label, Result failed, Work work);
  // Runs work; a caught exception is traced under the label with the texts and the handler's site (file,
  // line), and failed is the answer.
  template <class Result, class Work>
  Result Handled(const char* label, const CatchTexts& texts, const char* file, int line, Result failed, Work work);
  // The same, and the message of a CIM-client exception is recorded with recordCode, for the caller to
  // report.
  template <class Result, class Work>
  Result HandledAndRecorded(const char* label, const CatchTexts& texts, const char* file, int line, Result failed,
                            int recordCode, Work work);
  // The same traces for a handler that passes the exception on to its caller.
  template <class Work>
  auto TracedOn(const char* label, const CatchTexts& texts, const char* file, int line, Work work) -> decltype(work());
  // Under a configured fault retry, runs call once on a copy of args with the given positions replaced
  // (only positions that exist), ignoring its result; then the real call follows at the caller.
  template <class Call>
  void PrimeFaultRetry(const char* label, const SmisArgs& args,
                       const std::vector<std::pair<std::size_t, std::string>>& spoil, Call call);
  static bool FaultRetryConfigured();
  // Traces a caught exception of an operation under its label.
  void TraceCaught(const char* label, const char* what);
  // Connects m_Conn; a failure is traced "Connection to CIMOM failed" and, when record is true, recorded as
  // error 3 ("<label>: Connection to CIMOM failed").
  bool ConnectTraced(const char* label, bool record);

 private:
  // The parts of the operations that run while connected.
  int PrepareOnArray();
  bool FindSourceVolume(bool hpEva, bool ibmSvc);
  std::string PoolArgument(bool poolFound, bool ibmSvc);
  int CreateOnArray();
  // The copy's id in its path: the key "DeviceID" on 3PAR, else the volume's "Name".
  std::string CopyIdOf(std::string path);
  void RecordCreateFailure(int code);
  // The source's copies before a create (one read of its synchronizations, names only), unless the child check
  // already read them; unknown when the read fails.
  void ListCopiesBefore(const char* label);
  bool CopiesBeforeKnown() const;
  void ForgetCopiesBefore();
  // The volumes the source's synchronizations reach; false (traced) when they could not be read.
  bool ReadCopiesOfSource(const char* label, Pegasus::Array<Pegasus::CIMObjectPath>& copies);
  // After a create that may have acted although it failed: removes the one copy of the requested name that
  // the create made (the target the array named, or a copy of the source that was not there before), and
  // notes what cannot be settled. The target is left naming a copy only when it could not be removed.
  void SettleUncertainCopy(const char* label, SmisCallOutcome outcome);
  // The copies of the source with the requested name that were not there before (`made`), or, when the list
  // before is unknown, every copy of that name (`unsure`). False when they could not be read.
  bool FindCopiesOfTheCreate(const char* label, bool listed, std::vector<std::string>& made,
                             std::vector<std::string>& unsure);
  void RemoveCopyOfTheCreate(const char* label, const std::string& path);
  void NoteUnsettledCopy(const char* label, const std::string& note);
  bool HasPair();
  SmisArgs PairArgs(const std::string& operation);
  SmisResultCode ModifySyncPrimed(const char* label, SmisArgs& args, bool noWait);
  // "<label>: Connection to CIMOM failed" or the device error of a missing copy, and the like.
  void FillTargetName(const char* label);
  int DeleteOnArray();
  bool CreateCloneOnArray();
  // After a failed clone-volume creation that may have acted: notes the volume name (and path when the array
  // gave one). The volume is not removed: nothing but its name ties it to the source yet.
  void NoteUncertainVolume(const char* label);
  int MapRemoval(const char* label, SmisResultCode result, const std::string& name, bool detach);
  // The view fields a map (with its access) or unmap needs; traced when missing.
  bool ViewFieldsValid(bool needsAccess);
  // An empty target id taken from the target path's "Name".
  void FillTargetFromPath(const char* label);

  // The source's copies before the next create, and the source path they were read for (empty: none read).
  std::string m_CopiesBeforeSource;
  Pegasus::Array<Pegasus::CIMObjectPath> m_CopiesBefore;
  std::string m_UnsettledCopyNote;
};

template <class Result, class Work>
Result Snapshot::Connected(const char* label, Result failed, Work work, bool quiet) {
  if (!Connect(label, quiet)) return failed;
  const Result result = Guarded(label, failed, work);
  m_Conn.DisconnectCimom();
  return result;
}

template <class Result, class Work>
Result Snapshot::Guarded(const char* label, Result failed, Work work) {
  try {
    return work();
  } catch (const Pegasus::Exception& e) {
    TraceCaught(label, e.getMessage().str().c_str());
  } catch (const std::exception& e) {
    TraceCaught(label, e.what());
  } catch (...) {
    TraceCaught(label, "unknown exception");
  }
  return failed;
}

template <class Result, class Work>
Result Snapshot::Handled(const char* label, const CatchTexts& texts, const char* file, int line, Result failed,
                         Work work) {
  return HandledAndRecorded(label, texts, file, line, failed, 0, work);
}

template <class Result, class Work>
Result Snapshot::HandledAndRecorded(const char* label, const CatchTexts& texts, const char* file, int line,
                                    Result failed, int recordCode, Work work) {
  try {
    return work();
  } catch (const Pegasus::CIMException& e) {
    const std::string message = e.getMessage().str();
    DEBUG_TRACE(label, texts.cim, file, line, Pegasus::cimStatusCodeToString(e.getCode()).str().c_str(),
                message.c_str());
    if (recordCode != 0) setErrorMsg(recordCode, message.c_str());
  } catch (const Pegasus::Exception& e) {
    const std::string message = e.getMessage().str();
    DEBUG_TRACE(label, texts.general, file, line, message.c_str());
    if (recordCode != 0) setErrorMsg(recordCode, message.c_str());
  } catch (...) {
    DEBUG_TRACE(label, "%s", texts.unknown);
  }
  return failed;
}

template <class Work>
auto Snapshot::TracedOn(const char* label, const CatchTexts& texts, const char* file, int line, Work work)
    -> decltype(work()) {
  try {
    return work();
  } catch (const Pegasus::CIMException& e) {
    DEBUG_TRACE(label, texts.cim, file, line, Pegasus::cimStatusCodeToString(e.getCode()).str().c_str(),
                e.getMessage().str().c_str());
    throw;
  } catch (const Pegasus::Exception& e) {
    DEBUG_TRACE(label, texts.general, file, line, e.getMessage().str().c_str());
    throw;
  } catch (...) {
    DEBUG_TRACE(label, "%s", texts.unknown);
    throw;
  }
}

template <class Call>
void Snapshot::PrimeFaultRetry(const char* label, const SmisArgs& args,
                               const std::vector<std::pair<std::size_t, std::string>>& spoil, Call call) {
  if (!FaultRetryConfigured()) return;
  SmisArgs spoiled = args;
  for (const auto& position : spoil)
    if (position.first < spoiled.size()) spoiled[position.first] = position.second;
  call(spoiled);
  DEBUG_TRACE(label, "Pegasus retry in faulty environment");
}

}  // namespace TQ_SMIS_SNAP
