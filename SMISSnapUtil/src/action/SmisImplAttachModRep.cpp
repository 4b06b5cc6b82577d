// Attaching an existing target volume to its source as a replica, and handing back their synchronization.
#include "SmisCall.h"
#include "TqCimConnection.h"
#include "vendors/SmisSvcFlashCopy.h"

using namespace Pegasus;

namespace {

// The method every trace names, whichever one the provider is sent.
const char* const kAttachOrModify = "AttachOrModifyReplica";

const char* AttachMethodOf(TQ_PROVIDER_VENDOR vendor) {
  return vendor == TQ_VENDOR_HP_EVA || vendor == TQ_VENDOR_IBM_SVC ? "AttachReplica" : kAttachOrModify;
}

}  // namespace

SmisResultCode SmisAction::AttachModRep(TqCimConnection& conn, SmisArgs& args, std::string& syncPath) {
  SmisCall call(*this, conn, "SMIS::AttachModRep", kAttachOrModify);
  if (!call.HasArgs(args, 4, "atmodrep: insufficient args specified", "need: SystemName CopyType SrcVol RepVol"))
    return kSmisTooFewArguments;
  call.UseNamedHandlerTexts(kAttachOrModify, ":", std::string(kAttachOrModify) + ": Caught unknown Exception");
  const char* label = call.Label();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    const std::string& system = args[0];
    if (!call.FindConfigService(system)) return kSmisObjectNotFound;
    // Names are looked up on the named array only.
    CIMObjectPath source;
    if (!call.FindLun(args[2], "source volume", source, system)) {
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "SrcVol: %s", GetObjectPathString(source).c_str());
    CIMObjectPath target;
    if (!call.FindLun(args[3], "source volume", target, system)) {
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "RepVol: [%s]", GetObjectPathString(target).c_str());
    DEBUG_TRACE_NORMAL(label, "CopyType: [%s]", args[1].c_str());

    Uint16 copyType = static_cast<Uint16>(SmisCall::Decimal(args[1]));
    Array<CIMParamValue> in;
    in.append(CIMParamValue("SourceElement", CIMValue(source)));
    in.append(CIMParamValue("TargetElement", CIMValue(target)));
    if (call.Vendor() == TQ_VENDOR_IBM_SVC)
      copyType = smissvc::AppendFlashCopyParams(*this, conn, label, copyType, target, in);
    in.append(CIMParamValue("CopyType", CIMValue(copyType)));

    SmisMethod method;
    method.name = AttachMethodOf(call.Vendor());
    method.serialize = true;
    SmisOutcomeRule rule;
    rule.job = SmisJobRule::kFailedIsState;
    rule.tries = 1500;
    rule.seconds = 45;
    SmisResultCode result = call.Finish(call.Invoke(method, in), rule);
    if (result != kSmisSuccess) return result;
    CIMObjectPath sync = GetSyncPath(conn, call.NameSpace().getString(), system, source, target);
    syncPath = sync.getClassName().isNull() ? std::string() : GetObjectPathString(sync);
    return kSmisSuccess;
  });
}
