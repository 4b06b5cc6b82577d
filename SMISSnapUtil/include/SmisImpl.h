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

  // ---- Replication-service operations -------------------------------------------------------------
  // (operations of the replication services go here)

 private:
  // The HP EVA target setting of CreateReplica when the caller names none; an empty path when none.
  Pegasus::CIMObjectPath ChooseEvaTargetSetting(TqCimConnection& conn, SmisCall& call, int copyType,
                                                const std::string& source);
  SmisResultCode CreateReplicaCall(TqCimConnection& conn, SmisCall& call, SmisArgs& args, std::string& targetPath);

  short m_OpType;
};
