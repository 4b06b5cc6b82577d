#include "SmisEternusTargetChoice.h"

#include <initializer_list>

#include "Pegasus/CIMPropertyList.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace smiseternus {

namespace {

const char* const kAnyOnArray =
    "Either DG is not specified or not forced, will select any eligible target available on the array";

// The device group of the request: a thin-provisioning pool, else a pool of the array; with the array's
// allocations to tell which candidates it holds.
struct Group {
  std::string path;  // empty: no group
  std::string friendlyName;
  bool thin = false;
  Array<CIMInstance> allocations;
};

Group FindGroup(SmisAction& action, TqCimConnection& conn, const char* label, const ChoiceRequest& request) {
  Group group;
  group.path = action.GetEternusTPPByName(conn, request.deviceGroup);
  group.thin = !group.path.empty();
  if (!group.thin) group.path = action.GetDGByName(conn, request.systemName, request.deviceGroup);
  if (group.path.empty()) return group;
  group.allocations = conn.GetInstances(String("CIM_AllocatedFromStoragePool"), CIMPropertyList());
  action.DEBUG_TRACE_NORMAL(label, "Class [%s] got [%d] instances", "CIM_AllocatedFromStoragePool",
                            static_cast<int>(group.allocations.size()));
  group.friendlyName = action.GetCIMProp(conn, group.path, "ElementName");
  return group;
}

// The UIDs of the candidates the group holds; `kind` names the list in the trace when it holds none.
std::vector<std::string> InGroup(SmisAction& action, TqCimConnection& conn, const char* label, Group& group,
                                 const ChoiceRequest& request, std::vector<_EternusLun>& candidates, const char* kind) {
  SmisArgs args = {request.systemName, group.path};
  std::vector<std::string> uids;
  if (action.filterLunsByDG(conn, args, group.allocations, candidates, uids) != kSmisSuccess || uids.empty())
    action.DEBUG_TRACE_NORMAL(label, "Device Group [%s] does not have any %s for source volume [%s]",
                              group.friendlyName.c_str(), kind, request.sourceText.c_str());
  return uids;
}

void AppendUids(const std::vector<_EternusLun>& from, std::vector<std::string>& to) {
  for (const _EternusLun& lun : from) to.push_back(lun.uid);
}

Choice Chosen(const std::string& uid) { return Choice{Choice::kChosen, uid}; }

// The first UID of the first list that has one.
Choice FirstOf(std::initializer_list<const std::vector<std::string>*> lists) {
  for (const std::vector<std::string>* list : lists)
    if (!list->empty()) return Chosen(list->front());
  return Choice{};
}

Choice FirstOf(std::initializer_list<const std::vector<_EternusLun>*> lists) {
  for (const std::vector<_EternusLun>* list : lists)
    if (!list->empty()) return Chosen(list->front().uid);
  return Choice{};
}

bool IsSnapshot(int copyType) { return copyType == 4 || copyType == 8; }

Choice SnapshotInSelection(SmisAction& action, TqCimConnection& conn, const char* label, const ChoiceRequest& request,
                           Candidates& lists, Group& group) {
  if (lists.sdvLabelled.empty() && lists.sdv.empty()) {
    action.DEBUG_TRACE(label, "Could not find a suitable SDV target for source volume [%s]",
                       request.sourceText.c_str());
    return Choice{};
  }
  action.printListofLuns("List of Eligible SDV targets (labelled) on the array ", lists.sdvLabelled);
  action.printListofLuns("List of Eligible SDV targets on the array", lists.sdv);
  std::vector<std::string> labelled, plain;
  // A thin-provisioning pool holds no SDV: such a group does not narrow a snapshot's choice.
  const bool narrowed = !group.path.empty() && !group.thin;
  if (narrowed) {
    action.DEBUG_TRACE_NORMAL(label, "Going to filter target luns from Device Group [%s] Friendly name[%s] ",
                              group.path.c_str(), group.friendlyName.c_str());
    labelled = InGroup(action, conn, label, group, request, lists.sdvLabelled, "suitable SDV target (labelled)");
    plain = InGroup(action, conn, label, group, request, lists.sdv, "suitable SDV target");
    action.printListofLuns("List of Eligible SDV targets(labelled) in DG :" + group.friendlyName, labelled);
    action.printListofLuns("List of Eligible SDV targets in DG :" + group.friendlyName, plain);
  }
  if (!narrowed || (labelled.empty() && plain.empty() && !request.stayInGroup)) {
    if (group.thin)
      action.DEBUG_TRACE_NORMAL(label, "Device Group [%s] is a TPP, it will be ignored as it is Snap operation",
                                group.friendlyName.c_str());
    else
      action.DEBUG_TRACE_NORMAL(label, "%s", kAnyOnArray);
    AppendUids(lists.sdv, plain);
    AppendUids(lists.sdvLabelled, labelled);
  }
  return FirstOf({&labelled, &plain});
}

// The in-group lists of a clone, by kind: Standard labelled, Standard, TPV labelled, TPV.
struct CloneLists {
  std::vector<std::string> standardLabelled, standard, tpvLabelled, tpv;
};

void FilterCloneGroup(SmisAction& action, TqCimConnection& conn, const char* label, const ChoiceRequest& request,
                      Candidates& lists, Group& group, CloneLists& in) {
  action.DEBUG_TRACE_NORMAL(label, "Going to find target luns from Device Group [%s] Friendly name[%s] ",
                            group.path.c_str(), group.friendlyName.c_str());
  const std::string& name = group.friendlyName;
  if (group.thin) {
    in.tpvLabelled =
        InGroup(action, conn, label, group, request, lists.tpvLabelled, "eligible clone lun (TPV - marked deleted)");
    in.tpv = InGroup(action, conn, label, group, request, lists.tpv, "eligible clone lun (TPV)");
    action.printListofLuns("List of Eligible Clone Luns (TPV - marked deleted) in DG :" + name, in.tpvLabelled);
    action.printListofLuns("List of Eligible Clone Luns (TPV) in DG :" + name, in.tpv);
  } else {
    in.standardLabelled = InGroup(action, conn, label, group, request, lists.standardLabelled,
                                  "eligible clone lun (Standard - marked deleted)");
    in.standard = InGroup(action, conn, label, group, request, lists.standard, "eligible clone lun (Standard)");
    action.printListofLuns("List of Eligible Clone Luns (Standard - marked deleted) in DG :" + name,
                           in.standardLabelled);
    action.printListofLuns("List of Eligible Clone Luns (Standard) in DG :" + name, in.standard);
  }
}

Choice CloneInSelection(SmisAction& action, TqCimConnection& conn, const char* label, const ChoiceRequest& request,
                        Candidates& lists, Group& group) {
  if (lists.standardLabelled.empty() && lists.standard.empty() && lists.tpvLabelled.empty() && lists.tpv.empty()) {
    action.DEBUG_TRACE(label, " Could not find a suitable CLONE target for source volume [%s]",
                       request.sourceText.c_str());
    return Choice{};
  }
  action.printListofLuns("List of Eligible Clone Luns (Standard- labelled) available on the array",
                         lists.standardLabelled);
  action.printListofLuns("List of Eligible Clone Luns (Standard) available on the array", lists.standard);
  action.printListofLuns("List of Eligible Clone Luns (TPV - labelled) available on the array", lists.tpvLabelled);
  action.printListofLuns("List of Eligible Clone Luns (TPV) available on the array", lists.tpv);
  CloneLists in;
  if (!group.path.empty()) FilterCloneGroup(action, conn, label, request, lists, group, in);
  const bool groupHasNone =
      group.thin ? in.tpvLabelled.empty() && in.tpv.empty() : in.standardLabelled.empty() && in.standard.empty();
  if (group.path.empty() || (groupHasNone && !request.stayInGroup)) {
    action.DEBUG_TRACE_NORMAL(label, "%s", kAnyOnArray);
    AppendUids(lists.standardLabelled, in.standardLabelled);
    AppendUids(lists.standard, in.standard);
    AppendUids(lists.tpvLabelled, in.tpvLabelled);
    AppendUids(lists.tpv, in.tpv);
  }
  if (lists.sourceIsTpv) return FirstOf({&in.tpvLabelled, &in.tpv, &in.standardLabelled, &in.standard});
  return FirstOf({&in.standardLabelled, &in.standard, &in.tpvLabelled, &in.tpv});
}

}  // namespace

Choice ChooseByLabel(SmisAction& action, const char* label, const ChoiceRequest& request, Candidates& lists) {
  const char* source = request.sourceText.c_str();
  const char* volumeLabel = request.volumeLabel.c_str();
  if (IsSnapshot(request.copyType)) {
    action.printListofLuns("Eligible SDV targets", lists.sdvLabelled);
    action.printListofLuns("Eligible TPV targets", lists.tpvLabelled);
    Choice choice = FirstOf({request.useTpvForSnapshot ? &lists.tpvLabelled : &lists.sdvLabelled});
    if (choice.kind == Choice::kChosen) return choice;
    action.DEBUG_TRACE(label, " Could not find a suitable target with label [%s] for source volume [%s]", volumeLabel,
                       source);
    return Choice{Choice::kRefused, std::string()};
  }
  if (request.copyType != 5) return Choice{};
  action.printListofLuns("List of Eligible Clone targets (Standard) having label [" + request.volumeLabel + "]",
                         lists.standardLabelled);
  action.printListofLuns("List of Eligible Clone targets (TPV) having label [" + request.volumeLabel + "]",
                         lists.tpvLabelled);
  Choice choice = lists.sourceIsTpv ? FirstOf({&lists.tpvLabelled, &lists.standardLabelled})
                                    : FirstOf({&lists.standardLabelled, &lists.tpvLabelled});
  if (choice.kind == Choice::kChosen) return choice;
  action.DEBUG_TRACE(label, " Could not find a suitable CLONE target having label [%s] for source volume [%s]",
                     volumeLabel, source);
  return Choice{Choice::kRefused, std::string()};
}

Choice ChooseBySelection(SmisAction& action, TqCimConnection& conn, const char* label, const ChoiceRequest& request,
                         Candidates& lists) {
  Group group = FindGroup(action, conn, label, request);
  if (IsSnapshot(request.copyType)) return SnapshotInSelection(action, conn, label, request, lists, group);
  if (request.copyType == 5) return CloneInSelection(action, conn, label, request, lists, group);
  return Choice{};
}

}  // namespace smiseternus
