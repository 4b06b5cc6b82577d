// Exposing volumes to host initiator ports with ExposePaths: the volumes join a view that already serves
// the ports where the array's family finds one, otherwise the array makes a new one.
#include "SmisCall.h"
#include "SmisHostConfig.h"
#include "SmisMasking.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using smismasking::Blanked;
using smismasking::IsNone;

namespace {

const char* const kOp = "ExposePaths";
const char* const kRetValLine = "%s: RetVal = %u (0x%x),  OutParams size = %u";

struct ExposeLists {
  Array<String> luns, initiators, devNums, targets;
  Array<Uint16> accesses;
};

ExposeLists ReadLists(TqCimUtil& util, const SmisArgs& args) {
  ExposeLists lists;
  auto strings = [&](std::size_t index) {
    return SmisCall::IsGiven(args, index) ? util.InputToStringArray(args[index], ',') : Array<String>();
  };
  lists.luns = strings(1);
  lists.initiators = strings(2);
  lists.devNums = strings(3);
  if (SmisCall::IsGiven(args, 4)) lists.accesses = util.InputToIntArray(args[4], ',');
  lists.targets = strings(5);
  return lists;
}

// The views already serving the ports, for the families whose views are kept per host.
Array<CIMObjectPath> ViewsOfPorts(TqCimUtil& util, TqCimConnection& conn, TQ_PROVIDER_VENDOR vendor,
                                  CIMObjectPath& system, Array<String>& ports) {
  switch (vendor) {
    case TQ_VENDOR_HP_EVA:
      return util.GetHPCtlrListByHwIDs(conn, system, ports);
    case TQ_VENDOR_LSI:
    case TQ_VENDOR_DCIM:
    case TQ_VENDOR_NETAPP:
      return util.GetLSICtlrListByHwIDs(conn, system, ports, false);
    case TQ_VENDOR_IBM_SVC:
      return util.GetIBMSVCCtlrListByHwIDs(conn, system, ports);
    case TQ_VENDOR_FUJITSU:
      return util.GetEternusCtlrListByHwIDs(conn, system, ports);
    default:
      return Array<CIMObjectPath>();
  }
}

// A list given per volume must hold one entry per volume.
bool PairsWithVolumes(TqCimUtil& util, const char* label, const char* what, Uint32 count, Uint32 volumes) {
  if (count == 0 || count == volumes) return true;
  util.DEBUG_TRACE(label, "%s array size mismatch with %s: %d not == %d", what, "Volume", static_cast<int>(count),
                   static_cast<int>(volumes));
  return false;
}

void TraceInput(TqCimUtil& util, const char* label, const std::string& systemName, const ExposeLists& lists) {
  util.DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", kOp, systemName.c_str());
  util.DEBUG_TRACE_NORMAL(label, "HBA ports: %s", Blanked(lists.initiators).c_str());
  util.DEBUG_TRACE_NORMAL(label, "LUNs: %s", Blanked(lists.luns).c_str());
  if (lists.devNums.size() > 0) util.DEBUG_TRACE_NORMAL(label, "DevNums: %s", Blanked(lists.devNums).c_str());
  if (lists.accesses.size() > 0) util.DEBUG_TRACE_NORMAL(label, "Device Access: %s", Blanked(lists.accesses).c_str());
  if (lists.targets.size() > 0) {
    util.DEBUG_TRACE_NORMAL(label, "Target Ports: ");
    util.DEBUG_TRACE_NORMAL(label, "Target Ports: %s", Blanked(lists.targets).c_str());
  }
}

Array<CIMParamValue> PathParams(TqCimUtil& util, const ExposeLists& lists) {
  Array<CIMParamValue> in;
  in.append(CIMParamValue("LUNames", CIMValue(lists.luns)));
  in.append(CIMParamValue("InitiatorPortIDs", smismasking::StringsOrNull(util, lists.initiators)));
  in.append(CIMParamValue("TargetPortIDs", smismasking::StringsOrNull(util, lists.targets)));
  in.append(CIMParamValue("DeviceNumbers", smismasking::StringsOrNull(util, lists.devNums)));
  in.append(CIMParamValue("DeviceAccesses", smismasking::AccessesOrNull(util, lists.accesses)));
  return in;
}

Array<CIMParamValue> WithViews(TqCimUtil& util, Array<CIMParamValue> in, const Array<CIMObjectPath>& views) {
  in.append(CIMParamValue("ProtocolControllers", smismasking::ViewsOrNull(util, views)));
  return in;
}

}  // namespace

SmisResultCode SmisAction::ExposePaths(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::ExposePaths", kOp);
  const char* label = call.Label();
  if (args.size() < 3) {
    DEBUG_TRACE(label, "%s: lunmap: Insufficient params specified, need:", kOp);
    DEBUG_TRACE(label,
                "\tSystemName LunNameList InitiatorPortList [DevNumList DevAccList TargetPortList ViewCtlrList]");
    DEBUG_TRACE(label, "\t\tDeviceAccess: 2 = rw, 3 = ro, 4 = none");
    DEBUG_TRACE(label, "\t\t\tLists are comma-delimited");
    return kSmisTooFewArguments;
  }
  ExposeLists lists = ReadLists(*this, args);
  call.SetGuardTexts(std::string(kOp) + " ", "", std::string(kOp) + ": Caught unknown Exception");
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, args[0]);
    if (IsNone(system)) return kSmisObjectNotFound;
    TQ_PROVIDER_VENDOR vendor = TQProviderVendor::GetVendorId(system);
    bool eternus = vendor == TQ_VENDOR_FUJITSU;

    std::vector<std::string> viewNames;
    Array<CIMObjectPath> views;
    if (SmisCall::IsGiven(args, 6)) {
      viewNames = StringToVector(args[6], ',');
    } else {
      views = ViewsOfPorts(*this, conn, vendor, system, lists.initiators);
      DEBUG_TRACE_NORMAL(label, "%s: ViewController List size [%d]", kOp, static_cast<int>(views.size()));
      if (views.size() == 0)
        DEBUG_TRACE_NORMAL(label,
                           "No views found for the HBA port(s) [%s], going to create new view. This method may fail",
                           args[2].c_str());
    }
    TraceInput(*this, label, args[0], lists);
    Uint32 volumeCount = lists.luns.size();
    if (!PairsWithVolumes(*this, label, "DevNum", lists.devNums.size(), volumeCount) ||
        !PairsWithVolumes(*this, label, "DeviceAccess", lists.accesses.size(), volumeCount))
      return kSmisInvalidParameter;

    CIMObjectPath service = GetCtlrservicePath(conn, system);
    if (IsNone(service)) return kSmisObjectNotFound;
    call.UseService(service);
    if (!viewNames.empty()) {
      DEBUG_TRACE_NORMAL(label, "Getting view controllers from the arguments passed in");
      views = GetSystemObjPathListByPropList(conn, smismasking::kProtocolController, "DeviceID", viewNames, args[0]);
    }
    // ETERNUS maps each further view by a call of its own after the first succeeded.
    Array<CIMObjectPath> allViews;
    if (views.size() > 0) {
      DEBUG_TRACE_NORMAL(label, " Clearing initiator port list as requirement by %s", kOp);
      lists.initiators.clear();
      if (eternus) {
        allViews = views;
        lists.targets.clear();
        lists.devNums.clear();
      }
      if (views.size() > 1) {
        DEBUG_TRACE_NORMAL(label, "Trimming controller list size [%d] to [1]", static_cast<int>(views.size()));
        views.remove(1, views.size() - 1);
      }
    }
    Array<CIMParamValue> pathParams = PathParams(*this, lists);
    Array<CIMParamValue> in = pathParams;
    if (vendor == TQ_VENDOR_IBM_SVC)
      in.append(CIMParamValue("Force", CIMValue(Boolean(smismasking::ForceOn("IBMSVC_DISABLE_FORCE_MAP")))));
    in = WithViews(*this, in, views);

    SmisMethod method;
    method.name = kOp;
    method.retValFormat = kRetValLine;
    unsigned retVal = call.Invoke(method, in);
    SmisResultCode result;
    if (retVal != kSmisSuccess && retVal != kSmisJobStarted && views.size() == 0) {
      result = kSmisInitiatorsRefused;
      PrintParamSet(call.Out(), true);
    } else {
      SmisOutcomeRule rule;
      rule.job = SmisJobRule::kStartedIsFailure;
      result = call.Finish(retVal, rule);
    }
    if (eternus && result == kSmisSuccess && allViews.size() > 1) {
      DEBUG_TRACE(label, "%s: Making additional mapping for [%d] target ports", kOp,
                  static_cast<int>(allViews.size() - 1));
      for (Uint32 i = 1; i < allViews.size(); ++i) {
        Array<CIMObjectPath> one;
        one.append(allViews[i]);
        call.Invoke(method, WithViews(*this, pathParams, one));
        PrintParamSet(call.Out(), true);
      }
    }
    return result;
  });
}
