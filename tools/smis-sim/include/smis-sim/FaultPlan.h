// Faults injected into the next N requests that match an operation (and optionally a class).
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "smis-sim/Json.h"

namespace smissim {

enum class FaultAction {
  Delay,             // answer normally after delayMs
  DropConnection,    // close the connection without answering
  HttpStatus,        // answer with httpStatus (401 carries a challenge)
  CimError,          // answer with an ERROR element of cimErrorCode
  MalformedXml,      // answer 200 with a body that is not XML
  ForceReturnValue,  // the method runs its checks but answers returnValue and changes nothing
  AsJob,             // the method answers 4096 with a job that completes
  JobFails,          // ... with a job that ends in jobFinalState (8, 9 or 10)
  JobNeverEnds,      // ... with a job that stays running
  JobVanishes,       // ... with a job whose instance disappears (NOT_FOUND) instead of completing
  DropOutput,        // the method runs but its out-parameter `parameter` is left out of the answer
};

struct FaultRule {
  std::string operation;  // intrinsic operation or extrinsic method name, case-insensitive; "*" = any
  std::string className;  // empty = any class; else the request's class must be this class or a subclass
  FaultAction action = FaultAction::CimError;
  unsigned skip = 0;   // matching requests to let through before the first one affected
  unsigned count = 1;  // how many matching requests it still affects
  unsigned delayMs = 0;
  int httpStatus = 500;
  int cimErrorCode = 1;
  std::string description;
  std::uint32_t returnValue = 4;
  std::uint16_t jobFinalState = 10;
  unsigned jobPolls = 0;  // job faults: polls while running before the end; 0 = the simulator's setting
  std::string parameter;  // DropOutput: the out-parameter to leave out
  // delay, drop, http, cimError, malformedXml: the request is run first (a method makes its changes) and
  // the fault then takes the place of its answer, as when a provider's answer is lost or late.
  bool afterRunning = false;

  bool isMethodLevel() const;                   // applied inside method execution rather than at the HTTP level
  static FaultRule fromJson(const Json& json);  // throws JsonError on bad input
  Json toJson() const;
};

const char* faultActionName(FaultAction action);

class FaultPlan {
 public:
  // Says whether a request class is the rule class or one of its subclasses.
  using ClassMatcher = std::function<bool(const std::string& requestClass, const std::string& ruleClass)>;

  void setClassMatcher(ClassMatcher matcher);
  void add(const FaultRule& rule);
  void clear();
  std::vector<FaultRule> pending() const;

  // Takes one use of every rule matching this request and returns them in the order they were added.
  std::vector<FaultRule> take(const std::string& operation, const std::string& className);

 private:
  mutable std::mutex mutex_;
  std::vector<FaultRule> rules_;
  ClassMatcher classMatcher_;
};

}  // namespace smissim
