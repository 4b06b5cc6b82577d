// The family extras of creating a volume: the IBM SVC space-efficient parameters, IO group and preferred
// node, and the LSI-family follow-up that gives the new volume its preferred controller.
#pragma once

#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "SmisImpl.h"

class SmisCall;
class TqCimConnection;

namespace smisvolume {

extern const char* const kCreateLabel;   // "SMIS::CreateStorageVolume"
extern const char* const kCreateMethod;  // "CreateOrModifyElementFromStoragePool"

// IBM SVC: whether position 5 asks for a space-efficient volume ("4", "6" or "7").
bool IbmSvcSpaceEfficient(const std::string& flag);

// The RealSizePercent of a space-efficient IBM SVC volume of this type: a clone target ("6") takes the
// clone key when it is 1 to 100, else 20; a snapshot target takes the snapshot key when it is 1 to 100,
// else 0.
unsigned long IbmSvcRealSizePercent(const std::string& flag, unsigned long cloneKey, unsigned long snapshotKey);
// Whether RealSizePercent is sent: the skip key -1 (absent) sends it unless the firmware is 7.6.x, 0 always
// sends it, any other value never. version: the first characters of the cluster's version text.
bool IbmSvcSendsRealSizePercent(int skipKey, const std::string& version);

// The Grainsize of a space-efficient IBM SVC volume from the map and thin-volume keys (0: absent).
struct GrainChoice {
  bool send = false;  // only when a key was above 0
  unsigned size = 256;
  bool mapRefused = false;   // a map key above 0 that is not 64 or 256
  bool thinRefused = false;  // a thin key above 0 that is not 32, 64, 128 or 256
  bool largerThanMap = false;
};
GrainChoice IbmSvcGrainSize(int mapKey, int thinKey);

// Appends the IBM SVC parameters of positions 5 to 7 to a creation's in-parameters.
void AppendIbmSvcParams(SmisAction& action, TqCimConnection& conn, const SmisArgs& args,
                        Pegasus::Array<Pegasus::CIMParamValue>& in);

// What a creation asked for, to know its new volume by.
struct CreatedVolumeRequest {
  std::string systemName;
  std::string name;
  Pegasus::Uint64 size = 0;  // bytes
  std::string shapedAfter;   // path text of the volume the new one was shaped after; empty when none
};

// After a creation answered 0 without naming the new volume: its path from the job's affected element, else
// from the array's one volume whose ElementName is the name, taken only when it is not the volume the new one
// was shaped after and has the requested size. False (traced, naming the volume) when it cannot be told or a
// lookup fails; the creation then counts as failed.
bool FindCreatedVolume(SmisAction& action, SmisCall& call, const CreatedVolumeRequest& request,
                       std::string& newVolPath);

// LSI family: after a creation, makes the processor of position 5 the new volume's preferred owner when the
// host key asks for it. Its answer never changes the creation's result.
void AssignPreferredController(SmisAction& action, SmisCall& call, const SmisArgs& args, const std::string& newVolPath);

}  // namespace smisvolume
