#include "TqScsiInquiry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tqhost {

namespace {

void putField(std::vector<unsigned char>& data, size_t offset, size_t width, const std::string& text) {
  for (size_t i = 0; i < width; ++i) data[offset + i] = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
}

int hexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  const int lower = std::tolower(static_cast<unsigned char>(digit));
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

}  // namespace

TqDeviceScsiIface* ScsiDisk::findInterface(const char* interfaceName) {
  if (interfaceName == nullptr || std::strcmp(interfaceName, TqDeviceScsiIface::kInterfaceName) != 0) return nullptr;
  return this;
}

bool validCdbArguments(const unsigned char* cdb, int cdbLength, const unsigned char* buffer, int bufferLength) {
  return cdb != nullptr && cdbLength >= 6 && cdbLength <= 16 && bufferLength >= 0 &&
         (bufferLength == 0 || buffer != nullptr);
}

void setError(CWmError* error, int code, const std::string& text) {
  if (error != nullptr) *error = CWmError(code, text);
}

bool readInquiryCdb(const unsigned char* cdb, int cdbLength, InquiryRequest& request) {
  if (cdb == nullptr || cdbLength < 6 || cdb[0] != kInquiryOpcode) return false;
  request.vitalProductData = (cdb[1] & 0x01) != 0;
  request.page = cdb[2];
  request.allocationLength = static_cast<size_t>(cdb[3]) << 8 | cdb[4];
  return true;
}

bool checkInquiryAnswer(const InquiryRequest& request, const unsigned char* data, size_t received, size_t room,
                        CWmError* error) {
  if (!request.vitalProductData) {
    const size_t expected = std::min({kStandardInquiryLength, request.allocationLength, room});
    if (received < expected) {
      setError(error, 5,
               "INQUIRY answer of " + std::to_string(received) + " bytes is shorter than " + std::to_string(expected) +
                   " bytes");
      return false;
    }
    return true;
  }
  if (received < 4) {
    setError(error, 5, "VPD page answer of " + std::to_string(received) + " bytes has no whole header");
    return false;
  }
  if (data[1] != request.page) {
    setError(error, 5, "VPD answer is page " + std::to_string(data[1]) + ", not the page asked for");
    return false;
  }
  const size_t pageLength = 4 + (static_cast<size_t>(data[2]) << 8 | data[3]);
  const size_t expected = std::min({pageLength, request.allocationLength, room});
  if (received < expected) {
    setError(error, 5,
             "VPD page answer of " + std::to_string(received) + " bytes is cut short (" + std::to_string(expected) +
                 " expected)");
    return false;
  }
  return true;
}

size_t deliverAnswer(const std::vector<unsigned char>& answer, const InquiryRequest& request, unsigned char* buffer,
                     size_t bufferLength) {
  const size_t count = std::min({answer.size(), request.allocationLength, bufferLength});
  if (count > 0) std::memcpy(buffer, answer.data(), count);
  if (bufferLength > count) std::memset(buffer + count, 0, bufferLength - count);
  return count;
}

std::vector<unsigned char> standardInquiry(unsigned char peripheralType, const std::string& vendor,
                                           const std::string& product, const std::string& revision) {
  std::vector<unsigned char> data(kStandardInquiryLength, 0);
  data[0] = peripheralType & 0x1F;
  data[2] = 0x06;  // SPC-4
  data[3] = 0x02;  // response data format 2
  data[4] = static_cast<unsigned char>(kStandardInquiryLength - 5);
  putField(data, 8, 8, vendor);
  putField(data, 16, 16, product);
  putField(data, 32, 4, revision);
  return data;
}

std::vector<unsigned char> deviceIdentificationPage(const std::string& wwn) {
  if (wwn.size() != 16 && wwn.size() != 32) return {};
  std::vector<unsigned char> designator;
  for (size_t i = 0; i < wwn.size(); i += 2) {
    const int high = hexValue(wwn[i]);
    const int low = hexValue(wwn[i + 1]);
    if (high < 0 || low < 0) return {};
    designator.push_back(static_cast<unsigned char>(high << 4 | low));
  }
  std::vector<unsigned char> page = {0x00, kDeviceIdentificationPage,
                                     0x00, 0x00,
                                     0x01,  // binary code set
                                     0x03,  // associated with the logical unit, NAA designator
                                     0x00, static_cast<unsigned char>(designator.size())};
  page.insert(page.end(), designator.begin(), designator.end());
  const size_t pageLength = page.size() - 4;
  page[2] = static_cast<unsigned char>(pageLength >> 8);
  page[3] = static_cast<unsigned char>(pageLength & 0xFF);
  return page;
}

}  // namespace tqhost
