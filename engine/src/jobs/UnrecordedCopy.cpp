// The device's error for a copy the array holds that its record does not name.
#include "UnrecordedCopy.h"

#include "EvDebug.h"
#include "FXString.h"
#include "TqEngineErrors.h"

namespace tqengine {

namespace {

// Error 62010 with the text, in the log and in the device's messages.
void SetCopyLeftError(TQSO::SnapInfo* device, const char* tag, const std::string& text) {
  o_logger.DebugLvl(tag, -1, "%s", text.c_str());
  device->logMessage(2, text.c_str());
  device->setError(kErrCopyLeft, text.c_str());
}

}  // namespace

void ReportUnrecordedCopy(TQSO::SnapInfo* device, const char* tag, const std::string& copyId,
                          const std::string& copyPath, const char* why) {
  const std::string& name = copyId.empty() ? copyPath : copyId;
  SetCopyLeftError(device, tag,
                   FXString::Format("Copy [%s] is on the storage array but %s; remove it", name.c_str(), why));
}

void ReportCopyStillNamed(TQSO::SnapInfo* device, const char* tag, Tq3PARSnapshot& snapshot, const char* why) {
  if (!snapshot.GetSnapDevice().empty() || !snapshot.GetSnapDevPath().empty()) {
    ReportUnrecordedCopy(device, tag, snapshot.GetSnapDevice(), snapshot.GetSnapDevPath(), why);
    return;
  }
  if (!snapshot.GetUnsettledCopyNote().empty()) SetCopyLeftError(device, tag, snapshot.GetUnsettledCopyNote());
}

}  // namespace tqengine
