// Decoding the \u escapes of a job file's texts to UTF-8 before the JSON reader sees them. The reader keeps
// only the low byte of an escaped code unit, so "caf\u00e9" would reach the engine as "caf" + 0xE9.
#pragma once

#include <string>

namespace tqso {

// The text with every \uXXXX escape of a character beyond ASCII (a surrogate pair as one character) written
// as its UTF-8 bytes; ASCII escapes stay for the reader. False with a message for an unpaired surrogate, an
// escaped NUL, which no engine text can carry, or a \u without four hexadecimal digits (the reader would make a
// NUL of it).
bool DecodeUnicodeEscapes(const std::string& text, std::string& decoded, std::string& error);

}  // namespace tqso
