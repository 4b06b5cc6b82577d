// The arrays the host agent knows: each with its array-info text ("{key:value,...}", the login of its
// SMI-S provider among the items), its control host, its host id and its per-array settings
// ("SMCONFIG_NAME_..."). Shared by the job records and the host services of a call; thread-safe.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace TQSO {

struct ArrayEntry {
  std::string id;
  std::string info;
  std::string controlHost;
  int hostId = 0;
  std::map<std::string, std::string> settings;  // setting name -> text (numbers as decimal text)
};

class ArrayRegistry {
 public:
  // Adds the array or replaces the one with the same id.
  void put(const ArrayEntry& entry);
  bool remove(const std::string& id);
  void clear();

  std::optional<ArrayEntry> find(const std::string& id) const;
  std::optional<ArrayEntry> findByControlHost(const std::string& controlHost) const;
  std::vector<std::string> ids() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, ArrayEntry> entries_;
};

}  // namespace TQSO
