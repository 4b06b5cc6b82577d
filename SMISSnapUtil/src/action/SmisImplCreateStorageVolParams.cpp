// Working out the parameters of a new volume shaped like a source volume, by lookups alone: the target
// pool, the size in bytes, the setting goal and the family's own positions, in the order CreateStorageVolume
// reads them.
#include <limits>

#include "SmisCall.h"
#include "SmisHostConfig.h"
#include "SmisVolumeParams.h"
#include "TqCimConnection.h"
#include "vendors/SmisEternusVolumes.h"

using namespace Pegasus;
using smisvolume::kParamsLabel;
using smisvolume::VolumeSource;

namespace {

const char* const kStoragePool = "CIM_StoragePool";
const char* const kDisablePoolCheck = "nIBMSVCDisablePoolCheck";

// The pool named DGName, looked up as the source's family needs.
CIMObjectPath NamedPool(SmisAction& action, TqCimConnection& conn, VolumeSource& source) {
  String poolClass(kStoragePool);
  switch (source.vendor) {
    case TQ_VENDOR_HP_3PAR:
    case TQ_VENDOR_IBM_SVC:
      return action.GetObjPathByPropName(conn, poolClass, String("ElementName"), String(source.dgName));
    case TQ_VENDOR_FUJITSU: {
      std::string text = action.GetEternusTPPByName(conn, source.dgName);
      source.eternusThinPool = !text.empty();
      if (text.empty()) text = action.GetDGByName(conn, source.systemName, source.dgName);
      return text.empty() ? CIMObjectPath() : CIMObjectPath(String(text));
    }
    default:
      return action.GetObjPathByPropName(conn, source.systemName, poolClass, String("ElementName"),
                                         String(source.dgName), false);
  }
}

// The pool the source volume is allocated from.
CIMObjectPath SourcePool(SmisAction& action, TqCimConnection& conn, VolumeSource& source) {
  return action.GetObjPathByAssnProp(conn, source.path, String(kStoragePool), String("CIM_AllocatedFromStoragePool"),
                                     String("InstanceID"), "");
}

bool FindTargetPool(SmisAction& action, TqCimConnection& conn, VolumeSource& source) {
  if (!source.dgGiven) {
    source.pool = SourcePool(action, conn, source);
    if (source.pool.getClassName().isNull()) {
      action.DEBUG_TRACE(kParamsLabel, "Pool %s: not found for Storage Volume %s", kStoragePool,
                         source.path.toString().str().c_str());
      return false;
    }
    std::string name = action.GetCIMProp(conn, source.pool, "ElementName");
    action.DEBUG_TRACE_NORMAL(kParamsLabel, "Source Volume Pool: [%s] FriendlyName [%s]\n",
                              source.pool.toString().str().c_str(), name.c_str());
    action.DEBUG_TRACE_NORMAL(kParamsLabel,
                              " No Device Group specified, Going to use Source Volume's DG [%s] as Target Pool \n",
                              name.c_str());
    return true;
  }
  source.pool = NamedPool(action, conn, source);
  if (source.pool.getClassName().isNull()) {
    action.DEBUG_TRACE(kParamsLabel, "Class %s: name %s not found", kStoragePool, source.dgName.c_str());
    return false;
  }
  std::string name = action.GetCIMProp(conn, source.pool, "ElementName");
  action.DEBUG_TRACE_NORMAL(kParamsLabel, "Target Pool: %s FriendlyName %s\n", source.pool.toString().str().c_str(),
                            name.c_str());
  return true;
}

// BlockSize times NumberOfBlocks of the source; false (traced) when either is missing or the product does
// not fit 64 bits (it would name some other, smaller size).
bool SourceSize(SmisAction& action, const VolumeSource& source, Uint64& bytes) {
  Uint64 blockSize = 0, blocks = 0;
  if (!smisvolume::ReadUint64(source.instance, "BlockSize", blockSize)) {
    action.DEBUG_TRACE(kParamsLabel, " Can not get BlockSize of source volume %s", source.text.c_str());
    return false;
  }
  if (!smisvolume::ReadUint64(source.instance, "NumberOfBlocks", blocks)) {
    action.DEBUG_TRACE(kParamsLabel, " Can not get NumberOfBlocks source volume %s", source.text.c_str());
    return false;
  }
  if (blocks != 0 && blockSize > std::numeric_limits<Uint64>::max() / blocks) {
    action.DEBUG_TRACE(
        kParamsLabel, " Size of source volume %s does not fit 64 bits: BlockSize %llu x NumberOfBlocks %llu",
        source.text.c_str(), static_cast<unsigned long long>(blockSize), static_cast<unsigned long long>(blocks));
    return false;
  }
  bytes = blockSize * blocks;
  return true;
}

// ETERNUS: whether the source is thin by its Purpose; false (traced) when the source has none.
bool EternusSourceThin(SmisAction& action, const VolumeSource& source, bool& thin) {
  std::string purpose;
  if (!smisvolume::ReadString(source.instance, "Purpose", purpose)) {
    action.DEBUG_TRACE(kParamsLabel, " Can not get property [Purpose] of source volume %s",
                       source.path.toString().str().c_str());
    return false;
  }
  thin = smiseternus::IsThinPurpose(purpose);
  return true;
}

// 3PAR: thin or thick, and the CPG's matching provisioning setting as the goal (only with a TypeFlag).
bool ThreeParThinAndGoal(SmisAction& action, TqCimConnection& conn, const VolumeSource& source, std::string& goalText) {
  bool thin = false;
  std::string userDsp;
  bool dspRead = false;
  CIMObjectPath goal;
  if (source.hasTypeFlag) {
    if (source.typeFlag == "1") {
      thin = true;
    } else if (source.typeFlag != "2" && !smisvolume::ReadBoolean(source.instance, "ThinlyProvisioned", thin)) {
      action.DEBUG_TRACE(kParamsLabel, " Can not get ThinlyProvisioned source volume %s", source.text.c_str());
      thin = false;
    }
    dspRead = smisvolume::ReadString(source.instance, "UserDSPName", userDsp);
    if (!dspRead) {
      action.DEBUG_TRACE(kParamsLabel, " Can not get UserDSPName for source volume %s", source.text.c_str());
    } else {
      std::string cpg = source.dgGiven ? source.dgName : userDsp;
      if (action.Get3PARStorageSettings(conn, goal, cpg.c_str(), thin) == 0) goalText = goal.toString().str();
    }
  }
  action.DEBUG_TRACE(kParamsLabel, "Going create ThinProvision [%s] UserDSP - [%s] Goal - [%s]", thin ? "Yes" : "No",
                     dspRead ? userDsp.c_str() : "null", goalText.c_str());
  return thin;
}

SmisResultCode BuildParams(SmisAction& action, TqCimConnection& conn, SmisCall& call, VolumeSource& source,
                           SmisArgs& out) {
  if (!call.FindLun(source.text, "source volume", source.path, source.systemName)) return kSmisObjectNotFound;
  source.vendor = TQProviderVendor::GetVendorId(source.path);
  action.DEBUG_TRACE_NORMAL(kParamsLabel, "SrcVol: %s", source.path.toString().str().c_str());
  if (!FindTargetPool(action, conn, source)) return kSmisObjectNotFound;

  bool poolCheckDisabled = smisconfig::Number(kDisablePoolCheck, 0) != 0;
  if (poolCheckDisabled) action.DEBUG_TRACE(kParamsLabel, "Pool online check skipped due to registry override");
  if (source.vendor == TQ_VENDOR_IBM_SVC &&
      smisvolume::IbmSvcPoolCheck(action, conn, source, poolCheckDisabled) != kSmisSuccess)
    return kSmisFailed;

  source.instance = conn.GetInstance(source.path);
  Uint64 bytes = 0;
  if (!SourceSize(action, source, bytes)) return kSmisObjectNotFound;
  bool eternusSourceThin = false;
  if (source.vendor == TQ_VENDOR_FUJITSU && !EternusSourceThin(action, source, eternusSourceThin))
    return kSmisObjectNotFound;
  bool thin3par = false;
  std::string goalText;
  if (source.vendor == TQ_VENDOR_HP_3PAR) thin3par = ThreeParThinAndGoal(action, conn, source, goalText);

  std::string size = std::to_string(bytes);
  action.DEBUG_TRACE_NORMAL(kParamsLabel, " Going to create LUN [%s] of size [%s] Bytes in Disk Group [%s]",
                            source.newName.c_str(), size.c_str(), source.dgName.c_str());
  const std::size_t first = out.size();  // the vector is appended to: the caller's entries stay before ours
  out.push_back(source.systemName);
  out.push_back(source.newName);
  out.push_back(source.pool.toString().str());
  out.push_back(size);
  out.push_back(goalText.empty() ? "null" : goalText);

  switch (source.vendor) {
    case TQ_VENDOR_HP_3PAR:
      out.push_back(thin3par ? "1" : "0");
      return kSmisSuccess;
    case TQ_VENDOR_FUJITSU:
      out.push_back((source.dgGiven ? source.eternusThinPool : eternusSourceThin) ? "1" : "0");
      return kSmisSuccess;
    case TQ_VENDOR_LSI:
    case TQ_VENDOR_DCIM:
    case TQ_VENDOR_NETAPP:
      out.push_back(smisvolume::LsiPreferredController(action, conn, source));
      return kSmisSuccess;
    case TQ_VENDOR_IBM_SVC:
      return smisvolume::IbmSvcPositions(action, conn, source, out, first);
    default:
      return kSmisSuccess;
  }
}

}  // namespace

SmisResultCode SmisAction::CreateStorageVolParams(TqCimConnection& conn, SmisArgs& args, std::string sourceVolume,
                                                  SmisArgs& out) {
  SmisCall call(*this, conn, kParamsLabel, "CreateStorageVolParams");
  m_VolumeParamsSource.clear();
  if (!smisvolume::HasCreateVolArgs(*this, kParamsLabel, args, 3, "SystemName NewVolName DGName"))
    return kSmisTooFewArguments;
  return call.Guarded(TQ_HANDLER_SITE, [&] {
    VolumeSource source;
    source.systemName = args[0];
    source.newName = args[1];
    source.dgName = args[2];
    source.dgGiven = args[2] != "null";
    source.hasTypeFlag = args.size() > 3;
    if (source.hasTypeFlag) source.typeFlag = args[3];
    source.text = sourceVolume;
    const SmisResultCode result = BuildParams(*this, conn, call, source, out);
    if (!source.path.getClassName().isNull()) m_VolumeParamsSource = source.path.toString().str();
    return result;
  });
}
