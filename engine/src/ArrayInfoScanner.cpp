#include <string>

#include "EvDebug.h"
#include "TqEngineConfig.h"

namespace {

const char kTag[] = "3PAR-parseJsonString";
const char kMask[] = "*****";
// The end of every password key ("hostPassword:", the "password:" of host descriptors).
const char kPasswordKeyEnd[] = "assword:";

}  // namespace

namespace tqengine {

std::string MaskArrayInfo(const std::string& text) {
  std::string masked = text;
  size_t from = 0;
  for (;;) {
    const size_t found = masked.find(kPasswordKeyEnd, from);
    if (found == std::string::npos) break;
    const size_t colon = found + sizeof(kPasswordKeyEnd) - 2;
    from = colon + 1;
    if (found == 0 || (masked[found - 1] != 'p' && masked[found - 1] != 'P')) continue;
    size_t end = masked.find_first_of(",}", colon + 1);
    if (end == std::string::npos) end = masked.size();
    masked.replace(colon + 1, end - colon - 1, kMask);
    from = colon + 1 + sizeof(kMask) - 1;
  }
  return masked;
}

}  // namespace tqengine

bool parseJsonString(std::string text, std::string key, std::string& value) {
  if (text.empty() || key.empty()) {
    o_logger.DebugLvl(kTag, 2,
                      "Either the parse string or the item to search is empty. Parse string[%s] Item to search[%s]",
                      tqengine::MaskArrayInfo(text).c_str(), key.c_str());
    return false;
  }
  const size_t keyAt = text.find(key);
  if (keyAt == std::string::npos) {
    o_logger.DebugLvl(kTag, 2, "The item being requested [%s] is not in Json string [%s]", key.c_str(),
                      tqengine::MaskArrayInfo(text).c_str());
    return false;
  }
  const size_t colon = text.find(':', keyAt);
  if (colon == std::string::npos) {
    o_logger.DebugLvl(kTag, 2, "Name-value separator character is not present.");
    return false;
  }
  const size_t valueStart = colon + 1;
  size_t valueEnd = text.find(',', keyAt);
  if (valueEnd != std::string::npos && valueEnd < valueStart) {
    o_logger.DebugLvl(kTag, 2, "No value present for item %s", key.c_str());
    return false;
  }
  if (valueEnd == std::string::npos) valueEnd = text.find('}', valueStart);
  if (valueEnd == std::string::npos) {
    o_logger.DebugLvl(kTag, 2, "Item separator charactor is not present");
    return false;
  }
  value = text.substr(valueStart, valueEnd - valueStart);
  if (key.find("assword") == std::string::npos)
    o_logger.DebugLvl(kTag, 2, "Item Name:Item Value [%s:%s]", key.c_str(), value.c_str());
  return true;
}
