// The new volume of a creation the provider answered with success but without naming it: the volume its
// job affected, else the array's one volume of the requested name, when it is not the volume the new one was
// shaped after and has the requested size. A volume that cannot be told is refused: a created volume
// without a path can be neither attached nor deleted again, and a wrong one could be deleted later.
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

// Whether the volume holds the requested bytes: the request rounded up to whole blocks.
bool HasRequestedSize(TqCimConnection& conn, const CIMObjectPath& volume, Uint64 requested) {
  const CIMInstance instance = conn.GetInstance(volume);
  Uint64 blockSize = 0, blocks = 0;
  if (!ReadUint64(instance, "BlockSize", blockSize) || !ReadUint64(instance, "NumberOfBlocks", blocks) ||
      blockSize == 0)
    return false;
  return blocks == requested / blockSize + (requested % blockSize != 0 ? 1 : 0);
}

// Why the one volume of the requested name is not the new one; null when it is.
const char* WhyNotTheNewVolume(SmisCall& call, const CIMObjectPath& volume, const CreatedVolumeRequest& request) {
  if (!request.shapedAfter.empty() && refersToSameObject(volume, CIMObjectPath(String(request.shapedAfter))))
    return "is the volume the new one was shaped after";
  if (!HasRequestedSize(call.Conn(), volume, request.size)) return "does not have the requested size";
  return nullptr;
}

// The array's one volume whose ElementName is exactly the name (case counts; a blank name selects none).
// False, with the reason, when there is none, several or one that is not the new volume.
bool FoundByName(SmisAction& action, SmisCall& call, const CreatedVolumeRequest& request, CIMObjectPath& volume,
                 std::string& why) {
  std::vector<std::string> names{request.name};
  const Array<CIMObjectPath> named = action.GetObjPathListByPropNameList(
      call.Conn(), String(kVolumeClass), String("ElementName"), names, request.systemName);
  if (named.size() != 1) {
    why = named.size() == 0 ? "was not found" : "is not the only volume of that name";
    return false;
  }
  if (const char* notNew = WhyNotTheNewVolume(call, named[0], request)) {
    why = std::string(notNew) + " (" + named[0].toString().str() + ")";
    return false;
  }
  volume = named[0];
  return true;
}

}  // namespace

bool FindCreatedVolume(SmisAction& action, SmisCall& call, const CreatedVolumeRequest& request,
                       std::string& newVolPath) {
  CIMObjectPath volume;
  std::string why;
  bool found = false;
  try {
    if (AffectedByJob(action, call, request.name, volume)) {
      newVolPath = volume.toString().str();
      action.DEBUG_TRACE_NORMAL(kCreateLabel, "%s: new volume [%s] named by its job: %s", kCreateMethod,
                                request.name.c_str(), newVolPath.c_str());
      return true;
    }
    found = FoundByName(action, call, request, volume, why);
  } catch (const Exception& e) {
    why = "could not be looked up: " + e.getMessage().str();
  } catch (const std::exception& e) {
    why = std::string("could not be looked up: ") + e.what();
  }
  if (found) {
    newVolPath = volume.toString().str();
    action.DEBUG_TRACE_NORMAL(kCreateLabel, "%s: new volume [%s] found by its name: %s", kCreateMethod,
                              request.name.c_str(), newVolPath.c_str());
    return true;
  }
  action.DEBUG_TRACE(kCreateLabel,
                     "%s: the provider answered success but named no new volume; volume [%s] on system %s %s, the "
                     "creation counts as failed",
                     kCreateMethod, request.name.c_str(), request.systemName.c_str(), why.c_str());
  return false;
}

}  // namespace smisvolume
