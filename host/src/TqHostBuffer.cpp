#include "TqHostBuffer.h"

#include <cstring>
#include <limits>

namespace tqhost {

BufferFill copyToBuffer(const std::string& text, char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return BufferFill::TooSmall;
  if (text.size() >= capacity) {
    buffer[0] = '\0';
    return BufferFill::TooSmall;
  }
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return BufferFill::Copied;
}

uint16_t neededLength16(const std::string& text) {
  const size_t needed = text.size() + 1;
  const size_t most = std::numeric_limits<uint16_t>::max();
  return static_cast<uint16_t>(needed > most ? most : needed);
}

}  // namespace tqhost
