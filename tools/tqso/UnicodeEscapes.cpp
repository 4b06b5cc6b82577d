// Decoding the \u escapes of a job file to UTF-8 (see the header).
#include "UnicodeEscapes.h"

namespace tqso {

namespace {

const long kNotAnEscape = -1;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of the "\uXXXX" that starts at `at`, or kNotAnEscape.
long EscapeAt(const std::string& text, size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return kNotAnEscape;
  long unit = 0;
  for (size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexValue(text[i]);
    if (digit < 0) return kNotAnEscape;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool IsHighSurrogate(long unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(long unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(long point, std::string& out) {
  if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (point & 0x3F));
}

bool Refuse(std::string& error, const std::string& text, size_t at, const char* why) {
  error = "the job file holds " + text.substr(at, 6) + " at byte " + std::to_string(at) + ", " + why;
  return false;
}

}  // namespace

bool DecodeUnicodeEscapes(const std::string& text, std::string& decoded, std::string& error) {
  decoded.clear();
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const long unit = text[i] == '\\' ? EscapeAt(text, i) : kNotAnEscape;
    if (unit == kNotAnEscape && text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'u')
      return Refuse(error, text, i, "a \\u escape without four hexadecimal digits");
    if (unit == 0) return Refuse(error, text, i, "a NUL character, which no text of a job can carry");
    if (unit < 0x80) {
      // Any other escape (or an ASCII \u) is the reader's: keep it whole, so "\\u00e9" stays an escaped backslash.
      decoded += text[i];
      if (text[i] == '\\' && i + 1 < text.size()) decoded += text[++i];
      continue;
    }
    if (IsLowSurrogate(unit))
      return Refuse(error, text, i, "the second half of a surrogate pair without its first half");
    if (!IsHighSurrogate(unit)) {
      AppendUtf8(unit, decoded);
      i += 5;
      continue;
    }
    const long low = EscapeAt(text, i + 6);
    if (low == kNotAnEscape || !IsLowSurrogate(low))
      return Refuse(error, text, i, "the first half of a surrogate pair without its second half");
    AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), decoded);
    i += 11;
  }
  return true;
}

}  // namespace tqso
