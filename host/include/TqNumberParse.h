// Checked number parsing for texts that come from configuration files, the environment or host records.
// A text is accepted only when all of it (apart from surrounding blanks) is one number that fits the
// target type; anything else is refused and the target is left as it was.
#pragma once

#include <cstdint>
#include <string>

namespace tqhost {

// Decimal with an optional sign, or hexadecimal with a "0x"/"0X" prefix (no sign).
bool parseInt64(const std::string& text, int64_t& value);
bool parseUInt64(const std::string& text, uint64_t& value);  // a leading '-' is refused
bool parseInt32(const std::string& text, int32_t& value);
bool parseDouble(const std::string& text, double& value);  // finite values only

// Text without leading and trailing blanks (spaces, tabs, CR, LF).
std::string trimBlanks(const std::string& text);

}  // namespace tqhost
