// The error scheme: a provider code becomes an SMI-S code through the vendor's table, an SMI-S code
// becomes the device's engine error, and every failure is logged on the device's job record.
#include <string>

#include "SnapInfo.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

// The table's row that matches, searched up to the end row; null when none does.
template <class Matches>
const TQ_SMIS_ERROR_MAP* FindRow(const TQ_SMIS_ERROR_MAP* table, Matches matches) {
  if (!table) return nullptr;
  for (const TQ_SMIS_ERROR_MAP* row = table; row->providerCode != 0; ++row)
    if (matches(*row)) return row;
  return nullptr;
}

// An engine code that leaves the device's error as it is.
bool SetsNoDeviceError(int engineCode) { return engineCode == -1 || engineCode == 4; }

}  // namespace

int Snapshot::GetVendorSmisErrorCode(int providerCode, std::string* message) {
  if (message) message->clear();
  const TQ_SMIS_ERROR_MAP* row =
      FindRow(m_ErrorMap, [&](const TQ_SMIS_ERROR_MAP& r) { return r.providerCode == providerCode; });
  if (!row) return -1;
  if (message) *message = row->message;
  return row->smisCode;
}

int Snapshot::GetTqSmisErrorCode(int smisCode) {
  const TQ_SMIS_ERROR_MAP* row =
      FindRow(m_ErrorMap, [&](const TQ_SMIS_ERROR_MAP& r) { return r.smisCode == smisCode; });
  return row ? row->engineCode : -1;
}

void Snapshot::setErrorMsg(int smisCode, const char* message) {
  if (message) {
    if (!m_Conn.m_AuthFailure && m_ErrorMap && m_SnapInfo) {
      int engineCode = GetTqSmisErrorCode(smisCode);
      m_SnapInfo->logMessage(2, message);
      if (!SetsNoDeviceError(engineCode)) m_SnapInfo->setError(engineCode, message);
    } else if (m_SnapInfo) {
      m_SnapInfo->logFormatted(2, "Snapshot::setErrorMsg", "ErrorCode %d: ErrorMsg = %s", smisCode, message);
    } else {
      DEBUG_TRACE("Snapshot::setErrorMsg", "ErrorCode %d: ErrorMsg = %s", smisCode, message);
    }
  }
  m_LastErrorCode = smisCode;
  m_LastErrorMsg = message ? message : "";
}

}  // namespace TQ_SMIS_SNAP
