// Named inputs of the replication-service operations that take a map instead of positions: keys are
// case-sensitive, an absent key reads as the empty text, and where an operation says so the whole text
// "null" counts as absent. Lists inside one value are separated by "|".
#pragma once

#include <cstddef>
#include <map>
#include <string>

class SmisNamedArgs {
 public:
  explicit SmisNamedArgs(const std::map<std::string, std::string>& map) : map_(map) {}

  std::size_t Count() const { return map_.size(); }
  // The key is in the map, whatever its value.
  bool Has(const std::string& key) const { return map_.count(key) != 0; }
  // The key is in the map and its value is not exactly "null".
  bool Given(const std::string& key) const { return Has(key) && map_.at(key) != "null"; }
  const std::string& Text(const std::string& key) const {
    static const std::string kNone;
    auto it = map_.find(key);
    return it == map_.end() ? kNone : it->second;
  }

  static constexpr char kListSeparator = '|';

 private:
  const std::map<std::string, std::string>& map_;
};
