// The model's jobs: created by methods, advanced by polls.
#include "smis-sim/Model.h"

#include <algorithm>

#include "ClassHierarchy.h"
#include "ModelHelpers.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

CIMObjectPath Model::startJob(StorageArray& array, const std::string& method, const JobPlan& plan,
                              const std::vector<CIMObjectPath>& affected, std::function<void(Model&, bool)> onEnd) {
  std::string id = nextId(array, "Job");
  // A family that models its jobs names them with its own classes, so they are read in its namespace.
  const VendorProfile* family = array.profile && !array.profile->job.empty() ? array.profile : nullptr;
  const std::string jobClass = family ? family->job : "TPD_ConcreteJob";
  const std::string owning = family ? family->owningJobElement : "TPD_OwningJobElement";
  const std::string affecting = family ? family->affectedJobElement : "TPD_AffectedJobElement";
  CIMInstance job{CIMName(jobClass.c_str())};
  setProperty(job, "InstanceID", CIMValue(String(id)));
  setProperty(job, "Name", CIMValue(String(method)));
  setProperty(job, "ElementName", CIMValue(String(method)));
  setProperty(job, "JobState", CIMValue(Uint16(4)));
  setProperty(job, "JobStatus", CIMValue("Running"));
  setProperty(job, "PercentComplete", CIMValue(Uint16(0)));
  setProperty(job, "OperationalStatus", uint16Array({2}));
  setProperty(job, "DeleteOnCompletion", CIMValue(false));
  job.setPath(pathFromKeys(job, {"InstanceID"}));
  store_.put(job);
  link(owning.c_str(), "OwningElement", array.configService, "OwnedElement", job.getPath(), {}, array.nameSpace());
  for (const CIMObjectPath& element : affected)
    link(affecting.c_str(), "AffectedElement", element, "AffectingElement", job.getPath(), {}, array.nameSpace());
  jobs_[id] = JobRun{plan, 0, false, std::move(onEnd)};
  return job.getPath();
}

bool Model::isJob(const CIMObjectPath& path) const {
  const CIMInstance* instance = store_.find(path);
  return instance && ClassHierarchy::instance().isA(instance->getClassName().getString().str(), "CIM_ConcreteJob");
}

bool Model::removeJob(const CIMObjectPath& job) {
  const CIMInstance* instance = store_.find(job);
  if (!instance) return false;
  jobs_.erase(stringProperty(*instance, "InstanceID"));
  CIMObjectPath path = instance->getPath();
  return store_.remove(path);
}

bool Model::pollJob(const CIMObjectPath& jobPath) {
  CIMInstance* job = store_.findMutable(jobPath);
  if (!job) return false;
  auto run = jobs_.find(stringProperty(*job, "InstanceID"));
  if (run == jobs_.end()) return true;
  JobRun& state = run->second;
  if (state.ended) {
    if (settings_.jobsVanishWhenDone) {
      removeJob(jobPath);
      return false;
    }
    return true;
  }
  if (state.plan.neverEnds || state.polled < state.plan.polls) {
    ++state.polled;
    unsigned span = state.plan.neverEnds ? state.polled + 1 : state.plan.polls + 1;
    setProperty(*job, "PercentComplete", CIMValue(Uint16(std::min(99u, 100 * state.polled / span))));
    return true;
  }
  state.ended = true;
  bool succeeded = state.plan.finalState == 7;
  setProperty(*job, "JobState", CIMValue(state.plan.finalState));
  setProperty(*job, "PercentComplete", CIMValue(Uint16(succeeded ? 100 : state.polled)));
  setProperty(*job, "JobStatus", CIMValue(succeeded ? "Completed" : "Failed"));
  if (!succeeded) {
    setProperty(*job, "Status", CIMValue("Error"));
    setProperty(*job, "OperationalStatus", uint16Array({6}));
    Array<String> descriptions;
    descriptions.append("Operation has failed");
    setProperty(*job, "StatusDescriptions", CIMValue(descriptions));
    setProperty(*job, "ErrorDescription", CIMValue("Operation has failed"));
  }
  auto onEnd = std::move(state.onEnd);
  bool vanishes = state.plan.vanishes;
  if (onEnd) onEnd(*this, succeeded);
  if (vanishes) {
    removeJob(jobPath);
    return false;
  }
  return true;
}

}  // namespace smissim
