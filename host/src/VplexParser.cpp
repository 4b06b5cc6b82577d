#include "VplexParser.h"

#include <cctype>

#include "TqNumberParse.h"

namespace {

bool isArrayIdCharacter(unsigned char c) { return std::isalnum(c) || c == '_' || c == '-' || c == '.'; }

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool readArrayId(const std::string& text, std::string& arrayId) {
  if (text.empty()) return false;
  for (unsigned char c : text)
    if (!isArrayIdCharacter(c)) return false;
  arrayId = text;
  return true;
}

bool readWwn(std::string text, std::string& wwn) {
  if (startsWithNoCase(text, "0x"))
    text.erase(0, 2);
  else if (startsWithNoCase(text, "naa."))
    text.erase(0, 4);
  if (text.size() != 16 && text.size() != 32) return false;
  std::string upper;
  for (unsigned char c : text) {
    if (!std::isxdigit(c)) return false;
    upper.push_back(static_cast<char>(std::toupper(c)));
  }
  wwn = upper;
  return true;
}

}  // namespace

bool ParseVPLEXBackendMetadata(const std::string& text, std::string& arrayId, std::string& wwn) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  std::string id;
  std::string deviceWwn;
  if (!readArrayId(tqhost::trimBlanks(text.substr(0, colon)), id)) return false;
  if (!readWwn(tqhost::trimBlanks(text.substr(colon + 1)), deviceWwn)) return false;
  arrayId = id;
  wwn = deviceWwn;
  return true;
}
