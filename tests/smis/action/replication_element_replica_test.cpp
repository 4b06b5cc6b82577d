// Element replicas made through the replication service of the simulated 3PAR array: the new copy and its
// pair in the array, a named target paired once only, lookups that find nothing, and jobs that fail.
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

class ElementReplicaTest : public SmisActionTest {
 protected:
  std::string ReplicationServiceText() {
    return sim().withModel([&](smissim::Model& model) {
      return model.arrayBySerial(kOneArraySerial)->replicationService.toString().str();
    });
  }

  SmisArgs SnapshotArgs(const std::string& name, const std::string& target = std::string()) {
    return {ReplicationServiceText(), name, "7", VolumeText("base1"), target, SystemName()};
  }

  // The source of the pair whose copy is `target`; empty when it has none.
  std::string SourceOf(const std::string& target) {
    std::string syncPath, sourcePath, sourceName;
    if (util_.GetSyncPathFromTarget(conn_, target, syncPath, sourcePath, sourceName) != 0) return std::string();
    return sourcePath;
  }

  bool IsBase1(const std::string& path) {
    return !path.empty() && Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(path)),
                                                        VolumePath(kOneArraySerial, "base1"));
  }
};

TEST_F(ElementReplicaTest, NewCopyIsPairedWithItsSource) {
  SmisArgs args = SnapshotArgs("base1-er");
  std::string result;
  ASSERT_EQ(kSmisSuccess, action_.CreateElementReplica(conn_, args, result));
  EXPECT_FALSE(WwnOf(kOneArraySerial, "base1-er").empty());
  EXPECT_TRUE(IsBase1(SourceOf(result)));
  std::vector<smissim::MethodCallRecord> calls = CallsOf("CreateElementReplica");
  ASSERT_EQ(1u, calls.size());
}

TEST_F(ElementReplicaTest, SourceByNameAndServiceBySystemName) {
  SmisArgs args = {"not a path", "base1-byname", "7", WwnOf(kOneArraySerial, "base1"), "", SystemName()};
  std::string result;
  ASSERT_EQ(kSmisSuccess, action_.CreateElementReplica(conn_, args, result));
  EXPECT_TRUE(IsBase1(SourceOf(result)));
  EXPECT_EQ(1, CountMessages(record_, "Supplied ServicePath is not a object path."));
}

// A named target is paired once; a second pairing is refused by the provider and its code returned.
TEST_F(ElementReplicaTest, NamedTargetIsPairedOnce) {
  const std::string target = VolumeText("base2");
  SmisArgs args = SnapshotArgs("", target);
  std::string result;
  ASSERT_EQ(kSmisSuccess, action_.CreateElementReplica(conn_, args, result));
  EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(result)),
                                          VolumePath(kOneArraySerial, "base2")));
  EXPECT_TRUE(IsBase1(SourceOf(target)));

  std::string again;
  EXPECT_EQ(6u, action_.CreateElementReplica(conn_, args, again));
  EXPECT_EQ(1, CountMessages(record_, "CreateElementReplica: Method failed, retVal = 6 (0x6)"));
}

// Nothing to call through or nothing to copy: the operation ends before any call reaches the provider.
TEST_F(ElementReplicaTest, MissingServiceOrSourceSendsNothing) {
  struct Case {
    const char* what;
    SmisArgs args;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"empty vector", {}, kSmisInvalidParameter},
      {"no replication service on an unknown array",
       {"not a path", "x", "7", VolumeText("base1"), "", "NOSUCH"},
       kSmisObjectNotFound},
      {"no system name to look the service up", {"not a path", "x", "7", VolumeText("base1")}, kSmisObjectNotFound},
      {"unknown source Name",
       {ReplicationServiceText(), "x", "7", "60002AC0000000000000000000009999", "", SystemName()},
       kSmisObjectNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    std::string result;
    EXPECT_EQ(c.result, action_.CreateElementReplica(conn_, args, result));
    EXPECT_TRUE(result.empty());
  }
  EXPECT_TRUE(CallsOf("CreateElementReplica").empty());
}

// A job that fails gives 1, and a named target is then left unpaired.
TEST_F(ElementReplicaTest, FailedJobLeavesTargetUnpaired) {
  FaultOnMethod("CreateElementReplica", FaultAction::JobFails);
  const std::string target = VolumeText("base2");
  SmisArgs args = SnapshotArgs("", target);
  std::string result;
  EXPECT_EQ(kSmisFailed, action_.CreateElementReplica(conn_, args, result));
  EXPECT_TRUE(SourceOf(target).empty());
}

// The 3PAR provider has no ETERNUS classes: the check answers false instead of letting the refusal out.
TEST_F(ElementReplicaTest, EternusServiceIsRequiredForValidation) {
  SmisArgs args = {SystemName(), "x", "4", VolumeText("base1")};
  Pegasus::CIMObjectPath service;
  EXPECT_FALSE(action_.ValidateCreateElementReplica(conn_, args, service));
  EXPECT_EQ(1, CountMessages(record_, "Class FUJITSU_ReplicationService for system " + SystemName() + " not found"));
  SmisArgs tooFew = {SystemName()};
  EXPECT_FALSE(action_.ValidateCreateElementReplica(conn_, tooFew, service));
}

}  // namespace
}  // namespace smisactiontest
