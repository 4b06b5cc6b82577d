// Changing point-in-time copies through their settings-define-state association: one point-in-time object
// (ModifySettingsDefineState) or a list of synchronization aspects (ModifyListSettingsDefineState).
#include "SmisNamedInputCall.h"
#include "SmisReplicationArgs.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using namespace smisnamedinput;
using namespace smisreplication;

namespace {

const char* const kInvalidLine = "Validation Failed: Invalid Parameters";
const char* const kNoOperationLine = "Operation value is not given. Cannot continue without it.";
const char* const kNoSyncDataLine = "Target SyncAspect instance not specified.";
const Uint16 kOperationWithViewTarget = 5;

// The one settings-define-state association of a point-in-time object or aspect: 0 with it in `state`,
// 650015 when there is none, 5 (traced with `severalLine`) when there are several.
SmisResultCode OnlySettingsState(SmisAction& action, SmisCall& call, const CIMObjectPath& object,
                                 const char* severalLine, CIMObjectPath& state) {
  Array<CIMObjectPath> refs =
      call.Conn().Client().referenceNames(call.NameSpace(), object, CIMName("CIM_SettingsDefineState"), String::EMPTY);
  if (refs.size() == 0) {
    action.DEBUG_TRACE(call.Label(), "Unable to get the SettingsDefineState relation.");
    return kSmisObjectNotFound;
  }
  if (refs.size() > 1) {
    action.DEBUG_TRACE(call.Label(), "%s", severalLine);
    return kSmisInvalidParameter;
  }
  state = refs[0];
  return kSmisSuccess;
}

CIMObjectPath ByElementName(SmisAction& action, SmisCall& call, const std::string& className, const std::string& name) {
  String cls(className.c_str());
  return action.GetObjPathByPropName(call.Conn(), cls, String("ElementName"), String(name));
}

// The in-parameters the two methods leave null, in their order.
void AppendNullTargets(SmisAction& action, Array<CIMParamValue>& in, const char* groups, const char* pools,
                       const char* goals) {
  const CIMValue nullReference = action.MakeCimNullVal(CIMTYPE_REFERENCE, false);
  in.append(CIMParamValue(groups, nullReference));
  in.append(CIMParamValue(pools, nullReference));
  in.append(CIMParamValue("TargetAccessPoint", nullReference));
  in.append(CIMParamValue("TargetElementCount", action.MakeCimNullVal(CIMTYPE_UINT64, false)));
  in.append(CIMParamValue(goals, nullReference));
}

// A started job is followed; one that does not complete gives 1. A refusal records nothing on the device,
// whatever the provider.
SmisOutcomeRule FollowedJob() {
  SmisOutcomeRule rule;
  rule.job = SmisJobRule::kFailedIsOne;
  rule.tries = 60;
  rule.seconds = 10;
  rule.recordsDeviceError = false;
  return rule;
}

// The answer is traced only when it is 0 (a job and a refusal have lines of their own).
SmisResultCode InvokeStateMethod(SmisCall& call, const char* name, const Array<CIMParamValue>& in,
                                 Array<CIMParamValue>& outParams) {
  SmisMethod method;
  method.name = name;
  method.retValLine = SmisMethod::kNoRetValLine;
  return InvokeAndFinish(call, method, in, FollowedJob(), outParams, "%s method Return Value = %u (0x%x)");
}

// The target parameters the method leaves null, traced with an empty text in `form` (name first).
void TraceNullTargets(SmisAction& action, const char* label, const char* form, const std::vector<const char*>& names) {
  for (const char* name : names) action.DEBUG_TRACE_NORMAL(label, form, name, "");
}

}  // namespace

SmisResultCode SmisAction::ModifySettingDefineState(TqCimConnection& conn, std::map<std::string, std::string>& map,
                                                    Array<CIMParamValue>& outParams) {
  SmisCall call(*this, conn, "SMIS::ModifySettingsDefineState", "ModifySettingsDefineState");
  const char* label = call.Label();
  SmisNamedArgs args(map);
  if (!HasEntries(*this, call, args, 4, kInvalidLine)) return kSmisInvalidParameter;
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    if (!UseReplicationService(*this, call, args, nullptr, "Class %s for system %s not found"))
      return kSmisObjectNotFound;
    if (!args.Has("Operation")) {
      DEBUG_TRACE(label, "%s", kNoOperationLine);
      return kSmisInvalidParameter;
    }
    const Uint16 operation = static_cast<Uint16>(SmisCall::Decimal(args.Text("Operation")));
    const std::string& sourceText = args.Text("sourceElement");
    bool sourceIsGroup = false;
    if (ByElementName(*this, call, "CIM_StorageVolume", sourceText).getClassName().isNull()) {
      sourceIsGroup = true;
      if (ByElementName(*this, call, "CIM_ReplicationGroup", sourceText).getClassName().isNull()) {
        DEBUG_TRACE(label, "Source element [%s]not found.", sourceText.c_str());
        return kSmisObjectNotFound;
      }
    }
    if (!args.Has("targetSyncData")) {
      DEBUG_TRACE(label, "%s", kNoSyncDataLine);
      return kSmisTooFewArguments;
    }
    const std::string prefix = ClassPrefix(call.Service());
    CIMObjectPath pit = ByElementName(*this, call, prefix + (sourceIsGroup ? "_ConsistencyGroupPiT" : "_PiT"),
                                      args.Text("targetSyncData"));
    if (pit.getClassName().isNull()) {
      DEBUG_TRACE(label, "Unable to fetch the target SynchronizedAspect element.");
      return kSmisObjectNotFound;
    }
    CIMObjectPath state;
    SmisResultCode found =
        OnlySettingsState(*this, call, pit, "Target PiT/CGPiT has more than one relation to Source Element.", state);
    if (found != kSmisSuccess) return found;

    const std::string& targetText = args.Text("targetElement");
    CIMObjectPath target;
    if (!targetText.empty()) {
      if (!call.FindLun(targetText, "target volume", target, args.Text("SystemName"))) {
        return kSmisObjectNotFound;
      }
      DEBUG_TRACE_NORMAL(label, "TargetVol: %s", GetObjectPathString(target).c_str());
      if (operation == kOperationWithViewTarget) {
        target = FirstReference(conn, call.NameSpace(), target, prefix + "_PiTViewSynchronized");
        if (target.getClassName().isNull()) {
          DEBUG_TRACE(label, "Sync Path for Target Element[%s] to Source element[%s] not found", targetText.c_str(),
                      sourceText.c_str());
          return kSmisObjectNotFound;
        }
      }
    }

    Array<CIMParamValue> in;
    in.append(CIMParamValue("Operation", CIMValue(operation)));
    in.append(CIMParamValue("SettingsState", CIMValue(state)));
    in.append(CIMParamValue("TargetElement",
                            targetText.empty() ? MakeCimNullVal(CIMTYPE_REFERENCE, false) : CIMValue(target)));
    AppendNullTargets(*this, in, "TargetGroup", "TargetPool", "TargetSettingGoal");
    in.append(CIMParamValue("WaitForCopyState",
                            args.Has("WaitForCopyState")
                                ? CIMValue(static_cast<Uint16>(SmisCall::Decimal(args.Text("WaitForCopyState"))))
                                : MakeCimNullVal(CIMTYPE_UINT16, false)));
    DEBUG_TRACE_NORMAL(label, "ModifySettingsDefineState method Parameters");
    DEBUG_TRACE_NORMAL(label, "Operation\t- %s", args.Text("Operation").c_str());
    DEBUG_TRACE_NORMAL(label, "SettingState\t- %s", GetObjectPathString(state).c_str());
    DEBUG_TRACE_NORMAL(label, "TargetElement\t- %s", targetText.empty() ? "" : GetObjectPathString(target).c_str());
    TraceNullTargets(*this, label, "%s\t- %s",
                     {"TargetGroup", "TargetPool", "TargetAccessPoint", "TargetElementCount", "TargetSettingGoal"});
    DEBUG_TRACE_NORMAL(label, "WaitForCopyState\t- %s", args.Text("WaitForCopyState").c_str());
    return InvokeStateMethod(call, "ModifySettingsDefineState", in, outParams);
  });
}

SmisResultCode SmisAction::ModifyListSettingsDefineState(TqCimConnection& conn, std::map<std::string, std::string>& map,
                                                         Array<CIMParamValue>& outParams) {
  SmisCall call(*this, conn, "SMIS::ModifyListSettingsDefineState", "ModifyListSettingsDefineState");
  const char* label = call.Label();
  SmisNamedArgs args(map);
  if (!HasEntries(*this, call, args, 3, kInvalidLine)) return kSmisInvalidParameter;
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    if (!UseReplicationService(*this, call, args, "ServicePath", "Class %s] for system [%s] not found"))
      return kSmisObjectNotFound;
    if (!args.Has("Operation")) {
      DEBUG_TRACE(label, "%s", kNoOperationLine);
      return kSmisInvalidParameter;
    }
    if (!args.Has("targetSyncData")) {
      DEBUG_TRACE(label, "%s", kNoSyncDataLine);
      return kSmisTooFewArguments;
    }
    const char sep = SmisNamedArgs::kListSeparator;
    Array<CIMObjectPath> states;
    Array<String> names = InputToStringArray(args.Text("targetSyncData"), sep);
    for (Uint32 i = 0; i < names.size(); ++i) {
      const std::string name = names[i].str();
      CIMObjectPath aspect = ByElementName(*this, call, "CIM_SynchronizationAspect", name);
      if (aspect.getClassName().isNull()) {
        DEBUG_TRACE(label, "Unable to fetch instance of Snap [%s]", name.c_str());
        return kSmisObjectNotFound;
      }
      CIMObjectPath state;
      SmisResultCode found =
          OnlySettingsState(*this, call, aspect,
                            "Target Snap has more than one relation to Source Element, something wrong here.", state);
      if (found != kSmisSuccess) return found;
      states.append(state);
    }
    const bool hasTargets = args.Given("targetElement");
    Array<CIMObjectPath> targets;
    if (hasTargets) {
      std::vector<std::string> pieces = StringToVector(args.Text("targetElement"), sep);
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        CIMObjectPath path;
        if (!GetVolumeObjectPath(conn, args.Text("SystemName"), pieces[i], path, call.Vendor()))
          return kSmisObjectNotFound;
        targets.append(path);
        DEBUG_TRACE_NORMAL(label, " Target Volume [%u]:[%s]", static_cast<unsigned>(i),
                           GetObjectPathString(path).c_str());
      }
    }
    // A WaitForCopyState of 0 counts as not given.
    const Uint16 wait = static_cast<Uint16>(SmisCall::Decimal(args.Text("WaitForCopyState")));
    const CIMValue nullReference = MakeCimNullVal(CIMTYPE_REFERENCE, false);

    Array<CIMParamValue> in;
    in.append(CIMParamValue("Operation", CIMValue(static_cast<Uint16>(SmisCall::Decimal(args.Text("Operation"))))));
    in.append(CIMParamValue("SettingsStates", CIMValue(states)));
    in.append(CIMParamValue("TargetElements", hasTargets ? CIMValue(targets) : nullReference));
    AppendNullTargets(*this, in, "TargetGroups", "TargetPools", "TargetSettingGoals");
    in.append(CIMParamValue("WaitForCopyState", wait != 0 ? CIMValue(wait) : MakeCimNullVal(CIMTYPE_UINT16, false)));
    in.append(CIMParamValue("ElementNames", args.Given("ElementNames")
                                                ? CIMValue(InputToStringArray(args.Text("ElementNames"), sep))
                                                : nullReference));
    if (call.Vendor() == TQ_VENDOR_EMC) in.append(CIMParamValue("EMCSynchronousAction", CIMValue(true)));
    DEBUG_TRACE_NORMAL(label, "ModifyListSettingsDefineState method Parameters");
    DEBUG_TRACE_NORMAL(label, "Operation\t[%s]", args.Text("Operation").c_str());
    DEBUG_TRACE_NORMAL(label, "TargetElements [%s]", hasTargets ? args.Text("targetElement").c_str() : "");
    TraceNullTargets(*this, label, "%s [%s]",
                     {"TargetGroups", "TargetPools", "TargetAccessPoint", "TargetElementCount", "TargetSettingGoals"});
    DEBUG_TRACE_NORMAL(label, "WaitForCopyState [%s]", wait != 0 ? args.Text("WaitForCopyState").c_str() : "");
    DEBUG_TRACE_NORMAL(label, "ElementNames [%s]", args.Given("ElementNames") ? args.Text("ElementNames").c_str() : "");
    return InvokeStateMethod(call, "ModifyListSettingsDefineState", in, outParams);
  });
}
