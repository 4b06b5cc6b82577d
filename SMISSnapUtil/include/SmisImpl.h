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

  // ---- Replication-service operations -------------------------------------------------------------
  // (operations of the replication services go here)

 private:
  // The HP EVA target setting of CreateReplica when the caller names none; an empty path when none.
  Pegasus::CIMObjectPath ChooseEvaTargetSetting(TqCimConnection& conn, SmisCall& call, int copyType,
                                                const std::string& source);
  SmisResultCode CreateReplicaCall(TqCimConnection& conn, SmisCall& call, SmisArgs& args, std::string& targetPath);

  short m_OpType;
};
