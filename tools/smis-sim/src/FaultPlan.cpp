#include "smis-sim/FaultPlan.h"

#include "NoCase.h"

namespace smissim {

namespace {
struct ActionName {
  FaultAction action;
  const char* name;
};
const ActionName kActionNames[] = {
    {FaultAction::Delay, "delay"},
    {FaultAction::DropConnection, "drop"},
    {FaultAction::HttpStatus, "http"},
    {FaultAction::CimError, "cimError"},
    {FaultAction::MalformedXml, "malformedXml"},
    {FaultAction::ForceReturnValue, "returnValue"},
    {FaultAction::AsJob, "asJob"},
    {FaultAction::JobFails, "jobFails"},
    {FaultAction::JobNeverEnds, "jobNeverEnds"},
    {FaultAction::JobVanishes, "jobVanishes"},
    {FaultAction::DropOutput, "dropOutput"},
};

}  // namespace

const char* faultActionName(FaultAction action) {
  for (const auto& entry : kActionNames)
    if (entry.action == action) return entry.name;
  return "?";
}

bool FaultRule::isMethodLevel() const {
  switch (action) {
    case FaultAction::ForceReturnValue:
    case FaultAction::AsJob:
    case FaultAction::JobFails:
    case FaultAction::JobNeverEnds:
    case FaultAction::JobVanishes:
    case FaultAction::DropOutput:
      return true;
    default:
      return false;
  }
}

FaultRule FaultRule::fromJson(const Json& json) {
  if (!json.isObject()) throw JsonError("fault: expected an object");
  FaultRule rule;
  rule.operation = json.getString("operation", "*");
  rule.className = json.getString("class");
  std::string action = json.getString("action");
  bool known = false;
  for (const auto& entry : kActionNames) {
    if (sameNoCase(action, entry.name)) {
      rule.action = entry.action;
      known = true;
    }
  }
  if (!known) throw JsonError("fault: unknown action \"" + action + "\"");
  rule.skip = static_cast<unsigned>(json.getUint64("skip", 0));
  rule.count = static_cast<unsigned>(json.getUint64("count", 1));
  rule.delayMs = static_cast<unsigned>(json.getUint64("delayMs", 0));
  rule.httpStatus = static_cast<int>(json.getInt64("httpStatus", 500));
  rule.cimErrorCode = static_cast<int>(json.getInt64("cimError", 1));
  rule.description = json.getString("description");
  rule.returnValue = static_cast<std::uint32_t>(json.getUint64("returnValue", 4));
  rule.jobFinalState = static_cast<std::uint16_t>(json.getUint64("jobState", 10));
  rule.jobPolls = static_cast<unsigned>(json.getUint64("jobPolls", 0));
  rule.parameter = json.getString("parameter");
  rule.afterRunning = json.getBool("afterRunning", false);
  if (rule.action == FaultAction::DropOutput && rule.parameter.empty())
    throw JsonError("fault: dropOutput needs the parameter to leave out");
  if (rule.action == FaultAction::JobFails && (rule.jobFinalState < 8 || rule.jobFinalState > 10))
    throw JsonError("fault: jobState must be 8, 9 or 10");
  if (rule.action == FaultAction::HttpStatus && (rule.httpStatus < 400 || rule.httpStatus > 599))
    throw JsonError("fault: httpStatus must be 4xx or 5xx");
  return rule;
}

Json FaultRule::toJson() const {
  Json json = Json::object();
  json.set("operation", operation).set("class", className).set("action", faultActionName(action));
  json.set("skip", static_cast<std::uint64_t>(skip)).set("count", static_cast<std::uint64_t>(count));
  json.set("delayMs", static_cast<std::uint64_t>(delayMs)).set("httpStatus", httpStatus);
  json.set("cimError", cimErrorCode).set("description", description);
  json.set("returnValue", static_cast<std::uint64_t>(returnValue));
  json.set("jobState", static_cast<int>(jobFinalState)).set("jobPolls", static_cast<std::uint64_t>(jobPolls));
  json.set("parameter", parameter).set("afterRunning", afterRunning);
  return json;
}

void FaultPlan::setClassMatcher(ClassMatcher matcher) {
  std::lock_guard<std::mutex> lock(mutex_);
  classMatcher_ = std::move(matcher);
}

void FaultPlan::add(const FaultRule& rule) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (rule.count > 0) rules_.push_back(rule);
}

void FaultPlan::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.clear();
}

std::vector<FaultRule> FaultPlan::pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return rules_;
}

std::vector<FaultRule> FaultPlan::take(const std::string& operation, const std::string& className) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<FaultRule> taken;
  for (auto it = rules_.begin(); it != rules_.end();) {
    bool operationMatches = it->operation == "*" || sameNoCase(it->operation, operation);
    bool classMatches = it->className.empty() || (classMatcher_ ? classMatcher_(className, it->className)
                                                                : sameNoCase(className, it->className));
    if (!operationMatches || !classMatches) {
      ++it;
      continue;
    }
    if (it->skip > 0) {
      --it->skip;
      ++it;
      continue;
    }
    taken.push_back(*it);
    if (--it->count == 0)
      it = rules_.erase(it);
    else
      ++it;
  }
  return taken;
}

}  // namespace smissim
