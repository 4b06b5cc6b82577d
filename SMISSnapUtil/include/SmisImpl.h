// The SMI-S action class: one member function per array operation. An operation resolves the names it is
// given into CIM object paths on the array's provider, calls one extrinsic method of an SMI-S service over
// a connection its caller has connected (and disconnects afterwards), follows the job the provider may
// start, and returns an SmisResultCode. No exception leaves an operation: a caught one gives 1.
//
// Arguments come as a positional vector read like a command line; each operation fixes its positions. An
// optional position is absent when its text contains "null"; a list inside a position is comma-separated;
// a volume is an object-path text or the volume's Name (UUID or WWN).
//
// Objects keep nothing between calls besides the op type and the tracer sink and error-text table of the
// bases. Each thread owns its own action objects; the only state shared between threads is m_Lock, which
// serialises volume creation, replica attachment and replica creation on LSI, DCIM and NetApp providers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/String.h"

#include "SmisResultCodes.h"
#include "TqCriticalSection.h"
#include "TqSmisJob.h"

class TqCimConnection;
class SmisCall;

typedef std::vector<std::string> SmisArgs;

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

  // Taken around the method call of CreateReplica, AttachModRep and CreateStorageVolume on providers of
  // vendor ids 8, 9 and 13; nothing else takes it.
  static TqCriticalSection m_Lock;

  // ---- Replica operations -------------------------------------------------------------------------
  // args: 0 storage configuration service path, 1 element name (empty: none), 2 copy type, 3 source
  // volume path, [4 target setting goal path], [5 target pool path]. targetPath receives the new
  // element's path text when the method answers 0 or 4096. 5 for an empty vector; a failed job gives 1;
  // a success that names no usable target element gives 1.
  SmisResultCode CreateReplica(TqCimConnection& conn, SmisArgs& args, std::string& targetPath);

  // (replica preparation, synchronization changes, copy-type support, replica attachment and
  // synchronized sets go here)

  // ---- Volume and masking operations --------------------------------------------------------------
  // (volume creation parameters and creation, deletion, mapping check, exposing and hiding paths,
  // hardware-ID collections, firmware version, storage-setting goals go here)

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
  // (operations of the replication services go here)

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

  short m_OpType;
};
