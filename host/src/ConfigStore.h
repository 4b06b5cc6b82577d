// The process-wide state behind TQPlatformInfo: the parsed configuration file and the overrides.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "IniText.h"

namespace tqhost {

class ConfigStore {
 public:
  using Override = std::optional<std::string>;  // empty: the key reads as absent

  static ConfigStore& instance();

  // The key's text: the override when one is set, else the file's value.
  std::optional<std::string> lookup(const std::string& section, const std::string& key);

  void setOverride(const std::string& section, const std::string& key, Override value);
  void clearOverride(const std::string& section, const std::string& key);
  void clearOverrides();
  std::optional<Override> currentOverride(const std::string& section, const std::string& key);

 private:
  using Name = std::pair<std::string, std::string>;  // normalised section and key

  static Name nameOf(const std::string& section, const std::string& key);
  void refreshFileLocked();

  std::mutex mutex_;
  std::map<Name, Override> overrides_;
  IniSections file_;
  std::string loadedPath_;
  std::string loadedStamp_;  // size and modification time of the file last read; empty when unreadable
  bool loaded_ = false;
};

}  // namespace tqhost
