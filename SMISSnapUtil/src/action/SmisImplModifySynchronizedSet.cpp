// Adding a synchronization (a FlashCopy mapping) to a synchronized set, or removing it.
#include "SmisSyncSet.h"

using namespace Pegasus;

namespace {

const Uint16 kAddToSet = 0;
const Uint16 kRemoveFromSet = 1;

}  // namespace

SmisResultCode SmisAction::ModifySynchronizedSet(TqCimConnection& conn, ModifySynchronizedSet_PARAMS& params) {
  SmisCall call(*this, conn, "ModifySynchronizedSet", "ModifySynchronizedSet");
  smissyncset::Prepare(call);
  const char* label = call.Label();
  DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", label, params.SystemName.c_str());
  DEBUG_TRACE_NORMAL(label, "SynchronizedSet name [%s]", params.SetName.c_str());
  DEBUG_TRACE_NORMAL(label, "Operation [%d]", params.Operation);
  DEBUG_TRACE_NORMAL(label, "SyncPath [%s]", params.SetPath.c_str());
  if (params.SystemName.empty() || params.SetName.empty()) {
    DEBUG_TRACE(label, "%s : modsyncset: insufficient args specified, need:", label);
    DEBUG_TRACE(label, "\tSystemName SetName operation");
    return kSmisTooFewArguments;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath set = smissyncset::FindSet(*this, call, params.SetPath, params.SetName, "IBMTSSVC_SynchronizedSet");
    if (!call.FindConfigService(params.SystemName)) return kSmisObjectNotFound;
    bool withMapping = params.Operation == kAddToSet || params.Operation == kRemoveFromSet;
    CIMObjectPath mapping;
    if (withMapping) {
      if (params.SyncPath.empty()) {
        DEBUG_TRACE(label, "FC Mapping parameter not found to add to Consistency Group");
        return kSmisObjectNotFound;
      }
      DEBUG_TRACE_NORMAL(label, "%s FC mapping [%s] to ConsistencyGroup [%s]",
                         params.Operation == kAddToSet ? "Adding" : "Removing", params.SyncPath.c_str(),
                         params.SetName.c_str());
      mapping = CIMObjectPath(String(params.SyncPath));
    }
    Array<CIMParamValue> in;
    in.append(CIMParamValue("SynchronizedSet", CIMValue(set)));
    in.append(CIMParamValue("Operation", CIMValue(params.Operation)));
    if (withMapping) in.append(CIMParamValue("Synchronization", CIMValue(mapping)));
    return smissyncset::Invoke(*this, call, in);
  });
}
