// Deleting a synchronized set, forced.
#include "SmisSyncSet.h"

using namespace Pegasus;

SmisResultCode SmisAction::DeleteSynchronizedSet(TqCimConnection& conn, DeleteSynchronizedSet_PARAMS& params) {
  SmisCall call(*this, conn, "DeleteSynchronizedSet", "DeleteSynchronizedSet");
  smissyncset::Prepare(call);
  const char* label = call.Label();
  if (params.SystemName.empty() || params.SetName.empty()) {
    DEBUG_TRACE(label, "%s : insufficient args specified, need:", label);
    DEBUG_TRACE(label, "\tSystemName SetName");
    return kSmisTooFewArguments;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath set =
        smissyncset::FindSet(*this, call, params.SetPath, params.SetName, "IBMTSSVC_FlashCopyStorageSynchronizedSet");
    if (!call.FindConfigService(params.SystemName)) return kSmisObjectNotFound;
    DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", label, params.SystemName.c_str());
    DEBUG_TRACE_NORMAL(label, "SynchronizedSet name [%s]", params.SetName.c_str());
    DEBUG_TRACE_NORMAL(label, "SynchronizedSet Path [%s]", GetObjectPathString(set).c_str());
    DEBUG_TRACE_NORMAL(label, "Force [%d]", 1);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("Set", CIMValue(set)));
    in.append(CIMParamValue("Force", CIMValue(Boolean(true))));
    return smissyncset::Invoke(*this, call, in);
  });
}
