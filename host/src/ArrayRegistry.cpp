#include "ArrayRegistry.h"

namespace TQSO {

void ArrayRegistry::put(const ArrayEntry& entry) {
  std::lock_guard<std::mutex> hold(mutex_);
  entries_[entry.id] = entry;
}

bool ArrayRegistry::remove(const std::string& id) {
  std::lock_guard<std::mutex> hold(mutex_);
  return entries_.erase(id) > 0;
}

void ArrayRegistry::clear() {
  std::lock_guard<std::mutex> hold(mutex_);
  entries_.clear();
}

std::optional<ArrayEntry> ArrayRegistry::find(const std::string& id) const {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = entries_.find(id);
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

std::optional<ArrayEntry> ArrayRegistry::findByControlHost(const std::string& controlHost) const {
  if (controlHost.empty()) return std::nullopt;
  std::lock_guard<std::mutex> hold(mutex_);
  for (const auto& item : entries_)
    if (item.second.controlHost == controlHost) return item.second;
  return std::nullopt;
}

std::vector<std::string> ArrayRegistry::ids() const {
  std::lock_guard<std::mutex> hold(mutex_);
  std::vector<std::string> result;
  for (const auto& item : entries_) result.push_back(item.first);
  return result;
}

}  // namespace TQSO
