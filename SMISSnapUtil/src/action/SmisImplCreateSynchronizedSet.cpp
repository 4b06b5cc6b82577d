// Creating an empty synchronized set of a copy type; the provider's path of the new set is handed back.
#include "SmisSyncSet.h"

using namespace Pegasus;

SmisResultCode SmisAction::CreateSynchronizedSet(TqCimConnection& conn, CreateSynchronizedSet_PARAMS& params) {
  SmisCall call(*this, conn, "CreateSynchronizedSet", "CreateSynchronizedSet");
  smissyncset::Prepare(call);
  const char* label = call.Label();
  DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", label, params.SystemName.c_str());
  DEBUG_TRACE_NORMAL(label, "SynchronizedSet name [%s]", params.SetName.c_str());
  DEBUG_TRACE_NORMAL(label, "SynchronizedSet type [%d]", params.CopyType);
  if (params.SystemName.empty() || params.SetName.empty()) {
    DEBUG_TRACE(label, "%s : createsyncset: insufficient args specified, need:", label);
    DEBUG_TRACE(label, "\tSystemName SetName CopyType");
    return kSmisTooFewArguments;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    if (!call.FindConfigService(params.SystemName)) return kSmisObjectNotFound;
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", CIMValue(String(params.SetName))));
    in.append(CIMParamValue("CopyType", CIMValue(params.CopyType)));
    SmisResultCode result = smissyncset::Invoke(*this, call, in);
    if (result != kSmisSuccess) return result;
    Array<CIMParamValue>& out = call.Out();
    for (Uint32 i = 0; i < out.size(); ++i) {
      if (out[i].getParameterName() == "Set" && out[i].getValue().getType() == CIMTYPE_REFERENCE) {
        params.SetPath = out[i].getValue().toString().str();
        break;
      }
    }
    return result;
  });
}
