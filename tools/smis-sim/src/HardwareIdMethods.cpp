// Methods of the hardware-ID management service: hosts (collections of initiator ports).
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "smis-sim/ReturnCodes.h"

using namespace Pegasus;

namespace smissim {

namespace {

using namespace returnCode;

struct PortId {
  bool iscsi = false;
  std::string port;
};

// Reads `<Class>.InstanceID="<prefix><FC-|iSCSI-><port>"`; false when the text is not such a path.
bool parseHardwareId(const std::string& text, const StorageArray& array, bool checkPrefix, PortId& id) {
  std::string instanceId;
  try {
    CIMObjectPath path{String(text)};
    if (!ClassHierarchy::instance().isA(path.getClassName().getString().str(), "CIM_StorageHardwareID")) return false;
    for (const CIMKeyBinding& key : path.getKeyBindings())
      if (lowerCase(key.getName().getString().str()) == "instanceid") instanceId = key.getValue().str();
  } catch (const Exception&) {
    return false;
  }
  for (const std::string prefix : {"HP_3PAR:", "3PAR:"}) {
    if (instanceId.compare(0, prefix.size(), prefix) != 0) continue;
    if (checkPrefix && prefix != array.prefix()) return false;
    std::string rest = instanceId.substr(prefix.size());
    for (const std::string kind : {"FC-", "iSCSI-"}) {
      if (rest.compare(0, kind.size(), kind) == 0 && rest.size() > kind.size()) {
        id.iscsi = kind == "iSCSI-";
        id.port = rest.substr(kind.size());
        return true;
      }
    }
  }
  return false;
}

// Every text must name a hardware ID; ports held by another host refuse the whole call.
Uint32 addPorts(MethodCall& call, const CIMObjectPath& host, const std::vector<std::string>& texts) {
  std::vector<PortId> ids;
  const CIMInstance* hostInstance = call.model.store().find(host);
  std::string hostName = stringProperty(*hostInstance, "ElementName");
  for (const std::string& text : texts) {
    PortId id;
    if (!parseHardwareId(text, call.array, call.model.settings().checkHardwareIdPrefix, id)) return kInvalidHardwareId;
    if (const CIMInstance* existing = call.model.findHardwareId(call.array, id.port)) {
      std::string owner = stringProperty(*existing, "ElementName");
      if (!owner.empty() && owner != hostName) return kIdsCannotShare;
    }
    ids.push_back(id);
  }
  for (const PortId& id : ids) call.model.addHardwareIdToHost(call.array, host, id.iscsi, id.port);
  return 0;
}

MethodOutcome createCollection(MethodCall& call) {
  std::string name = call.args.string("ElementName").value_or("");
  if (!isValidName(name)) return MethodOutcome::code(kInvalidParameter);
  if (call.model.findHost(call.array, name)) return MethodOutcome::code(kFailed);
  CIMObjectPath host = call.model.addHost(call.array, name);
  if (auto texts = call.args.strings("HardwareIDs")) {
    Uint32 code = addPorts(call, host, *texts);
    if (code != 0) {
      call.model.store().remove(host);
      return MethodOutcome::code(code);
    }
  }
  MethodOutcome outcome;
  outcome.addReference("Collection", host, call.model);
  return finishTask(call, "CreateHardwareIDCollection", false, {}, nullptr, outcome);
}

MethodOutcome addToCollection(MethodCall& call) {
  auto collection = call.args.reference("Collection");
  auto texts = call.args.strings("HardwareIDs");
  if (!collection || !texts) return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* host = call.model.store().find(*collection);
  if (!host || !ClassHierarchy::instance().isA(host->getClassName().getString().str(), "CIM_SystemSpecificCollection"))
    return MethodOutcome::code(kInvalidParameter);
  CIMObjectPath hostPath = host->getPath();
  Uint32 code = addPorts(call, hostPath, *texts);
  if (code != 0) return MethodOutcome::code(code);
  return finishTask(call, "AddHardwareIDsToCollection", false, {}, nullptr);
}

}  // namespace

MethodOutcome runHardwareIdMethod(MethodCall& call, const std::string& method) {
  const std::string name = lowerCase(method);
  if (name == "createhardwareidcollection") return createCollection(call);
  if (name == "addhardwareidstocollection") return addToCollection(call);
  throw CIMException(CIM_ERR_METHOD_NOT_FOUND, String(method));
}

}  // namespace smissim
