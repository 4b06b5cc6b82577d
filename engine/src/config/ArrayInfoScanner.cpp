#include <string>
#include <vector>

#include "EvDebug.h"
#include "TqEngineConfig.h"

namespace {

const char kTag[] = "3PAR-parseJsonString";
const char kMask[] = "*****";
// The end of every password key ("hostPassword:", the "password:" of host descriptors).
const char kPasswordKeyEnd[] = "assword:";

// Where a value of the text lies: [begin, end).
struct Span {
  size_t begin;
  size_t end;
};

// The end of a value that begins at `start`, as the scanner ends it: the first ',' after it, else the
// first '}', else the end of the text.
size_t ValueEnd(const std::string& text, size_t start) {
  size_t end = text.find(',', start);
  if (end == std::string::npos) end = text.find('}', start);
  return end == std::string::npos ? text.size() : end;
}

// The values of the password items, left to right. A password may hold any text, keys and colons
// included, so nothing inside one of these is ever read as an item of its own.
std::vector<Span> PasswordValues(const std::string& text) {
  std::vector<Span> spans;
  size_t from = 0;
  for (;;) {
    const size_t found = text.find(kPasswordKeyEnd, from);
    if (found == std::string::npos) break;
    const size_t begin = found + sizeof(kPasswordKeyEnd) - 1;
    from = begin;
    if (found == 0 || (text[found - 1] != 'p' && text[found - 1] != 'P')) continue;
    const Span value{begin, ValueEnd(text, begin)};
    spans.push_back(value);
    from = value.end;
  }
  return spans;
}

bool InsideAny(const std::vector<Span>& spans, size_t at) {
  for (const Span& span : spans)
    if (at >= span.begin && at < span.end) return true;
  return false;
}

// The first occurrence of the key that does not lie inside a password value.
size_t FindKey(const std::string& text, const std::string& key, const std::vector<Span>& passwords) {
  size_t at = text.find(key);
  while (at != std::string::npos && InsideAny(passwords, at)) at = text.find(key, at + 1);
  return at;
}

// text[begin, end) with every part that belongs to a password value written as the mask.
std::string Masked(const std::string& text, size_t begin, size_t end, const std::vector<Span>& passwords) {
  std::string out;
  size_t at = begin;
  for (const Span& span : passwords) {
    if (span.end <= at || span.begin >= end) continue;
    if (span.begin > at) out.append(text, at, span.begin - at);
    out += kMask;
    at = span.end < end ? span.end : end;
  }
  if (at < end) out.append(text, at, end - at);
  return out;
}

}  // namespace

namespace tqengine {

std::string MaskArrayInfo(const std::string& text) { return Masked(text, 0, text.size(), PasswordValues(text)); }

}  // namespace tqengine

bool parseJsonString(std::string text, std::string key, std::string& value) {
  if (text.empty() || key.empty()) {
    o_logger.DebugLvl(kTag, 2,
                      "Either the parse string or the item to search is empty. Parse string[%s] Item to search[%s]",
                      tqengine::MaskArrayInfo(text).c_str(), key.c_str());
    return false;
  }
  const std::vector<Span> passwords = PasswordValues(text);
  const size_t keyAt = FindKey(text, key, passwords);
  if (keyAt == std::string::npos) {
    o_logger.DebugLvl(kTag, 2, "The item being requested [%s] is not in Json string [%s]", key.c_str(),
                      Masked(text, 0, text.size(), passwords).c_str());
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
    o_logger.DebugLvl(kTag, 2, "Item Name:Item Value [%s:%s]", key.c_str(),
                      Masked(text, valueStart, valueEnd, passwords).c_str());
  return true;
}
