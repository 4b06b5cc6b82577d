// Parser of the configuration file's INI text.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tqhost {

// Section and key names as the store compares them: lower case, one leading '~' of a section dropped.
std::string normalSectionName(const std::string& section);
std::string normalKeyName(const std::string& key);

// normalSectionName -> (normalKeyName -> value)
using IniSections = std::map<std::string, std::map<std::string, std::string>>;

struct IniParseResult {
  IniSections sections;
  std::vector<std::string> problems;  // one text per line that was skipped, with its line number
};

IniParseResult parseIniText(const std::string& text);

}  // namespace tqhost
