// Remote-copy groups between two simulated 3PAR arrays, each served by a provider of its own: created,
// found again, resynchronized, and the ways they fail.
#include <gtest/gtest.h>

#include <string>

#include "SimFaults.h"
#include "SimProviderSupport.h"
#include "Tq3PARSnapshot.h"
#include "TqSleep.h"
#include "smis-sim/TestServer.h"

namespace {

constexpr const char* kSource = "2FF70002AC00ABCD";
constexpr const char* kTarget = "2FF70002AC00BEEF";
constexpr const char* kVolume = "60002AC000000000000000000100ABCD";

smissim::SimulatorOptions Array(const std::string& serial, const std::string& extra) {
  smissim::SimulatorOptions options;
  options.seedJson = R"({"arrays":[{"serial":")" + serial + R"(","firmware":"3.2.1","cpgs":["FC_r1","FC_r2"],)" +
                     R"("volumes":[{"name":"database_volume_01","cpg":"FC_r1"}])" + extra + "}]}";
  return options;
}

class RemoteCopyTest : public ::testing::Test {
 protected:
  RemoteCopyTest(const std::string& sourceExtra = R"(,"remoteCopyTargets":["00BEEF"])",
                 const std::string& targetExtra = "")
      : source_(Array("00ABCD", sourceExtra)), target_(Array("00BEEF", targetExtra)) {
    snap_.SetLogger(&record_);
    TQ_SMIS_SNAP::TqArrayParams login;
    static_cast<TqCimomParams&>(login) = simtest::ParamsFor(source_);
    login.systemName = kSource;
    snap_.SetArrayInfo(login);
    static_cast<TqCimomParams&>(targetLogin_) = simtest::ParamsFor(target_);
    targetLogin_.systemName = kTarget;
  }

  int Create(std::string& sync, std::string& targetVolume, const char* cpg = "") {
    return snap_.CreateRCGroup(kSource, kVolume, targetLogin_, cpg, sync, targetVolume, false);
  }
  size_t Calls(const std::string& method) {
    size_t count = 0;
    for (const smissim::MethodCallRecord& call : source_->methodCalls()) count += call.method == method;
    return count;
  }
  // The group the engine names for the source volume.
  std::string GroupName() {
    std::string group;
    snap_.getRCGroupName("database_volume_01", kVolume, group);
    return group;
  }
  // Sets a property of every instance of the class on the source provider.
  void SetOnSource(const char* className, const char* property, const std::string& value) {
    source_->withModel([&](smissim::Model& model) {
      for (const Pegasus::CIMInstance* found : model.store().enumerate(className)) {
        Pegasus::CIMInstance* instance = model.store().findMutable(found->getPath());
        const Pegasus::Uint32 at = instance->findProperty(property);
        if (at != Pegasus::PEG_NOT_FOUND) instance->removeProperty(at);
        instance->addProperty(
            Pegasus::CIMProperty(Pegasus::CIMName(property), Pegasus::CIMValue(Pegasus::String(value))));
      }
      return 0;
    });
  }

  TqSleepScope instant_{TqSleepMode::Instant};
  smissim::TestServer source_, target_;
  TQ_SMIS_SNAP::TqArrayParams targetLogin_;
  TQSO::SnapInfo record_;
  Tq3PARSnapshot snap_;
};

TEST_F(RemoteCopyTest, AGroupIsCreatedWaitedOnFoundAgainAndResynchronized) {
  std::string sync, targetVolume;
  ASSERT_EQ(0, Create(sync, targetVolume, "FC_r2"));
  EXPECT_NE(std::string::npos, sync.find("TPD_RemoteGroupSynchronized"));
  EXPECT_EQ("00BEEF", targetVolume.substr(targetVolume.size() - 6)) << "the mirror is on the target array";
  EXPECT_TRUE(snap_.m_LastErrorMsg.empty()) << snap_.m_LastErrorMsg;

  std::string again, againVolume;
  ASSERT_EQ(0, Create(again, againVolume));
  EXPECT_EQ(sync, again);
  EXPECT_EQ(targetVolume, againVolume);
  EXPECT_EQ(1u, Calls("CreateGroupReplicaFromElements")) << "a group found by its name is not made again";

  EXPECT_EQ(0, snap_.SyncReplication(kSource, sync.c_str(), 1, 5));
  EXPECT_EQ(1u, Calls("ModifyReplicaSynchronization"));
  EXPECT_EQ(nullptr, snap_.m_Conn.m_Client);
}

TEST_F(RemoteCopyTest, TheAccessPointIsReadInTheStandardFormAndAsOneReference) {
  for (bool single : {false, true}) {
    SCOPED_TRACE(single ? "one reference" : "the standard array ServiceAccessPoints");
    source_->reset(Array("00ABCD", R"(,"remoteCopyTargets":["00BEEF"])").seedJson);
    source_->updateSettings(single ? R"({"singleAccessPoint":true})" : "{}");
    record_.clearMessages();
    std::string sync, targetVolume;
    ASSERT_EQ(0, Create(sync, targetVolume)) << snap_.m_LastErrorMsg;
    EXPECT_EQ(1u, Calls("CreateGroupReplicaFromElements"));
    EXPECT_EQ(1, simtest::CountMessages(
                     record_, single ? "<ServiceAccessPoint> <reference>" : "<ServiceAccessPoints> <reference>"))
        << "the answer is traced";
    EXPECT_EQ(1, simtest::CountMessages(record_, "<Synchronization> <reference>"));
  }
}

TEST_F(RemoteCopyTest, AVolumeAlreadyInAnotherGroupIsNotPairedAgain) {
  std::string sync, targetVolume;
  ASSERT_EQ(0, Create(sync, targetVolume));
  std::string lower = GroupName();
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& other : {std::string("TQ_RCGsomething_else"), lower}) {
    SCOPED_TRACE(other);
    SetOnSource("TPD_RemoteReplicationGroup", "ElementName", other);
    std::string again, againVolume;
    EXPECT_EQ(1, Create(again, againVolume));
    EXPECT_EQ("Cannot create Remote Copy Group. Source-Volume has already paired with another existing Group",
              snap_.m_LastErrorMsg);
    EXPECT_EQ(1u, Calls("CreateGroupReplicaFromElements")) << "no second group is made";
    EXPECT_EQ(nullptr, snap_.m_Conn.m_Client);
  }
}

TEST_F(RemoteCopyTest, EachFailureOfTheCreationRecordsItsOwnText) {
  struct Case {
    const char* name;
    smissim::FaultRule fault;
    int result;
    const char* text;  // a fragment of the recorded text
    size_t created;    // creation calls made
  } cases[] = {
      {"replication service enumeration fails",
       simtest::On("EnumerateInstanceNames", simtest::CimErrorFault(1, "provider busy")), 1, "provider busy", 0},
      {"connection dropped at the enumeration",
       simtest::On("EnumerateInstanceNames",
                   simtest::AnyOperation(smissim::FaultAction::DropConnection, simtest::kLasting)),
       1, "", 0},
      {"creation refused",
       simtest::On("CreateGroupReplicaFromElements", simtest::AnyOperation(smissim::FaultAction::ForceReturnValue, 1)),
       1, "Creating new remote copy group has failed", 1},
      {"no access point answered",
       simtest::On("GetServiceAccessPoints", simtest::AnyOperation(smissim::FaultAction::ForceReturnValue, 1)), 1,
       "unable to get service accesspoint", 0},
      {"source capabilities cannot be read",
       simtest::On("EnumerateInstances", simtest::CimErrorFault(1, "capabilities unavailable")), 1,
       "remote copy capabilities of the source", 0},
  };
  cases[0].fault.className = "CIM_ReplicationService";
  cases[1].fault.className = "CIM_ReplicationService";
  cases[4].fault.className = "TPD_ReplicationServiceCapabilities";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    source_->reset(Array("00ABCD", R"(,"remoteCopyTargets":["00BEEF"])").seedJson);
    source_->injectFault(c.fault);
    snap_.m_LastErrorMsg = "left by an earlier operation";
    std::string sync, targetVolume;
    EXPECT_EQ(c.result, Create(sync, targetVolume));
    EXPECT_FALSE(snap_.m_LastErrorMsg.empty());
    EXPECT_NE("left by an earlier operation", snap_.m_LastErrorMsg);
    EXPECT_NE(std::string::npos, snap_.m_LastErrorMsg.find(c.text)) << snap_.m_LastErrorMsg;
    EXPECT_EQ(c.created, Calls("CreateGroupReplicaFromElements"));
    EXPECT_EQ(nullptr, snap_.m_Conn.m_Client) << "disconnected";
  }
}

TEST_F(RemoteCopyTest, AMirrorWithoutANameIsNotFound) {
  std::string sync, targetVolume;
  ASSERT_EQ(0, Create(sync, targetVolume));
  SetOnSource("TPD_ReplicationEntity", "Name", "");
  std::string again, againVolume;
  EXPECT_EQ(1, Create(again, againVolume));
  EXPECT_EQ("cannot find the target volume of the existing Remote Copy Group", snap_.m_LastErrorMsg);
  EXPECT_TRUE(againVolume.empty());
}

TEST_F(RemoteCopyTest, ATargetThatCannotBeReachedOrHasNoSuchPool) {
  std::string sync, targetVolume;
  EXPECT_EQ(1, Create(sync, targetVolume, "NoSuchPool"));
  EXPECT_EQ("Cannot compute target replication CPG", snap_.m_LastErrorMsg);
  static_cast<TqCimomParams&>(targetLogin_) = simtest::ParamsFor(1);
  EXPECT_EQ(4, Create(sync, targetVolume));
  EXPECT_EQ(0u, Calls("CreateGroupReplicaFromElements"));
}

TEST_F(RemoteCopyTest, ASynchronizationThatNeverCompletes) {
  source_->updateSettings(R"({"remoteCopyNeverSyncs":true})");
  std::string sync, targetVolume;
  EXPECT_EQ(0, Create(sync, targetVolume)) << "the group stands; its first synchronization is reported";
  EXPECT_EQ("New remote-copy synchronization has failed", snap_.m_LastErrorMsg);
  EXPECT_EQ(1, snap_.SyncReplication(kSource, sync.c_str(), 1, 5));
  EXPECT_EQ("New remote-copy synchronization has timedout", snap_.m_LastErrorMsg);
  EXPECT_EQ(1, snap_.SyncReplication(kSource, "", 1, 5));
  EXPECT_EQ(1, snap_.SyncReplication(nullptr, sync.c_str(), 1, 5));
}

TEST_F(RemoteCopyTest, AResynchronizationOfATextThatIsNoObjectPathReportsTheFault) {
  EXPECT_EQ(1, snap_.SyncReplication(kSource, kVolume, 1, 5));
  EXPECT_NE(std::string::npos, snap_.m_LastErrorMsg.find("malformed"))
      << "the parse fault is the text the replication worker reports: " << snap_.m_LastErrorMsg;
  bool traced = false;
  for (const TQSO::JobMessage& message : record_.messages())
    traced = traced || message.text.find("[ERROR] unable to Sync-Group  ") != std::string::npos;
  EXPECT_TRUE(traced);
  EXPECT_EQ(0u, Calls("ModifyReplicaSynchronization"));
  EXPECT_EQ(nullptr, snap_.m_Conn.m_Client);
}

class UnlinkedArrays : public RemoteCopyTest {
 protected:
  UnlinkedArrays() : RemoteCopyTest("", R"(,"remoteCopy":false)") {}
};

TEST_F(UnlinkedArrays, TargetWithoutRemoteMirroringOrNoLinkBetweenTheArrays) {
  std::string sync, targetVolume;
  EXPECT_EQ(6, Create(sync, targetVolume)) << "the target array cannot mirror remotely";
  target_->reset(Array("00BEEF", "").seedJson);
  EXPECT_EQ(1, Create(sync, targetVolume)) << "no link from the source array to the target";
  EXPECT_NE(std::string::npos, snap_.m_LastErrorMsg.find("unable to get service accesspoint"));
  source_->reset(Array("00ABCD", R"(,"remoteCopy":false)").seedJson);
  EXPECT_EQ(5, Create(sync, targetVolume)) << "the source array cannot mirror remotely";
  EXPECT_EQ("Source 3PAR-storage array does not support synchronous remote copy", snap_.m_LastErrorMsg);
}

TEST(RemoteCopyGroupName, ShortNamesWholeLongNamesByTheWwn) {
  struct Case {
    const char* volume;
    const char* wwn;
    const char* group;
  } cases[] = {
      {"db01", "60002AC000000000000000000100ABCD", "TQ_RCGdb01"},
      {"fifteen_chars_x", "60002AC000000000000000000100ABCD", "TQ_RCGfifteen_chars_x"},
      {"sixteen_chars_xy", "6000ABCDEF0123456789ABCDEF012345", "TQ_RCG0123456789ABCDEF"},
      {"sixteen_chars_xy", "50002AC000000000", "TQ_RCG50002AC000000000"},
      {"sixteen_chars_xy", "6Z002AC000000000", "TQ_RCG6Z002AC000000000"},
      {"sixteen_chars_xy", "60002AC0", "TQ_RCG60002AC0"},
  };
  Tq3PARSnapshot snap;
  for (const Case& c : cases) {
    std::string group;
    snap.getRCGroupName(c.volume, c.wwn, group);
    EXPECT_EQ(c.group, group) << c.volume << " " << c.wwn;
  }
}

}  // namespace
