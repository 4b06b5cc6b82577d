// LSI family: after a volume is created, the processor the caller named becomes its preferred owner, so
// that the volume is reachable on the host's preferred paths.
#include "TqCimConnection.h"
#include "action/SmisCall.h"
#include "action/SmisHostConfig.h"
#include "action/SmisVolumeCreate.h"

using namespace Pegasus;

namespace smisvolume {

void AssignPreferredController(SmisAction& action, SmisCall& call, const SmisArgs& args,
                               const std::string& newVolPath) {
  if (smisconfig::RegInt("Corvane", "LSI_ENABLE_PREFERED_CONTROLLER_PATH", 0) <= 0 || !SmisCall::IsGiven(args, 5))
    return;
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "Going to change the preferred owner of volume [%s]to controller [%s]",
                            newVolPath.c_str(), args[5].c_str());
  // A created volume stays created: a failure of the follow-up is traced and the result stays 0.
  SmisCall affinity(action, call.Conn(), kCreateLabel, "AssignStorageResourceAffinity");
  affinity.UseService(call.Service());
  unsigned retVal = affinity.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    Array<CIMObjectPath> resources;
    resources.append(CIMObjectPath(String(newVolPath)));
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ResourceType", CIMValue(Uint16(2))));
    in.append(CIMParamValue("StorageProcessor", CIMValue(CIMObjectPath(String(args[5])))));
    in.append(CIMParamValue("StorageResources", CIMValue(resources)));
    SmisMethod method;
    method.name = "AssignStorageResourceAffinity";
    return affinity.Invoke(method, in);
  });
  if (retVal == 0 || retVal == 6 || retVal == 4096) return;
  action.DEBUG_TRACE(kCreateLabel,
                     "Unable to set prefered controller path for the storage volume [%s], \t\t\t\t\t\t\t\t\t  the "
                     "storage volume may not visible on the host after mapping",
                     newVolPath.c_str());
  action.PrintParamSet(affinity.Out(), true);
}

}  // namespace smisvolume
