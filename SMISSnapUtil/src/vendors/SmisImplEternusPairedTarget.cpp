// The first choice of an ETERNUS target: the copy of a pair the source already has, when that pair is of
// the kind the copy type asks for and in a state it can be reused from. A target carrying the volume label
// wins over one that does not.
#include <cstdlib>

#include "SmisEternusVolumes.h"
#include "TqCimConnection.h"
#include "action/SmisCall.h"
#include "action/SmisReplicationArgs.h"

using namespace Pegasus;

namespace {

const char* const kLabel = "SMIS::getEligibleLunsMode2";
const char* const kDefaultLabel = "TovakR_";
const int kSnapOpc = 7, kEquivalentCopy = 6;
const int kResyncInProgress = 5, kSynchronized = 6, kBroken = 12;

// One pair of the source as the walk reads it.
struct Pair {
  std::string path;  // the association as it is asked for
  std::string targetPath, targetUid, targetName;
  int syncType = 0, syncState = 0;
};

Pair ReadPair(SmisAction& action, TqCimConnection& conn, const std::string& associationText) {
  Pair pair;
  pair.path = associationText;
  if (smisreplication::UseEternusSyncClass(pair.path))
    action.DEBUG_TRACE(kLabel, "Modified Sync path [%s]", pair.path.c_str());
  pair.targetPath = action.GetCIMProp(conn, pair.path, "SyncedElement");
  pair.targetUid = action.GetCIMProp(conn, pair.targetPath, "Name");
  pair.targetName = action.GetCIMProp(conn, pair.targetPath, "ElementName");
  pair.syncType = std::atoi(action.GetCIMProp(conn, pair.path, "SyncType").c_str());
  pair.syncState = std::atoi(action.GetCIMProp(conn, pair.path, "SyncState").c_str());
  return pair;
}

// Whether the pair cannot be reused for the copy type; the reason is traced. Other copy types reuse any pair.
bool PassedOver(SmisAction& action, int copyType, const Pair& pair) {
  const char* name = pair.targetName.c_str();
  if (copyType == 4 && pair.syncType != kSnapOpc) {
    action.DEBUG_TRACE_NORMAL(kLabel, "Skipping Target [%s] not paired for SnapOPC", name);
  } else if (copyType == 4 && pair.syncState == kBroken) {
    action.DEBUG_TRACE_NORMAL(kLabel, "Skipping Target [%s] as pair sync state in SYNC_STATE_BROKEN ", name);
  } else if (copyType == 5 && pair.syncType != kEquivalentCopy) {
    action.DEBUG_TRACE_NORMAL(kLabel, "Skipping Target [%s] not paired for EC", name);
  } else if (copyType == 5 && pair.syncState != kResyncInProgress && pair.syncState != kSynchronized) {
    action.DEBUG_TRACE_NORMAL(kLabel, "Skipping Target [%s] as pair sync state not RESYNC_IN_PROGRESS or SYNCHRONIZED",
                              name);
  } else {
    return false;
  }
  return true;
}

}  // namespace

SmisResultCode SmisAction::getEligibleTargetLunsMode2(TqCimConnection& conn, SmisArgs& args, std::string& targetUid,
                                                      std::string& targetPath) {
  SmisCall call(*this, conn, kLabel, "getEligibleTargetLunsMode2");
  call.UsePlainUnknownText();
  if (args.size() < 4) {
    DEBUG_TRACE(kLabel, "Invalid Parameters");
    return kSmisInvalidParameter;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath source;
    if (!call.FindLun(args[1], "source volume", source)) {
      return kSmisInvalidParameter;
    }
    const int copyType = SmisCall::Decimal(args[2]);
    const std::string volumeLabel = smiseternus::ReadVolumeLabel(*this, kLabel, kDefaultLabel);
    const std::string sourceName = GetCIMProp(conn, source, "ElementName");
    Array<CIMObjectPath> syncs =
        conn.Client().referenceNames(call.NameSpace(), source, CIMName("CIM_StorageSynchronized"), String::EMPTY);
    DEBUG_TRACE_NORMAL(kLabel, "Sync paths size [%d] for source dev [%s]", static_cast<int>(syncs.size()),
                       sourceName.c_str());
    if (syncs.size() == 0) {
      DEBUG_TRACE(kLabel, "No sync paths reported for source [%s]", sourceName.c_str());
      return kSmisFailed;
    }
    const std::string sourceUid = GetCIMProp(conn, source, "Name");
    std::vector<std::string> unlabelled;
    std::string lastExamined;
    for (Uint32 i = 0; i < syncs.size(); ++i) {
      lastExamined = GetObjectPathString(syncs[i]);
      Pair pair = ReadPair(*this, conn, lastExamined);
      if (pair.targetUid == sourceUid) {
        DEBUG_TRACE_NORMAL(kLabel,
                           "Source Device [%s] is target, possible reason(s) could be Remote Replication "
                           "Target/Revert failure/cascading.. Skipping",
                           pair.targetName.c_str());
        continue;
      }
      DEBUG_TRACE_NORMAL(kLabel, "Sync Path [%s] SyncType[%d]  SyncState[%d]", pair.path.c_str(), pair.syncType,
                         pair.syncState);
      // An unreadable UID is held by every text: such a target is never taken.
      if (tqcimutil::Contains(args[3], pair.targetUid)) {
        DEBUG_TRACE_NORMAL(kLabel, "Target name [%s] path [%s] already in the DB", pair.targetName.c_str(),
                           pair.targetPath.c_str());
        continue;
      }
      DEBUG_TRACE(kLabel, "Match found, target device name [%s]", pair.targetName.c_str());
      if (PassedOver(*this, copyType, pair)) continue;
      if (smiseternus::CarriesLabel(pair.targetName, volumeLabel)) {
        targetUid = pair.targetUid;
        targetPath = pair.targetPath;
        DEBUG_TRACE_NORMAL(kLabel, "Sync Path [%s]", lastExamined.c_str());
        return kSmisSuccess;
      }
      unlabelled.push_back(pair.targetUid);
    }
    if (unlabelled.empty()) {
      DEBUG_TRACE_NORMAL(kLabel, " No paired target device found for source dev [%s]", sourceName.c_str());
      return kSmisFailed;
    }
    String volumeClass("CIM_StorageVolume");
    targetUid = unlabelled.front();
    targetPath = GetObjectPathString(GetObjPathByPropName(conn, volumeClass, "Name", String(targetUid)));
    DEBUG_TRACE_NORMAL(kLabel, "Sync Path [%s]", lastExamined.c_str());
    return kSmisSuccess;
  });
}
