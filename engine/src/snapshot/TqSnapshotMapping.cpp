// Presenting a copy to host initiators and withdrawing it through the generic masking operations, and
// telling whether it is presented.
#include <string>

#include "SmisResultCodes.h"
#include "SnapshotText.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char kMapLabel[] = "Snapshot::MapSnap";
const char kUnmapLabel[] = "Snapshot::UnmapSnap";
const char kMappedLabel[] = "Snapshot::IsSnapMapped";
const short kAccessNotSet = 99;
const SmisResultCode kInvalidLun = 4097;
const SmisResultCode kInvalidParameter = 5;
const int kEngineDeviceNotFound = 60542;
const char kFaultRetryAccess[] = "23";
const size_t kAccessPosition = 4;

bool IsIscsiName(const std::string& ports) {
  return ports.find("iqn") != std::string::npos || ports.find("eui") != std::string::npos ||
         ports.find("naa") != std::string::npos;
}

}  // namespace

bool Snapshot::ViewFieldsValid(bool needsAccess) {
  const bool valid = !m_SystemName.empty() && !m_InitiatorPorts.empty() &&
                     (!m_TargetDev.empty() || !m_TargetDevPath.empty()) &&
                     (!needsAccess || m_DeviceAccess != kAccessNotSet);
  if (!valid) DEBUG_TRACE(needsAccess ? kMapLabel : kUnmapLabel, "Invalid Parameters\n");
  return valid;
}

void Snapshot::FillTargetFromPath(const char* label) {
  if (m_TargetDevPath.empty()) return;
  if (m_TargetDev.empty()) m_TargetDev = GetCIMProp(m_Conn, m_TargetDevPath, "Name");
  DEBUG_TRACE_NORMAL(label, "Target Device UUID %s\n", m_TargetDev.c_str());
}

int Snapshot::MapSnap() {
  if (!ViewFieldsValid(true)) return 1;
  return Connected(kMapLabel, 1, [&]() -> int {
    DEBUG_TRACE_NORMAL(kMapLabel, "Target Device UUID %s\n", m_TargetDev.c_str());
    FillTargetFromPath(kMapLabel);
    SmisArgs args = {m_SystemName, m_TargetDev, m_InitiatorPorts, "null", std::to_string(m_DeviceAccess)};
    if (!m_TargetPorts.empty()) args.push_back(m_TargetPorts);
    PrimeFaultRetry(kMapLabel, args, {{kAccessPosition, kFaultRetryAccess}},
                    [&](SmisArgs& spoiled) { ExposePaths(m_Conn, spoiled); });
    const SmisResultCode result = ExposePaths(m_Conn, args);
    if (result == 0) {
      DEBUG_TRACE_NORMAL(kMapLabel, "Device %s Mapping Success\n", m_TargetDev.c_str());
      return 0;
    }
    std::string text = "Error: mapping failed";
    if (result == kSmisInitiatorsRefused && IsIscsiName(m_InitiatorPorts))
      text =
          FormatText("Invalid Initiator port[s] %s supplied, please check iSCSI is supported with the Storage Array ",
                     m_InitiatorPorts.c_str());
    else if (result == kSmisInitiatorsRefused)
      text = FormatText("Invalid Initiator port[s] %s supplied, please check FC is supported with the Storage Array ",
                        m_InitiatorPorts.c_str());
    else if (result == kInvalidParameter)
      text = "Invalid parameter supplied for SMIS operation";
    else if (result == kInvalidLun)
      text = FormatText("Invalid LUN ID %s supplied", m_TargetDev.c_str());
    setErrorMsg(static_cast<int>(result), text.c_str());
    return 1;
  });
}

int Snapshot::UnmapSnap() {
  if (!ViewFieldsValid(false)) return 1;
  return Connected(kUnmapLabel, 1, [&]() -> int {
    if (!m_TargetDevPath.empty()) {
      FillTargetFromPath(kUnmapLabel);
      m_TargetFriendlyName = GetCIMProp(m_Conn, m_TargetDevPath, "ElementName");
      DEBUG_TRACE_NORMAL(kUnmapLabel, "Target Device friendly name: %s\n", m_TargetFriendlyName.c_str());
    }
    SmisArgs args = {m_SystemName, m_TargetDev, m_InitiatorPorts,
                     "null",       "null",      m_TargetDevPath.empty() ? std::string("null") : m_TargetDevPath};
    PrimeFaultRetry(kUnmapLabel, args, {}, [&](SmisArgs& copy) { HidePaths(m_Conn, copy); });
    const SmisResultCode result = HidePaths(m_Conn, args);
    if (result == kSmisMappingNotFound)
      DEBUG_TRACE(kUnmapLabel, "Device %s Unmapping Failed, Not Mapped to any Host\n", m_TargetDev.c_str());
    if (result == 0 || result == kSmisMappingNotFound) {
      DEBUG_TRACE_NORMAL(kUnmapLabel, "Device %s Unmapping Success\n", m_TargetDev.c_str());
      return 0;
    }
    DEBUG_TRACE(kUnmapLabel, "Device %s Unmapping Failed\n", m_TargetDev.c_str());
    std::string text;
    const int code = GetVendorSmisErrorCode(static_cast<int>(result), &text);
    if (code != -1 && !text.empty()) DEBUG_SET_ERROR(code, text.c_str());
    return 1;
  });
}

int Snapshot::IsSnapMapped() {
  if (m_SystemName.empty() || m_InitiatorPorts.empty() || (m_TargetDev.empty() && m_TargetDevPath.empty())) {
    DEBUG_TRACE(kMappedLabel, "Invalid Parameters\n");
    return 0;
  }
  std::string volume = !m_TargetDevPath.empty() ? m_TargetDevPath : m_TargetDev;
  SmisArgs args = {m_SystemName, volume, m_InitiatorPorts};
  return Connected(kMappedLabel, 0, [&]() -> int {
    DEBUG_TRACE_NORMAL(kMappedLabel, "Target Device UUID %s\n", m_TargetDev.c_str());
    if (!m_TargetDevPath.empty())
      DEBUG_TRACE_NORMAL(kMappedLabel, "Target Device friendly name: %s\n",
                         GetCIMProp(m_Conn, m_TargetDevPath, "ElementName").c_str());
    const std::string notFound = FormatText("%s: Device %s not found", kMappedLabel, m_TargetDev.c_str());
    if (CheckInstanceExistence(m_Conn, m_SystemName, volume, m_TargetDev) == 0) {
      setErrorMsg(kEngineDeviceNotFound, notFound.c_str());
      return 0;
    }
    const SmisResultCode mapped = IsLunMapped(m_Conn, args);
    if (mapped == 1) {
      const std::string text = FormatText("%s:SMIS API failure", kMappedLabel);
      setErrorMsg(kSmisConnectFailed, text.c_str());
      return 0;
    }
    if (mapped == kSmisObjectNotFound) {
      setErrorMsg(static_cast<int>(kSmisObjectNotFound), "One or more parameter required by API is not found");
      return 0;
    }
    if (mapped == kSmisVolumeNotFound) {
      setErrorMsg(kEngineDeviceNotFound, notFound.c_str());
      return 0;
    }
    if (mapped == kSmisMappingNotFound) {
      DEBUG_TRACE(kMappedLabel, "Device %s mapping not found\n", m_TargetDev.c_str());
      return TQSO::SS_UNMAPPED;
    }
    if (mapped == kSmisHostMappingsFound) {
      DEBUG_TRACE_NORMAL(kMappedLabel, "Device %s mapped to another host", m_TargetDev.c_str());
      return TQSO::SS_MAPPED_TO_OTHER_HOST;
    }
    return TQSO::SS_MAPPED;
  });
}

}  // namespace TQ_SMIS_SNAP
