// 3PAR members whose array work is not built yet. Each answers its failure result without touching the
// array and says so in the trace.
#include "Tq3PARSnapshot.h"

namespace {

void NotBuilt(Tq3PARSnapshot& object, const char* label) {
  object.DEBUG_TRACE(label, "Not built yet: the operation fails without reaching the array\n");
}

}  // namespace

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
