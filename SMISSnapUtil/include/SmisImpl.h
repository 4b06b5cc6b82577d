// The SMI-S action class: one member function per array operation. An operation resolves the names it is
// given into CIM object paths on the array's provider, calls one extrinsic method of an SMI-S service over
// a connection its caller has connected (and disconnects afterwards), follows the job the provider may
// start, and returns an SmisResultCode. No exception leaves an operation: a caught one gives 1.
//
// Arguments come as a positional vector read like a command line; each operation fixes its positions. An
// optional position is absent when its text contains "null"; a list inside a position is comma-separated;
// a volume is an object-path text or the volume's Name (UUID or WWN).
//
// Objects keep nothing between calls besides the op type, the outcome of the last method call, the source of
// the last volume parameters and the tracer sink and error-text table of the bases. Each thread owns its own action
// objects; the only state shared between threads is m_Lock, which serialises volume creation, replica attachment and
// replica creation on LSI, DCIM and NetApp providers.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "Pegasus/Array.h"
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/String.h"

#include "SmisCallOutcome.h"
#include "SmisResultCodes.h"
#include "TqCriticalSection.h"
#include "TqSmisJob.h"

class TqCimConnection;
class SmisCall;

typedef std::vector<std::string> SmisArgs;

// A synchronized set (on IBM SVC a FlashCopy consistency group) to create, change or delete. SystemName and
// SetName are required; SetPath, when it holds no object path, leaves the set to be found by SetName.
struct CreateSynchronizedSet_PARAMS {
  std::string SystemName;
  std::string SetName;
  std::string SetPath;  // out: the new set's path, when the provider names it
  Pegasus::Uint16 CopyType = 0;
};

struct ModifySynchronizedSet_PARAMS {
  std::string SystemName;
  std::string SetName;
  std::string SetPath;
  std::string SyncPath;  // the synchronization added (Operation 0) or removed (1)
  Pegasus::Uint16 Operation = 0;
};

struct DeleteSynchronizedSet_PARAMS {
  std::string SystemName;
  std::string SetName;
  std::string SetPath;
};

// One candidate target volume of an ETERNUS replica: its path text and its Name (the UID on the array).
struct _EternusLun {
  std::string objectPath;
  std::string uid;
};

// One replication pair: source and target volumes, each an object-path text or the volume's Name. `extra`
// travels with the pair and is read by no operation.
struct _ReplicationPair {
  std::string source;
  std::string target;
  std::string extra;
};

// One synchronization operation (numbered as the replication-services profile numbers them) for a list of
// pairs. servicePath empty: the array's replication service is looked up by systemName.
struct _ModListSyncParams {
  std::string systemName;
  std::string servicePath;
  Pegasus::Uint16 Operation = 0;
  Pegasus::Sint16 WaitForCopyState = 0;
  std::list<_ReplicationPair> pairs;
  bool Force = false;
};

class SmisAction : public TqSmisJob {
 public:
  // The op type of the 3PAR snapshot objects: CreateReplica then sends no target pool.
  static constexpr short kOpType3PARSnapshot = 25;

  SmisAction();
  // Copies the op type; the tracer sink and the error-text table come along with the bases.
  SmisAction(const SmisAction& other);
  SmisAction& operator=(const SmisAction& other);

  void SetOpType(short opType) { m_OpType = opType; }
  short GetOpType() { return m_OpType; }

  // What the last operation's method call may have done on the array: read after a failed create to tell a
  // clear refusal (nothing made) from an unknown outcome (the copy or volume may exist). Every operation
  // starts it anew at kNotSent.
  SmisCallOutcome LastCallOutcome() const { return m_LastCallOutcome; }
  // The path text of the source volume the last CreateStorageVolParams shaped its volume after (empty when it
  // found none): CreateStorageVolume never takes that volume for the one it created.
  const std::string& VolumeParamsSource() const { return m_VolumeParamsSource; }

  // Taken around the method call of CreateReplica, AttachModRep and CreateStorageVolume on providers of
  // vendor ids 8, 9 and 13; nothing else takes it.
  static TqCriticalSection m_Lock;

  // ---- Replica operations -------------------------------------------------------------------------
  // args: 0 storage configuration service path, 1 element name (empty: none), 2 copy type, 3 source
  // volume path, [4 target setting goal path], [5 target pool path]. targetPath receives the new
  // element's path text when the method answers 0 or 4096. 5 for an empty vector; a failed job gives 1;
  // a success that names no usable target element gives 1.
  SmisResultCode CreateReplica(TqCimConnection& conn, SmisArgs& args, std::string& targetPath);

  // args: 0 system name, 1 element name, 2 copy type, 3 source volume (path or Name), [4 target setting
  // InstanceID], [5 target pool ElementName]. True with the array's storage configuration service in
  // servicePath; false (traced) with fewer than four positions or no such service. Lets exceptions through.
  bool ValidateCreateReplica(TqCimConnection& conn, SmisArgs& args, Pegasus::CIMObjectPath& servicePath);
  // Resolves the same positions into the argument vector of CreateReplica and appends its six texts to
  // out: service path, element name, copy type, source path, setting path or "null", pool path (the named
  // pool, else the source's own) or "null". False, with nothing appended, when a name is not found or
  // anything fails. Changes nothing on the array.
  bool PrepareCreateReplica(TqCimConnection& conn, SmisArgs& args, std::vector<std::string>& out);

  // args: 0 system name, 1 SMI-S operation (decimal), 2 source volume, 3 replica volume (path or Name),
  // [4 "Restore": an IBM SVC restore]. Sends ModifySynchronization for the pair's synchronization; on 3PAR
  // a detach (2) resynchronizes the pair first and a refused or failed resync ends it with that result.
  // A failed job gives its final state; noWait answers 0 for a started job without following it.
  SmisResultCode ModifySync(TqCimConnection& conn, SmisArgs& args, bool noWait);
  // ModifySynchronization with the caller's parameters on the service: 0, the method's code, or the final
  // state of a job that failed. Exceptions reach the caller.
  SmisResultCode ReSync(TqCimConnection& conn, const Pegasus::CIMNamespaceName& nameSpace,
                        const Pegasus::CIMObjectPath& service, const Pegasus::Array<Pegasus::CIMParamValue>& inParams);
  // args: 0 system name, 1 source volume, 2 replica volume: ModifySync with operation 2, followed.
  SmisResultCode DetachVol(TqCimConnection& conn, SmisArgs& args);

  // args: 0 system name, 1 copy type. 0 when a replication capability of the provider offers the copy
  // type, 1 when none does.
  SmisResultCode IsCopyTypeSupported(TqCimConnection& conn, SmisArgs& args);

  // args: 0 system name, 1 copy type, 2 source volume, 3 target volume (path or Name of that array). Makes
  // the target a replica of the source; syncPath receives their synchronization's path on success. A
  // failed job gives its final state.
  SmisResultCode AttachModRep(TqCimConnection& conn, SmisArgs& args, std::string& syncPath);

  // Synchronized sets; the method's own value is the result, a started job is not followed (4096).
  SmisResultCode CreateSynchronizedSet(TqCimConnection& conn, CreateSynchronizedSet_PARAMS& params);
  SmisResultCode ModifySynchronizedSet(TqCimConnection& conn, ModifySynchronizedSet_PARAMS& params);
  SmisResultCode DeleteSynchronizedSet(TqCimConnection& conn, DeleteSynchronizedSet_PARAMS& params);

  // ---- Volume and masking operations --------------------------------------------------------------
  // (volume creation parameters and creation, deletion, mapping check, exposing and hiding paths,
  // hardware-ID collections, firmware version, storage-setting goals go here)

  // -- Volume creation and deletion --
  // Works out, by lookups alone, the CreateStorageVolume vector of a new volume shaped like the source
  // (a path text or the volume's Name on the array). args: 0 SystemName, 1 NewVolName, 2 DGName (the pool's
  // ElementName, or exactly "null" for the source's own pool), [3 TypeFlag: 3PAR "1" thin, "2" thick, else
  // as the source; IBM SVC the requested volume type]. Appends to out: SystemName, NewVolName, pool path,
  // size in bytes, goal path or "null", then by family: 3PAR and ETERNUS "1" thin / "0" thick; LSI, DCIM
  // and NetApp the preferred controller path or "null"; IBM SVC volume type, IO group and preferred node
  // ("null" where none). 650009 for fewer than three positions, 650015 when the source, the pool or a
  // needed property is missing, 1 for a caught exception or a failed IBM SVC rule; out is partial then.
  SmisResultCode CreateStorageVolParams(TqCimConnection& conn, SmisArgs& args, std::string sourceVolume, SmisArgs& out);
  // Creates a volume from a pool. args as CreateStorageVolParams builds them: 0 SystemName, 1 NewVolName
  // (empty: none), 2 pool path, 3 size in bytes (decimal), [4 goal path], [5 family flag], [6 IO group],
  // [7 preferred node]. newVolPath receives the new volume's path when the method answers 0 or 4096.
  // 650009 when positions are missing or positions 2 to 4 cannot be read (nothing is sent then); a failed
  // job gives its final state.
  SmisResultCode CreateStorageVolume(TqCimConnection& conn, SmisArgs& args, std::string& newVolPath);
  // Deletes a volume and returns its space to its pool. args: 0 SystemName, 1 volume path or Name.
  // 650008 when no volume has the Name, 650006 while the volume is exposed through any view (nothing is
  // deleted); a failed job gives its final state.
  SmisResultCode DeleteVol(TqCimConnection& conn, SmisArgs& args);
  // The 3PAR thin or full provisioning setting of a CPG: 0 with its path in goal, 1 (goal empty) when the
  // array has none. Lookup exceptions reach the caller.
  Pegasus::Uint32 Get3PARStorageSettings(TqCimConnection& conn, Pegasus::CIMObjectPath& goal, const char* cpgName,
                                         bool thin);
  // The IBM SVC "Standard" volume setting: true with its path in goal; false (goal untouched) when there is
  // none or a lookup failed.
  bool CheckAndGetTargetGoal(TqCimConnection& conn, Pegasus::CIMObjectPath& goal);

  // -- Masking: mapping check, exposing and hiding paths, hardware-ID collections, firmware version --
  // The version text and build number of the provider's software identity whose InstanceID equals
  // instanceId exactly (the last one when several do). Always 0: versionString is emptied first and stays
  // empty when nothing matches; buildNumber is written only on a match.
  std::uint32_t GetVersionStrings(TqCimConnection& conn, const char* instanceId, std::string& versionString,
                                  std::uint16_t& buildNumber);
  // The 3PAR firmware version, read under the "3PAR:" and then the "HP_3PAR:" InstanceID; false when
  // neither gives a version text with a build number.
  bool Get3PARFirmware(TqCimConnection& conn, std::string& versionString, std::uint16_t& buildNumber);

  // args: 0 SystemName, 1 one volume (path or Name; "null": none), 2 initiator ports (comma-separated;
  // "null": none). 0 a view of the volume reaches one of the ports (without ports: any view), 650006
  // only other hosts' views, 650007 no view, 650008 no such volume, 650015 no such system.
  SmisResultCode IsLunMapped(TqCimConnection& conn, SmisArgs& args);

  // args: 0 SystemName, 1 volume Names, 2 initiator ports, [3 device numbers, 4 device accesses (2 rw,
  // 3 ro, 4 none), 5 target ports, 6 DeviceIDs of views]; lists comma-separated. Adds the volumes to a view
  // already serving the ports where the array's family has one, else asks for a new one. The method's own
  // value (4096 included, never watched); 4098 for a refusal made without any view; 5 when device numbers
  // or accesses do not pair with the volumes.
  SmisResultCode ExposePaths(TqCimConnection& conn, SmisArgs& args);

  // args: 0 SystemName, 1 volume Names, [2 initiator ports, 3 target ports, 4 DeviceIDs of views, 5 the one
  // volume's path]. Hides the volumes from the first view that exposes them to the initiators (on ETERNUS
  // from every such view). 650007 when no view does; the method's own value otherwise (4096 included).
  SmisResultCode HidePaths(TqCimConnection& conn, SmisArgs& args);
  // Hides the volumes from one view; a refusal is tried again with HideLUsFromStorageHardwareIDCollection,
  // whose answer is then the result (older 3PAR firmware hides host views only so).
  SmisResultCode Hide3PARPath(TqCimConnection& conn, Pegasus::CIMObjectPath& systemPath,
                              Pegasus::Array<Pegasus::String>& volumeNames, Pegasus::CIMObjectPath& viewPath);

  // args: 0 SystemName, 1 collection name (the host), 2 hardware-ID texts, comma-separated. Creates the
  // collection when it is missing, then adds the IDs. 1 when the collection cannot be made.
  std::uint32_t AddPortsToHardwareIDCollection(TqCimConnection& conn, SmisArgs& args);
  // Creates an empty collection of that ElementName on the array.
  std::uint32_t CreateStorageHardwareIDCollection(TqCimConnection& conn, const char* systemName,
                                                  const char* collectionName);
  // args: 0 SystemName, 1 collection names, 2 volume Names, 3 device accesses (one per volume).
  std::uint32_t ExposeLUsToCollections(TqCimConnection& conn, SmisArgs& args);
  // Collections stay on the array: nothing is sent, the result is 0.
  std::uint32_t DeleteHardwareIDCollection(TqCimConnection& conn, const char* systemName, const char* collectionName);

  // ---- Replication-service operations -------------------------------------------------------------
  // True with the array's ETERNUS replication service in servicePath; args: system name, element name,
  // copy type, source volume (only the system name is read).
  bool ValidateCreateElementReplica(TqCimConnection& conn, SmisArgs& args, Pegasus::CIMObjectPath& servicePath);
  // Gets an ETERNUS replica ready by finding its target, tried in this order: the copy of a pair of the
  // source that suits the copy type (never for copy type 8); a free volume of the source's size chosen by
  // volume label, or by the selection rules within the device group; for a clone, a new volume shaped like
  // the source. in: 0 system name, 1 element name, 2 copy type (4 snapshot, 5 clone, 8 the vendor's own
  // snapshot), 3 source volume (path or Name), [4 device group name], [5 UIDs not to choose], [6 exactly
  // "1": never look beyond the device group]. True with seven texts appended to out: service path, element
  // name, copy type, source path, target UID, target path, and how the target was found ("4" a pair, "0"
  // chosen, "3" created). False, out unchanged, otherwise; a volume created here stays on the array.
  bool PrepareCreateElementReplica(TqCimConnection& conn, SmisArgs& in, std::vector<std::string>& out);
  // Makes a replica of a volume through a replication service (CreateElementReplica) and follows its job.
  // args: service path (or any text, to look the service up by the system name), element name, copy type,
  // source volume (path or Name), target volume path or empty, [system name], [target pool path].
  // resultPath receives the replica (for an LSI-family snapshot without target, its point-in-time view).
  SmisResultCode CreateElementReplica(TqCimConnection& conn, SmisArgs& args, std::string& resultPath);

  // Applies one operation to the synchronizations of every pair in a single ModifyListSynchronization call.
  // All pairs are resolved first: a missing system name or pair list gives 650009, a service, volume or
  // synchronization not found gives 650015, and then nothing is sent. A failed job gives its final state;
  // noWait answers 0 for a started job without following it.
  SmisResultCode ModifyListSynchronization(TqCimConnection& conn, _ModListSyncParams& params, bool noWait);
  // args: 0 system name, 1 operation, 2 source volume, 3 replica volume (path or Name), 4 WaitForCopyState,
  // [5 "1": Force]. Applies the operation to the pair's synchronization (on LSI, DCIM and NetApp providers
  // the point-in-time view's) through ModifyReplicaSynchronization. 650009 for fewer than five positions,
  // 650015 when the service, a volume or the synchronization is not found; a failed job gives its final
  // state; noWait answers 0 for a started job.
  SmisResultCode ModifyReplicaSynchronization(TqCimConnection& conn, SmisArgs& args, bool noWait);

  // -- ETERNUS target candidates --
  // The two scans take args: 0 system name, 1 source volume (path or Name), 2 copy type, 3 UIDs that must
  // not be chosen (a volume whose UID the text holds anywhere is passed over). Both read the volume label.
  // The copy of a pair of the source that can be reused for the copy type, one carrying the label first:
  // 0 with its UID and path text (written only then); 1 when no pair suits or a fault was caught; 5 for
  // too few arguments or an unknown source.
  SmisResultCode getEligibleTargetLunsMode2(TqCimConnection& conn, SmisArgs& args, std::string& targetUid,
                                            std::string& targetPath);
  // Appends the array's free volumes of exactly the source's size to the list of their type and label: a
  // copy type of 4 or 8 lists SDVs and TPVs, 5 Standard volumes and TPVs. sourceIsTpv is set, never
  // cleared, when the source is a TPV. 0 when every volume was seen; 5 for too few arguments or an unknown
  // source; 650015 when the source or a volume lacks a property the scan needs (the lists keep what was
  // appended); 1 for a caught fault.
  SmisResultCode getEligibleTargetLuns(TqCimConnection& conn, SmisArgs& args, std::vector<_EternusLun>& sdvLabelled,
                                       std::vector<_EternusLun>& sdv, std::vector<_EternusLun>& standardLabelled,
                                       std::vector<_EternusLun>& standard, std::vector<_EternusLun>& tpvLabelled,
                                       std::vector<_EternusLun>& tpv, bool& sourceIsTpv);
  // args: 0 system name, 1 volume UID (its Name), [2 ElementName, not read]. True when the volume is free:
  // part of no replication pair in any role and exposed through no view. A volume not found, too few
  // arguments or a failed lookup count as not free.
  bool IsLunAvailable(TqCimConnection& conn, SmisArgs& args);
  // args: 0 system name (not read), 1 the device group's pool path text. Appends to uids the uid of every
  // candidate whose path the Dependent of an allocation from that pool holds; no CIM call. 650009 with
  // fewer than two arguments.
  SmisResultCode filterLunsByDG(TqCimConnection& conn, SmisArgs& args,
                                Pegasus::Array<Pegasus::CIMInstance>& allocations, std::vector<_EternusLun>& candidates,
                                std::vector<std::string>& uids);
  // Traces "<title> (item, item, )" as one line; nothing for an empty list.
  void printListofLuns(std::string title, std::vector<std::string>& list);
  void printListofLuns(std::string title, std::vector<_EternusLun>& list);

  // Named inputs (keys case-sensitive, an absent key reads as empty, lists "|"-separated). outParams
  // receives the method's out-parameters. Both need three map entries (650009) and "SyncType" (5).
  // One synchronization aspect of "SourceGroup" (a path or a replication group's ElementName; "null":
  // none) or else of "SourceElement" (a path or a volume Name on "SystemName"), with "Name", "mode",
  // "consistency" ("null": none) and a null ServiceAccessPoint when that key is present. 650015 when the
  // service or a source is not found. A started job is followed only on EMC providers.
  SmisResultCode CreateSynchronizationAspect(TqCimConnection& conn, std::map<std::string, std::string>& args,
                                             Pegasus::Array<Pegasus::CIMParamValue>& outParams);
  // Aspects of the "SourceElements" volumes with "Names", "Mode", "Consistency", on the service of
  // "ServicePath" or of "SystemName". 650015 when the service or a volume is not found, before anything
  // is sent. The job is followed "WatchJobRetryAttempts" times (at least 10); a failed one gives its state.
  SmisResultCode CreateListSynchronizationAspect(TqCimConnection& conn, std::map<std::string, std::string>& args,
                                                 Pegasus::Array<Pegasus::CIMParamValue>& outParams);
  // Changes one point-in-time object: "Operation" (5 without it), the "sourceElement" volume or else
  // replication group by ElementName, the point-in-time object named "targetSyncData" (650009 without it)
  // with its one settings-define-state association (650015 none, 5 several), an optional "targetElement"
  // and "WaitForCopyState". Needs four map entries (5). A job that does not complete gives 1.
  SmisResultCode ModifySettingDefineState(TqCimConnection& conn, std::map<std::string, std::string>& args,
                                          Pegasus::Array<Pegasus::CIMParamValue>& outParams);
  // The same for the synchronization aspects named in "targetSyncData" ("|"-separated), with optional
  // "targetElement" volumes and "ElementNames" ("null": none), on the service of "ServicePath" or of
  // "SystemName". Needs three map entries. Every name and volume is resolved before anything is sent.
  SmisResultCode ModifyListSettingsDefineState(TqCimConnection& conn, std::map<std::string, std::string>& args,
                                               Pegasus::Array<Pegasus::CIMParamValue>& outParams);

 private:
  // The HP EVA target setting of CreateReplica when the caller names none; an empty path when none.
  Pegasus::CIMObjectPath ChooseEvaTargetSetting(TqCimConnection& conn, SmisCall& call, int copyType,
                                                const std::string& source);
  SmisResultCode CreateReplicaCall(TqCimConnection& conn, SmisCall& call, SmisArgs& args, std::string& targetPath);
  // The views HidePaths hides from: those named by DeviceID, else the views of the volumes (by their one
  // path, or by Name) that the initiators reach.
  Pegasus::Array<Pegasus::CIMObjectPath> FindViewsToHide(TqCimConnection& conn, const char* label,
                                                         Pegasus::CIMObjectPath& system, const std::string& systemName,
                                                         Pegasus::Array<Pegasus::String>& volumes,
                                                         Pegasus::Array<Pegasus::String>& volumePaths,
                                                         Pegasus::Array<Pegasus::String>& initiators,
                                                         std::vector<std::string>& viewNames);

  friend class SmisCall;  // records the outcome of each method call

  short m_OpType;
  SmisCallOutcome m_LastCallOutcome = SmisCallOutcome::kNotSent;
  std::string m_VolumeParamsSource;
};
