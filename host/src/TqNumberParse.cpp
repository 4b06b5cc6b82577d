#include "TqNumberParse.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tqhost {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isHexPrefixed(const std::string& t) { return t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'); }

bool allDigits(const std::string& t, size_t from, bool hex) {
  if (from >= t.size()) return false;
  for (size_t i = from; i < t.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (!(hex ? std::isxdigit(c) : std::isdigit(c))) return false;
  }
  return true;
}

// Magnitude of an unsigned digit run (decimal or "0x" hex); false on overflow or stray characters.
bool parseMagnitude(const std::string& t, uint64_t& out) {
  const bool hex = isHexPrefixed(t);
  const size_t start = hex ? 2 : 0;
  if (!allDigits(t, start, hex)) return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(t.c_str() + start, &end, hex ? 16 : 10);
  if (errno == ERANGE || end != t.c_str() + t.size()) return false;
  out = v;
  return true;
}

}  // namespace

std::string trimBlanks(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

bool parseUInt64(const std::string& text, uint64_t& value) {
  std::string t = trimBlanks(text);
  if (!t.empty() && t[0] == '+') {
    t.erase(0, 1);
    if (isHexPrefixed(t)) return false;  // signs go with decimal numbers only
  }
  uint64_t v = 0;
  if (!parseMagnitude(t, v)) return false;
  value = v;
  return true;
}

bool parseInt64(const std::string& text, int64_t& value) {
  std::string t = trimBlanks(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.erase(0, 1);
    if (isHexPrefixed(t)) return false;  // signs go with decimal numbers only
  }
  uint64_t mag = 0;
  if (!parseMagnitude(t, mag)) return false;
  const uint64_t limit =
      negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1 : uint64_t(std::numeric_limits<int64_t>::max());
  if (mag > limit) return false;
  value = negative ? (mag == limit ? std::numeric_limits<int64_t>::min() : -int64_t(mag)) : int64_t(mag);
  return true;
}

bool parseInt32(const std::string& text, int32_t& value) {
  int64_t v = 0;
  if (!parseInt64(text, v)) return false;
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return false;
  value = int32_t(v);
  return true;
}

bool parseDouble(const std::string& text, double& value) {
  const std::string t = trimBlanks(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (errno == ERANGE || end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace tqhost
