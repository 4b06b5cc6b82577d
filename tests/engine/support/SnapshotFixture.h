// Shared set-up of the snapshot object tests: the simulated 3PAR provider of the lookup tests (loopback
// HTTP, instant waits, hidden configuration keys) and one Tq3PARSnapshot logging into the device's job
// record, filled with the array's login and a source volume.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SnapInfo.h"
#include "Tq3PARSnapshot.h"
#include "support/SimArrayFixture.h"

namespace snapshottest {

constexpr const char* kArraySerial = "0B0001";
constexpr const char* kArray = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1", "Gold1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}, {"name": "clone1", "cpg": "CPG1"}]}
  ]
})";

// The device's job error.
inline int DeviceErrorCode(TQSO::SnapInfo& record) {
  int code = 0;
  record.getError(&code, nullptr, nullptr);
  return code;
}

inline std::string DeviceErrorText(TQSO::SnapInfo& record) {
  int code = 0;
  std::vector<char> text(4096, '\0');
  std::uint16_t length = static_cast<std::uint16_t>(text.size());
  record.getError(&code, text.data(), &length);
  return std::string(text.data());
}

class SnapshotTest : public lookuptest::SimArrayTest {
 protected:
  explicit SnapshotTest(const std::string& seed = kArray) : SimArrayTest(seed) {
    snap_.SetLogger(&record_);
    TQ_SMIS_SNAP::TqArrayParams login;
    static_cast<TqCimomParams&>(login) = simtest::ParamsFor(server_);
    login.systemName = SystemName();
    snap_.SetArrayInfo(login);
  }

  std::string SystemName() { return lookuptest::SystemNameOf(kArraySerial); }
  std::string Wwn(const std::string& name) { return WwnOf(kArraySerial, name); }
  std::string PathText(const std::string& name) { return VolumePath(kArraySerial, name).toString().str(); }
  bool VolumeExists(const std::string& name) { return !Wwn(name).empty(); }

  // A snapshot request of base1 named `name`.
  void AskForSnapshot(const std::string& name, int op = 4) {
    TQ_SMIS_SNAP::TqSnapParams request;
    request.snapName = name;
    request.snapOp = op;
    request.sourceDev = Wwn("base1");
    snap_.SetSnapInfo(request);
  }

  std::vector<smissim::MethodCallRecord> CallsOf(const std::string& method) {
    std::vector<smissim::MethodCallRecord> calls;
    for (const smissim::MethodCallRecord& call : sim().methodCalls())
      if (call.method == method) calls.push_back(call);
    return calls;
  }

  // The method answers `code` (after its checks) on its next calls, changing nothing.
  void ForceAnswer(const std::string& method, std::uint32_t code, unsigned count = 1) {
    smissim::FaultRule rule;
    rule.operation = method;
    rule.action = smissim::FaultAction::ForceReturnValue;
    rule.returnValue = code;
    rule.count = count;
    sim().injectFault(rule);
  }

  // The object's connection holds no client between operations.
  void ExpectClosed() {
    EXPECT_EQ(nullptr, snap_.m_Conn.m_Client);
    EXPECT_EQ(TQ_CIM_DISCONNECTED, snap_.m_Conn.m_Cimom.GetConnState());
  }

  Tq3PARSnapshot snap_;
};

}  // namespace snapshottest
