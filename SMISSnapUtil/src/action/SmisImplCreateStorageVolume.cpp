// Creating a volume in a storage pool: name, type, goal, size and pool, with the family's extras, the
// provider's job followed, and the new volume's path handed back.
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "SmisCall.h"
#include "SmisVolumeCreate.h"
#include "SmisVolumeParams.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using smisvolume::kCreateLabel;
using smisvolume::kCreateMethod;

namespace {

const char* const kNeed = "SystemName NewVolName PoolID Size(Bytes) [SettingID or \"null\"]";
const Uint16 kStorageVolume = 2, kThinStorageVolume = 5;

// Positions 2 to 4 read: the pool, the size and the optional goal.
struct VolumeRequest {
  CIMObjectPath pool;
  Uint64 size = 0;
  bool hasGoal = false;
  CIMObjectPath goal;
};

bool ParsePath(const std::string& text, CIMObjectPath& path) {
  try {
    path = CIMObjectPath(String(text));
    return !path.getClassName().isNull();
  } catch (const Exception&) {
    return false;
  }
}

// A byte count: decimal digits only, within 64 bits.
bool ParseSize(const std::string& text, Uint64& size) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  errno = 0;
  unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
  if (errno == ERANGE) return false;
  size = value;
  return true;
}

// False (traced) when a position cannot be read; nothing is sent then.
bool ReadRequest(SmisAction& action, const SmisArgs& args, VolumeRequest& request) {
  const char* bad = nullptr;
  if (!ParsePath(args[2], request.pool))
    bad = "PoolID";
  else if (!ParseSize(args[3], request.size))
    bad = "Size(Bytes)";
  else if ((request.hasGoal = SmisCall::IsGiven(args, 4)) && !ParsePath(args[4], request.goal))
    bad = "SettingID";
  if (!bad) return true;
  action.DEBUG_TRACE(kCreateLabel, "createvol: %s cannot be read", bad);
  action.DEBUG_TRACE(kCreateLabel, "need: %s\n", kNeed);
  return false;
}

Uint16 ElementType(TQ_PROVIDER_VENDOR vendor, const SmisArgs& args) {
  bool thinAsked = args.size() > 5 && args[5] == "1";
  if (thinAsked && (vendor == TQ_VENDOR_HP_3PAR || vendor == TQ_VENDOR_FUJITSU)) return kThinStorageVolume;
  return kStorageVolume;
}

CIMValue ReferenceOrNull(SmisAction& action, const CIMObjectPath& path, bool given) {
  return given ? CIMValue(path) : action.MakeCimNullVal(CIMTYPE_REFERENCE, false);
}

SmisResultCode Create(SmisAction& action, TqCimConnection& conn, SmisCall& call, const SmisArgs& args,
                      const VolumeRequest& request, std::string& newVolPath) {
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "%s: SystemName = %s", kCreateMethod, args[0].c_str());
  if (!call.FindConfigService(args[0])) return kSmisObjectNotFound;
  action.DEBUG_TRACE_NORMAL(kCreateLabel, "Service: %s", action.GetObjectPathString(call.Service()).c_str());

  const std::string& name = args[1];
  Array<CIMParamValue> in;
  in.append(CIMParamValue("ElementName",
                          name.empty() ? action.MakeCimNullVal(CIMTYPE_STRING, false) : CIMValue(String(name))));
  in.append(CIMParamValue("ElementType", CIMValue(ElementType(call.Vendor(), args))));
  in.append(CIMParamValue("Goal", ReferenceOrNull(action, request.goal, request.hasGoal)));
  in.append(CIMParamValue("Size", CIMValue(request.size)));
  in.append(CIMParamValue("InPool", CIMValue(request.pool)));
  in.append(CIMParamValue("TheElement", action.MakeCimNullVal(CIMTYPE_REFERENCE, false)));
  if (call.Vendor() == TQ_VENDOR_IBM_SVC) smisvolume::AppendIbmSvcParams(action, conn, args, in);

  SmisMethod method;
  method.name = kCreateMethod;
  method.serialize = true;
  SmisOutcomeRule rule;
  rule.job = SmisJobRule::kFailedIsState;
  rule.tries = 500;
  rule.seconds = 15;
  rule.readOnJob = true;
  rule.readOut = [&](Array<CIMParamValue>& out) { newVolPath = action.GetTargetElementHandle(out).toString().str(); };
  SmisResultCode result = call.Finish(call.Invoke(method, in), rule);
  if (result == kSmisSuccess && newVolPath.empty()) {
    const smisvolume::CreatedVolumeRequest created{args[0], name, request.size, action.VolumeParamsSource()};
    if (!smisvolume::FindCreatedVolume(action, call, created, newVolPath)) result = kSmisFailed;
  }
  if (result == kSmisSuccess &&
      (call.Vendor() == TQ_VENDOR_LSI || call.Vendor() == TQ_VENDOR_DCIM || call.Vendor() == TQ_VENDOR_NETAPP))
    smisvolume::AssignPreferredController(action, call, args, newVolPath);
  return result;
}

}  // namespace

SmisResultCode SmisAction::CreateStorageVolume(TqCimConnection& conn, SmisArgs& args, std::string& newVolPath) {
  SmisCall call(*this, conn, kCreateLabel, kCreateMethod);
  // The handlers' lines open with the method's name.
  call.UseNamedHandlerTexts(kCreateMethod, ": ", std::string(kCreateMethod) + ": Caught unknown Exception");
  if (!smisvolume::HasCreateVolArgs(*this, kCreateLabel, args, 4, kNeed)) return kSmisTooFewArguments;
  VolumeRequest request;
  if (!ReadRequest(*this, args, request)) return kSmisTooFewArguments;
  return call.Guarded(TQ_HANDLER_SITE, [&] { return Create(*this, conn, call, args, request, newVolPath); });
}
