#include "Report.h"

#include <iomanip>
#include <sstream>
#include <vector>

#include "CopyRecord.h"
#include "Outcome.h"
#include "TQSOTypes.h"
#include "jsonxx.h"

namespace tqso {

namespace {

std::string Status(const DeviceOutcome& device) {
  return std::to_string(device.status) + " " + StatusName(device.status);
}

// The host disk of the copy, while the copy is seen on the host.
std::string CopyDevice(const DeviceOutcome& device) {
  return device.status == TQSO::SS_SEEN_AS_HOST_DEVICE ? device.copyDevice : std::string();
}

// The line under a device's row: its copy, the child it is presented through, the host disk of the copy,
// and what the engine did instead when it had nothing to do.
std::string Details(const DeviceOutcome& device) {
  const CopyFields fields = CopyFieldsOf(device.metadata);
  std::vector<std::string> parts;
  if (!fields.copy.empty()) parts.push_back("copy " + fields.copy);
  if (!fields.child.empty()) parts.push_back("presented through child " + fields.child);
  if (!CopyDevice(device).empty()) parts.push_back("host disk of the copy " + CopyDevice(device));
  if (!device.note.empty()) parts.push_back(device.note);
  std::string details;
  for (const std::string& part : parts) details += (details.empty() ? "" : ", ") + part;
  return details;
}

jsonxx::Object DeviceJson(const DeviceOutcome& device) {
  const CopyFields fields = CopyFieldsOf(device.metadata);
  jsonxx::Array reasons;
  for (const std::string& reason : device.reasons) reasons << reason;
  jsonxx::Object entry;
  entry << "device" << device.device << "status" << device.status << "statusName" << StatusName(device.status)
        << "errorCode" << device.errorCode << "errorText" << device.errorText << "array" << fields.array << "copy"
        << fields.copy << "child" << fields.child << "copyDevice" << CopyDevice(device) << "note" << device.note
        << "metadata" << device.metadata << "reasons" << reasons;
  return entry;
}

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
    const std::string details = Details(device);
    if (!details.empty()) out << "  " << std::string(width, ' ') << "  " << details << "\n";
    // A failure without an error code says why in its job messages.
    if (device.errorCode == 0)
      for (const std::string& reason : device.reasons)
        out << "  " << std::string(width, ' ') << "  reason: " << reason << "\n";
  }
  for (const std::string& problem : step.problems) out << "  ! " << problem << "\n";
  out << std::right;
}

std::string JsonReport(const std::vector<StepOutcome>& steps, bool ok, const ReportFields& extra) {
  jsonxx::Array list;
  for (const StepOutcome& step : steps) {
    jsonxx::Array devices;
    for (const DeviceOutcome& device : step.devices) devices << DeviceJson(device);
    jsonxx::Array problems;
    for (const std::string& problem : step.problems) problems << problem;
    jsonxx::Object entry;
    entry << "call" << step.call << "result" << step.result << "seconds" << step.seconds << "devices" << devices
          << "problems" << problems;
    list << entry;
  }
  jsonxx::Object root;
  root << "ok" << ok << "steps" << list;
  for (const auto& field : extra) root << field.first << field.second;
  return TrimmedEnd(root.json());
}

}  // namespace tqso
