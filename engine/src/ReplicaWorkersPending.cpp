// NOT BUILT YET: the remote-copy replica workers. Each fails without touching the host or the array.
#include "ReplicaWorkers.h"

#include "DeviceWorkers.h"

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
