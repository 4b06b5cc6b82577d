// The array-wide scan of the ETERNUS target choice: every volume of the source's size that is free, of a
// type that can receive the copy and not set aside ("SP_"), sorted by type and by the volume label.
#include "Pegasus/CIMPropertyList.h"
#include "SmisEternusVolumes.h"
#include "TqCimConnection.h"
#include "action/SmisCall.h"
#include "action/SmisVolumeParams.h"

using namespace Pegasus;
using smiseternus::VolumeType;

namespace {

const char* const kLabel = "SMIS::getEligibleTargetLuns";
const char* const kStorageVolume = "CIM_StorageVolume";
const char* const kDefaultLabel = "TovakD_";
const char* const kReservedPrefix = "SP_";

// What the source asks of a candidate, and the lists the candidates go to.
struct Scan {
  std::string systemName;
  std::string exclusions;
  int copyType = 0;
  std::optional<Uint64> sourceBytes;
  std::string sourceUid;
  std::string volumeLabel;
  // The lists of one type: volumes carrying the label, and the others.
  struct Lists {
    std::vector<_EternusLun>* labelled;
    std::vector<_EternusLun>* plain;
  };
  Lists sdv, standard, tpv;
};

// Snapshots go to SDVs and TPVs, clones to Standard volumes and TPVs; other copy types to any type.
bool TypeTakesCopy(VolumeType type, int copyType) {
  if (copyType == 4 || copyType == 8) return type == VolumeType::kSdv || type == VolumeType::kTpv;
  if (copyType == 5) return type == VolumeType::kStandard || type == VolumeType::kTpv;
  return true;
}

std::vector<_EternusLun>* ListFor(Scan& scan, VolumeType type, bool labelled) {
  const Scan::Lists& lists = type == VolumeType::kSdv        ? scan.sdv
                             : type == VolumeType::kStandard ? scan.standard
                                                             : scan.tpv;
  return labelled ? lists.labelled : lists.plain;
}

CIMPropertyList ScanProperties() {
  Array<CIMName> names;
  for (const char* name : {"ElementName", "Name", "BlockSize", "NumberOfBlocks", "Purpose"})
    names.append(CIMName(name));
  return CIMPropertyList(names);
}

enum class Step { kNext, kStop };

// One volume of the walk; kStop when the array answers without a property every volume must have.
Step Consider(SmisAction& action, TqCimConnection& conn, Scan& scan, const CIMInstance& volume) {
  std::string uid, name, purpose;
  if (!smisvolume::ReadString(volume, "Name", uid)) {
    action.DEBUG_TRACE(kLabel, " Can not get UID of volume");
    return Step::kNext;
  }
  // A volume without a name cannot be told labelled or reserved: it is passed over like one without a UID.
  if (!smisvolume::ReadString(volume, "ElementName", name)) {
    action.DEBUG_TRACE(kLabel, " Can not get property [ElementName] of volume [%s]", uid.c_str());
    return Step::kNext;
  }
  if (!smisvolume::ReadString(volume, "Purpose", purpose)) {
    action.DEBUG_TRACE(kLabel, " Can not get property [Purpose] of volume [%s]", uid.c_str());
    return Step::kStop;
  }
  const VolumeType type = smiseternus::TypeOfPurpose(purpose);
  action.DEBUG_TRACE_NORMAL(kLabel, "Volume Properties Name[%s] Purpose[%s] UID [%s] ", name.c_str(), purpose.c_str(),
                            uid.c_str());
  if (!TypeTakesCopy(type, scan.copyType)) return Step::kNext;
  Uint64 unused = 0;
  if (!smisvolume::ReadUint64(volume, "BlockSize", unused)) {
    action.DEBUG_TRACE(kLabel, "Can not get property [BlockSize] of volume [%s]", uid.c_str());
    return Step::kNext;
  }
  if (!smisvolume::ReadUint64(volume, "NumberOfBlocks", unused)) {
    action.DEBUG_TRACE(kLabel, " Can not get property [NumberOfBlocks] of volume [%s] UID [%s] ", name.c_str(),
                       uid.c_str());
    return Step::kNext;
  }
  std::optional<Uint64> bytes = smiseternus::SizeInBytes(volume);
  if (!bytes || !scan.sourceBytes || *bytes != *scan.sourceBytes) return Step::kNext;
  // A source that no host sees and that is in no pair is free too, but never its own target.
  if (tqcimutil::Contains(scan.exclusions, uid) || uid == scan.sourceUid) return Step::kNext;
  action.DEBUG_TRACE_NORMAL(kLabel, "Found same size lun [%s] UID [%s] ", name.c_str(), uid.c_str());

  SmisArgs check = {scan.systemName, uid, name};
  if (!action.IsLunAvailable(conn, check)) return Step::kNext;
  String volumeClass(kStorageVolume);
  _EternusLun lun;
  lun.uid = uid;
  lun.objectPath = action.GetObjectPathString(action.GetObjPathByPropName(conn, volumeClass, "Name", String(uid)));
  if (name.compare(0, 3, kReservedPrefix) == 0) return Step::kNext;
  action.DEBUG_TRACE_NORMAL(kLabel, "Found eligible target volume [%s] UID [%s] ", name.c_str(), uid.c_str());
  if (type != VolumeType::kNone) ListFor(scan, type, smiseternus::CarriesLabel(name, scan.volumeLabel))->push_back(lun);
  return Step::kNext;
}

// Reads what the scan needs of the source; 650015 (traced) when a property is missing.
SmisResultCode ReadSource(SmisAction& action, TqCimConnection& conn, const CIMObjectPath& source, Scan& scan,
                          bool& sourceIsTpv) {
  const std::string sourceText = action.GetObjectPathString(source);
  CIMInstance instance = conn.GetInstance(source);
  Uint64 unused = 0;
  std::string name, purpose;
  const char* missing = !smisvolume::ReadUint64(instance, "BlockSize", unused)        ? "BlockSize"
                        : !smisvolume::ReadUint64(instance, "NumberOfBlocks", unused) ? "NumberOfBlocks"
                        : !smisvolume::ReadString(instance, "ElementName", name)      ? "ElementName"
                        : !smisvolume::ReadString(instance, "Purpose", purpose)       ? "Purpose"
                                                                                      : nullptr;
  if (missing) {
    action.DEBUG_TRACE(kLabel, " Can not get property [%s] of source volume %s", missing, sourceText.c_str());
    return kSmisObjectNotFound;
  }
  scan.sourceBytes = smiseternus::SizeInBytes(instance);
  smisvolume::ReadString(instance, "Name", scan.sourceUid);
  if (smiseternus::IsThinPurpose(purpose)) sourceIsTpv = true;
  return kSmisSuccess;
}

}  // namespace

SmisResultCode SmisAction::getEligibleTargetLuns(TqCimConnection& conn, SmisArgs& args,
                                                 std::vector<_EternusLun>& sdvLabelled, std::vector<_EternusLun>& sdv,
                                                 std::vector<_EternusLun>& standardLabelled,
                                                 std::vector<_EternusLun>& standard,
                                                 std::vector<_EternusLun>& tpvLabelled, std::vector<_EternusLun>& tpv,
                                                 bool& sourceIsTpv) {
  SmisCall call(*this, conn, kLabel, "getEligibleTargetLuns");
  call.UsePlainUnknownText();
  if (args.size() < 4) {
    DEBUG_TRACE(kLabel, "Invalid Parameters");
    return kSmisInvalidParameter;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath source;
    if (!call.FindLun(args[1], "source volume", source)) {
      return kSmisInvalidParameter;
    }
    Scan scan;
    scan.systemName = args[0];
    scan.exclusions = args[3];
    scan.copyType = SmisCall::Decimal(args[2]);
    scan.sdv = {&sdvLabelled, &sdv};
    scan.standard = {&standardLabelled, &standard};
    scan.tpv = {&tpvLabelled, &tpv};
    SmisResultCode sourceRead = ReadSource(*this, conn, source, scan, sourceIsTpv);
    if (sourceRead != kSmisSuccess) return sourceRead;

    String volumeClass(kStorageVolume);
    Array<CIMInstance> volumes = conn.GetInstances(volumeClass, ScanProperties());
    DEBUG_TRACE_NORMAL(kLabel, "Class [%s] got [%d] instances", kStorageVolume, static_cast<int>(volumes.size()));
    scan.volumeLabel = smiseternus::ReadVolumeLabel(*this, kLabel, kDefaultLabel);
    for (Uint32 i = 0; i < volumes.size(); ++i)
      if (Consider(*this, conn, scan, volumes[i]) == Step::kStop) return kSmisObjectNotFound;
    return kSmisSuccess;
  });
}
