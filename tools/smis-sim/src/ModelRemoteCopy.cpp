// Remote copy on the simulated array: its replication capabilities, the access points of its links to other
// arrays, and remote-copy groups with their synchronization states over reads.
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "smis-sim/Model.h"

using namespace Pegasus;

namespace smissim {

namespace {

const Uint16 kCopyStateSynchronized = 4, kCopyStateUnsynchronized = 3;
const Uint16 kProgressCompleted = 2, kProgressInProgress = 3;
// "2FF70002AC" + serial is a system name; the serial is its last six characters.
const size_t kSerialLength = 6;

void SetSynchronizationState(CIMInstance& sync, bool synchronized) {
  setProperty(sync, "CopyState", CIMValue(synchronized ? kCopyStateSynchronized : kCopyStateUnsynchronized));
  setProperty(sync, "ProgressStatus", CIMValue(synchronized ? kProgressCompleted : kProgressInProgress));
  setProperty(sync, "PercentSynced", CIMValue(Uint16(synchronized ? 100 : 0)));
}

// Paths from requests may carry a host and namespace: the stored instance's own path is the key.
std::string RemoteSyncKey(const InstanceStore& store, const CIMObjectPath& path) {
  const CIMInstance* found = store.find(path);
  return found != nullptr ? found->getPath().toString().str() : std::string();
}

}  // namespace

void Model::addRemoteCopyFixtures(StorageArray& array) {
  CIMInstance capabilities{CIMName("TPD_ReplicationServiceCapabilities")};
  setProperty(capabilities, "InstanceID",
              CIMValue(String(array.prefix() + "ReplicationServiceCapabilities:" + array.serial)));
  setProperty(capabilities, "ElementName", CIMValue("Replication service capabilities"));
  setProperty(capabilities, "SupportedReplicationTypes", uint16Array({2, 3, 4, 5}));
  capabilities.setPath(pathFromKeys(capabilities, {"InstanceID"}));
  store_.put(capabilities);
  array.replicationCapabilities = capabilities.getPath();
}

void Model::setRemoteCopy(StorageArray& array, bool supported) {
  CIMInstance* capabilities = store_.findMutable(array.replicationCapabilities);
  if (capabilities == nullptr) return;
  setProperty(*capabilities, "SupportedReplicationTypes",
              supported ? uint16Array({2, 3, 4, 5}) : uint16Array({2, 3, 5}));
}

CIMObjectPath Model::remoteAccessPoint(StorageArray& array, const std::string& targetSystemName) {
  if (targetSystemName.size() < kSerialLength) return CIMObjectPath();
  const std::string serial = targetSystemName.substr(targetSystemName.size() - kSerialLength);
  bool linked = false;
  for (const std::string& target : array.remoteCopyTargets) linked = linked || sameNoCase(target, serial);
  if (!linked) return CIMObjectPath();
  CIMInstance point = systemScoped(array, "TPD_RemoteServiceAccessPoint", upperCase(targetSystemName));
  setProperty(point, "ElementName", CIMValue(String("Remote copy link to " + upperCase(targetSystemName))));
  point.setPath(pathFromKeys(point, {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}));
  store_.put(point);
  return point.getPath();
}

CIMObjectPath Model::addRemoteCopyGroup(StorageArray& array, const std::string& name, const CIMObjectPath& volume,
                                        const CIMObjectPath& accessPoint, Uint16 mode) {
  const std::string number = std::to_string(array.nextObjectNumber++);
  CIMInstance group{CIMName("TPD_RemoteReplicationGroup")};
  setProperty(group, "InstanceID", CIMValue(String(array.prefix() + "RemoteCopyGroup:" + array.serial + ":" + number)));
  setProperty(group, "ElementName", CIMValue(String(name)));
  group.setPath(pathFromKeys(group, {"InstanceID"}));
  store_.put(group);
  link("TPD_OrderedMemberOfRemoteReplicationGroup", "Collection", group.getPath(), "Member", volume);

  // The mirror volume lives on the linked array: the source's WWN with that array's serial, as the same
  // volume of an array seeded alike has there.
  const CIMInstance* point = store_.find(accessPoint);
  const std::string target = point != nullptr ? stringProperty(*point, "Name") : std::string();
  const std::string targetSerial =
      target.size() >= kSerialLength ? target.substr(target.size() - kSerialLength) : "000000";
  const CIMInstance* source = store_.find(volume);
  std::string mirror = source != nullptr ? stringProperty(*source, "Name") : std::string();
  if (mirror.size() >= kSerialLength)
    mirror.replace(mirror.size() - kSerialLength, kSerialLength, upperCase(targetSerial));
  CIMInstance entity{CIMName("TPD_ReplicationEntity")};
  setProperty(entity, "InstanceID",
              CIMValue(String(array.prefix() + "ReplicationEntity:" + array.serial + ":" + number)));
  setProperty(entity, "Name", CIMValue(String(mirror)));
  entity.setPath(pathFromKeys(entity, {"InstanceID"}));
  store_.put(entity);
  link("TPD_RemoteStorageSynchronized", "SystemElement", volume, "SyncedElement", entity.getPath());

  const CIMObjectPath sync = link("TPD_RemoteGroupSynchronized", "SystemElement", group.getPath(), "SyncedElement",
                                  accessPoint, {{"SyncMode", CIMValue(mode)}});
  resyncRemoteGroup(sync);
  return sync;
}

bool Model::isRemoteGroupSynchronization(const CIMObjectPath& path) const {
  return remoteSyncReadsLeft_.count(RemoteSyncKey(store_, path)) > 0;
}

void Model::resyncRemoteGroup(const CIMObjectPath& synchronization) {
  CIMInstance* sync = store_.findMutable(synchronization);
  if (sync == nullptr) return;
  SetSynchronizationState(*sync, false);
  remoteSyncReadsLeft_[sync->getPath().toString().str()] = settings_.remoteCopyPolls;
}

void Model::pollRemoteSynchronization(const CIMObjectPath& path) {
  auto run = remoteSyncReadsLeft_.find(RemoteSyncKey(store_, path));
  if (run == remoteSyncReadsLeft_.end()) return;
  CIMInstance* sync = store_.findMutable(path);
  if (sync == nullptr) return;
  if (run->second > 0) {
    --run->second;
    return;
  }
  if (!settings_.remoteCopyNeverSyncs) SetSynchronizationState(*sync, true);
}

}  // namespace smissim
