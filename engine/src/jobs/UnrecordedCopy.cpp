// The device's error for a copy the array holds that its record does not name.
#include "UnrecordedCopy.h"

#include "EvDebug.h"
#include "FXString.h"
#include "TqEngineErrors.h"

namespace tqengine {

void ReportUnrecordedCopy(TQSO::SnapInfo* device, const char* tag, const std::string& copyId,
                          const std::string& copyPath, const char* why) {
  const std::string& name = copyId.empty() ? copyPath : copyId;
  const std::string text = FXString::Format("Copy [%s] is on the storage array but %s; remove it", name.c_str(), why);
  o_logger.DebugLvl(tag, -1, "%s", text.c_str());
  device->logMessage(2, text.c_str());
  device->setError(kErrCopyLeft, text.c_str());
}

void ReportCopyStillNamed(TQSO::SnapInfo* device, const char* tag, Tq3PARSnapshot& snapshot, const char* why) {
  if (!snapshot.GetSnapDevice().empty() || !snapshot.GetSnapDevPath().empty()) {
    ReportUnrecordedCopy(device, tag, snapshot.GetSnapDevice(), snapshot.GetSnapDevPath(), why);
    return;
  }
  const std::string& note = snapshot.GetUnsettledCopyNote();
  if (note.empty()) return;
  o_logger.DebugLvl(tag, -1, "%s", note.c_str());
  device->logMessage(2, note.c_str());
  device->setError(kErrCopyLeft, note.c_str());
}

}  // namespace tqengine
