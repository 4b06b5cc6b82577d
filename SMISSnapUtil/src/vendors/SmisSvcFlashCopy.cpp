#include "SmisSvcFlashCopy.h"

#include "TqCimConnection.h"
#include "action/SmisHostConfig.h"
#include "connection/TqCorvaneConfig.h"

using namespace Pegasus;

namespace smissvc {

namespace {

const char* const kCleanRateSetting = "SMCONFIG_NAME_IBMSVC_CLEAN_RATE";
const char* const kBackgroundRateSetting = "SMCONFIG_NAME_IBMSVC_BACKGROUND_COPY_RATE";
const char* const kBackgroundRateKey = "IBMSVC_FC_BACKGROUNDCOPYRATE";
const char* const kGrainSizeKey = "IBMSVC_MAP_GRAIN_SIZE";

const Uint16 kSnapshotCopy = 4;
const Uint16 kIncrementalCopy = 5;
const Uint16 kReverseCopy = 6;
const int kDefaultRate = 50;
const int kDefaultGrainSize = 256;

bool IsRate(int rate) { return rate >= 0 && rate <= 100; }

void AppendRates(SmisAction& action, const char* label, Uint16 copyType, Array<CIMParamValue>& in) {
  if (copyType == kSnapshotCopy) {
    in.append(CIMParamValue("BackgroundCopyRate", CIMValue(Uint16(0))));
    in.append(CIMParamValue("CleanRate", CIMValue(Uint16(0))));
    action.DEBUG_TRACE_NORMAL(label, "Setting Background copy rate to [%d], Clean rate to [%d]", 0, 0);
    return;
  }
  if (copyType != kIncrementalCopy) return;
  int clean = smisconfig::ArrayInt(action, kCleanRateSetting, kDefaultRate);
  action.DEBUG_TRACE_NORMAL(label, "Array Config [%s : %d]", kCleanRateSetting, clean);
  if (!IsRate(clean)) {
    action.DEBUG_TRACE_NORMAL(label, "Invalid clean rate, setting to default rate 50");
    clean = kDefaultRate;
  }
  in.append(CIMParamValue("CleanRate", CIMValue(Sint32(clean))));
  // The host key, when present, wins over the array's setting.
  int background = smisconfig::ArrayInt(action, kBackgroundRateSetting, kDefaultRate);
  background = smisconfig::RegInt(kTqCorvaneSection, kBackgroundRateKey, background);
  if (!IsRate(background)) {
    action.DEBUG_TRACE_NORMAL(label, "Invalid background rate, setting to default rate 50");
    background = kDefaultRate;
  } else {
    action.DEBUG_TRACE_NORMAL(label, "Array Config [%s : %d]", kBackgroundRateSetting, background);
  }
  in.append(CIMParamValue("BackgroundCopyRate", CIMValue(Uint16(background))));
}

void AppendGrainSize(SmisAction& action, const char* label, Array<CIMParamValue>& in) {
  int key = smisconfig::RegInt(kTqCorvaneSection, kGrainSizeKey, 0);
  if (key <= 0) return;
  action.DEBUG_TRACE(label, "Registry Key [IBMSVC_MAP_GRAIN_SIZE], value = [%d].", key);
  int grainSize = kDefaultGrainSize;
  if (key == 64 || key == 256)
    grainSize = key;
  else
    action.DEBUG_TRACE(label, "Invalid Map Grain Size [%d] provided. Setting the default value 256", key);
  action.DEBUG_TRACE_NORMAL(label, "Setting the Map GrainSize = [%d]", grainSize);
  in.append(CIMParamValue("GrainSize", CIMValue(Uint16(grainSize))));
}

}  // namespace

Uint16 AppendFlashCopyParams(SmisAction& action, TqCimConnection& conn, const char* label, Uint16 copyType,
                             CIMObjectPath& target, Array<CIMParamValue>& in) {
  AppendRates(action, label, copyType, in);
  if (copyType == kReverseCopy)
    action.DEBUG_TRACE_NORMAL(label, "Reverse FlashCopy requested, enabling FlashCopy mapping autodelete");
  if (copyType == kIncrementalCopy) in.append(CIMParamValue("Incremental", CIMValue(Boolean(true))));
  in.append(CIMParamValue("ElementName", CIMValue(String(action.GetCIMProp(conn, target, "ElementName")))));
  AppendGrainSize(action, label, in);
  return copyType == kReverseCopy ? kIncrementalCopy : kSnapshotCopy;
}

}  // namespace smissvc
