// Snapshots of remote-copy replicas: prepared devices paired with mirrors on a second array served by the
// same simulated provider, the pairs synchronized, the snapshots taken on the mirrors.
#include <gtest/gtest.h>

#include <string>

#include "EvDebug.h"
#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::RecordOf;

constexpr const char* kTargetId = "2FF70002AC00BEEF";

class ReplicationJob : public enginejob::EngineJobTest {
 protected:
  ReplicationJob() {
    std::string seed = enginejob::ArraySeed({"vol1", "vol2"}, "00ABCD", R"(,"remoteCopyTargets":["00BEEF"])");
    seed.replace(seed.size() - 2, 2,
                 R"(,{"serial":"00BEEF","cpgs":["FC_r1"],"volumes":[{"name":"vol1","cpg":"FC_r1"},)"
                 R"({"name":"vol2","cpg":"FC_r1"}]}]})");
    array_->reset(seed);
    TQSO::ArrayEntry entry;
    entry.id = kTargetId;
    entry.hostId = 7;
    entry.info = std::string("{arrayId:") + kTargetId + ",hostName:127.0.0.1,hostUserName:" + array_.user() +
                 ",hostPassword:" + array_.password() + ",hostid:7,engineId:25}";
    entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = std::to_string(array_.port());
    registry_->put(entry);
  }
  TqSleepScope instant_{TqSleepMode::Instant};
};

TEST_F(ReplicationJob, ReplicasArePairedSynchronizedAndSnappedOnTheTargetArray) {
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  for (TQSO::SnapInfo* device : list_)
    device->setSetting("SMCONFIG_NAME_REPLICATION_TARGET_ARRAY_ID", "2ff70002ac00beef");

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareRemoteSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_PREPARED, Device(i).getStatus());
    const _TQ3PAR_SnapMetadata record = RecordOf(Device(i));
    EXPECT_EQ(kTargetId, record.arrayId) << "the replica's snapshot is taken on the target array";
    EXPECT_EQ(1u, record.flags);
    EXPECT_TRUE(Device(i).metaDataText(TQSO::SM_MDT_3PAR_REPLICATION).has_value());
  }

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(i).getStatus());
    EXPECT_EQ("00BEEF", RecordOf(Device(i)).targetDev.substr(26)) << "the copy is on the target array";
  }
}

TEST_F(ReplicationJob, AnAsynchronousPairIsSynchronizedTwiceAtPrepare) {
  JobOf({"vol1"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  Device(0).setSetting("SMCONFIG_NAME_REPLICATION_TARGET_ARRAY_ID", kTargetId);
  Device(0).setSetting("SMCONFIG_NAME_REPLICA_VOL_ASYNCHRONOUS", 1);
  EvDebugCapture log;
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareRemoteSnaps(list_.data(), Count(), &services_));
  const std::vector<smissim::MethodCallRecord> created = CallsOf("CreateGroupReplicaFromElements");
  ASSERT_EQ(1u, created.size());
  EXPECT_EQ("3", created[0].param("Mode")->value) << "asynchronous";
  EXPECT_EQ(2u, CallsOf("ModifyReplicaSynchronization").size());
  EXPECT_TRUE(log.contains("Replication sync process phase-2 succeeded")) << "the operator sees the second pass";
}

TEST_F(ReplicationJob, AReplicaWithoutATargetArrayIsRefused) {
  JobOf({"vol1"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::RC_FAIL, tqso_prepareRemoteSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(0).getStatus());
  EXPECT_EQ(62008, Device(0).errorCode());
  EXPECT_EQ("[ERROR]target array configuration not found for 3PAR replication operation.", Device(0).errorText());
}

}  // namespace
