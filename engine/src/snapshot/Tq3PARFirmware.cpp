// The array's firmware version, on the object's open connection or on one of its own.
#include <string>

#include "SnapshotText.h"
#include "Tq3PARSnapshot.h"

namespace {

const char kLabel[] = "Tq3PARSnapshot::3PAR-GetVersionStrings";

}  // namespace

int Tq3PARSnapshot::Get3PARVersionStrings(std::string& version, unsigned short& build) {
  const bool opened = m_Conn.m_Cimom.GetConnState() != TQ_CIM_CONNECTED;
  if (opened && !ConnectTraced(kLabel, false)) return 1;
  const int result = Handled(kLabel, TQ_SMIS_SNAP::kCaughtTexts, TQ_CATCH_SITE, 1, [&]() -> int {
    std::uint16_t number = 0;
    if (Get3PARFirmware(m_Conn, version, number)) {
      build = number;
      return 0;
    }
    DEBUG_TRACE(kLabel, "3PAR Firmware [Version - %s] [Build - %u]", version.c_str(), static_cast<unsigned>(number));
    DEBUG_TRACE(kLabel, "Tq3PARSnapshot::Get3PARVersionStrings: [Error] ivalid version found] ");
    return 1;
  });
  if (opened) m_Conn.DisconnectCimom();
  return result;
}
