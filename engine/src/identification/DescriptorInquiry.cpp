#include "DescriptorInquiry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqEngineConfig.h"
#include "TqHostNames.h"

namespace tqengine {

namespace {

const char kTag[] = "3PAR-getDevArrayInfo";
const size_t kWwnOffset = 10;  // the WWN starts at the 11th character of "lunuuid"
const size_t kWwn16Length = 32;
const size_t kWwn8Length = 16;

int HexDigit(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  const int lower = std::tolower(static_cast<unsigned char>(digit));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Two characters as one byte, read as the C conversion reads them: digits up to the first non-digit.
unsigned char HexByte(char high, char low) {
  const int h = HexDigit(high);
  if (h < 0) return 0;
  const int l = HexDigit(low);
  return static_cast<unsigned char>(l < 0 ? h : h << 4 | l);
}

bool ReadWwn(const std::string& descriptor, std::string& lunWWN, bool& naa6) {
  std::string lunuuid;
  if (!parseJsonString(descriptor, "lunuuid", lunuuid)) {
    o_logger.DebugLvl(kTag, -1, "Error.parseJsonString failed :%s", DescriptorForLog(descriptor).c_str());
    return false;
  }
  const bool isNaa6 =
      lunuuid.size() > kWwnOffset + 1 && HexByte(lunuuid[kWwnOffset], lunuuid[kWwnOffset + 1]) >> 4 == 6;
  const size_t length = isNaa6 ? kWwn16Length : kWwn8Length;
  if (lunuuid.size() < kWwnOffset + length) {
    o_logger.DebugLvl(kTag, -1, "lunuuid [%s] is too short to hold a LUN WWN of %zu characters", lunuuid.c_str(),
                      length);
    return false;
  }
  std::string wwn = lunuuid.substr(kWwnOffset, length);
  for (char& c : wwn) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  o_logger.DebugLvl(kTag, 1, "[*nq - %s][lunuuid :%s]", lunuuid.c_str(), wwn.c_str());
  lunWWN = wwn;
  naa6 = isNaa6;
  return true;
}

void FillStandardData(const std::string& data, bool hexadecimal, unsigned char* buffer) {
  std::memset(buffer, 0, kInquiryBufferLength);
  if (!hexadecimal) {
    // The older descriptor carries the data as characters; the last byte stays a terminator.
    const size_t count = std::min(data.size(), static_cast<size_t>(kInquiryBufferLength - 1));
    std::memcpy(buffer, data.data(), count);
    return;
  }
  for (size_t k = 0; 2 * k + 1 < data.size() && k < static_cast<size_t>(kInquiryBufferLength); ++k)
    buffer[k] = HexByte(data[2 * k], data[2 * k + 1]);
}

}  // namespace

std::string DescriptorForLog(const std::string& descriptor) { return MaskHostIdentifier(MaskArrayInfo(descriptor)); }

bool ReadDescriptorInquiry(const std::string& descriptor, unsigned char* buffer, std::string& lunWWN, bool& naa6) {
  if (!ReadWwn(descriptor, lunWWN, naa6)) return false;
  std::string standardData;
  if (!parseJsonString(descriptor, "standardinqury", standardData)) {
    o_logger.DebugLvl(kTag, -1, "Error.parseJsonString2 failed :%s", DescriptorForLog(descriptor).c_str());
    return false;
  }
  std::string version;
  if (!parseJsonString(descriptor, "version", version)) {
    o_logger.DebugLvl(kTag, 1, "Version info not found. It may be older version. :%s",
                      DescriptorForLog(descriptor).c_str());
    version.clear();
  }
  o_logger.DebugLvl(kTag, 1, "version [ %s ] Std Enquiry :[ %s ] ", version.c_str(), standardData.c_str());
  FillStandardData(standardData, !version.empty(), buffer);
  // The buffer as text, up to its first NUL or its end.
  const char* bytes = reinterpret_cast<const char*>(buffer);
  const std::string page(bytes, std::find(bytes, bytes + kInquiryBufferLength, '\0'));
  o_logger.DebugLvl(kTag, 1, "pageCodeBuffer:[ %s ]", page.c_str());
  return true;
}

}  // namespace tqengine
