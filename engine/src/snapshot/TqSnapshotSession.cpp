// The connect side of every operation, the fault-retry setting and the trace of a caught exception.
#include <string>

#include "SnapshotText.h"
#include "TQPlatformInfo.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

bool Snapshot::Connect(const char* label, bool quiet) {
  if (m_Conn.ConnectCimom() == 0) return true;
  if (quiet) {
    DEBUG_TRACE(label, "Connection to CIMOM failed\n");
  } else {
    std::string message = std::string(label) + ": Connection to CIMOM failed";
    setErrorMsg(kSmisConnectFailed, message.c_str());
  }
  return false;
}

bool Snapshot::ConnectTraced(const char* label, bool record) {
  if (m_Conn.ConnectCimom() == 0) return true;
  DEBUG_TRACE(label, "Connection to CIMOM failed");
  if (record) setErrorMsg(kSmisConnectFailed, FormatText("%s: Connection to CIMOM failed", label).c_str());
  return false;
}

bool Snapshot::FaultRetryConfigured() {
  unsigned long value = 0;
  TQPlatformInfo config;
  config.getNumber("Corvane", "TQ_PEGASUS_FAULT_RETRY", &value);
  return value != 0;
}

void Snapshot::TraceCaught(const char* label, const char* what) { DEBUG_TRACE(label, "Exception caught: %s", what); }

}  // namespace TQ_SMIS_SNAP
