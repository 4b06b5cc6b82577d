#include "ConfigStore.h"

#include <sys/stat.h>

#include <cstdlib>

#include "EvDebug.h"
#include "TQPlatformInfo.h"
#include "TqSysfs.h"

namespace tqhost {

namespace {

const char* const kLogTag = "TQPlatformInfo";

std::string fileStamp(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::string();
  return std::to_string(info.st_size) + "/" + std::to_string(info.st_mtim.tv_sec) + "." +
         std::to_string(info.st_mtim.tv_nsec) + "/" + std::to_string(info.st_ino);
}

}  // namespace

ConfigStore& ConfigStore::instance() {
  static ConfigStore* store = new ConfigStore;  // never destroyed: read during exit as well
  return *store;
}

ConfigStore::Name ConfigStore::nameOf(const std::string& section, const std::string& key) {
  return Name(normalSectionName(section), normalKeyName(key));
}

void ConfigStore::refreshFileLocked() {
  const char* env = std::getenv(TQPlatformInfo::kConfigFileVariable);
  const std::string path = env != nullptr ? env : "";
  const std::string stamp = fileStamp(path);
  if (loaded_ && path == loadedPath_ && stamp == loadedStamp_) return;
  const bool pathChanged = !loaded_ || path != loadedPath_;
  loaded_ = true;
  loadedPath_ = path;
  loadedStamp_ = stamp;
  file_.clear();
  if (path.empty()) return;
  const std::optional<std::string> text = stamp.empty() ? std::nullopt : readFile(path);
  if (!text) {
    if (pathChanged) o_logger.DebugLvl(kLogTag, -1, "cannot read configuration file %s", path.c_str());
    return;
  }
  IniParseResult parsed = parseIniText(*text);
  for (const std::string& problem : parsed.problems)
    o_logger.DebugLvl(kLogTag, -1, "%s: %s", path.c_str(), problem.c_str());
  file_ = std::move(parsed.sections);
}

std::optional<std::string> ConfigStore::lookup(const std::string& section, const std::string& key) {
  const Name name = nameOf(section, key);
  std::lock_guard<std::mutex> hold(mutex_);
  const auto overridden = overrides_.find(name);
  if (overridden != overrides_.end()) return overridden->second;
  refreshFileLocked();
  const auto inSection = file_.find(name.first);
  if (inSection == file_.end()) return std::nullopt;
  const auto value = inSection->second.find(name.second);
  if (value == inSection->second.end()) return std::nullopt;
  return value->second;
}

void ConfigStore::setOverride(const std::string& section, const std::string& key, Override value) {
  std::lock_guard<std::mutex> hold(mutex_);
  overrides_[nameOf(section, key)] = std::move(value);
}

void ConfigStore::clearOverride(const std::string& section, const std::string& key) {
  std::lock_guard<std::mutex> hold(mutex_);
  overrides_.erase(nameOf(section, key));
}

void ConfigStore::clearOverrides() {
  std::lock_guard<std::mutex> hold(mutex_);
  overrides_.clear();
}

std::optional<ConfigStore::Override> ConfigStore::currentOverride(const std::string& section, const std::string& key) {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = overrides_.find(nameOf(section, key));
  if (found == overrides_.end()) return std::nullopt;
  return found->second;
}

}  // namespace tqhost
