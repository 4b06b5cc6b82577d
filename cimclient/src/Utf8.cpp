// UTF-8 helpers for single characters (char16 values).
#include "Utf8.h"

namespace Pegasus {

std::string encodeUtf8(Char16 c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

bool decodeSingleUtf8(const std::string& text, Char16& c) {
  const size_t n = text.size();
  if (n == 0) return false;
  const unsigned char b0 = static_cast<unsigned char>(text[0]);
  auto continuation = [&](size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  auto low6 = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(text[i]) & 0x3F); };
  if (b0 < 0x80 && n == 1) {
    c = b0;
    return true;
  }
  if ((b0 & 0xE0) == 0xC0 && n == 2 && continuation(1)) {
    const unsigned v = ((b0 & 0x1Fu) << 6) | low6(1);
    if (v < 0x80) return false;
    c = static_cast<Char16>(v);
    return true;
  }
  if ((b0 & 0xF0) == 0xE0 && n == 3 && continuation(1) && continuation(2)) {
    const unsigned v = ((b0 & 0x0Fu) << 12) | (low6(1) << 6) | low6(2);
    if (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF)) return false;
    c = static_cast<Char16>(v);
    return true;
  }
  return false;
}

}  // namespace Pegasus
