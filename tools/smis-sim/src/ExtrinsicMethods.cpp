#include "ExtrinsicMethods.h"
#include "smis-sim/ReturnCodes.h"

#include <algorithm>

#include "ClassHierarchy.h"
#include "NoCase.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

void MethodOutcome::addReference(const char* name, const CIMObjectPath& path, const Model& model) {
  out.emplace_back(String(name), CIMValue(qualified(path, model.settings().hostName, kNamespace)));
}

void MethodOutcome::addReference(const char* name, const CIMObjectPath& path, const MethodCall& call) {
  out.emplace_back(String(name), CIMValue(qualified(path, call.model.settings().hostName, call.array.nameSpace())));
}

void MethodOutcome::addReferences(const char* name, const std::vector<CIMObjectPath>& paths, const Model& model) {
  Array<CIMObjectPath> references;
  for (const CIMObjectPath& path : paths) references.append(qualified(path, model.settings().hostName, kNamespace));
  out.emplace_back(String(name), CIMValue(references));
}

Uint32 arrayCode(const Model& model, Uint32 code) { return model.settings().strictReturnCodes ? 4 : code; }

MethodOutcome finishTask(MethodCall& call, const std::string& method, bool asJob,
                         const std::vector<CIMObjectPath>& affected, std::function<void(Model&, bool)> onEnd,
                         MethodOutcome outcome) {
  if (!asJob && !call.jobFault) {
    if (onEnd) onEnd(call.model, true);
    outcome.returnValue = returnCode::kCompleted;  // no job: the Job out-parameter is left out, as a null
    return outcome;
  }
  JobPlan plan;
  plan.polls = call.model.settings().jobPolls;
  if (call.jobFault) {
    if (call.jobFault->jobPolls > 0) plan.polls = call.jobFault->jobPolls;
    plan.neverEnds = call.jobFault->action == FaultAction::JobNeverEnds;
    plan.vanishes = call.jobFault->action == FaultAction::JobVanishes;
    if (call.jobFault->action == FaultAction::JobFails) plan.finalState = call.jobFault->jobFinalState;
  }
  CIMObjectPath job = call.model.startJob(call.array, method, plan, affected, std::move(onEnd));
  outcome.returnValue = returnCode::kJobStarted;
  outcome.addReference("Job", job, call);
  return outcome;
}

namespace {
MethodOutcome runFamily(MethodCall& call, const std::string& cls, const std::string& methodName) {
  const ClassHierarchy& hierarchy = ClassHierarchy::instance();
  if (hierarchy.isA(cls, "CIM_StorageConfigurationService")) return runStorageConfigurationMethod(call, methodName);
  if (hierarchy.isA(cls, "CIM_ControllerConfigurationService"))
    return runControllerConfigurationMethod(call, methodName);
  if (hierarchy.isA(cls, "CIM_StorageHardwareIDManagementService")) return runHardwareIdMethod(call, methodName);
  if (hierarchy.isA(cls, "CIM_ReplicationService")) return runReplicationServiceMethod(call, methodName);
  throw CIMException(CIM_ERR_METHOD_NOT_AVAILABLE, String(methodName + " is not offered by " + cls));
}
}  // namespace

MethodOutcome runMethod(Model& model, const CIMObjectPath& target, const std::string& methodName,
                        const MethodArgs& args, const std::vector<FaultRule>& methodFaults) {
  const CIMInstance* service = model.store().find(target);
  if (!service) throw CIMException(CIM_ERR_NOT_FOUND, String("no such object: " + target.toString().str()));
  StorageArray* array = model.arrayOf(service->getPath());
  if (!array) throw CIMException(CIM_ERR_NOT_FOUND, "the target belongs to no array");

  MethodCall call{model, *array, service->getPath(), args, std::nullopt};
  std::vector<std::string> droppedOutputs, emptiedOutputs;
  for (const FaultRule& fault : methodFaults) {
    if (fault.action == FaultAction::ForceReturnValue) return MethodOutcome::code(fault.returnValue);
    if (fault.action == FaultAction::DropOutput)
      droppedOutputs.push_back(lowerCase(fault.parameter));
    else if (fault.action == FaultAction::EmptyOutput)
      emptiedOutputs.push_back(lowerCase(fault.parameter));
    else
      call.jobFault = fault;
  }
  MethodOutcome outcome;
  const VendorProfile* family = array->profile;
  if (!family || !family->runMethod || !family->runMethod(call, lowerCase(methodName), outcome))
    outcome = runFamily(call, service->getClassName().getString().str(), methodName);
  auto named = [](const std::vector<std::string>& names, const CIMParamValue& p) {
    return std::find(names.begin(), names.end(), lowerCase(p.getParameterName().str())) != names.end();
  };
  auto dropped = [&](const CIMParamValue& p) { return named(droppedOutputs, p); };
  outcome.out.erase(std::remove_if(outcome.out.begin(), outcome.out.end(), dropped), outcome.out.end());
  // An emptied parameter keeps its name and type, as a provider answers one it fills in only later.
  for (CIMParamValue& p : outcome.out)
    if (named(emptiedOutputs, p))
      p = CIMParamValue(p.getParameterName(), CIMValue(p.getValue().getType(), false), true);
  return outcome;
}

}  // namespace smissim
