// Remote-copy groups between two simulated 3PAR arrays, each served by a provider of its own: created,
// found again, resynchronized, and the ways they fail.
#include <gtest/gtest.h>

#include <string>

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
