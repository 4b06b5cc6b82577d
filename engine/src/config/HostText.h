// Reading a text through a host getter that copies into a caller buffer of a 16-bit size. The engine
// asks with its usual buffer first; when the host answers that the text does not fit, it asks once more
// with the largest buffer a 16-bit size allows, so no text is ever cut.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tqengine {

// Host getter results.
const int kHostTextOk = 0;
const int kHostTextTooSmall = 2;
const uint16_t kLargestHostBuffer = 65535;

// getter(char* buffer, uint16_t capacity) -> int. True with the text when the getter answered 0.
template <class Getter>
bool ReadHostText(uint16_t firstCapacity, Getter&& getter, std::string& text) {
  for (uint16_t capacity : {firstCapacity, kLargestHostBuffer}) {
    std::vector<char> buffer(static_cast<size_t>(capacity) + 1, '\0');
    const int result = getter(buffer.data(), capacity);
    if (result == kHostTextOk) {
      text.assign(buffer.data());
      return true;
    }
    if (result != kHostTextTooSmall || capacity == kLargestHostBuffer) return false;
  }
  return false;
}

}  // namespace tqengine
