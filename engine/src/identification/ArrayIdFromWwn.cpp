// The array that owns a LUN, from the LUN's WWN.
#include <cstdlib>
#include <string>

#include "EvDebug.h"
#include "FXString.h"
#include "TqDeviceInquiry.h"
#include "TqEngineConfig.h"

namespace {

const char kTag[] = "GetArrayNameFromWWN";
const size_t kWwn16ByteLength = 32;
const size_t kWwn8ByteLength = 16;
const int kNaaRegisteredExtended = 6;

std::string StripBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The NAA of a WWN text: the high digit of its first byte, read as the C conversion reads two digits.
int NaaOf(const std::string& wwn) {
  const std::string firstByte = wwn.substr(0, 2);
  return static_cast<int>(std::strtol(firstByte.c_str(), nullptr, 16) >> 4);
}

}  // namespace

bool CheckAndGetArrayIDFromReg(std::string& wwn, std::string& arrayId) {
  for (int n = 1;; ++n) {
    const std::string key = FXString::Format("3PARMigratedLunMap%d", n);
    std::string value;
    if (!GetRegString(nullptr, key.c_str(), &value)) return false;
    value = StripBlanks(value);
    const size_t bar = value.find('|');
    if (bar == std::string::npos) continue;
    if (value.compare(0, bar, wwn) == 0 && bar == wwn.size()) {
      arrayId = StripBlanks(value.substr(bar + 1));
      return true;
    }
  }
}

bool GetArrayNameFromWWN(std::string wwn, std::string& arrayId, bool& is16ByteId) {
  is16ByteId = false;
  arrayId.clear();
  if (wwn.empty()) return false;
  is16ByteId = NaaOf(wwn) == kNaaRegisteredExtended;
  if (CheckAndGetArrayIDFromReg(wwn, arrayId)) {
    o_logger.DebugLvl("3PAR-GetArrayNameFromWWN", 1,
                      "found 3PAR-Migrated-Lun-Map reg key for [WWN - %s] [Array-ID - %s]", wwn.c_str(),
                      arrayId.c_str());
    return true;
  }
  const size_t needed = is16ByteId ? kWwn16ByteLength : kWwn8ByteLength;
  if (wwn.size() < needed) {
    o_logger.DebugLvl(kTag, -1, "WWN [%s] is too short to tell its array (%zu characters, %zu needed)", wwn.c_str(),
                      wwn.size(), needed);
    return false;
  }
  arrayId = tqengine::kArrayIdPrefix + wwn.substr(4, 3) + (is16ByteId ? wwn.substr(26, 6) : "00" + wwn.substr(12, 4));
  return true;
}
