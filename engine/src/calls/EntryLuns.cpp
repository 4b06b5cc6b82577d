// LUN provisioning calls: create, delete and resize stop at the first LUN that fails; resolving a LUN's
// users passes over a LUN whose initiators cannot be listed and stops only at a password that cannot be
// deciphered.
#include <vector>

#include "HP3ParHandler.h"
#include "TqsoEntryPoints.h"
#include "provisioning/ProvisioningLun.h"

using tqengine::GuardedCall;
using tqengine::LunCall;
using tqengine::LunOutcome;
using tqengine::LunRequest;
using tqengine::LunStepResult;
using tqengine::RunLunLoop;

namespace {

const LunStepResult kSucceeded = {LunOutcome::kSucceeded, nullptr};
const LunStepResult kFailed = {LunOutcome::kFailed, nullptr};

}  // namespace

TQSO::ResultCode tqso_createLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  static const LunCall kCall = {"TQProvEngine3PAR::tqso_createLUNs", TQSO::LUN_CREATING, "Failed to create LUN",
                                LunOutcome::kFailed};
  return GuardedCall(kCall.tag, TQSO::RC_FAIL, [&] {
    return RunLunLoop(kCall, luns, count, [&](TQSO::LUNInfo* lun, const LunRequest& r, unsigned long long jobId) {
      if (!isVolumeNameValid(r.volumeName, jobId))
        return LunStepResult{LunOutcome::kFailed, "Invalid Volume Name. Failed to create LUN"};
      if (!HP3ParHandler().CreateVolume(osUtil, r.arrayName, r.controlHost, r.login, r.password, r.poolName,
                                        r.volumeName, r.sizeBytes, jobId))
        return kFailed;
      o_logger.DebugLvl(kCall.tag, 0, jobId, "Created a volume with volume Size [%llu] successfully",
                        static_cast<unsigned long long>(r.sizeBytes));
      lun->setVolumeId(r.volumeName);
      lun->setVolumeName(r.volumeName);
      lun->setState(TQSO::LUN_CREATED);
      return kSucceeded;
    });
  });
}

TQSO::ResultCode tqso_deleteLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  static const LunCall kCall = {"TQProvEngine3PAR::tqso_deleteLUNs", TQSO::LUN_DELETING, "Failed to delete the volume",
                                LunOutcome::kFailed};
  return GuardedCall(kCall.tag, TQSO::RC_FAIL, [&] {
    return RunLunLoop(kCall, luns, count, [&](TQSO::LUNInfo* lun, const LunRequest& r, unsigned long long jobId) {
      if (!HP3ParHandler().DeleteVolume(osUtil, r.arrayName, r.controlHost, r.login, r.password, r.poolName,
                                        r.volumeName, r.sizeBytes, jobId))
        return kFailed;
      o_logger.DebugLvl(kCall.tag, 0, jobId, "Deleted the volume size [%llu] successfully",
                        static_cast<unsigned long long>(r.sizeBytes));
      lun->setState(TQSO::LUN_DELETED);
      return kSucceeded;
    });
  });
}

TQSO::ResultCode tqso_resizeLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  static const LunCall kCall = {"TQProvEngine3PAR::tqso_resizeLUNs", TQSO::LUN_RESIZING, "Failed to resize the volume",
                                LunOutcome::kFailed};
  return GuardedCall(kCall.tag, TQSO::RC_FAIL, [&] {
    return RunLunLoop(kCall, luns, count, [&](TQSO::LUNInfo* lun, const LunRequest& r, unsigned long long jobId) {
      if (!HP3ParHandler().ResizeVolume(osUtil, r.arrayName, r.controlHost, r.login, r.password, r.poolName,
                                        r.volumeName, r.sizeBytes, jobId))
        return kFailed;
      lun->setState(TQSO::LUN_RESIZED);
      o_logger.DebugLvl(kCall.tag, 0, jobId, "Resized of volume size [%llu] successfully",
                        static_cast<unsigned long long>(r.sizeBytes));
      return kSucceeded;
    });
  });
}

TQSO::ResultCode tqso_resolveLunsToUsers(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  // A LUN whose initiators cannot be listed is passed over silently; only the password stops the loop.
  static const LunCall kCall = {"TQProvEngine3PAR::tqso_resolveLunsToUsers", TQSO::LUN_RESOLVING_USERS, nullptr,
                                LunOutcome::kPassedOver};
  return GuardedCall(kCall.tag, TQSO::RC_FAIL, [&] {
    return RunLunLoop(kCall, luns, count, [&](TQSO::LUNInfo* lun, const LunRequest& r, unsigned long long jobId) {
      std::vector<MappedHBAInfoList_t> initiators;
      if (!HP3ParHandler().GetVolumeInitiators(osUtil, r.arrayName, r.controlHost, r.login, r.password, r.poolName,
                                               r.volumeName, r.sizeBytes, initiators, jobId))
        return LunStepResult{LunOutcome::kPassedOver, nullptr};
      std::vector<TQSO::IGroupInfo> groups;
      for (const MappedHBAInfoList_t& initiator : initiators) {
        TQSO::IGroupInfo group;
        group.initiators.push_back(initiator.port);
        group.protocol = initiator.IsIscsi() ? "iscsi" : "fcp";
        groups.push_back(group);
      }
      lun->setInitiatorGroups(groups, &iEndPointId);
      lun->setState(TQSO::LUN_USERS_RESOLVED);
      o_logger.DebugLvl(kCall.tag, 0, jobId, "Imported initiators successfully");
      return kSucceeded;
    });
  });
}
