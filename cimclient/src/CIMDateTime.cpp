// CIMDateTime text validation.
#include "Pegasus/CIMDateTime.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {
const char zeroInterval[] = "00000000000000.000000:000";

// A digit, or '*' for an insignificant digit.
bool digitOrStar(char c) { return (c >= '0' && c <= '9') || c == '*'; }
bool allDigits(const std::string& t, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}
}  // namespace

CIMDateTime::CIMDateTime() : text_(zeroInterval) {}

CIMDateTime::CIMDateTime(const String& text) : text_(text) {
  if (!legal(text)) throw InvalidDateTimeFormatException(text);
}

CIMDateTime::CIMDateTime(const char* text) : CIMDateTime(String(text)) {}

Boolean CIMDateTime::legal(const String& text) {
  const std::string& t = text.str();
  if (t.size() != 25 || t[14] != '.') return false;
  for (size_t i = 0; i < 21; ++i)
    if (i != 14 && !digitOrStar(t[i])) return false;
  const char sign = t[21];
  if (sign == ':') return t.compare(22, 3, "000") == 0;
  return (sign == '+' || sign == '-') && allDigits(t, 22, 25);
}

}  // namespace Pegasus
