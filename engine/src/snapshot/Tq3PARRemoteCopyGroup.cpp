// Remote-copy groups: a source volume paired with a mirror volume on a second 3PAR array through a group
// named after the volume, found again by that name or created through the source array's replication
// service and waited on until its first synchronization.
#include <cstdlib>
#include <string>

#include "SnapshotText.h"
#include "Tq3PARSnapshot.h"

using namespace Pegasus;

namespace {

const char kLabel[] = "Tq3PARSnapshot::3PAR-CreateRCGroup";
const char kInternalLabel[] = "Tq3PARSnapshot::3PAR-CreateRCGroupinternal";
const char kGroupLabel[] = "Tq3PARSnapshot::3PAR-CheckForExistingGroup";
const char kVolumeLabel[] = "Tq3PARSnapshot::3PAR-GetRemoteGroupVolumeID";
const char kGroupPrefix[] = "TQ_RCG";
const size_t kShortVolumeName = 16;
const size_t kWwnPartStart = 10;
const size_t kWwnPartLength = 16;
const int kNoGroup = 7;
// The code the message of a caught exception is recorded with, as every failure here is.
const int kRemoteCopyRecorded = 4;
const int kFirstSyncSeconds = 7200;
const int kFirstSyncStepSeconds = 10;
const Uint16 kSyncTypeMirror = 6, kModeSynchronous = 2, kModeAsynchronous = 3;

}  // namespace

void Tq3PARSnapshot::getRCGroupName(const char* volumeName, const char* wwn, std::string& groupName) {
  const std::string name = volumeName != nullptr ? volumeName : "";
  const std::string id = wwn != nullptr ? wwn : "";
  if (name.size() < kShortVolumeName) {
    groupName = kGroupPrefix + name;
    return;
  }
  const unsigned long naa = id.size() >= 2 ? std::strtoul(id.substr(0, 2).c_str(), nullptr, 16) : 0;
  // An NAA-6 id too short for its part is named whole rather than read past its end.
  if ((naa >> 4) == 6 && id.size() >= kWwnPartStart + kWwnPartLength)
    groupName = kGroupPrefix + id.substr(kWwnPartStart, kWwnPartLength);
  else
    groupName = kGroupPrefix + id;
}

bool Tq3PARSnapshot::GetstrSynchronizedPathString(Array<CIMParamValue>& outParams, std::string& syncPath) {
  syncPath.clear();
  for (unsigned i = 0; i < outParams.size(); ++i) {
    const CIMValue& value = outParams[i].getValue();
    if (value.getType() != CIMTYPE_REFERENCE || value.isArray() || outParams[i].getParameterName() != "Synchronization")
      continue;
    CIMObjectPath path;
    value.get(path);
    syncPath = path.toString().str();
    return true;
  }
  return false;
}

int Tq3PARSnapshot::GetRemoteGroupVolumeID(TqCimConnection& conn, CIMObjectPath& volume, std::string& targetVolumeId) {
  return Guarded(kVolumeLabel, 1, [&]() -> int {
    Array<CIMObjectPath> entities =
        conn.GetAssociatorNames(volume, "TPD_RemoteStorageSynchronized", "TPD_ReplicationEntity", "", "");
    if (entities.size() == 0) {
      DEBUG_TRACE(kVolumeLabel, "[ERROR] no TPD_RemoteStorageSynchronized instances found for volume [%s]",
                  volume.toString().str().c_str());
      return 1;
    }
    targetVolumeId = GetCIMProp(conn, entities[0], "Name");
    // An entity without a name identifies no volume the target array could be asked about.
    if (targetVolumeId.empty()) {
      DEBUG_TRACE(kVolumeLabel, "[ERROR] replication entity [%s] of volume [%s] has no Name",
                  entities[0].toString().str().c_str(), volume.toString().str().c_str());
      return 1;
    }
    DEBUG_TRACE(kVolumeLabel, "[Success] get %d instance [%s]   TargetVolume-ID [%s]",
                static_cast<int>(entities.size()), entities[0].toString().str().c_str(), targetVolumeId.c_str());
    return 0;
  });
}

int Tq3PARSnapshot::CheckForExistingGroup(TqCimConnection& conn, CIMObjectPath& volume, const char* groupName,
                                          std::string& syncPath, std::string& targetVolumeId) {
  const std::string wanted = groupName != nullptr ? groupName : "";
  DEBUG_TRACE_NORMAL(kGroupLabel, "Group-name [%s]", wanted.c_str());
  const TQ_SMIS_SNAP::CatchTexts& texts = TQ_SMIS_SNAP::kCopyGroupCaughtTexts;
  return HandledAndRecorded(kGroupLabel, texts, TQ_CATCH_SITE, 1, kRemoteCopyRecorded, [&]() -> int {
    Array<CIMObjectPath> groups = conn.GetAssociatorNames(volume, "TPD_OrderedMemberOfRemoteReplicationGroup",
                                                          "TPD_RemoteReplicationGroup", "", "");
    if (groups.size() == 0) return kNoGroup;
    if (groups.size() > 1) {
      setErrorMsg(kRemoteCopyRecorded, "Source-Volume is a member of more than one Remote Copy Group");
      return 1;
    }
    const std::string name = GetCIMProp(conn, groups[0], "ElementName");
    const std::string volumeText = volume.toString().str();
    if (name != wanted) {
      setErrorMsg(4, "Cannot create Remote Copy Group. Source-Volume has already paired with another existing Group");
      DEBUG_TRACE(kGroupLabel, "[ERROR] Volume[%s] has already engaged with another Group [%s]", volumeText.c_str(),
                  name.c_str());
      return 1;
    }
    DEBUG_TRACE_NORMAL(kGroupLabel, "Volume[%s] has Group [%s]", volumeText.c_str(), name.c_str());
    Array<CIMObjectPath> syncs = conn.Client().referenceNames(CIMNamespaceName(String(conn.m_Cimom.GetNameSpace())),
                                                              groups[0], CIMName("TPD_RemoteGroupSynchronized"));
    if (syncs.size() == 0) {
      DEBUG_TRACE(kGroupLabel,
                  "[ERROR] storage group [%s] found for the volume [%s]. but no associated synchronized class found",
                  name.c_str(), volumeText.c_str());
      setErrorMsg(kRemoteCopyRecorded, "Existing Remote Copy Group of the Source-Volume has no synchronization");
      return 1;
    }
    if (syncs.size() > 1) {
      DEBUG_TRACE(kGroupLabel,
                  "[ERROR] storage group [%s] for the volume [%s]. has multiple synchronized objects(%d) which is not "
                  "expected",
                  name.c_str(), volumeText.c_str(), static_cast<int>(syncs.size()));
      setErrorMsg(kRemoteCopyRecorded, "Existing Remote Copy Group of the Source-Volume has several synchronizations");
      return 1;
    }
    syncPath = syncs[0].toString().str();
    DEBUG_TRACE_NORMAL(kGroupLabel, "Volume[%s] Group [%s] syncpath [%s]", volumeText.c_str(), name.c_str(),
                       syncPath.c_str());
    if (GetRemoteGroupVolumeID(conn, volume, targetVolumeId) != 0) {
      DEBUG_TRACE(kGroupLabel, "[ERROR]Remote Volume Not  source-volume[%s] Group [%s] syncpath [%s]",
                  volumeText.c_str(), name.c_str(), syncPath.c_str());
      setErrorMsg(kRemoteCopyRecorded, "cannot find the target volume of the existing Remote Copy Group");
      return 1;
    }
    return 0;
  });
}

int Tq3PARSnapshot::CreateRCGroup(const char* systemName, const char* sourceVolumeId,
                                  TQ_SMIS_SNAP::TqArrayParams& target, const char* targetCPG, std::string& syncPath,
                                  std::string& targetVolumeId, bool async) {
  // The text the caller reports is this call's own, never one left by an earlier operation.
  m_LastErrorCode = 0;
  m_LastErrorMsg.clear();
  if (!Connect(kLabel)) {
    DEBUG_TRACE(kLabel, "[ERROR]%s", m_LastErrorMsg.c_str());
    return 1;
  }
  int result = IsRemoteCopySupported(m_Conn, true);
  if (result == 1)
    setErrorMsg(kRemoteCopyRecorded, "Cannot read remote copy capabilities of the source 3PAR-storage array");
  if (result == 5)
    setErrorMsg(kRemoteCopyRecorded, "Source 3PAR-storage array does not support synchronous remote copy");
  // The lookups before the creation call may throw (a CIM error or time-out on the replication service
  // enumeration, for one): the fault ends the call with 1 and its message, and the connection is closed.
  if (result == 0)
    result = HandledAndRecorded(kLabel, TQ_SMIS_SNAP::kCopyGroupCaughtTexts, TQ_CATCH_SITE, 1, kRemoteCopyRecorded,
                                [&]() -> int {
                                  return CreateRCGroupinternal(m_Conn, systemName, sourceVolumeId, target, targetCPG,
                                                               syncPath, targetVolumeId, async);
                                });
  m_Conn.DisconnectCimom();
  // Only a fault of no known kind leaves no text behind.
  if (result != 0 && m_LastErrorMsg.empty())
    setErrorMsg(kRemoteCopyRecorded, "Remote copy group preparation failed with an unexpected fault");
  return result;
}

int Tq3PARSnapshot::CreateRCGroupinternal(TqCimConnection& conn, const char* systemName, const char* sourceVolumeId,
                                          TQ_SMIS_SNAP::TqArrayParams& target, const char* targetCPG,
                                          std::string& syncPath, std::string& targetVolumeId, bool async) {
  const std::string source = sourceVolumeId != nullptr ? sourceVolumeId : "";
  const std::string system = systemName != nullptr ? systemName : "";
  m_SourceDevPath = GetVolObjPathByUUID(conn, String(source), String(m_SystemName));
  if (m_SourceDevPath.empty()) {
    DEBUG_TRACE(kInternalLabel, "Can not find source volume [%s]\n", source.c_str());
    setErrorMsg(4, "Can not find source volume at 3PAR-sorage Array");
    return 1;
  }
  const std::string volumeName = GetCIMProp(conn, m_SourceDevPath, "ElementName");
  if (volumeName.empty()) {
    DEBUG_TRACE(kInternalLabel, "[ERROR] Computing Source Volume Name failed [%s]", m_SourceDevPath.c_str());
    setErrorMsg(4, " Can not find source volume name at 3PAR-sorage Array");
    return 1;
  }
  std::string group;
  getRCGroupName(volumeName.c_str(), source.c_str(), group);
  CIMObjectPath volume{String(m_SourceDevPath)};
  const int existing = CheckForExistingGroup(conn, volume, group.c_str(), syncPath, targetVolumeId);
  if (existing == 0) {
    DEBUG_TRACE_NORMAL(kInternalLabel, "Found Existing Group[%s] [SyncPath - %s] [Target-volume - %s]", group.c_str(),
                       syncPath.c_str(), targetVolumeId.c_str());
    return 0;
  }
  if (existing != kNoGroup) return existing;

  DEBUG_TRACE(kInternalLabel, "Creating Group[%s] for[%s]", group.c_str(), source.c_str());
  String nameSpace(conn.m_Cimom.GetNameSpace());
  CIMObjectPath service;
  if (!ValidateSystemName(conn, system, "CIM_ReplicationService", service)) {
    DEBUG_TRACE(kInternalLabel, "Class %s for system %s not found", "CIM_ReplicationService", system.c_str());
    setErrorMsg(4, "Cannot find replication service c alls at 3PAR-Storage array");
    return 1;
  }
  CIMObjectPath pool;
  std::string targetSystemText;
  const int poolResult = GetCPGPath(target, targetCPG, pool, targetSystemText);
  if (poolResult != 0) {
    DEBUG_TRACE(kInternalLabel, "[ERROR] GetCPGPath failed");
    setErrorMsg(4, "Cannot compute target replication CPG");
    return poolResult;
  }
  CIMObjectPath targetSystem{String(targetSystemText)};
  CIMObjectPath accessPoint;
  if (GetAccessPointPath(conn, nameSpace, service, targetSystem, system.c_str(), target.systemName.c_str(),
                         accessPoint) != 0) {
    DEBUG_TRACE(kInternalLabel, "[ERROR] Get Accesspoint failed");
    if (m_LastErrorMsg.empty()) setErrorMsg(4, "unable to find service accesspoint");
    return 1;
  }
  DEBUG_TRACE(kInternalLabel, "CopyGroup[name space - %s]", nameSpace.str().c_str());
  DEBUG_TRACE(kInternalLabel, "CopyGroup[group-name - %s]", group.c_str());
  DEBUG_TRACE(kInternalLabel, "CopyGroup[Service path - %s] ", service.toString().str().c_str());
  DEBUG_TRACE(kInternalLabel, "CopyGroup[TargetCPG path - %s] ", pool.toString().str().c_str());
  DEBUG_TRACE(kInternalLabel, "CopyGroup[TargetAccessPoint - %s] ", accessPoint.toString().str().c_str());
  DEBUG_TRACE(kInternalLabel, "CopyGroup[Mode - %s]", async ? "TPD_SYNCMODE_ASYNCHRONOUS" : "TPD_SYNCMODE_SYNCHRONOUS");
  DEBUG_TRACE(kInternalLabel, "CopyGroup[Type - TPD_SYNCTYPE_MIRROR]");
  const TQ_SMIS_SNAP::CatchTexts& texts = TQ_SMIS_SNAP::kCopyGroupCaughtTexts;
  return HandledAndRecorded(kInternalLabel, texts, TQ_CATCH_SITE, 1, kRemoteCopyRecorded, [&]() -> int {
    Array<CIMParamValue> in, out;
    Array<CIMObjectPath> elements;
    elements.append(volume);
    in.append(CIMParamValue("SyncType", CIMValue(kSyncTypeMirror)));
    in.append(CIMParamValue("Mode", CIMValue(async ? kModeAsynchronous : kModeSynchronous)));
    in.append(CIMParamValue("SourceGroupName", CIMValue(String(group))));
    in.append(CIMParamValue("SourceElements", CIMValue(elements)));
    in.append(CIMParamValue("TargetAccessPoint", CIMValue(accessPoint)));
    in.append(CIMParamValue("TargetPool", CIMValue(pool)));
    const unsigned value = GetRetVal(conn.Client().invokeMethod(CIMNamespaceName(nameSpace), service,
                                                                CIMName("CreateGroupReplicaFromElements"), in, out));
    DEBUG_TRACE_NORMAL(kInternalLabel, "%s: Method, retVal = %u (0x%x)", "CreateGroupReplicaFromElements", value,
                       value);
    if (value != 0 && value != 4096) {
      DEBUG_TRACE(kInternalLabel, "%s: Method failed, retVal = %u (0x%x)", "CreateGroupReplicaFromElements", value,
                  value);
      PrintParamSet(out, true);
      setErrorMsg(4, "Creating new remote copy group has failed");
      return 1;
    }
    if (!GetstrSynchronizedPathString(out, syncPath)) {
      DEBUG_TRACE(kInternalLabel, "[ERROR] synchronized Path not found in the resulting params");
      PrintParamSet(out, true);
      setErrorMsg(4, "cannot get new remote copy group information at 3PAR-storage array");
      return 1;
    }
    PrintParamSet(out, false);
    if (GetRemoteGroupVolumeID(conn, volume, targetVolumeId) != 0) {
      DEBUG_TRACE(kInternalLabel, "[ERROR] Newly Created Volume Not Found ");
      setErrorMsg(4, "cannot find new volume for remote copy group information at target 3PAR-storage array");
      return 1;
    }
    if (syncPath.empty()) {
      DEBUG_TRACE(kInternalLabel, "[ERROR] Newly Created Volume is Not Found ");
      setErrorMsg(4, "cannot find new volume for remote copy group at target 3PAR-storage array");
      return 1;
    }
    CIMObjectPath sync{String(syncPath)};
    const int waited = WaitForynchronizedState(conn, sync, kFirstSyncSeconds, kFirstSyncStepSeconds);
    if (waited != 8) {
      setErrorMsg(4, "New remote-copy synchronization has failed");
      DEBUG_TRACE(kInternalLabel, "[ERROR] Synchronization failed[%d].", waited);
    }
    DEBUG_TRACE_NORMAL(kInternalLabel, "[Success] [strGroupSynchronizedPath =%s] [TargetValumeWWN =%s]",
                       syncPath.c_str(), targetVolumeId.c_str());
    return 0;
  });
}
