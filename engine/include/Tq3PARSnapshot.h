// The snapshot object of 3PAR arrays, the one the engine builds per device: the generic operations with
// the 3PAR error table installed and the replica creation sending no target pool (the array places the
// copy itself).
#pragma once

#include <list>
#include <string>
#include <vector>

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "Pegasus/String.h"
#include "TqSnapshot.h"

// The 3PAR error table: provider codes, SMI-S codes, engine codes and texts.
extern const TQ_SMIS_SNAP::TQ_SMIS_ERROR_MAP TparSmisTqErrorMap[];

class Tq3PARSnapshot : public TQ_SMIS_SNAP::Snapshot {
 public:
  Tq3PARSnapshot();

  void SetHPErrorTable(const TQ_SMIS_SNAP::TQ_SMIS_ERROR_MAP* table) { m_ErrorMap = table; }

  // Child snapshots and host information.
  int IsValidChild(const char* masterDevice, const char* masterDevicePath, const char* childName,
                   std::string& childDevice, std::string& childDevicePath);  // 12 exists, 13 none, 2 no connection
  bool IsChildExist(TqCimConnection& conn, const char* masterDevice, const char* masterDevicePath,
                    const char* childName, std::string& childDevice, std::string& childDevicePath);
  void GetHostInfo(TqCimConnection& conn, Pegasus::Array<Pegasus::String>& ports, std::vector<std::string>& hosts,
                   std::vector<std::string>& unassignedPorts);
  void AddUniqString(std::vector<std::string>& list, const char* text);
  // Blanks (only 0x20) trimmed from both ends of the text, in place.
  static void trimstring(std::string& text);

  // Host-group mapping and firmware versions.
  int MapSnapToGroup(const char* volume, const char* hostGroupName, short deviceAccess, std::string& portList,
                     bool iSCSI);  // 9 / 14 / 2
  std::string convertList2String(std::list<std::string>& items, bool unused);
  int UnmapSnapVol(const char* volume);                                    // 14 / 15
  int Get3PARVersionStrings(std::string& version, unsigned short& build);  // 0 / 1

  // Remote-copy groups.
  int CreateRCGroup(const char* systemName, const char* sourceVolumeId, TQ_SMIS_SNAP::TqArrayParams& target,
                    const char* targetCPG, std::string& syncPath, std::string& targetVolumeId, bool async);
  int CreateRCGroupinternal(TqCimConnection& conn, const char* systemName, const char* sourceVolumeId,
                            TQ_SMIS_SNAP::TqArrayParams& target, const char* targetCPG, std::string& syncPath,
                            std::string& targetVolumeId, bool async);
  int IsRemoteCopySupported(TqCimConnection& conn, bool isSource);
  void getRCGroupName(const char* volumeName, const char* wwn, std::string& groupName);
  int CheckForExistingGroup(TqCimConnection& conn, Pegasus::CIMObjectPath& volume, const char* groupName,
                            std::string& syncPath, std::string& targetVolumeId);
  int GetCPGPath(TQ_SMIS_SNAP::TqArrayParams& target, const char* cpgName, Pegasus::CIMObjectPath& cpgPath,
                 std::string& targetSystemPath);
  int GetAccessPointPath(TqCimConnection& conn, Pegasus::String& nameSpace, Pegasus::CIMObjectPath& servicePath,
                         Pegasus::CIMObjectPath& targetSystemPath, const char* systemName, const char* targetSystemName,
                         Pegasus::CIMObjectPath& accessPoint);
  bool GetstrSynchronizedPathString(Pegasus::Array<Pegasus::CIMParamValue>& outParams, std::string& syncPath);
  int GetRemoteGroupVolumeID(TqCimConnection& conn, Pegasus::CIMObjectPath& volume, std::string& targetVolumeId);
  int WaitForynchronizedState(TqCimConnection& conn, Pegasus::CIMObjectPath& syncPath, int maxSeconds,
                              int stepSeconds);  // 8 synchronized, 1 invalid, 10 time out

  // Replication synchronization of an existing remote-copy pair.
  int SyncReplication(const char* systemName, const char* syncPath, int waitSeconds, int maxPolls);  // 0 / 1 / 3
  int CheckForRunningReplicationJob(Pegasus::CIMObjectPath& syncPath, bool& running);
  int WatchReplicationJob(Pegasus::CIMObjectPath& syncPath, int maxPolls, int waitSeconds);  // 8 / 10 / 1

 private:
  // Traces a warning when the host definition already holds ports other than `ports` (needs m_Conn open).
  void WarnOfSharedHostDefinition(const std::string& host, Pegasus::Array<Pegasus::String>& ports);
};
