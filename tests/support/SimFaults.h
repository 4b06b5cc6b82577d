// Faults for the simulated provider (on every operation unless aimed with On), a request total and server
// options.
#pragma once
#include <cstdint>
#include <string>

#include "smis-sim/FaultPlan.h"
#include "smis-sim/TestServer.h"

namespace simtest {

// Enough uses that a fault lasts for the whole test.
const unsigned kLasting = 1000;

inline smissim::FaultRule AnyOperation(smissim::FaultAction action, unsigned count) {
  smissim::FaultRule rule;
  rule.operation = "*";
  rule.action = action;
  rule.count = count;
  return rule;
}

// The rule aimed at requests of one operation or extrinsic method only.
inline smissim::FaultRule On(const std::string& operation, smissim::FaultRule rule) {
  rule.operation = operation;
  return rule;
}

inline smissim::FaultRule HttpStatusFault(int status, unsigned count = 1) {
  smissim::FaultRule rule = AnyOperation(smissim::FaultAction::HttpStatus, count);
  rule.httpStatus = status;
  return rule;
}

inline smissim::FaultRule CimErrorFault(int code, const std::string& description = "", unsigned count = 1) {
  smissim::FaultRule rule = AnyOperation(smissim::FaultAction::CimError, count);
  rule.cimErrorCode = code;
  rule.description = description;
  return rule;
}

inline smissim::FaultRule DelayFault(unsigned millis, unsigned count = 1) {
  smissim::FaultRule rule = AnyOperation(smissim::FaultAction::Delay, count);
  rule.delayMs = millis;
  return rule;
}

inline smissim::FaultRule MalformedFault(unsigned count = 1) {
  return AnyOperation(smissim::FaultAction::MalformedXml, count);
}

inline std::uint64_t TotalRequests(smissim::TestServer& server) {
  std::uint64_t total = 0;
  for (const auto& entry : server->requestCounts()) total += entry.second;
  return total;
}

inline smissim::SimulatorOptions SimOver(bool https) {
  smissim::SimulatorOptions options;
  options.https = https;
  options.threads = 8;
  return options;
}

}  // namespace simtest
