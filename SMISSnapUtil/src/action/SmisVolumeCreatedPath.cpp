// The new volume of a creation the provider answered with success but without naming it: the volume its
// job affected, else the array's one volume of the requested name. A volume that cannot be told is
// refused: a created volume without a path can be neither attached nor deleted again.
#include "SmisCall.h"
#include "SmisVolumeCreate.h"
#include "SmisVolumeParams.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace smisvolume {

namespace {

const char* const kVolumeClass = "CIM_StorageVolume";

bool NamedExactly(SmisAction& action, TqCimConnection& conn, CIMObjectPath& volume, const std::string& name) {
  return !name.empty() && action.GetCIMProp(conn, volume, "ElementName") == name;
}

// The volume the creation's job names as affected: the only one, or the one of the requested name.
bool AffectedByJob(SmisAction& action, SmisCall& call, const std::string& name, CIMObjectPath& volume) {
  CIMObjectPath job = action.GetJobHandle(call.Out());
  if (job.getClassName().isNull()) return false;
  Array<CIMObjectPath> affected =
      call.Conn().GetAssociatorNames(job, "CIM_AffectedJobElement", kVolumeClass, String(), String());
  for (Uint32 i = 0; i < affected.size(); ++i) {
    if (affected.size() == 1 || NamedExactly(action, call.Conn(), affected[i], name)) {
      volume = affected[i];
      return true;
    }
  }
  return false;
}

}  // namespace

bool FindCreatedVolume(SmisAction& action, SmisCall& call, const std::string& systemName, const std::string& name,
                       std::string& newVolPath) {
  CIMObjectPath volume;
  if (AffectedByJob(action, call, name, volume)) {
    newVolPath = volume.toString().str();
    action.DEBUG_TRACE_NORMAL(kCreateLabel, "%s: new volume [%s] named by its job: %s", kCreateMethod, name.c_str(),
                              newVolPath.c_str());
    return true;
  }
  // The array's volumes whose ElementName is exactly the name (case counts); a blank name selects none.
  std::vector<std::string> names{name};
  const Array<CIMObjectPath> named =
      action.GetObjPathListByPropNameList(call.Conn(), String(kVolumeClass), String("ElementName"), names, systemName);
  if (named.size() == 1) {
    newVolPath = named[0].toString().str();
    action.DEBUG_TRACE_NORMAL(kCreateLabel, "%s: new volume [%s] found by its name: %s", kCreateMethod, name.c_str(),
                              newVolPath.c_str());
    return true;
  }
  // Several volumes of that name: which one is new cannot be told, and a wrong one could be deleted later.
  action.DEBUG_TRACE(kCreateLabel,
                     "%s: the provider answered success but named no new volume; volume [%s] on system %s %s, the "
                     "creation counts as failed",
                     kCreateMethod, name.c_str(), systemName.c_str(),
                     named.size() == 0 ? "was not found" : "is not the only volume of that name");
  return false;
}

}  // namespace smisvolume
