// Hiding volumes from the host initiators that see them with HidePaths: the views that expose them are
// found first; nothing is sent when there is none.
#include "SmisCall.h"
#include "SmisMasking.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using smismasking::Blanked;
using smismasking::IsNone;

namespace {

const char* const kOp = "HidePaths";

struct HideLists {
  Array<String> volumes, initiators, targets, volumePaths;
  std::vector<std::string> viewNames;
};

HideLists ReadLists(TqCimUtil& util, const SmisArgs& args) {
  HideLists lists;
  auto strings = [&](std::size_t index) {
    return SmisCall::IsGiven(args, index) ? util.InputToStringArray(args[index], ',') : Array<String>();
  };
  lists.volumes = strings(1);
  lists.initiators = strings(2);
  lists.targets = strings(3);
  if (SmisCall::IsGiven(args, 4)) lists.viewNames = util.StringToVector(args[4], ',');
  if (SmisCall::IsGiven(args, 5)) lists.volumePaths.append(String(args[5]));
  return lists;
}

void TraceInput(TqCimUtil& util, const char* label, const std::string& systemName, const HideLists& lists) {
  util.DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", kOp, systemName.c_str());
  util.DEBUG_TRACE_NORMAL(label, "Volumes: size [%d] %s", static_cast<int>(lists.volumes.size()),
                          Blanked(lists.volumes).c_str());
  if (lists.initiators.size() > 0)
    util.DEBUG_TRACE_NORMAL(label, "HBA ports(%d): %s", static_cast<int>(lists.initiators.size()),
                            Blanked(lists.initiators).c_str());
  if (lists.targets.size() > 0) util.DEBUG_TRACE_NORMAL(label, "Target Ports: %s", Blanked(lists.targets).c_str());
  util.DEBUG_TRACE_NORMAL(label, "Volume paths: size [%d] %s", static_cast<int>(lists.volumePaths.size()),
                          Blanked(lists.volumePaths).c_str());
}

Array<CIMParamValue> PathParams(TqCimUtil& util, const HideLists& lists) {
  Array<CIMParamValue> in;
  in.append(CIMParamValue("LUNames", CIMValue(lists.volumes)));
  in.append(CIMParamValue("InitiatorPortIDs", smismasking::StringsOrNull(util, lists.initiators)));
  in.append(CIMParamValue("TargetPortIDs", smismasking::StringsOrNull(util, lists.targets)));
  return in;
}

}  // namespace

SmisResultCode SmisAction::HidePaths(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::HidePaths", kOp);
  const char* label = call.Label();
  if (args.size() < 2) {
    DEBUG_TRACE(label, "%s : unmaplun: insufficient args specified, need:", kOp);
    DEBUG_TRACE(label, "\tSystemName VolNameList [InitiatorPortList TargetPortList ViewCtlrList]");
    DEBUG_TRACE(label, "\t\tLists are comma-delimited");
    return kSmisTooFewArguments;
  }
  HideLists lists = ReadLists(*this, args);
  TraceInput(*this, label, args[0], lists);
  call.SetGuardTexts(std::string(kOp) + ": ", std::string(kOp) + ": ",
                     std::string(kOp) + " : Caught unknown exception");
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, args[0]);
    if (IsNone(system)) return kSmisObjectNotFound;
    Array<CIMObjectPath> views = FindViewsToHide(conn, label, system, args[0], lists.volumes, lists.volumePaths,
                                                 lists.initiators, lists.viewNames);
    if (views.size() == 0) {
      DEBUG_TRACE(label, "Can not unmap the volume, not mapped to the host");
      return kSmisMappingNotFound;
    }
    CIMObjectPath service = GetCtlrservicePath(conn, system);
    if (IsNone(service)) return kSmisObjectNotFound;
    call.UseService(service);
    bool eternus = call.Vendor() == TQ_VENDOR_FUJITSU;
    // ETERNUS hides from each further view by a call of its own after the first succeeded; it takes
    // neither initiators nor target ports.
    Array<CIMObjectPath> allViews;
    lists.initiators.clear();
    if (eternus) {
      allViews = views;
      lists.targets.clear();
    }
    if (views.size() > 1) {
      DEBUG_TRACE_NORMAL(label, "Trimming controller list size [%d] to [1]", static_cast<int>(views.size()));
      views.remove(1, views.size() - 1);
    }
    Array<CIMParamValue> pathParams = PathParams(*this, lists);
    Array<CIMParamValue> in = pathParams;
    if (call.Vendor() == TQ_VENDOR_IBM_SVC)
      in.append(CIMParamValue("Force", CIMValue(Boolean(smismasking::ForceOn("IBMSVC_DISABLE_FORCE_UNMAP")))));
    in.append(CIMParamValue("ProtocolControllers", CIMValue(views)));

    SmisMethod method;
    method.name = kOp;
    method.retValFormat = "%s : RetVal = %u (0x%x),  OutParams size = %u";
    SmisOutcomeRule rule;
    rule.job = SmisJobRule::kStartedIsFailure;
    rule.failedLine = "%s : Failed...";
    SmisResultCode result = call.Finish(call.Invoke(method, in), rule);
    if (!eternus || result != kSmisSuccess || allViews.size() <= 1) return result;

    DEBUG_TRACE(label, "%s: Making additional unmapping for [%d] target ports", kOp,
                static_cast<int>(allViews.size() - 1));
    method.retValFormat = "%s: RetVal = %u (0x%x),  OutParams size = %u";
    for (Uint32 i = 1; i < allViews.size(); ++i) {
      Array<CIMParamValue> further = pathParams;
      Array<CIMObjectPath> one;
      one.append(allViews[i]);
      further.append(CIMParamValue("ProtocolControllers", CIMValue(one)));
      unsigned retVal = call.Invoke(method, further);
      if (retVal != kSmisSuccess) result = retVal;
      PrintParamSet(call.Out(), true);
    }
    return result;
  });
}

Array<CIMObjectPath> SmisAction::FindViewsToHide(TqCimConnection& conn, const char* label, CIMObjectPath& system,
                                                 const std::string& systemName, Array<String>& volumes,
                                                 Array<String>& volumePaths, Array<String>& initiators,
                                                 std::vector<std::string>& viewNames) {
  // Views named by the caller are the system's views of those DeviceIDs.
  if (!viewNames.empty())
    return GetSystemObjPathListByPropList(conn, smismasking::kProtocolController, "DeviceID", viewNames, systemName);
  Array<CIMObjectPath> views;
  if (volumes.size() == 1 && volumePaths.size() == 1) {
    DEBUG_TRACE_NORMAL(label, "Controller paths processing with volume path list");
    views = GetCtlrPathList(conn, system, volumePaths, initiators);
  } else {
    DEBUG_TRACE_NORMAL(label, "Controller paths processing with volume name list");
    views = GetCtlrPathList(conn, system, volumes, initiators);
  }
  DEBUG_TRACE_NORMAL(label, "HidePaths : viewCtlrList size [%d]", static_cast<int>(views.size()));
  if (views.size() > 0) DEBUG_TRACE_NORMAL(label, "HidePaths : viewCtlr %s", views[0].toString().str().c_str());
  return views;
}
