// Texts of INQUIRY data fields.
#include <cctype>
#include <cstring>
#include <string>

#include "TqDeviceInquiry.h"

namespace tqengine {

bool Is3PARVolume(const std::string& vendor, const std::string& product) {
  return vendor == kVendor3PAR && product.find(kProductVV) != std::string::npos;
}

}  // namespace tqengine

std::string trimSpaces(unsigned char* field, int length) {
  if (field == nullptr || length <= 0 || field[0] == 0) return std::string();
  const size_t width = static_cast<size_t>(length);
  for (size_t i = 0; i < width; ++i)
    if (field[i] == '*') field[i] = ' ';
  size_t end = 0;
  while (end < width && field[end] != 0) ++end;
  while (end > 0 && std::isspace(field[end - 1])) --end;
  return std::string(reinterpret_cast<const char*>(field), end);
}
