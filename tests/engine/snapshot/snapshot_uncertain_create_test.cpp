// A snapshot creation whose outcome the object cannot know (the answer lost, late or malformed, the job
// failed, success without the copy's name): the copy the array made all the same is found by the requested
// name and removed; one that cannot be removed stays named by the object; a volume of that name that is no
// copy of the source is never touched.
#include <gtest/gtest.h>

#include <string>

#include "SimFaults.h"
#include "support/SnapshotFixture.h"

namespace snapshottest {
namespace {

using smissim::FaultAction;

class UncertainCreateTest : public SnapshotTest {
 protected:
  void Prepare(const std::string& name) {
    AskForSnapshot(name);
    ASSERT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
  }

  // The client waits one second for an answer.
  void ShortTimeout() {
    TQ_SMIS_SNAP::TqArrayParams login;
    static_cast<TqCimomParams&>(login) = simtest::ParamsFor(server_);
    login.m_TimeoutSecs = 1;
    login.systemName = SystemName();
    snap_.SetArrayInfo(login);
  }

  void FailNextCreate(FaultAction action, bool afterRunning) {
    smissim::FaultRule rule;
    rule.operation = "CreateReplica";
    rule.action = action;
    rule.afterRunning = afterRunning;
    rule.delayMs = 1500;
    rule.parameter = "TargetElement";
    sim().injectFault(rule);
  }
};

TEST_F(UncertainCreateTest, ACopyMadeDespiteAFailedCreateIsRemoved) {
  const struct {
    const char* what;
    FaultAction action;
    bool afterRunning;
    bool made;  // the array made the copy
  } cases[] = {
      {"connection dropped before the method ran", FaultAction::DropConnection, false, false},
      {"connection dropped after the method ran", FaultAction::DropConnection, true, true},
      {"answer later than the client waits", FaultAction::Delay, true, true},
      {"job ended in error", FaultAction::JobFails, false, true},
      {"malformed answer, nothing run", FaultAction::MalformedXml, false, false},
      {"malformed answer after the method ran", FaultAction::MalformedXml, true, true},
      {"success that names no copy", FaultAction::DropOutput, false, true},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = "uncertain" + std::to_string(n++);
    if (c.action == FaultAction::Delay) ShortTimeout();
    Prepare(name);
    record_.clearMessages();
    const size_t deletesBefore = CallsOf("ReturnToStoragePool").size();
    FailNextCreate(c.action, c.afterRunning);

    EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
    EXPECT_FALSE(VolumeExists(name)) << "nothing is left on the array";
    EXPECT_EQ("", snap_.GetSnapDevice());
    EXPECT_EQ("", snap_.GetSnapDevPath());
    EXPECT_EQ(c.made, record_.hasMessageContaining("Removed copy")) << "the removal is traced";
    EXPECT_EQ(deletesBefore + (c.made ? 1 : 0), CallsOf("ReturnToStoragePool").size());
    EXPECT_EQ(0, DeviceErrorCode(record_));
    ExpectClosed();
  }
}

TEST_F(UncertainCreateTest, ACopyThatCannotBeRemovedStaysNamedByTheObject) {
  Prepare("stuck");
  FailNextCreate(FaultAction::DropConnection, true);
  ForceAnswer("ReturnToStoragePool", 4);
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
  ASSERT_TRUE(VolumeExists("stuck"));
  EXPECT_EQ(Wwn("stuck"), snap_.GetSnapDevice());
  EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(snap_.GetSnapDevPath())),
                                          VolumePath(kArraySerial, "stuck")));
  EXPECT_TRUE(record_.hasMessageContaining("could not be removed"));
  ExpectClosed();
}

// clone1 is a volume of its own: a create of that name that ran into a lost answer must not remove it.
TEST_F(UncertainCreateTest, AVolumeOfTheNameThatIsNoCopyOfTheSourceStays) {
  Prepare("clone1");
  FailNextCreate(FaultAction::DropConnection, false);
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
  EXPECT_TRUE(VolumeExists("clone1"));
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());
  EXPECT_EQ("", snap_.GetSnapDevice());
  EXPECT_TRUE(record_.hasMessageContaining("is no copy of the source"));
}

}  // namespace
}  // namespace snapshottest
