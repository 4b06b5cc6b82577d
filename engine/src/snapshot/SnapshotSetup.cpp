#include "TqSnapshotSetup.h"

#include "TqArrayLogin.h"

namespace {

const uint32_t kSnapCopyRequest = 0x8000;

}  // namespace

bool initArrayParams(Tq3PARSnapshot& snapshot, TQSO::SnapInfo* device, TQSO::TQOSUtil* services, std::string arrayId,
                     bool fromDevice) {
  tqengine::TqArrayLogin login;
  if (!tqengine::ReadArrayParams(device, services, arrayId, fromDevice, login)) return false;
  TQ_SMIS_SNAP::TqArrayParams params;
  static_cast<TqCimomParams&>(params) = login.cimom;
  params.systemName = login.systemName;
  snapshot.SetArrayInfo(params);
  return true;
}

bool TovakCopyFlagset(TQSO::SnapInfo* device) { return device != nullptr && device->isFlagSet(kSnapCopyRequest); }

void GetSnapshotCopyName(TQSO::SnapInfo* device, std::string& name) {
  name = "TQCL-TP_" + std::to_string(device->getCopyNumber());
}

TQ_SMIS_SNAP::TqSnapParams CopyParamsOf(const _TQ3PAR_SnapMetadata& record) {
  TQ_SMIS_SNAP::TqSnapParams params;
  params.servicePath = record.snapServicePath;
  params.sourceDev = record.srcDev;
  params.sourceDevPath = record.srcDevPath;
  params.targetDev = record.targetDev;
  params.targetDevPath = record.targetDevPath;
  params.targetDGPath = record.targetDGpath;
  return params;
}
