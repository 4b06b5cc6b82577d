#include "TqFormat.h"

#include <cstdio>
#include <vector>

namespace tqhost {

std::string formatV(const char* fmt, va_list args) {
  if (fmt == nullptr) return std::string();
  va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, fmt, measure);
  va_end(measure);
  if (needed <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  va_list write;
  va_copy(write, args);
  std::vsnprintf(buffer.data(), buffer.size(), fmt, write);
  va_end(write);
  return std::string(buffer.data(), static_cast<size_t>(needed));
}

}  // namespace tqhost
