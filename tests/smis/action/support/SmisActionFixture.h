// Shared set-up of the SmisAction tests: the simulated 3PAR provider of the lookup tests (loopback HTTP,
// connected connection, instant waits, hidden configuration keys) with an action object tracing into the
// same job record, and helpers for the paths an operation is given and the calls the provider saw.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmisImpl.h"
#include "lookups/support/SimArrayFixture.h"

namespace smisactiontest {

using namespace simtest;

// One array with two CPGs and two volumes.
constexpr const char* kOneArraySerial = "0B0001";
constexpr const char* kOneArray = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1", "Gold1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}, {"name": "base2", "cpg": "Gold1"}]}
  ]
})";

class SmisActionTest : public lookuptest::SimArrayTest {
 protected:
  explicit SmisActionTest(const std::string& seed = kOneArray) : SimArrayTest(seed) { action_.m_SnapInfo = &record_; }

  std::string SystemName() { return lookuptest::SystemNameOf(kOneArraySerial); }

  // The array's storage configuration service path as text.
  std::string ConfigServiceText() {
    return sim().withModel(
        [&](smissim::Model& model) { return model.arrayBySerial(kOneArraySerial)->configService.toString().str(); });
  }

  std::string VolumeText(const std::string& name) { return VolumePath(kOneArraySerial, name).toString().str(); }

  // The extrinsic calls of the method the provider received, in order.
  std::vector<smissim::MethodCallRecord> CallsOf(const std::string& method) {
    std::vector<smissim::MethodCallRecord> calls;
    for (const smissim::MethodCallRecord& call : sim().methodCalls())
      if (call.method == method) calls.push_back(call);
    return calls;
  }

  // A fault on the next call of one extrinsic method.
  void FaultOnMethod(const std::string& method, smissim::FaultAction action, std::uint16_t finalState = 10) {
    smissim::FaultRule rule;
    rule.operation = method;
    rule.action = action;
    rule.jobFinalState = finalState;
    sim().injectFault(rule);
  }

  SmisAction action_;
};

}  // namespace smisactiontest
