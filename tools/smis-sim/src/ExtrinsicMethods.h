// Extrinsic method execution: dispatch by method name, and what every method family shares.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>
#include "smis-sim/ReturnCodes.h"

#include "MethodArgs.h"
#include "smis-sim/FaultPlan.h"
#include "smis-sim/Model.h"

namespace smissim {

struct MethodCall {
  Model& model;
  StorageArray& array;
  Pegasus::CIMObjectPath target;
  const MethodArgs& args;
  std::optional<FaultRule> jobFault;  // AsJob / JobFails / JobNeverEnds / JobVanishes
};

struct MethodOutcome {
  Pegasus::Uint32 returnValue = 0;
  std::vector<Pegasus::CIMParamValue> out;

  static MethodOutcome code(Pegasus::Uint32 value) { return MethodOutcome{value, {}}; }
  // An out-parameter naming the object in root/tpd.
  void addReference(const char* name, const Pegasus::CIMObjectPath& path, const Model& model);
  // The same in the namespace of the call's array.
  void addReference(const char* name, const Pegasus::CIMObjectPath& path, const MethodCall& call);
  // An out-parameter holding an array of references to objects in root/tpd.
  void addReferences(const char* name, const std::vector<Pegasus::CIMObjectPath>& paths, const Model& model);
};

// Runs `methodName` on the service `target`. Throws CIMException for calls the provider refuses outright
// (unknown method, badly typed parameters, a target that names nothing).
MethodOutcome runMethod(Model& model, const Pegasus::CIMObjectPath& target, const std::string& methodName,
                        const MethodArgs& args, const std::vector<FaultRule>& methodFaults);

// Ends a method whose array task may run as a job: with `asJob` (or a job fault) it answers 4096 and a Job
// reference, and `onEnd` runs when the job ends; otherwise `onEnd(true)` runs now and it answers 0.
MethodOutcome finishTask(MethodCall& call, const std::string& method, bool asJob,
                         const std::vector<Pegasus::CIMObjectPath>& affected,
                         std::function<void(Model&, bool succeeded)> onEnd, MethodOutcome outcome = {});

// Method families.
MethodOutcome runStorageConfigurationMethod(MethodCall& call, const std::string& method);
MethodOutcome runControllerConfigurationMethod(MethodCall& call, const std::string& method);
MethodOutcome runHardwareIdMethod(MethodCall& call, const std::string& method);
MethodOutcome runReplicationServiceMethod(MethodCall& call, const std::string& method);
// The remote-copy methods of the replication service (lower-case name); false for another method, and for
// ModifyReplicaSynchronization of anything but a remote-copy group.
bool runRemoteReplicationMethod(MethodCall& call, const std::string& name, MethodOutcome& outcome);

// Codes of the controller configuration methods.
// Volumes to expose, checked: one entry per volume, LUN -1 where the array chooses.
struct LunRequest {
  std::vector<Pegasus::CIMObjectPath> volumes;
  std::vector<int> luns;
  std::vector<Pegasus::Uint16> accesses;
};
// Reads the volumes by Name with their accesses (absent: each volume's own) and device numbers; 0, or the
// code refusing the call.
Pegasus::Uint32 readLunRequest(MethodCall& call, const std::vector<std::string>& luNames,
                               const std::optional<std::vector<Pegasus::Uint16>>& accesses,
                               const std::optional<std::vector<std::string>>& numbers, LunRequest& request);
// Exposes the volumes to every host (skipping those a host sees already); kLunInUse, changing nothing, when
// a wanted LUN is taken by another volume in a host's view.
Pegasus::Uint32 exposeToEach(MethodCall& call, const std::vector<Pegasus::CIMObjectPath>& hosts,
                             const LunRequest& request);
// ExposePaths: volumes to the host of the initiator ports, or into the one view named.
MethodOutcome exposePaths(MethodCall& call);

// The array's own failure code, or 4 when the provider is set to answer only documented codes.
Pegasus::Uint32 arrayCode(const Model& model, Pegasus::Uint32 code);

}  // namespace smissim
