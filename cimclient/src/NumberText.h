// Integer texts as CIM writes them: optional sign, decimal without leading zeros, or 0x hex.
#pragma once
#include <string>
#include "Pegasus/CIMType.h"

namespace Pegasus {

struct KeyNumber {
  bool negative = false;  // never set for zero
  Uint64 magnitude = 0;
  bool operator==(const KeyNumber& o) const { return negative == o.negative && magnitude == o.magnitude; }
};

// Parses an integer: '-' allowed, '+' only when allowPlus; "0" is the only text that may start with 0
// (hex "0x.." aside). False for anything else, including a magnitude beyond 64 bits.
bool parseInteger(const std::string& text, bool allowPlus, KeyNumber& number);

// The integer form used in key bindings: '-' allowed, no '+'.
inline bool parseKeyNumber(const std::string& text, KeyNumber& number) { return parseInteger(text, false, number); }

// True when `number` fits the integer CIM type `type` (uint8 ... sint64).
bool fitsIntegerType(const KeyNumber& number, CIMType type);

}  // namespace Pegasus
