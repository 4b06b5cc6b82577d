// ExposePaths of the controller configuration service: volumes to the host that owns the given initiator
// ports (its view made on first use), or into one named view. Only host-sees exposures are made: target
// ports are refused.
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "ModelHelpers.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

using namespace returnCode;

namespace {

bool given(const std::optional<std::vector<std::string>>& list) { return list && !list->empty(); }

// The one host every port belongs to; nothing when a port is unknown, in no host, or the ports span hosts.
std::optional<CIMObjectPath> hostOfPorts(MethodCall& call, const std::vector<std::string>& ports) {
  std::string owner;
  for (const std::string& port : ports) {
    const CIMInstance* id = call.model.findHardwareId(call.array, port);
    std::string name = id ? stringProperty(*id, "ElementName") : "";
    if (name.empty() || (!owner.empty() && name != owner)) return std::nullopt;
    owner = name;
  }
  const CIMInstance* host = call.model.findHost(call.array, owner);
  if (!host) return std::nullopt;
  return host->getPath();
}

// The host whose view this is: the host holding the view's privilege.
std::optional<CIMObjectPath> hostOfView(MethodCall& call, const CIMObjectPath& viewPath) {
  const CIMInstance* view = call.model.store().find(viewPath);
  if (!view || !ClassHierarchy::instance().isA(view->getClassName().getString().str(), "CIM_SCSIProtocolController"))
    return std::nullopt;
  for (const CIMInstance* host : call.model.store().enumerate("TPD_StorageHardwareIDCollection"))
    if (identifiedWithArray(*host, call.array) &&
        identityOf(call.model.viewOf(host->getPath())) == identityOf(view->getPath()))
      return host->getPath();
  return std::nullopt;
}

}  // namespace

MethodOutcome exposePaths(MethodCall& call) {
  const MethodArgs& args = call.args;
  auto luNames = args.strings("LUNames");
  auto initiators = args.strings("InitiatorPortIDs");
  auto controllers = args.references("ProtocolControllers");
  bool toView = controllers && !controllers->empty();
  if (!given(luNames) || toView == given(initiators) || (toView && controllers->size() != 1))
    return MethodOutcome::code(kInvalidParameter);
  if (given(args.strings("TargetPortIDs"))) return MethodOutcome::code(kInvalidTargetPort);

  LunRequest request;
  if (Uint32 code =
          readLunRequest(call, *luNames, args.uint16s("DeviceAccesses"), args.strings("DeviceNumbers"), request))
    return MethodOutcome::code(code);
  std::optional<CIMObjectPath> host = toView ? hostOfView(call, (*controllers)[0]) : hostOfPorts(call, *initiators);
  if (!host) return MethodOutcome::code(toView ? kInvalidParameter : kInvalidHostName);
  if (Uint32 code = exposeToEach(call, {*host}, request)) return MethodOutcome::code(code);
  return finishTask(call, "ExposePaths", false, {}, nullptr);
}

}  // namespace smissim
