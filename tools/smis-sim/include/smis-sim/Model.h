// The simulated arrays: systems, services, pools, volumes, copies, hosts, views and jobs, kept as CIM instances
// in one store, with the bookkeeping an array keeps beside them (names, WWNs, LUNs, running jobs).
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "smis-sim/InstanceStore.h"
#include "smis-sim/Json.h"
#include "smis-sim/VendorProfile.h"

namespace smissim {

constexpr const char* kNamespace = "root/tpd";

// Behaviour switches of the simulated provider.
struct Settings {
  unsigned jobPolls = 2;               // polls that see a job running (JobState 4) before it ends
  bool strictReturnCodes = false;      // copy failures answer 4 instead of the array's own codes
  unsigned maxSnapshotsPerBase = 500;  // virtual copies in one volume family
  unsigned maxReadWriteCopiesPerReadOnly = 256;
  bool keepPairAfterDetach = false;       // a detached physical copy keeps its synchronization
  bool jobsVanishWhenDone = false;        // a finished job disappears at the poll after it ended
  bool checkHardwareIdPrefix = false;     // hardware-ID texts must carry the firmware's InstanceID prefix
  Pegasus::Uint64 sizeRoundingBytes = 0;  // new volume sizes round up to this unit (0 = exact)
  std::string hostName = "127.0.0.1";     // host part of paths in association and method answers
  unsigned remoteCopyPolls = 1;           // reads that see a new or resynchronizing remote-copy group unsynced
  bool remoteCopyNeverSyncs = false;      // remote-copy groups never reach the synchronized state
  bool singleAccessPoint = false;         // GetServiceAccessPoints answers one reference, not the array
  // A family's own pairs (ETERNUS) are named CIM_StorageSynchronized in reference answers, and a read by
  // that class finds nothing: they are read by the family's class only.
  bool abstractSyncNames = false;

  void update(const Json& json);  // only the members present
  Json toJson() const;
};

struct ArrayConfig {
  std::string serial = "001234";  // six hex digits; the system name and every WWN carry it
  std::string firmware = "3.1.2";
  Pegasus::Uint16 build = 484;
};

struct StorageArray {
  std::string serial;
  std::string systemName;
  std::string firmware;
  Pegasus::Uint16 build = 0;
  Pegasus::CIMObjectPath system, configService, controllerService, hardwareIdService, replicationService;
  Pegasus::CIMObjectPath concretePool, softwareIdentity, replicationCapabilities;
  std::vector<std::string> remoteCopyTargets;  // serials of the arrays this one has a remote-copy link to
  Pegasus::Uint64 nextVolumeNumber = 1;
  Pegasus::Uint64 nextObjectNumber = 1;
  std::unordered_map<std::string, std::string> volumeWwnByName;
  const VendorProfile* profile = nullptr;  // the array's family; null for 3PAR

  // "HP_3PAR:" for firmware that sorts after "3.1.1" as plain text, "3PAR:" otherwise.
  std::string prefix() const;
  // The namespace the array's objects are served in: its family's, or root/tpd.
  std::string nameSpace() const;
  // Host-sees views cannot be removed with HidePaths on 2.x firmware.
  bool hidePathsRefusesHostSees() const { return firmware.compare(0, 2, "2.") == 0; }
};

struct VolumeSpec {
  std::string name;
  std::string cpg;  // empty: the concrete pool (fully provisioned only)
  Pegasus::Uint64 sizeBytes = 0;
  bool thin = true;
  std::string wwn;  // empty: generated from the array serial
};

struct ExposedLun {
  std::string array;  // system name
  std::string host;
  std::string volume;  // ElementName
  std::string wwn;
  unsigned lun = 0;
  Pegasus::Uint16 access = 2;
};

// How a job created by a method ends.
struct JobPlan {
  unsigned polls = 0;              // polls before the end
  Pegasus::Uint16 finalState = 7;  // 7 completed, 8/9/10 failed
  bool neverEnds = false;
  bool vanishes = false;  // the instance disappears instead of showing the final state
};

class ModelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Model {
 public:
  Model();

  // Readers share the lock; every change and every job poll holds it alone.
  std::shared_mutex& mutex() { return mutex_; }
  InstanceStore& store() { return store_; }
  const InstanceStore& store() const { return store_; }
  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }
  void clear();

  // Arrays.
  StorageArray& addArray(const ArrayConfig& config);
  std::deque<StorageArray>& arrays() { return arrays_; }
  StorageArray* arrayBySerial(const std::string& serial);
  StorageArray* arrayBySystemName(const std::string& systemName);
  // The array a system-scoped path (SystemName key) or a system path (Name key) belongs to.
  StorageArray* arrayOf(const Pegasus::CIMObjectPath& path);
  void setFirmware(StorageArray& array, const std::string& version, Pegasus::Uint16 build);

  // Pools.
  Pegasus::CIMObjectPath addCpg(StorageArray& array, const std::string& name);
  const Pegasus::CIMInstance* findCpg(StorageArray& array, const std::string& name);
  // The pool a volume is allocated from.
  Pegasus::CIMObjectPath poolOf(const Pegasus::CIMObjectPath& volume) const;
  // The delta pool of a volume family, created with the first copy.
  Pegasus::CIMObjectPath deltaPoolFor(StorageArray& array, const Pegasus::CIMInstance& baseVolume);

  // Volumes. Throws ModelError on a duplicate name or WWN or an unknown CPG.
  Pegasus::CIMObjectPath addVolume(StorageArray& array, const VolumeSpec& spec);
  const Pegasus::CIMInstance* findVolumeByName(StorageArray& array, const std::string& name);
  const Pegasus::CIMInstance* findVolumeByWwn(const std::string& wwn) const;
  Pegasus::CIMObjectPath volumePath(const std::string& wwn) const;
  void removeVolume(StorageArray& array, const Pegasus::CIMObjectPath& volume);
  // Sets the volume's size to `blocks` (not fewer than it has); a fully provisioned volume takes the
  // added space from its pool.
  void growVolume(const Pegasus::CIMObjectPath& volume, Pegasus::Uint64 blocks);
  // A virtual copy of `source`: read-only of a read-write source, read-write of a read-only one.
  Pegasus::CIMObjectPath addVirtualCopy(StorageArray& array, const Pegasus::CIMInstance& source,
                                        const std::string& name);
  // Synchronizations in which the volume is the source (true) or the copy (false).
  std::vector<const Pegasus::CIMInstance*> synchronizations(const Pegasus::CIMObjectPath& volume, bool asSource) const;
  Pegasus::CIMObjectPath addSynchronization(const Pegasus::CIMObjectPath& source, const Pegasus::CIMObjectPath& target,
                                            Pegasus::Uint16 copyType, Pegasus::Uint16 replicaType,
                                            Pegasus::Uint16 syncState);
  // The first volume of the copy tree `volume` belongs to.
  Pegasus::CIMObjectPath familyBase(const Pegasus::CIMObjectPath& volume) const;
  unsigned familyCopyCount(const Pegasus::CIMObjectPath& base) const;
  bool isExposed(const Pegasus::CIMObjectPath& volume) const;

  // Hosts, hardware IDs and views.
  Pegasus::CIMObjectPath addHost(StorageArray& array, const std::string& name);
  const Pegasus::CIMInstance* findHost(StorageArray& array, const std::string& name);
  // Creates the hardware ID when the port is unknown. Throws ModelError when the port belongs to another host.
  Pegasus::CIMObjectPath addHardwareIdToHost(StorageArray& array, const Pegasus::CIMObjectPath& host, bool iscsi,
                                             const std::string& port);
  // A hardware ID of no host (ElementName ""), or the existing one of that port.
  Pegasus::CIMObjectPath addHardwareId(StorageArray& array, bool iscsi, const std::string& port);
  // Makes the ID a member of the host without the one-host check (a misconfigured array can show this).
  void joinHost(const Pegasus::CIMObjectPath& id, const Pegasus::CIMObjectPath& host);
  const Pegasus::CIMInstance* findHardwareId(StorageArray& array, const std::string& port);
  Pegasus::CIMObjectPath viewOf(const Pegasus::CIMObjectPath& host) const;
  // Exposes the volume to the host at `lun` (-1: the lowest free LUN). Returns the LUN used.
  unsigned expose(StorageArray& array, const Pegasus::CIMObjectPath& host, const Pegasus::CIMObjectPath& volume,
                  int lun, Pegasus::Uint16 access);
  bool lunInUse(const Pegasus::CIMObjectPath& view, unsigned lun) const;
  bool viewHoldsVolume(const Pegasus::CIMObjectPath& view, const Pegasus::CIMObjectPath& volume) const;
  // Removes the volume from the view; an emptied view goes with its privilege.
  void hide(const Pegasus::CIMObjectPath& view, const Pegasus::CIMObjectPath& volume);
  std::vector<ExposedLun> exposedTo(const std::vector<std::string>& initiatorPorts) const;

  // Jobs.
  Pegasus::CIMObjectPath startJob(StorageArray& array, const std::string& method, const JobPlan& plan,
                                  const std::vector<Pegasus::CIMObjectPath>& affected,
                                  std::function<void(Model&, bool succeeded)> onEnd);
  // Advances a job by one poll before it is read. False when the job is gone.
  bool pollJob(const Pegasus::CIMObjectPath& job);
  bool isJob(const Pegasus::CIMObjectPath& path) const;
  bool removeJob(const Pegasus::CIMObjectPath& job);

  // Remote copy (a group per source volume, mirrored to a volume of a linked array that may be served by
  // another provider). Whether the array can mirror remotely (its replication capabilities).
  void setRemoteCopy(StorageArray& array, bool supported);
  // The access point of the link to the array of that system name; empty when there is no link.
  Pegasus::CIMObjectPath remoteAccessPoint(StorageArray& array, const std::string& targetSystemName);
  // The group of the volume and its synchronization (unsynchronized for a few reads); the group's
  // synchronization path.
  Pegasus::CIMObjectPath addRemoteCopyGroup(StorageArray& array, const std::string& name,
                                            const Pegasus::CIMObjectPath& volume,
                                            const Pegasus::CIMObjectPath& accessPoint, Pegasus::Uint16 mode);
  bool isRemoteGroupSynchronization(const Pegasus::CIMObjectPath& path) const;
  // Starts a resynchronization of the group (in progress for a few reads).
  void resyncRemoteGroup(const Pegasus::CIMObjectPath& synchronization);
  // Advances a remote-copy synchronization by one read before it is read; no-op for other objects.
  void pollRemoteSynchronization(const Pegasus::CIMObjectPath& path);

  // Seeds arrays, pools, volumes, hosts and exposures (format in the tool's README). All or nothing: a
  // document that fails part-way leaves the model as it was.
  void seed(const Json& json);
  Json toJson() const;

 private:
  std::string nextId(StorageArray& array, const char* kind);
  std::string newWwn(StorageArray& array);
  Pegasus::CIMObjectPath createVolume(StorageArray& array, const VolumeSpec& spec, bool roundSize);
  Pegasus::CIMInstance systemScoped(const StorageArray& array, const char* className, const std::string& name);
  // Adds the association instance; its path.
  // References are qualified with `nameSpace`.
  Pegasus::CIMObjectPath link(const char* associationClass, const char* roleA, const Pegasus::CIMObjectPath& a,
                              const char* roleB, const Pegasus::CIMObjectPath& b,
                              std::vector<std::pair<const char*, Pegasus::CIMValue>> extra = {},
                              const std::string& nameSpace = kNamespace);
  Pegasus::CIMObjectPath addService(StorageArray& array, const char* className, const char* name);
  void addArrayFixtures(StorageArray& array);
  void addRemoteCopyFixtures(StorageArray& array);
  Pegasus::CIMObjectPath privilegeOf(const Pegasus::CIMObjectPath& view) const;
  void adjustPoolSpace(const Pegasus::CIMObjectPath& pool, Pegasus::Uint64 bytes, bool allocate);
  Pegasus::CIMObjectPath hostOfView(const Pegasus::CIMObjectPath& view) const;
  // The instance of the class on the array whose ElementName is `name` (ignoring case).
  const Pegasus::CIMInstance* findNamed(const StorageArray& array, const char* className,
                                        const std::string& name) const;
  // The first association of exactly this class that the object takes part in.
  std::optional<InstanceStore::Link> firstLinkOf(const Pegasus::CIMObjectPath& path,
                                                 const char* associationClass) const;
  // The far end of the first association of the class (or a subclass) in which `dependent` is the Dependent.
  std::optional<Pegasus::CIMObjectPath> antecedentOf(const Pegasus::CIMObjectPath& dependent,
                                                     const char* associationClass) const;
  void seedDocument(const Json& json);
  void seedArray(StorageArray& array, const Json& json);
  // Capacities of a seeded pool ("totalManagedSpace", "remainingManagedSpace", "currentSpaceConsumed",
  // "usedSnapAdminSpace", in bytes); absent keys keep the model's own figures.
  void seedPoolSpace(const Pegasus::CIMObjectPath& pool, const Json& json);
  Json volumeJson(const Pegasus::CIMInstance& volume) const;

  struct JobRun {
    JobPlan plan;
    unsigned polled = 0;
    bool ended = false;
    std::function<void(Model&, bool)> onEnd;
  };

  std::shared_mutex mutex_;
  Settings settings_;
  InstanceStore store_;
  std::deque<StorageArray> arrays_;
  std::unordered_map<std::string, Pegasus::CIMObjectPath> volumesByWwn_;
  std::map<std::string, JobRun> jobs_;                   // by InstanceID
  std::map<std::string, unsigned> remoteSyncReadsLeft_;  // by synchronization path text
};

}  // namespace smissim
