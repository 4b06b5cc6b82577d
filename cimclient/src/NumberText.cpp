// Integer text parsing with overflow and range checks.
#include "NumberText.h"

#include <limits>

namespace Pegasus {

namespace {

int digitValue(char c, unsigned base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return (v >= 0 && static_cast<unsigned>(v) < base) ? v : -1;
}

bool accumulate(const std::string& text, size_t from, unsigned base, Uint64& value) {
  if (from >= text.size()) return false;
  value = 0;
  for (size_t i = from; i < text.size(); ++i) {
    const int d = digitValue(text[i], base);
    if (d < 0) return false;
    if (value > (std::numeric_limits<Uint64>::max() - static_cast<Uint64>(d)) / base) return false;
    value = value * base + static_cast<Uint64>(d);
  }
  return true;
}

Uint64 unsignedMax(CIMType type) {
  switch (type) {
    case CIMTYPE_UINT8:
      return std::numeric_limits<Uint8>::max();
    case CIMTYPE_UINT16:
      return std::numeric_limits<Uint16>::max();
    case CIMTYPE_UINT32:
      return std::numeric_limits<Uint32>::max();
    case CIMTYPE_SINT8:
      return std::numeric_limits<Sint8>::max();
    case CIMTYPE_SINT16:
      return std::numeric_limits<Sint16>::max();
    case CIMTYPE_SINT32:
      return std::numeric_limits<Sint32>::max();
    case CIMTYPE_SINT64:
      return std::numeric_limits<Sint64>::max();
    default:
      return std::numeric_limits<Uint64>::max();
  }
}

bool isSigned(CIMType type) {
  return type == CIMTYPE_SINT8 || type == CIMTYPE_SINT16 || type == CIMTYPE_SINT32 || type == CIMTYPE_SINT64;
}

}  // namespace

bool parseInteger(const std::string& text, bool allowPlus, KeyNumber& number) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || (allowPlus && text[pos] == '+'))) {
    negative = text[pos] == '-';
    ++pos;
  }
  Uint64 value = 0;
  const bool hex = text.size() > pos + 1 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X');
  if (hex) {
    if (!accumulate(text, pos + 2, 16, value)) return false;
  } else {
    if (pos < text.size() && text[pos] == '0' && text.size() > pos + 1) return false;
    if (!accumulate(text, pos, 10, value)) return false;
  }
  number.negative = negative && value != 0;
  number.magnitude = value;
  return true;
}

bool fitsIntegerType(const KeyNumber& number, CIMType type) {
  if (!number.negative) return number.magnitude <= unsignedMax(type);
  return isSigned(type) && number.magnitude <= unsignedMax(type) + 1;
}

}  // namespace Pegasus
