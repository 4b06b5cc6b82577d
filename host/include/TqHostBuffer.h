// Filling a caller's text buffer: the whole text and its terminating NUL, or nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tqhost {

enum class BufferFill {
  Copied,    // text and NUL written
  TooSmall,  // the text does not fit; the buffer holds "" when it has room for the NUL
};

// capacity counts every byte the caller's buffer holds, the NUL included. A text is never cut.
BufferFill copyToBuffer(const std::string& text, char* buffer, size_t capacity);

// Bytes a buffer needs for the text (text and NUL), limited to what a 16-bit length can say.
uint16_t neededLength16(const std::string& text);

}  // namespace tqhost
