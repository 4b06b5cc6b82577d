// Small formatting helpers the engine uses with host values.
#pragma once

#include <string>

namespace tqcast {
// Widens a host number for printing with "%llu".
inline unsigned long long llu(unsigned long value) { return value; }
}  // namespace tqcast

// The text followed by the decimal form of the number.
inline std::string operator+(const std::string& text, int number) { return text + std::to_string(number); }
