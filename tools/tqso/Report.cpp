#include "Report.h"

#include <iomanip>
#include <sstream>

#include "TQSOTypes.h"
#include "jsonxx.h"

namespace tqso {

namespace {

std::string Status(const DeviceOutcome& device) {
  return std::to_string(device.status) + " " + StatusName(device.status);
}

// Field `index` of the engine's record (fields joined by '*'); "" when it has fewer.
std::string RecordField(const std::string& record, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = record.find('*', start);
    if (start == std::string::npos) return "";
    ++start;
  }
  const size_t end = record.find('*', start);
  return record.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

const size_t kRecordCopy = 6;
const size_t kRecordChild = 8;

std::string Error(const DeviceOutcome& device) {
  if (device.errorCode == 0) return "-";
  return std::to_string(device.errorCode) + " " + device.errorText;
}

}  // namespace

void PrintStep(std::ostream& out, const StepOutcome& step) {
  const char* verdict = step.result == 0 ? "all devices" : (step.result == 2 ? "some devices" : "no device");
  out << "== " << step.call << ": result " << step.result << " (" << verdict << ")  " << std::fixed
      << std::setprecision(2) << step.seconds << " s\n";
  size_t width = 6;
  for (const DeviceOutcome& device : step.devices) width = std::max(width, device.device.size());
  out << "  " << std::left << std::setw(static_cast<int>(width)) << "device"
      << "  " << std::setw(22) << "status"
      << "  error\n";
  for (const DeviceOutcome& device : step.devices) {
    out << "  " << std::setw(static_cast<int>(width)) << device.device << "  " << std::setw(22) << Status(device)
        << "  " << Error(device) << "\n";
    const std::string copy = RecordField(device.metadata, kRecordCopy);
    const std::string child = RecordField(device.metadata, kRecordChild);
    std::string details;
    if (!copy.empty()) details += "copy " + copy;
    if (!child.empty() && child != "EMPTYDEV") details += ", presented through child " + child;
    if (device.status == TQSO::SS_SEEN_AS_HOST_DEVICE && !device.copyDevice.empty())
      details += ", host disk of the copy " + device.copyDevice;
    if (!details.empty()) out << "  " << std::string(width, ' ') << "  " << details << "\n";
    // A failure without an error code says why in its job messages.
    if (IsFailedStatus(device.status) && device.errorCode == 0)
      for (const std::string& reason : device.reasons)
        out << "  " << std::string(width, ' ') << "  reason: " << reason << "\n";
  }
  for (const std::string& problem : step.problems) out << "  ! " << problem << "\n";
  out << std::right;
}

std::string JsonReport(const std::vector<StepOutcome>& steps, bool ok) {
  jsonxx::Array list;
  for (const StepOutcome& step : steps) {
    jsonxx::Array devices;
    for (const DeviceOutcome& device : step.devices) {
      jsonxx::Array reasons;
      for (const std::string& reason : device.reasons) reasons << reason;
      jsonxx::Object entry;
      entry << "device" << device.device << "status" << device.status << "statusName" << StatusName(device.status)
            << "errorCode" << device.errorCode << "errorText" << device.errorText << "metadata" << device.metadata
            << "copyDevice" << device.copyDevice << "reasons" << reasons;
      devices << entry;
    }
    jsonxx::Array problems;
    for (const std::string& problem : step.problems) problems << problem;
    jsonxx::Object entry;
    entry << "call" << step.call << "result" << step.result << "seconds" << step.seconds << "devices" << devices
          << "problems" << problems;
    list << entry;
  }
  jsonxx::Object root;
  root << "ok" << ok << "steps" << list;
  return root.json();
}

}  // namespace tqso
