#include "Outcome.h"

#include <vector>

#include "CopyRecord.h"
#include "TQSOTypes.h"

namespace tqso {

namespace {

const size_t kMostReasons = 3;

// The last error messages among `messages` from `first` on (at most kMostReasons, in order), else the last
// message; none when there are no messages.
std::vector<std::string> Reasons(const std::vector<TQSO::JobMessage>& messages, size_t first) {
  std::vector<std::string> reasons;
  for (size_t i = messages.size(); i > first && reasons.size() < kMostReasons; --i)
    if (messages[i - 1].level >= kErrorMessage) reasons.insert(reasons.begin(), TrimmedEnd(messages[i - 1].text));
  if (reasons.empty() && messages.size() > first) reasons.push_back(TrimmedEnd(messages.back().text));
  return reasons;
}

// The engine deletes nothing, and reports the device deleted, when its record names no copy (none was
// made) or when the copy is already gone from the array (a job message of the call says so).
std::string NothingToDelete(const TQSO::SnapInfo& record, const std::vector<TQSO::JobMessage>& messages, size_t first) {
  static const std::string kGone = "Nothing to delete as snap device externally deleted";
  for (size_t i = first; i < messages.size(); ++i)
    if (messages[i].text.compare(0, kGone.size(), kGone) == 0)
      return "nothing to delete: the copy was already gone from the array";
  const CopyFields fields = CopyFieldsOf(record.metaDataText(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID).value_or(""));
  if (fields.copy.empty() && fields.copyPath.empty()) return "nothing to delete: no copy was made";
  return "";
}

}  // namespace

std::string TrimmedEnd(const std::string& text) {
  const size_t end = text.find_last_not_of(" \t\r\n");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

DeviceOutcome ReadOutcome(TQSO::SnapInfo& record, const std::string& call, size_t firstMessage) {
  DeviceOutcome device;
  device.device = record.hostDevicePath();
  device.status = record.getStatus();
  device.errorCode = record.errorCode();
  device.errorText = TrimmedEnd(record.errorText());
  device.metadata = record.metaDataText(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID).value_or("");
  device.copyDevice = record.snapDeviceName();
  const std::vector<TQSO::JobMessage> messages = record.messages();
  if (IsFailedStatus(device.status)) device.reasons = Reasons(messages, firstMessage);
  if (call == "delete" && device.status == TQSO::SS_DELETED)
    device.note = NothingToDelete(record, messages, firstMessage);
  return device;
}

}  // namespace tqso
