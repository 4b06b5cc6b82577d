// The steps of building a new volume's parameters that differ by array family, and the readers they share.
// CreateStorageVolParams works out the frame (source, pool, size) and hands what it learned to these steps.
#pragma once

#include <cstddef>
#include <string>

#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMObjectPath.h"
#include "SmisImpl.h"
#include "TQProviderVendor.h"

class TqCimConnection;

namespace smisvolume {

extern const char* const kParamsLabel;  // "SMIS::CreateStorageVolParams"

// What the frame has learned about the source and the target pool.
struct VolumeSource {
  std::string systemName;
  std::string newName;
  std::string dgName;        // the pool's ElementName, or "null"
  bool dgGiven = false;      // dgName is not exactly "null"
  bool hasTypeFlag = false;  // four or more input positions
  std::string typeFlag;
  std::string text;  // the source volume as the caller gave it
  Pegasus::CIMObjectPath path;
  TQ_PROVIDER_VENDOR vendor = TQ_VENDOR_NONE;
  Pegasus::CIMObjectPath pool;
  bool eternusThinPool = false;  // the named pool is an ETERNUS thin-provisioning pool
  Pegasus::CIMInstance instance;
};

// The argument check of the two volume-creation operations: false (usage traced under the label) when
// args hold fewer than `required` positions.
bool HasCreateVolArgs(SmisAction& action, const char* label, const SmisArgs& args, std::size_t required,
                      const char* need);

// Property readers of a fetched instance: false when the property is absent or null.
bool ReadUint64(const Pegasus::CIMInstance& instance, const char* name, Pegasus::Uint64& value);
bool ReadBoolean(const Pegasus::CIMInstance& instance, const char* name, bool& value);
bool ReadString(const Pegasus::CIMInstance& instance, const char* name, std::string& value);

// LSI, DCIM and NetApp: the path text of the controller that owns the source volume, or "null".
std::string LsiPreferredController(SmisAction& action, TqCimConnection& conn, const VolumeSource& source);

// IBM SVC: 0 when the target pool is online (or the check is switched off), else 1 (traced).
SmisResultCode IbmSvcPoolCheck(SmisAction& action, TqCimConnection& conn, const VolumeSource& source,
                               bool checkDisabled);
// IBM SVC: appends volume type, IO group and preferred node to out, and puts the "Standard" goal in
// position 4 of a thick target where the firmware needs it; positions count from `first`, where this
// volume's positions begin in out. 1 (traced) when a rule fails.
SmisResultCode IbmSvcPositions(SmisAction& action, TqCimConnection& conn, const VolumeSource& source, SmisArgs& out,
                               std::size_t first);

// The IBM SVC volume type of the new volume: the requested TypeFlag, rewritten to a space-efficient type
// when the host key "IBMSVC_VDISK_TYPE" (2) or the array's thin setting or a space-efficient source asks
// for it, unless the key is 1.
std::string IbmSvcVolumeType(const std::string& typeFlag, unsigned long vdiskType, int thinSetting,
                             bool spaceEfficientSource);

// Whether firmware of this version needs the "Standard" goal for a thick volume (7.7 and later).
enum class ThickGoalNeed { kNotNeeded, kNeeded, kUnreadable };
ThickGoalNeed IbmSvcThickGoalNeed(const std::string& version);

}  // namespace smisvolume
