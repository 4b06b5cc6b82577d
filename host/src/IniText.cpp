#include "IniText.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "TqNumberParse.h"

namespace tqhost {

namespace {

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string unquoted(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

std::string problemAt(size_t lineNumber, const std::string& what) {
  return "line " + std::to_string(lineNumber) + ": " + what;
}

}  // namespace

std::string normalSectionName(const std::string& section) {
  std::string name = trimBlanks(section);
  if (!name.empty() && name[0] == '~') name.erase(0, 1);
  return lowerCase(name);
}

std::string normalKeyName(const std::string& key) { return lowerCase(trimBlanks(key)); }

IniParseResult parseIniText(const std::string& text) {
  IniParseResult result;
  std::istringstream in(text);
  std::string raw;
  size_t lineNumber = 0;
  bool inSection = false;
  std::string section;
  while (std::getline(in, raw)) {
    ++lineNumber;
    if (lineNumber == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    const std::string line = trimBlanks(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const bool closed = line.back() == ']' && line.size() >= 2;
      const std::string name = closed ? trimBlanks(line.substr(1, line.size() - 2)) : std::string();
      inSection = closed && !name.empty();
      if (!inSection) {
        result.problems.push_back(problemAt(lineNumber, "bad section header; its keys are ignored"));
        continue;
      }
      section = normalSectionName(name);
      result.sections[section];  // an empty section still exists
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || trimBlanks(line.substr(0, equals)).empty()) {
      result.problems.push_back(problemAt(lineNumber, "not a key=value line"));
      continue;
    }
    if (!inSection) {
      result.problems.push_back(problemAt(lineNumber, "key outside any section"));
      continue;
    }
    result.sections[section][normalKeyName(line.substr(0, equals))] = unquoted(trimBlanks(line.substr(equals + 1)));
  }
  return result;
}

}  // namespace tqhost
