// Text that compares ignoring case: CIM names (classes, properties, parameters, methods) and the names the
// simulator's control interface takes.
#pragma once
#include <algorithm>
#include <cctype>
#include <string>

namespace smissim {

inline std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

inline bool sameNoCase(const std::string& a, const std::string& b) { return lowerCase(a) == lowerCase(b); }

}  // namespace smissim
