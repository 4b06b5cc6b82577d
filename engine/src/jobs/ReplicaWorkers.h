// The remote-copy replica side of prepare and snapshot creation: the replication group of a source, the
// replication record of a device, the source side's snapshot object and the resynchronisation before each
// snapshot.
#pragma once

#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "Tq3PARSnapshot.h"

// Remote-copy replicas (prepare and snapshot of a replica).
bool GetRmoteCopyGroup(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, std::string& targetVolumeId,
                       std::string& syncPath, std::string& sourceVolumeId, bool& async);
bool SetReplicationMetaData(TQSO::SnapInfo* device, const std::string& targetVolumeId, const std::string& syncPath,
                            const std::string& sourceVolumeId);
bool GetSnapshotObjectForReplication(TQSO::SnapInfo* device, const std::string& sourceVolumeId, TQSO::TQOSUtil* osUtil,
                                     Tq3PARSnapshot& snapshot, std::string& arrayName);
bool CheckAndProcessReplication(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil);
// The replication record (metadata id 51): target volume id, group synchronization path, source volume id.
bool GetReplicationMetaData(TQSO::SnapInfo* device, std::string& targetVolumeId, std::string& syncPath,
                            std::string& sourceVolumeId);
void* SnapReplicationDeviceThread(void* argument);
