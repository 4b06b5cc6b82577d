// What the ETERNUS target choice asks of one candidate volume: whether it is free, whether a device group
// holds it, and the trace of a candidate list.
#include "TqCimConnection.h"
#include "action/SmisCall.h"

using namespace Pegasus;

namespace {

const unsigned kAvailable = 0, kTaken = 1;

std::string ListText(const std::string& title, const std::vector<std::string>& items) {
  std::string text = title + " (";
  for (const std::string& item : items) text += item + ", ";
  return text + ")";
}

}  // namespace

bool SmisAction::IsLunAvailable(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::IsLunAvailable", "IsLunAvailable");
  const char* label = call.Label();
  if (args.size() < 2) return false;
  call.UsePlainUnknownText();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    String volumeClass("CIM_StorageVolume");
    CIMObjectPath volume = GetObjPathByPropName(conn, volumeClass, String("Name"), String(args[1]));
    if (volume.getClassName().isNull()) return kTaken;
    Array<CIMObjectPath> syncs =
        conn.Client().referenceNames(call.NameSpace(), volume, CIMName("CIM_StorageSynchronized"), String::EMPTY);
    DEBUG_TRACE(label, "Sync paths size [%d] for target dev [%s]", static_cast<int>(syncs.size()), args[1].c_str());
    if (syncs.size() > 0) {
      DEBUG_TRACE_NORMAL(label, "Storage Volume [%s] is a target of another copy operation ", args[1].c_str());
      return kTaken;
    }
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, args[0]);
    if (system.getClassName().isNull()) return kTaken;
    Array<CIMObjectPath> volumes;
    volumes.append(volume);
    Array<String> noPorts;
    if (GetctlrPathListByAssn(conn, system, volumes, noPorts).size() > 0) {
      DEBUG_TRACE_NORMAL(label, "Storage Volume [%s] mapped to another host", args[1].c_str());
      return kTaken;
    }
    return kAvailable;
  }) == kAvailable;
}

SmisResultCode SmisAction::filterLunsByDG(TqCimConnection& conn, SmisArgs& args, Array<CIMInstance>& allocations,
                                          std::vector<_EternusLun>& candidates, std::vector<std::string>& uids) {
  (void)conn;
  const char* label = "SMIS::filterLunsByDG";
  if (args.size() < 2) {
    DEBUG_TRACE(label, "filterLunsByDG: Insufficient params specified");
    DEBUG_TRACE(label, "    need: SystemName DiskGroupName");
    return kSmisTooFewArguments;
  }
  for (Uint32 i = 0; i < allocations.size(); ++i) {
    if (args[1].empty() || GetCIMProp(allocations[i], String("Antecedent")).find(args[1]) == std::string::npos)
      continue;
    const std::string dependent = GetCIMProp(allocations[i], String("Dependent"));
    for (const _EternusLun& candidate : candidates)
      if (!candidate.objectPath.empty() && dependent.find(candidate.objectPath) != std::string::npos)
        uids.push_back(candidate.uid);
  }
  return kSmisSuccess;
}

void SmisAction::printListofLuns(std::string title, std::vector<std::string>& list) {
  if (list.empty()) return;
  DEBUG_TRACE_NORMAL("SMIS::printListofLuns", "%s", ListText(title, list).c_str());
}

void SmisAction::printListofLuns(std::string title, std::vector<_EternusLun>& list) {
  std::vector<std::string> uids;
  for (const _EternusLun& lun : list) uids.push_back(lun.uid);
  printListofLuns(title, uids);
}
