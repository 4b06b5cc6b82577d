// The agent side of the remote proxy: the command written on the first device, the host's remote run, and
// the proxy's result read back.
#include <string>

#include "EvDebug.h"
#include "TqRemoteProxy.h"

int ExecuteRemote(TQSO::SnapInfo** list, short, TQSO::TQOSUtil* services, std::string& proxyHost) {
  const char* tag = "3PAR-ExecuteRemote";
  if (list == nullptr || list[0] == nullptr || services == nullptr) return TQSO::RC_FAIL;
  // A result left from an earlier call must never pass for this one's.
  list[0]->setMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT, nullptr);
  if (!services->executeOnRemotePX(proxyHost)) {
    o_logger.DebugLvl(tag, -1, "[error]executeOnRemotePX failed");
    return TQSO::RC_FAIL;
  }
  std::string value;
  if (!list[0]->getMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT, value)) {
    o_logger.DebugLvl(tag, -1, "Failed to get REMOTE_Generic_Result");
    return TQSO::RC_FAIL;
  }
  // Only a result the proxy can give counts; anything else (a stale or damaged value) is a failure.
  int result = TQSO::RC_FAIL;
  if (!RemoteNumber(value, result) || result < TQSO::RC_SUCCESS || result > TQSO::RC_FAIL_PARTIAL) {
    o_logger.DebugLvl(tag, -1, "Invalid REMOTE_Generic_Result [%s]", value.c_str());
    return TQSO::RC_FAIL;
  }
  if (result != 0) o_logger.DebugLvl(tag, -1, "[ERROR] Remote execution returned Failure ");
  return result;
}

int TP_InvokeRemotePXCall(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, std::string& proxyHost,
                          unsigned messageId, int deviceIndex) {
  const char* tag = "3PAR-TP_InvokeRemotePXCall";
  std::string command;
  if (!GetRemoteCommandParameter(static_cast<int>(messageId), deviceIndex, command)) {
    o_logger.DebugLvl(tag, -1,
                      "[ERROR] remote-command preparation failed [remote PX - %s] [msgid - %d] [ DeviceIndex - %d]",
                      proxyHost.c_str(), static_cast<int>(messageId), deviceIndex);
    return TQSO::RC_FAIL;
  }
  if (list == nullptr || list[0] == nullptr) return TQSO::RC_FAIL;
  list[0]->setMetaDataValue(TQSO::REMOTE_CALL_ID, command.c_str());
  o_logger.DebugLvl(tag, 1, "%s: Sending message (%d) to remote-PX %s [Device Index %d]", tag,
                    static_cast<int>(messageId), proxyHost.c_str(), deviceIndex);
  const int result = ExecuteRemote(list, count, services, proxyHost);
  if (result == 0)
    o_logger.DebugLvl(tag, 1, "%s operation (message-ID - %d) at remote PX %s [Succeeded] ", tag,
                      static_cast<int>(messageId), proxyHost.c_str());
  else
    o_logger.DebugLvl(tag, -1, "%s [ERROR] Failed operation (message-ID - %d) at remote PX %s ", tag,
                      static_cast<int>(messageId), proxyHost.c_str());
  return result;
}
