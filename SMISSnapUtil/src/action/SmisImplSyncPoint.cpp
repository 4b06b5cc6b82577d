// Synchronization aspects made through the replication service: one for a volume or a replication group
// (the group wins when both are found), or one per volume of a list.
#include <cstdlib>

#include "SmisNamedInputCall.h"
#include "SmisReplicationArgs.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using namespace smisnamedinput;

namespace {

const char* const kInsufficientLine = "%s: Validation Failed: Insufficient Parameters";
const char* const kNoSyncTypeLine = "SyncType is not provided. Cannot continue as it is required.";
const int kDefaultPolls = 10;

CIMValue StringOrNull(SmisAction& action, const SmisNamedArgs& args, const char* key) {
  if (!args.Given(key)) return action.MakeCimNullVal(CIMTYPE_STRING, false);
  return CIMValue(String(args.Text(key)));
}

void AddServiceAccessPoint(SmisAction& action, const SmisNamedArgs& args, Array<CIMParamValue>& in) {
  if (args.Has("ServiceAccessPoint"))
    in.append(CIMParamValue("ServiceAccessPoint", action.MakeCimNullVal(CIMTYPE_REFERENCE, false)));
}

const char* const kReturnedLine = "%s: Method returned, retVal = %u (0x%x)";

// The answer is traced only when it is 0 (a job and a refusal have lines of their own).
SmisMethod AspectMethod(const char* name) {
  SmisMethod method;
  method.name = name;
  method.retValLine = SmisMethod::kNoRetValLine;
  return method;
}

// A job followed `polls` times a second apart, its final state the result. A refusal records nothing on
// the device, whatever the provider.
SmisOutcomeRule WatchedJob(int polls) {
  SmisOutcomeRule rule;
  rule.job = SmisJobRule::kFailedIsState;
  rule.tries = polls;
  rule.seconds = 1;
  rule.recordsDeviceError = false;
  return rule;
}

}  // namespace

SmisResultCode SmisAction::CreateSynchronizationAspect(TqCimConnection& conn, std::map<std::string, std::string>& map,
                                                       Array<CIMParamValue>& outParams) {
  SmisCall call(*this, conn, "SMIS::CreateSynchronizationAspect", "CreateSynchronizationAspect");
  const char* label = call.Label();
  SmisNamedArgs args(map);
  if (!HasEntries(*this, call, args, 3, kInsufficientLine)) return kSmisTooFewArguments;
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    if (!UseReplicationService(*this, call, args, nullptr, "Class %s for system %s not found"))
      return kSmisObjectNotFound;
    if (!args.Has("SyncType")) {
      DEBUG_TRACE(label, "%s", kNoSyncTypeLine);
      return kSmisInvalidParameter;
    }
    const std::string& systemName = args.Text("SystemName");
    CIMObjectPath element, group;
    const bool hasElement = args.Has("SourceElement");
    if (hasElement) {
      const std::string& text = args.Text("SourceElement");
      if (!call.FindLun(text, "source volume", element, systemName)) {
        return kSmisObjectNotFound;
      }
      DEBUG_TRACE_NORMAL(label, "SrcVol: %s", GetObjectPathString(element).c_str());
    }
    const bool hasGroup = args.Given("SourceGroup");
    if (hasGroup) {
      const std::string& text = args.Text("SourceGroup");
      if (!tqcimutil::ParseInstancePath(text, group)) {
        DEBUG_TRACE(label, "Supplied source group is not a object path, assuming Element Name");
        String groupClass("CIM_ReplicationGroup");
        group = GetObjPathByPropName(conn, groupClass, String("ElementName"), String(text));
      }
      if (group.getClassName().isNull()) {
        DEBUG_TRACE(label, " Replication Group %s not found", text.c_str());
        return kSmisObjectNotFound;
      }
    }

    const CIMValue nullReference = MakeCimNullVal(CIMTYPE_REFERENCE, false);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("Name", StringOrNull(*this, args, "Name")));
    in.append(CIMParamValue("SyncType", CIMValue(static_cast<Uint16>(SmisCall::Decimal(args.Text("SyncType"))))));
    in.append(CIMParamValue("Mode", Uint16OrNull(*this, args, "mode")));
    // A given consistency belongs to a group: the element form sends none.
    if (hasGroup) {
      in.append(CIMParamValue("SourceElement", nullReference));
      in.append(CIMParamValue("SourceGroup", CIMValue(group)));
      in.append(CIMParamValue("Consistency", Uint16OrNull(*this, args, "consistency")));
    } else if (hasElement) {
      in.append(CIMParamValue("SourceElement", CIMValue(element)));
      in.append(CIMParamValue("SourceGroup", nullReference));
      in.append(CIMParamValue("Consistency", MakeCimNullVal(CIMTYPE_UINT16, false)));
    }
    AddServiceAccessPoint(*this, args, in);

    DEBUG_TRACE_NORMAL(label, "CreateSynchronizationAspect Parameters");
    DEBUG_TRACE_NORMAL(label, "ElementName   - %s", args.Given("Name") ? args.Text("Name").c_str() : "");
    DEBUG_TRACE_NORMAL(label, "SyncType     - %d", SmisCall::Decimal(args.Text("SyncType")));
    DEBUG_TRACE_NORMAL(label, "Mode     - %s", args.Given("mode") ? args.Text("mode").c_str() : "");
    DEBUG_TRACE_NORMAL(label, "SourceElement - %s", hasElement ? GetObjectPathString(element).c_str() : "");
    DEBUG_TRACE_NORMAL(label, "SourceGroup   - %s:", hasGroup ? GetObjectPathString(group).c_str() : "None");
    DEBUG_TRACE_NORMAL(label, "ServiceAccessPoint   - %s:", "NULL (always)");
    // Outside the group form the group and its consistency show "None"; inside it an absent value is empty.
    DEBUG_TRACE_NORMAL(label, "Consistency   - %s:",
                       !hasGroup                   ? "None"
                       : args.Given("consistency") ? args.Text("consistency").c_str()
                                                   : "");
    DEBUG_TRACE_NORMAL(label, "Replication Setting data - %s",
                       args.Given("replicationSettingData") ? args.Text("replicationSettingData").c_str() : "");

    // Only EMC providers' jobs are followed; elsewhere a started job is left to the array.
    SmisOutcomeRule rule = WatchedJob(kDefaultPolls);
    if (call.Vendor() != TQ_VENDOR_EMC) rule.job = SmisJobRule::kNotWatched;
    return InvokeAndFinish(call, AspectMethod("CreateSynchronizationAspect"), in, rule, outParams, kReturnedLine);
  });
}

SmisResultCode SmisAction::CreateListSynchronizationAspect(TqCimConnection& conn,
                                                           std::map<std::string, std::string>& map,
                                                           Array<CIMParamValue>& outParams) {
  SmisCall call(*this, conn, "SMIS::CreateListSynchronizationAspect", "CreateListSynchronizationAspect");
  const char* label = call.Label();
  SmisNamedArgs args(map);
  if (!HasEntries(*this, call, args, 3, kInsufficientLine)) return kSmisTooFewArguments;
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    if (!UseReplicationService(*this, call, args, "ServicePath", "Class [%s] for system [%s] not found"))
      return kSmisObjectNotFound;
    const char sep = SmisNamedArgs::kListSeparator;
    const CIMValue names = args.Given("Names") ? CIMValue(InputToStringArray(args.Text("Names"), sep))
                                               : MakeCimNullVal(CIMTYPE_STRING, true);
    const bool hasElements = args.Has("SourceElements");
    Array<CIMObjectPath> elements;
    if (hasElements) {
      for (const std::string& item : StringToVector(args.Text("SourceElements"), sep)) {
        CIMObjectPath path;
        if (!GetVolumeObjectPath(conn, args.Text("SystemName"), item, path, call.Vendor())) return kSmisObjectNotFound;
        elements.append(path);
      }
    }
    if (!args.Has("SyncType")) {
      DEBUG_TRACE(label, "%s", kNoSyncTypeLine);
      return kSmisInvalidParameter;
    }

    Array<CIMParamValue> in;
    in.append(CIMParamValue("Names", names));
    in.append(CIMParamValue("SyncType", CIMValue(static_cast<Uint16>(SmisCall::Decimal(args.Text("SyncType"))))));
    in.append(CIMParamValue("Mode", Uint16OrNull(*this, args, "Mode")));
    if (hasElements) in.append(CIMParamValue("SourceElements", CIMValue(elements)));
    if (hasElements || args.Given("Consistency"))
      in.append(CIMParamValue("Consistency", Uint16OrNull(*this, args, "Consistency")));
    AddServiceAccessPoint(*this, args, in);

    DEBUG_TRACE_NORMAL(label, "CreateListSynchronizationAspect Parameters");
    DEBUG_TRACE_NORMAL(label, "SyncType [%d]", SmisCall::Decimal(args.Text("SyncType")));
    DEBUG_TRACE_NORMAL(label, "Mode [%s]", args.Given("Mode") ? args.Text("Mode").c_str() : "");
    DEBUG_TRACE_NORMAL(label, "ServiceAccessPoint [%s]", "NULL (always)");
    DEBUG_TRACE_NORMAL(label, "Consistency [%s]",
                       args.Given("Consistency") ? args.Text("Consistency").c_str() : "None");
    DEBUG_TRACE_NORMAL(label, "ReplicationSettingData [%s]",
                       args.Given("replicationSettingData") ? args.Text("replicationSettingData").c_str() : "");

    const int asked = SmisCall::Decimal(args.Text("WatchJobRetryAttempts"));
    return InvokeAndFinish(call, AspectMethod("CreateListSynchronizationAspect"), in,
                           WatchedJob(asked > kDefaultPolls ? asked : kDefaultPolls), outParams, kReturnedLine);
  });
}
