// The proxy side of the remote proxy: the command of the first device decoded, the worker it names run
// with isLocal false, the result written back; and the per-device map and unmap handlers.
#include <string>

#include "EvDebug.h"
#include "FXString.h"
#include "TqCopyWorkers.h"
#include "TqMapWorkers.h"
#include "TqRemoteProxy.h"
#include "TqSnapWorkers.h"
#include "jobs/DeviceTexts.h"

namespace {

const char kTag[] = "3PAR-tqso_execSnapEngineOp";

// A device index names every device (-1) or one of the list.
bool ValidIndex(int index, short count) { return index == -1 || (index >= 0 && index < count); }

const char* ResultName(int result) {
  switch (result) {
    case TQSO::RC_SUCCESS:
      return "TQSO::RC_SUCCESS";
    case TQSO::RC_FAIL:
      return "RC_FAIL";
    case TQSO::RC_FAIL_PARTIAL:
      return "RC_FAIL_PARTIAL";
    default:
      return "Failed";
  }
}

// The worker of a message; false for a message id outside the protocol.
bool RunMessage(int message, int index, TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, int& result) {
  switch (message) {
    case 2:
    case 3:
    case 5:
      result = TQSO::RC_SUCCESS;
      return true;
    case 4:
      result = TP_prepareDevices(list, count, services, false, false);
      return true;
    case 13:
      result = TP_prepareDevices(list, count, services, false, true);
      return true;
    case 6:
      result = TP_snapDevices(list, count, services, false);
      return true;
    case 7:
      result = TP_deleteSnaps(list, count, services, false);
      return true;
    case 9:
      result = TP_mapSnaps(list, count, services, false, index);
      return true;
    case 10:
      result = TP_unmapSnaps(list, count, services, false, index);
      return true;
    case 11:
      result = TP_revertSnaps(list, count, services, false);
      return true;
    case 12:
      result = TP_reconcileSnaps(list, count, services, false);
      return true;
    default:
      return false;
  }
}

}  // namespace

int ExecuteRemoteCommand(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services) {
  if (list == nullptr || count <= 0 || list[0] == nullptr) return TQSO::RC_SUCCESS;
  std::string command;
  if (!list[0]->getMetaData(TQSO::REMOTE_CALL_ID, command)) {
    const std::string text = FXString::Format("%s: Failed to get REMOTE_CALL_ID", kTag);
    list[0]->logMessage(2, text.c_str());
    return TQSO::RC_FAIL;
  }
  int message = 0, index = -1;
  if (!ExtractCommandParameter(command, message, index)) {
    o_logger.DebugLvl(kTag, -1, "[ERROR] Remote execution call has invalid request [%s] ", command.c_str());
    return TQSO::RC_FAIL;
  }
  o_logger.DebugLvl(kTag, 2, "Remote PX Invoke [message-ID = %d] [Device-index = %d] ", message, index);
  int result = TQSO::RC_FAIL;
  if (!RunMessage(message, index, list, count, services, result)) {
    o_logger.DebugLvl(kTag, -1, "[ERROR] Unknown-message (%d)", message);
    return TQSO::RC_FAIL;
  }
  o_logger.DebugLvl(kTag, result == 0 ? 1 : -1, "Remote PX Invoke message-ID (%u) Completed [Result = %s]",
                    static_cast<unsigned>(message), ResultName(result));
  if (list[0]->setMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT,
                           std::to_string(static_cast<unsigned>(result)).c_str()) == 1)
    o_logger.DebugLvl(kTag, -1, "[ERROR]setMetaData SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT failed");
  return result;
}

int HandleRemoteCallMapVolume(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, int deviceIndex) {
  const char* tag = "3PAR-HandleRemoteCallMapVolume";
  if (!ValidIndex(deviceIndex, count)) {
    o_logger.DebugLvl(tag, -1, "[ERROR]Invalid Index [count = %d] [index - %d]", count, deviceIndex);
    return TQSO::RC_FAIL;
  }
  int mapped = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr || (deviceIndex != -1 && i != deviceIndex)) continue;
    const std::string path = tqengine::HostDevicePathOf(device);
    std::string parameter, group, ports, secondGroup, secondPorts;
    bool iscsi = false, snapshotVolumes = false, secondIscsi = false, unused = false;
    if (!device->getMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_INITIATOR_PORT_ID, parameter)) {
      o_logger.DebugLvl(tag, -1, "%s:[ERROR]Failed to get metadata SM_MDT_3PAR_UNIQUE_STR_REMOTE_INITIATOR_PORT_ID",
                        tag);
      continue;
    }
    if (!ExtractRemoteMapParameter(parameter, group, ports, iscsi, snapshotVolumes)) {
      o_logger.DebugLvl(tag, -1, "%s:[ERROR]Failed to Extract Remote MapParameter [%s]", tag, parameter.c_str());
      continue;
    }
    std::string second;
    if (device->getMetaData(TQSO::SM_MDT_3PAR_REMOTE_MAP_PARAMETER_2, second))
      ExtractRemoteMapParameter(second, secondGroup, secondPorts, secondIscsi, unused);
    if (!ArrayOperarions_mapVolumes(device, services, snapshotVolumes, group, ports, iscsi, secondGroup, secondPorts,
                                    secondIscsi, path.c_str(), mapped))
      o_logger.DebugLvl(tag, -1, "[ERROR] [Remote] Map-Snap operation has failed)");
  }
  o_logger.DebugLvl(tag, 1, " [Remote] MapCount = %d", mapped);
  if (list[0] != nullptr)
    list[0]->setMetaDataValue(TQSO::SM_MDT_3PAR_REMOTE_MAP_COUNT,
                              std::to_string(static_cast<unsigned>(mapped)).c_str());
  const int asked = deviceIndex == -1 ? count : 1;
  if (mapped == 0) return TQSO::RC_FAIL;
  return mapped == asked ? TQSO::RC_SUCCESS : TQSO::RC_FAIL_PARTIAL;
}

int HandleRemoteCallUnmapVolume(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool keep, std::string&,
                                int deviceIndex) {
  const char* tag = "3PAR-HandleRemoteCallUnmapVolume";
  if (!ValidIndex(deviceIndex, count)) {
    o_logger.DebugLvl(tag, -1, "[ERROR]Invlid Index [count = %d] [index - %d]", count, deviceIndex);
    return TQSO::RC_FAIL;
  }
  int unmapped = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr || (deviceIndex != -1 && i != deviceIndex)) continue;
    std::string value;
    if (!device->getMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_PARAMETER, value)) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Unable to get _REMOTE_GENERIC parameters");
      continue;
    }
    o_logger.DebugLvl(tag, -1, "[SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_PARAMETER] bSnapVolumes [%s]", value.c_str());
    ArrayOperarions_unmapVolumes(device, services, !value.empty() && value[0] == '1', unmapped, keep);
  }
  return TQSO::RC_SUCCESS;
}
