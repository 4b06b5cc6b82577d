#include "smis-sim/RequestLog.h"

#include <strings.h>

namespace smissim {

const ParamRecord* MethodCallRecord::param(const std::string& name) const {
  for (const ParamRecord& p : params)
    if (strcasecmp(p.name.c_str(), name.c_str()) == 0) return &p;
  return nullptr;
}

Json MethodCallRecord::toJson() const {
  Json json = Json::object();
  json.set("method", method).set("target", target);
  json.set("returnValue", static_cast<std::int64_t>(returnValue)).set("cimError", cimError);
  Json list = Json::array();
  for (const ParamRecord& p : params) {
    Json item = Json::object();
    item.set("name", p.name).set("type", p.type).set("typed", p.typed).set("null", p.isNull);
    item.set("array", p.isArray).set("value", p.value);
    list.push(item);
  }
  json.set("params", list);
  return json;
}

void RequestLog::count(const std::string& operation) {
  std::function<void(const std::string&)> observer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++counts_[operation];
    observer = observer_;
  }
  if (observer) observer(operation);
}

void RequestLog::observe(std::function<void(const std::string& operation)> observer) {
  std::lock_guard<std::mutex> lock(mutex_);
  observer_ = std::move(observer);
}

void RequestLog::record(const MethodCallRecord& call) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(call);
}

void RequestLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  counts_.clear();
  calls_.clear();
}

std::map<std::string, std::uint64_t> RequestLog::counts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return counts_;
}

std::uint64_t RequestLog::count(const std::string& operation) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = counts_.find(operation);
  return it == counts_.end() ? 0 : it->second;
}

std::vector<MethodCallRecord> RequestLog::calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

}  // namespace smissim
