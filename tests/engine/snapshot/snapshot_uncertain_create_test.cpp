// A snapshot creation whose outcome the object cannot know (the answer lost, late or malformed, the job
// failed, success without the copy's name): the copy the array made all the same is removed, one that cannot
// be removed stays named by the object. Snapshot names are reused, so a copy the source had before the create
// is never removed, whatever the fault; and a clear refusal starts no clean-up at all. What cannot be settled
// (nothing to look with, no answer yet, no list to tell an older copy by) is noted for the device's error.
#include <gtest/gtest.h>

#include <cstdint>
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

  // The next reads of the source's copies fail, after `skip` of them went through.
  void FailCopyLists(unsigned skip) {
    smissim::FaultRule rule;
    rule.operation = "AssociatorNames";
    rule.action = FaultAction::CimError;
    rule.skip = skip;
    sim().injectFault(rule);
  }

  // An older snapshot of base1 named `name` (an earlier job's copy); its WWN.
  std::string OlderCopy(const std::string& name) {
    sim().seed(std::string(R"({"arrays":[{"serial":")") + kArraySerial +
               R"(","snapshots":[{"source":"base1","name":")" + name + R"("}]}]})");
    return Wwn(name);
  }

  const std::string& Note() { return snap_.GetUnsettledCopyNote(); }
};

smissim::FaultRule CreateFault(FaultAction action, bool afterRunning = false) {
  smissim::FaultRule rule;
  rule.operation = "CreateReplica";
  rule.action = action;
  rule.afterRunning = afterRunning;
  rule.delayMs = 1500;
  return rule;
}

smissim::FaultRule WithValue(smissim::FaultRule rule, int value) {
  rule.returnValue = static_cast<std::uint32_t>(value);
  rule.httpStatus = value;
  return rule;
}

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
    // Only a request that got no answer and left nothing may still make its copy.
    EXPECT_EQ(c.action == FaultAction::DropConnection && !c.afterRunning, !Note().empty()) << Note();
    ExpectClosed();
  }
}

TEST_F(UncertainCreateTest, AnOlderCopyOfTheNameSurvivesEveryFault) {
  const std::string older = OlderCopy("keepme");
  ASSERT_NE("", older);
  const struct {
    const char* what;
    smissim::FaultRule fault;
    bool unknown;  // the outcome is unknown: the clean-up looks
  } cases[] = {
      {"CIM error", CreateFault(FaultAction::CimError), false},
      {"return value 1", WithValue(CreateFault(FaultAction::ForceReturnValue), 1), false},
      {"HTTP 401", WithValue(CreateFault(FaultAction::HttpStatus), 401), false},
      {"HTTP 500", WithValue(CreateFault(FaultAction::HttpStatus), 500), true},
      {"dropped before running", CreateFault(FaultAction::DropConnection), true},
      {"dropped after running", CreateFault(FaultAction::DropConnection, true), true},
      {"malformed after running", CreateFault(FaultAction::MalformedXml, true), true},
      {"failed job", CreateFault(FaultAction::JobFails), false},  // the array refuses the name before any job
      {"late after running", CreateFault(FaultAction::Delay, true), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.fault.action == FaultAction::Delay) ShortTimeout();
    Prepare("keepme");
    record_.clearMessages();
    sim().clearLog();
    sim().injectFault(c.fault);

    EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
    EXPECT_EQ(older, Wwn("keepme")) << "the older copy stays";
    EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());
    EXPECT_EQ("", snap_.GetSnapDevice());
    EXPECT_EQ(c.unknown, record_.hasMessageContaining("were there before the create")) << "the clean-up looked";
    EXPECT_EQ(std::string::npos, Note().find(older)) << "the older copy is never named for removal: " << Note();
    ExpectClosed();
  }
}

TEST_F(UncertainCreateTest, WithoutTheListBeforeACopyOfTheNameIsNamedNotRemoved) {
  Prepare("unlisted");
  FailCopyLists(0);  // the list before the create
  sim().injectFault(CreateFault(FaultAction::DropConnection, true));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
  ASSERT_TRUE(VolumeExists("unlisted")) << "it may be an older copy of the name";
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());
  EXPECT_NE(std::string::npos, Note().find(Wwn("unlisted"))) << Note();
  EXPECT_EQ("", snap_.GetSnapDevice());
}

TEST_F(UncertainCreateTest, ACleanUpThatCannotLookNamesTheRequestedCopy) {
  Prepare("unlooked");
  FailCopyLists(1);  // the list after the create
  sim().injectFault(CreateFault(FaultAction::DropConnection, true));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
  EXPECT_TRUE(VolumeExists("unlooked"));
  EXPECT_NE(std::string::npos, Note().find("[unlooked]")) << Note();
  EXPECT_NE(std::string::npos, Note().find("could not look")) << Note();
  ExpectClosed();
}

// The name match is exact: a copy whose name differs only in case is another copy, not this create's.
TEST_F(UncertainCreateTest, ACopyOfTheNameInAnotherCaseIsNotTakenForTheCopy) {
  const std::string other = OlderCopy("Cased");
  Prepare("cased");
  FailCopyLists(0);  // without the list before, every copy of the source is a candidate by its name alone
  sim().injectFault(CreateFault(FaultAction::DropConnection));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
  EXPECT_EQ(other, Wwn("Cased"));
  EXPECT_EQ(std::string::npos, Note().find(other)) << Note();
  EXPECT_NE(std::string::npos, Note().find("[cased] may yet appear")) << Note();
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
  EXPECT_EQ(std::string::npos, Note().find(Wwn("clone1"))) << Note();
}

}  // namespace
}  // namespace snapshottest
