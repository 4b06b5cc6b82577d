// Out-of-line members of Pegasus::String.
#include "Pegasus/String.h"

#include <algorithm>
#include <cctype>

namespace Pegasus {

const String String::EMPTY;

namespace {
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

String String::subString(Uint32 index, Uint32 length) const {
  if (index >= text_.size()) return String();
  return String(text_.substr(index, length == PEG_NOT_FOUND ? std::string::npos : length));
}

void String::toLower() { std::transform(text_.begin(), text_.end(), text_.begin(), lowerAscii); }

void String::toUpper() { std::transform(text_.begin(), text_.end(), text_.begin(), upperAscii); }

Boolean String::equalNoCase(const String& a, const String& b) { return compareNoCase(a, b) == 0; }

int String::compareNoCase(const String& a, const String& b) {
  const std::string& x = a.text_;
  const std::string& y = b.text_;
  const size_t n = std::min(x.size(), y.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char cx = static_cast<unsigned char>(lowerAscii(x[i]));
    const unsigned char cy = static_cast<unsigned char>(lowerAscii(y[i]));
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

}  // namespace Pegasus
