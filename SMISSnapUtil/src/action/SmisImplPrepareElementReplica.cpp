// Getting an ETERNUS replica ready: the array's replication service and the source, then the target, tried
// in turn: the copy of a pair the source has already, a free volume chosen by volume label or by the
// selection rules, and for a clone a new volume shaped like the source. Only the values that describe the
// replica are handed back; the replica itself is made by CreateElementReplica.
#include "SmisCall.h"
#include "SmisHostConfig.h"
#include "SmisReplicationArgs.h"
#include "TqCimConnection.h"
#include "connection/TqCorvaneConfig.h"
#include "vendors/SmisEternusTargetChoice.h"
#include "vendors/SmisEternusVolumes.h"

using namespace Pegasus;
using smiseternus::Choice;
using smisreplication::At;

namespace {

const char* const kLabel = "SMIS::PrepareCreateElementReplica";
const char* const kSelectionKey = "ETERNUS_ENABLE_VOLUME_SELECTION";
const char* const kTpvForSnapshotSetting = "SMCONFIG_NAME_USE_TPV_FOR_SNAP";
const char* const kOriginPair = "4";
const char* const kOriginChosen = "0";
const char* const kOriginCreated = "3";

// The target found, and how.
struct Target {
  CIMObjectPath path;
  std::string uid;
  const char* origin = "";
};

// Which way the target is chosen among free volumes: by label when there is one, else by the selection
// rules when they are switched on, else not at all.
enum class Mode { kNone, kLabel, kSelection };

Mode ReadMode(SmisAction& action, smiseternus::ChoiceRequest& request) {
  request.volumeLabel = smiseternus::ReadVolumeLabel(action, kLabel, std::string());
  Mode mode = request.volumeLabel.empty() ? Mode::kNone : Mode::kLabel;
  unsigned long selection = 0;
  if (mode == Mode::kNone && smisconfig::NumberIfPresent(kSelectionKey, selection)) {
    action.DEBUG_TRACE_NORMAL(kLabel, "Reg Key ETERNUS_ENABLE_VOLUME_SELECTION [%d] ", static_cast<int>(selection));
    if (selection != 0) mode = Mode::kSelection;
  }
  const int tpvForSnapshot = smisconfig::ArrayInt(action, kTpvForSnapshotSetting, 0);
  action.DEBUG_TRACE_NORMAL(kLabel, " Array Config [%s:%d]", kTpvForSnapshotSetting, tpvForSnapshot);
  request.useTpvForSnapshot = tpvForSnapshot == 1;
  return mode;
}

// A new volume shaped like the source, in the device group (the source's own pool without one). False
// (traced) when it cannot be made.
bool CreateCloneTarget(SmisAction& action, TqCimConnection& conn, const SmisArgs& in, const std::string& sourceText,
                       Target& target) {
  action.DEBUG_TRACE(kLabel, "Going to create new target volume for SrcVol [%s]", sourceText.c_str());
  SmisArgs request = {in[0], in[1], At(in, 4).empty() ? "null" : At(in, 4)};
  SmisArgs volume;
  if (action.CreateStorageVolParams(conn, request, sourceText, volume) != kSmisSuccess) {
    action.DEBUG_TRACE(kLabel, "Failed to create new storage volume parameters\n");
    return false;
  }
  if (smisconfig::Number(kTqPegasusFaultRetryKey, 0) != 0) {
    action.DEBUG_TRACE(kLabel, "Pegasus retry in faulty environment");
    // A throw-away call without a name and of size 0, which the provider refuses.
    SmisArgs priming = volume;
    if (priming.size() > 1) priming[1].clear();
    if (priming.size() > 3) priming[3] = "0";
    std::string ignored;
    action.CreateStorageVolume(conn, priming, ignored);
  }
  std::string created;
  if (action.CreateStorageVolume(conn, volume, created) != kSmisSuccess) {
    action.DEBUG_TRACE(kLabel, "Failed to create new storage volume\n");
    return false;
  }
  tqcimutil::ParseInstancePath(created, target.path);
  target.uid = action.GetCIMProp(conn, target.path, "Name");
  target.origin = kOriginCreated;
  return true;
}

// The copy of a pair the source has already, when one suits the copy type.
bool PairedTarget(SmisAction& action, TqCimConnection& conn, const std::string& sourceName, SmisArgs& scanArgs,
                  Target& target) {
  action.DEBUG_TRACE(kLabel, "Going to find paired target Lun for Source Volume [%s]", sourceName.c_str());
  std::string uid, path;
  if (action.getEligibleTargetLunsMode2(conn, scanArgs, uid, path) != kSmisSuccess) {
    action.DEBUG_TRACE(kLabel, "No paired target Lun found for Source Volume [%s]", sourceName.c_str());
    return false;
  }
  target.path = CIMObjectPath(String(path));
  target.uid = uid;
  target.origin = kOriginPair;
  return true;
}

// A free volume of the array, chosen by the mode the configuration sets. kRefused ends the preparation:
// label mode found no labelled target, or the array could not be read.
Choice FreeTarget(SmisAction& action, TqCimConnection& conn, const std::string& sourceName, SmisArgs& scanArgs,
                  smiseternus::ChoiceRequest& request, Target& target) {
  const Mode mode = ReadMode(action, request);
  if (mode == Mode::kNone) return Choice{};
  action.DEBUG_TRACE(kLabel, "Going to find target Lun for Source Volume [%s]", sourceName.c_str());
  smiseternus::Candidates lists;
  SmisResultCode scanned =
      action.getEligibleTargetLuns(conn, scanArgs, lists.sdvLabelled, lists.sdv, lists.standardLabelled, lists.standard,
                                   lists.tpvLabelled, lists.tpv, lists.sourceIsTpv);
  if (scanned != kSmisSuccess) {
    action.DEBUG_TRACE(kLabel, " Failed to find target Lun for Source Volume [%s]", sourceName.c_str());
    // 1 is a fault the scan caught: with the array unreadable nothing is created either.
    return Choice{scanned == kSmisFailed ? Choice::kRefused : Choice::kNone, std::string()};
  }
  Choice choice = mode == Mode::kLabel ? smiseternus::ChooseByLabel(action, kLabel, request, lists)
                                       : smiseternus::ChooseBySelection(action, conn, kLabel, request, lists);
  if (choice.kind != Choice::kChosen) return choice;
  String volumeClass("CIM_StorageVolume");
  target.path = action.GetObjPathByPropName(conn, volumeClass, "Name", String(choice.uid));
  target.uid = choice.uid;
  target.origin = kOriginChosen;
  action.DEBUG_TRACE_NORMAL(kLabel, " Selected target Lun : Friendly Name [%s] UID [%s] ObjectPath [%s]",
                            action.GetCIMProp(conn, target.path, "ElementName").c_str(), target.uid.c_str(),
                            action.GetObjectPathString(target.path).c_str());
  return choice;
}

}  // namespace

bool SmisAction::PrepareCreateElementReplica(TqCimConnection& conn, SmisArgs& in, std::vector<std::string>& out) {
  SmisCall call(*this, conn, kLabel, "PrepareCreateElementReplica");
  call.UsePlainUnknownText();
  std::vector<std::string> prepared;
  SmisResultCode result = call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath service;
    if (!ValidateCreateElementReplica(conn, in, service)) return kSmisFailed;
    CIMObjectPath source;
    if (!call.FindLun(in[3], "source volume", source)) {
      return kSmisObjectNotFound;
    }
    const std::string sourceText = GetObjectPathString(source);
    DEBUG_TRACE_NORMAL(kLabel, "Source Volume [%s]", sourceText.c_str());
    const std::string sourceName = GetCIMProp(conn, source, "ElementName");
    smiseternus::ChoiceRequest request;
    request.systemName = in[0];
    request.sourceText = sourceText;
    request.copyType = SmisCall::Decimal(in[2]);
    request.deviceGroup = At(in, 4);
    request.stayInGroup = At(in, 6) == "1";
    SmisArgs scanArgs = {in[0], sourceText, in[2], At(in, 5)};

    Target target;
    // A snapshot of the vendor's own kind is always made afresh.
    if (request.copyType == 8 || !PairedTarget(*this, conn, sourceName, scanArgs, target)) {
      const Choice choice = FreeTarget(*this, conn, sourceName, scanArgs, request, target);
      if (choice.kind == Choice::kRefused) return kSmisFailed;
      if (choice.kind == Choice::kNone) {
        if (request.copyType == 4 || request.copyType == 8) {
          DEBUG_TRACE(kLabel, " Failed to find target SDV for Source Volume [%s]", sourceText.c_str());
          return kSmisFailed;
        }
        if (request.copyType == 5 && !CreateCloneTarget(*this, conn, in, sourceText, target)) return kSmisFailed;
      }
    }
    if (target.path.getClassName().isNull()) {
      DEBUG_TRACE(kLabel, " LUN UUID [%s] not found", target.uid.c_str());
      return kSmisObjectNotFound;
    }
    const std::string targetText = GetObjectPathString(target.path);
    DEBUG_TRACE_NORMAL(kLabel, "TargetVol: [%s]", targetText.c_str());
    prepared = {GetObjectPathString(service), in[1], in[2], sourceText, target.uid, targetText, target.origin};
    return kSmisSuccess;
  });
  if (result != kSmisSuccess) return false;
  out.insert(out.end(), prepared.begin(), prepared.end());
  return true;
}
