// TEMPORARY placeholders of CopyWorkerNeeds.h: each fails without touching the host or the array.
#include "CopyWorkerNeeds.h"

#include "DeviceWorkers.h"

int TP_InvokeRemotePXCall(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, std::string&, unsigned, int) { return 1; }
int HandleRemoteCallMapVolume(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, int) { return 1; }
bool GetRemoteMapParameter(std::string&, std::string&, bool, bool, std::string& parameter) {
  parameter.clear();
  return true;
}
int HandleRemoteCallUnmapVolume(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, bool, std::string&, int) { return 1; }
bool GetRmoteCopyGroup(TQSO::SnapInfo*, TQSO::TQOSUtil*, std::string&, std::string&, std::string&, bool&) {
  return false;
}
bool SetReplicationMetaData(TQSO::SnapInfo*, const std::string&, const std::string&, const std::string&) {
  return false;
}
bool GetSnapshotObjectForReplication(TQSO::SnapInfo*, const std::string&, TQSO::TQOSUtil*, Tq3PARSnapshot&,
                                     std::string&) {
  return false;
}
bool CheckAndProcessReplication(TQSO::SnapInfo*, TQSO::TQOSUtil*) { return false; }
void* SnapReplicationDeviceThread(void* argument) {
  SnapThreadParam* param = static_cast<SnapThreadParam*>(argument);
  param->device->setStatus(TQSO::SS_PREPARE_FAILED);
  return nullptr;
}
bool GetRemoteCommandParameter(int, int, std::string& command) {
  command.clear();
  return false;
}
int ExecuteRemote(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, std::string&) { return 1; }
