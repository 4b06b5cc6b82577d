// Methods of the controller configuration service: exposing volumes to hosts and hiding them again.
#include <cstdlib>
#include "smis-sim/ReturnCodes.h"

#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "NoCase.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

using namespace returnCode;

namespace {

constexpr Uint16 kReadWrite = 2, kReadOnly = 3;

bool nonEmpty(const std::optional<std::vector<std::string>>& list) { return list && !list->empty(); }

// A volume of this array by Name (its WWN, which is also its DeviceID).
const CIMInstance* volumeByName(MethodCall& call, const std::string& name) {
  const CIMInstance* volume = call.model.findVolumeByWwn(name);
  return volume && stringProperty(*volume, "SystemName") == call.array.systemName ? volume : nullptr;
}

bool parseLun(const std::string& text, unsigned& lun) {
  if (text.empty() || text.size() > 5) return false;
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (*end != '\0' || value > 16383) return false;
  lun = static_cast<unsigned>(value);
  return true;
}

MethodOutcome exposeToHosts(MethodCall& call) {
  const MethodArgs& args = call.args;
  auto luNames = args.strings("LUNames");
  auto hostNames = args.strings("HostNames");
  auto accesses = args.uint16s("DeviceAccesses");
  if (!nonEmpty(luNames) || !nonEmpty(hostNames) || !accesses) return MethodOutcome::code(kInvalidParameter);
  if (auto controllers = args.references("ProtocolControllers"); controllers && !controllers->empty())
    return MethodOutcome::code(kInvalidParameter);  // only new host views can be made
  // Both spellings of the target-port list are taken; null or empty means every port (host-sees).
  if (nonEmpty(args.strings("TargetPortLPIDs")) || nonEmpty(args.strings("TargetPortIDs")))
    return MethodOutcome::code(kInvalidTargetPort);

  LunRequest request;
  if (Uint32 code = readLunRequest(call, *luNames, accesses, args.strings("DeviceNumbers"), request))
    return MethodOutcome::code(code);
  std::vector<CIMObjectPath> hosts;
  for (const std::string& hostName : *hostNames) {
    const CIMInstance* host = call.model.findHost(call.array, hostName);
    if (!host) return MethodOutcome::code(kInvalidHostName);
    hosts.push_back(host->getPath());
  }
  if (Uint32 code = exposeToEach(call, hosts, request)) return MethodOutcome::code(code);
  return finishTask(call, "ExposeLUsToStorageHardwareIDCollection", false, {}, nullptr);
}

// The one view named in ProtocolControllers, or nothing.
std::optional<CIMObjectPath> singleView(MethodCall& call) {
  auto controllers = call.args.references("ProtocolControllers");
  if (!controllers || controllers->size() != 1) return std::nullopt;
  const CIMInstance* view = call.model.store().find((*controllers)[0]);
  if (!view || !ClassHierarchy::instance().isA(view->getClassName().getString().str(), "CIM_SCSIProtocolController"))
    return std::nullopt;
  return view->getPath();
}

MethodOutcome hideFromView(MethodCall& call, const char* method, bool hostSeesAllowed) {
  const MethodArgs& args = call.args;
  auto luNames = args.strings("LUNames");
  if (!nonEmpty(luNames) || nonEmpty(args.strings("InitiatorPortIDs")) || nonEmpty(args.strings("TargetPortIDs")))
    return MethodOutcome::code(kInvalidParameter);
  auto view = singleView(call);
  if (!view) return MethodOutcome::code(kInvalidParameter);
  // Every view of this provider is a host-sees view.
  if (!hostSeesAllowed) return MethodOutcome::code(kFailed);
  std::vector<CIMObjectPath> volumes;
  for (const std::string& name : *luNames) {
    const CIMInstance* volume = volumeByName(call, name);
    if (!volume || !call.model.viewHoldsVolume(*view, volume->getPath()))
      return MethodOutcome::code(kInvalidLogicalUnit);
    volumes.push_back(volume->getPath());
  }
  for (const CIMObjectPath& volume : volumes) call.model.hide(*view, volume);
  return finishTask(call, method, false, {}, nullptr);
}

}  // namespace

Uint32 readLunRequest(MethodCall& call, const std::vector<std::string>& luNames,
                      const std::optional<std::vector<Uint16>>& accesses,
                      const std::optional<std::vector<std::string>>& numbers, LunRequest& request) {
  if (luNames.empty() || (accesses && accesses->size() != luNames.size()) ||
      (numbers && numbers->size() != luNames.size()))
    return kInvalidParameter;
  for (std::size_t i = 0; i < luNames.size(); ++i) {
    const CIMInstance* volume = volumeByName(call, luNames[i]);
    if (!volume) return kInvalidLogicalUnit;
    Uint16 own = uint16Property(*volume, "Access", 3) == 1 ? kReadOnly : kReadWrite;
    Uint16 wanted = accesses ? (*accesses)[i] : own;
    if (wanted != own) return kInvalidPermission;
    unsigned lun = 0;
    if (numbers && !parseLun((*numbers)[i], lun)) return kInvalidParameter;
    request.luns.push_back(numbers ? static_cast<int>(lun) : -1);
    request.volumes.push_back(volume->getPath());
    request.accesses.push_back(wanted);
  }
  return 0;
}

Uint32 exposeToEach(MethodCall& call, const std::vector<CIMObjectPath>& hosts, const LunRequest& request) {
  for (const CIMObjectPath& host : hosts) {
    CIMObjectPath view = call.model.viewOf(host);
    if (view.getClassName().isNull()) continue;
    for (std::size_t i = 0; i < request.volumes.size(); ++i)
      if (request.luns[i] >= 0 && call.model.lunInUse(view, static_cast<unsigned>(request.luns[i])) &&
          !call.model.viewHoldsVolume(view, request.volumes[i]))
        return kLunInUse;
  }
  for (const CIMObjectPath& host : hosts)
    for (std::size_t i = 0; i < request.volumes.size(); ++i) {
      CIMObjectPath view = call.model.viewOf(host);
      if (!view.getClassName().isNull() && call.model.viewHoldsVolume(view, request.volumes[i]))
        continue;  // already exposed to this host
      call.model.expose(call.array, host, request.volumes[i], request.luns[i], request.accesses[i]);
    }
  return 0;
}

MethodOutcome runControllerConfigurationMethod(MethodCall& call, const std::string& method) {
  const std::string name = lowerCase(method);
  if (name == "exposelustostoragehardwareidcollection") return exposeToHosts(call);
  if (name == "exposepaths") return exposePaths(call);
  if (name == "hidepaths") return hideFromView(call, "HidePaths", !call.array.hidePathsRefusesHostSees());
  if (name == "hidelusfromstoragehardwareidcollection")
    return hideFromView(call, "HideLUsFromStorageHardwareIDCollection", true);
  throw CIMException(CIM_ERR_METHOD_NOT_FOUND, String(method));
}

}  // namespace smissim
