#include "RequestNesting.h"

namespace smissim {

bool nestingDeeperThan(const std::string& xml, int limit) {
  int depth = 0;
  for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
    const char next = at + 1 < xml.size() ? xml[at + 1] : '\0';
    if (next == '/') {
      --depth;
    } else if (next != '?' && next != '!') {
      const std::size_t close = xml.find('>', at);
      const bool empty = close != std::string::npos && close > at && xml[close - 1] == '/';
      if (!empty && ++depth > limit) return true;
    }
  }
  return false;
}

}  // namespace smissim
