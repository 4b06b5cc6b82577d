// 3PAR members whose array work is not built yet. Each answers its failure result without touching the
// array and says so in the trace.
#include "Tq3PARSnapshot.h"

namespace {

void NotBuilt(Tq3PARSnapshot& object, const char* label) {
  object.DEBUG_TRACE(label, "Not built yet: the operation fails without reaching the array\n");
}

}  // namespace

// NOT BUILT YET: child snapshots and host information.
int Tq3PARSnapshot::IsValidChild(const char*, const char*, const char*, std::string& childDevice,
                                 std::string& childDevicePath) {
  childDevice.clear();
  childDevicePath.clear();
  NotBuilt(*this, "Tq3PARSnapshot::IsValidChild");
  return 2;
}
bool Tq3PARSnapshot::IsChildExist(TqCimConnection&, const char*, const char*, const char*, std::string& childDevice,
                                  std::string& childDevicePath) {
  childDevice.clear();
  childDevicePath.clear();
  return false;
}
void Tq3PARSnapshot::GetHostInfo(TqCimConnection&, Pegasus::Array<Pegasus::String>&, std::vector<std::string>&,
                                 std::vector<std::string>&) {}
void Tq3PARSnapshot::AddUniqString(std::vector<std::string>&, const char*) {}
void Tq3PARSnapshot::trimstring(std::string&) {}

// NOT BUILT YET: host-group mapping and firmware versions.
int Tq3PARSnapshot::MapSnapToGroup(const char*, const char*, short, std::string&, bool) {
  NotBuilt(*this, "Tq3PARSnapshot::3PAR-MapSnaptoGroup");
  return 2;
}
std::string Tq3PARSnapshot::convertList2String(std::list<std::string>&, bool) { return std::string(); }
int Tq3PARSnapshot::UnmapSnapVol(const char*) {
  NotBuilt(*this, "Tq3PARSnapshot::3PAR-UnmapSnapVol");
  return 15;
}
int Tq3PARSnapshot::Get3PARVersionStrings(std::string&, unsigned short&) { return 1; }

// NOT BUILT YET: remote-copy groups.
int Tq3PARSnapshot::CreateRCGroup(const char*, const char*, TQ_SMIS_SNAP::TqArrayParams&, const char*, std::string&,
                                  std::string&, bool) {
  NotBuilt(*this, "Tq3PARSnapshot::CreateRCGroup");
  return 1;
}
int Tq3PARSnapshot::CreateRCGroupinternal(TqCimConnection&, const char*, const char*, TQ_SMIS_SNAP::TqArrayParams&,
                                          const char*, std::string&, std::string&, bool) {
  return 1;
}
int Tq3PARSnapshot::IsRemoteCopySupported(TqCimConnection&, bool) { return 1; }
void Tq3PARSnapshot::getRCGroupName(const char*, const char*, std::string& groupName) { groupName.clear(); }
int Tq3PARSnapshot::CheckForExistingGroup(TqCimConnection&, Pegasus::CIMObjectPath&, const char*, std::string&,
                                          std::string&) {
  return 1;
}
int Tq3PARSnapshot::GetCPGPath(TQ_SMIS_SNAP::TqArrayParams&, const char*, Pegasus::CIMObjectPath&, std::string&) {
  return 1;
}
int Tq3PARSnapshot::GetAccessPointPath(TqCimConnection&, Pegasus::String&, Pegasus::CIMObjectPath&,
                                       Pegasus::CIMObjectPath&, const char*, const char*, Pegasus::CIMObjectPath&) {
  return 1;
}
bool Tq3PARSnapshot::GetstrSynchronizedPathString(Pegasus::Array<Pegasus::CIMParamValue>&, std::string&) {
  return false;
}
int Tq3PARSnapshot::GetRemoteGroupVolumeID(TqCimConnection&, Pegasus::CIMObjectPath&, std::string&) { return 1; }
int Tq3PARSnapshot::WaitForynchronizedState(TqCimConnection&, Pegasus::CIMObjectPath&, int, int) { return 1; }

// NOT BUILT YET: replication synchronization.
int Tq3PARSnapshot::SyncReplication(const char*, const char*, int, int) {
  NotBuilt(*this, "Tq3PARSnapshot::SyncReplication");
  return 1;
}
int Tq3PARSnapshot::CheckForRunningReplicationJob(Pegasus::CIMObjectPath&, bool&) { return 1; }
int Tq3PARSnapshot::WatchReplicationJob(Pegasus::CIMObjectPath&, int, int) { return 1; }
