#include "SmisSyncSet.h"

#include "TqCimConnection.h"

using namespace Pegasus;

namespace smissyncset {

void Prepare(SmisCall& call) {
  call.UseNamedHandlerTexts(call.Label(), ": ", std::string(call.Label()) + " : Caught unknown exception");
}

CIMObjectPath FindSet(SmisAction& action, SmisCall& call, const std::string& setPath, const std::string& setName,
                      const char* setClass) {
  if (!setPath.empty()) {
    CIMObjectPath path;
    if (tqcimutil::ParseInstancePath(setPath, path)) return path;
    action.DEBUG_TRACE_NORMAL(call.Label(), "Supplied Synchronization Set is not an object path, assuming Name");
  }
  String className(setClass);
  return action.GetObjPathByPropName(call.Conn(), className, String("ElementName"), String(setName));
}

SmisResultCode Invoke(SmisAction& action, SmisCall& call, const Array<CIMParamValue>& in) {
  SmisMethod method;
  method.name = call.Label();
  method.retValLine = SmisMethod::kSpacedRetValWithOutCount;
  unsigned retVal = call.Invoke(method, in);
  if (retVal != kSmisSuccess && retVal != kSmisJobStarted) call.RecordDeviceError(retVal);
  action.PrintParamSet(call.Out(), false);
  return retVal;
}

}  // namespace smissyncset
