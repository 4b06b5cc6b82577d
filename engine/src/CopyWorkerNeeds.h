// TEMPORARY: functions of engine parts that land separately (array login of a snapshot object, the remote
// proxy, host initiators and buses, the map worker), with placeholder bodies in CopyWorkerNeeds.cpp so that
// their callers build meanwhile. Each part, when it lands, moves its functions to its own header and files.
#pragma once

#include <list>
#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "Tq3PARSnapshot.h"
#include "TqHostBus.h"
#include "TqMapWorkers.h"
#include "TqRemoteProxy.h"
#include "TqSnapshotSetup.h"

int TP_InvokeRemotePXCall(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, std::string& proxyHost,
                          unsigned messageId, int deviceIndex);
int HandleRemoteCallMapVolume(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, int deviceIndex);
bool GetRemoteMapParameter(std::string& portList, std::string& group, bool iscsi, bool snapshotVolumes,
                           std::string& parameter);
int HandleRemoteCallUnmapVolume(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool keep,
                                std::string& unused, int deviceIndex);

// Remote-copy replicas (prepare and snapshot of a replica).
bool GetRmoteCopyGroup(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, std::string& targetVolumeId,
                       std::string& syncPath, std::string& sourceVolumeId, bool& async);
bool SetReplicationMetaData(TQSO::SnapInfo* device, const std::string& targetVolumeId, const std::string& syncPath,
                            const std::string& sourceVolumeId);
bool GetSnapshotObjectForReplication(TQSO::SnapInfo* device, const std::string& sourceVolumeId, TQSO::TQOSUtil* osUtil,
                                     Tq3PARSnapshot& snapshot, std::string& arrayName);
bool CheckAndProcessReplication(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil);
void* SnapReplicationDeviceThread(void* argument);

// The remote proxy's prepare command.
bool GetRemoteCommandParameter(int messageId, int deviceIndex, std::string& command);
int ExecuteRemote(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, std::string& proxyHost);
