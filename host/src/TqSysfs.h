// Small file helpers for sysfs-style trees.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tqhost {

// The whole file, or nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path);
// The names in a directory (no "." or ".."), sorted; empty when it cannot be read.
std::vector<std::string> directoryEntries(const std::string& path);
bool pathExists(const std::string& path);
// Writes the text to an existing file (sysfs attributes are never created). False with a reason.
bool writeExistingFile(const std::string& path, const std::string& text, std::string& error);
// The text without trailing blanks and line ends.
std::string trimTrailing(const std::string& text);

}  // namespace tqhost
