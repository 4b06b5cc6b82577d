// Snapshots of remote-copy replicas: prepared devices paired with mirrors on a second array (served by the
// same simulated provider, or by another one over another protocol), the pairs synchronized, the snapshots
// taken on the mirrors, and the failures of the synchronizations.
#include <gtest/gtest.h>

#include <string>

#include "EvDebug.h"
#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::RecordOf;

constexpr const char* kTargetId = "2FF70002AC00BEEF";
constexpr int kSourceHostId = 5;
constexpr int kTargetHostId = 7;
constexpr const char* kLinkedToTarget = R"(,"remoteCopyTargets":["00BEEF"])";
// The mirror side: the source's volumes on an array of serial 00BEEF.
constexpr const char* kTargetArray =
    R"({"serial":"00BEEF","cpgs":["FC_r1"],"volumes":[{"name":"vol1","cpg":"FC_r1"},{"name":"vol2","cpg":"FC_r1"}]})";

class ReplicationJob : public enginejob::EngineJobTest {
 protected:
  ReplicationJob() {
    std::string seed = enginejob::ArraySeed({"vol1", "vol2"}, "00ABCD", kLinkedToTarget);
    seed.replace(seed.size() - 2, 2, std::string(",") + kTargetArray + "]}");
    array_->reset(seed);
    Know(enginejob::kArrayId, kSourceHostId, array_);
    Know(kTargetId, kTargetHostId, array_);
  }

  // The array as the host agent knows it: the login of `server`, its host id, and the server's port and
  // protocol as the array's settings.
  void Know(const std::string& id, int hostId, const smissim::TestServer& server) {
    TQSO::ArrayEntry entry;
    entry.id = id;
    entry.hostId = hostId;
    entry.info = "{arrayId:" + id + ",hostName:127.0.0.1,hostUserName:" + server.user() +
                 ",hostPassword:" + server.password() + ",hostid:" + std::to_string(hostId) + ",engineId:25}";
    entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = std::to_string(server.port());
    entry.settings["SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER"] = server.https() ? "1" : "0";
    registry_->put(entry);
  }

  // The devices prepared as snapshots of their sources, then to be replicated to the target array.
  void PrepareSources(const std::vector<std::string>& volumes) {
    JobOf(volumes);
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    for (TQSO::SnapInfo* device : list_)
      device->setSetting("SMCONFIG_NAME_REPLICATION_TARGET_ARRAY_ID", "2ff70002ac00beef");
  }

  // The array answers the next resynchronization request of a group with 4.
  void RefuseResynchronization() { RefuseNext("ModifyReplicaSynchronization"); }

  TqSleepScope instant_{TqSleepMode::Instant};
};

TEST_F(ReplicationJob, ReplicasArePairedSynchronizedAndSnappedOnTheTargetArray) {
  PrepareSources({"vol1", "vol2"});
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
  PrepareSources({"vol1"});
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

TEST_F(ReplicationJob, ARefusedResynchronizationFailsTheDeviceWithTheErrorOfItsStep) {
  struct Case {
    const char* step;
    bool atSnap;
    TQSO::SnapStatus status;
    int error;
  } cases[] = {
      {"the replication worker of prepare", false, TQSO::SS_PREPARE_FAILED, 62008},
      {"the resynchronization before the snapshot", true, TQSO::SS_SNAPSHOT_FAILED, 60001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    array_->clearFaults();
    PrepareSources({"vol1"});
    if (c.atSnap) {
      ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareRemoteSnaps(list_.data(), Count(), &services_));
    }
    RefuseResynchronization();
    const size_t snapshotsBefore = CallsOf("CreateReplica").size();
    const TQSO::ResultCode result = c.atSnap ? tqso_snapDevices(list_.data(), Count(), &services_)
                                             : tqso_prepareRemoteSnaps(list_.data(), Count(), &services_);
    EXPECT_EQ(TQSO::RC_FAIL, result);
    EXPECT_EQ(c.status, Device(0).getStatus());
    EXPECT_EQ(c.error, Device(0).errorCode());
    EXPECT_EQ("Invoking Remote Copy synchronization failed", Device(0).errorText());
    EXPECT_EQ(snapshotsBefore, CallsOf("CreateReplica").size()) << "no snapshot of a mirror left behind";
  }
}

TEST_F(ReplicationJob, AFaultOnTheReplicationServiceFailsOnlyItsDevice) {
  PrepareSources({"vol1", "vol2"});
  smissim::FaultRule fault;
  fault.operation = "EnumerateInstanceNames";
  fault.className = "CIM_ReplicationService";
  fault.action = smissim::FaultAction::CimError;
  fault.description = "provider busy";
  fault.count = 1;
  array_->injectFault(fault);
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_prepareRemoteSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(0).getStatus());
  EXPECT_EQ(62008, Device(0).errorCode());
  EXPECT_NE(std::string::npos, Device(0).errorText().find("provider busy")) << Device(0).errorText();
  EXPECT_EQ(TQSO::SS_PREPARED, Device(1).getStatus()) << "the next device is still prepared";
}

// The target array behind a provider of its own, reached over HTTPS, while the source array's provider
// speaks plain HTTP on another port: each side is reached with its own array's settings.
class ReplicationAcrossProviders : public ReplicationJob {
 protected:
  ReplicationAcrossProviders() : target_(TargetOptions()) {
    array_->reset(enginejob::ArraySeed({"vol1", "vol2"}, "00ABCD", kLinkedToTarget));
    Know(kTargetId, kTargetHostId, target_);
  }

  static smissim::SimulatorOptions TargetOptions() {
    smissim::SimulatorOptions options;
    options.https = true;
    options.seedJson = std::string(R"({"arrays":[)") + kTargetArray + "]}";
    return options;
  }

  size_t Calls(smissim::TestServer& server, const std::string& method) {
    size_t count = 0;
    for (const smissim::MethodCallRecord& call : server->methodCalls()) count += call.method == method;
    return count;
  }

  smissim::TestServer target_;
};

TEST_F(ReplicationAcrossProviders, TheSourceSideUsesTheSourceArraysOwnPortAndProtocol) {
  ASSERT_FALSE(array_.https());
  ASSERT_NE(array_.port(), target_.port());
  PrepareSources({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareRemoteSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_PREPARED, Device(i).getStatus()) << Device(i).errorText();
    EXPECT_EQ(kTargetId, RecordOf(Device(i)).arrayId);
  }
  EXPECT_EQ(2u, Calls(array_, "CreateGroupReplicaFromElements"));
  EXPECT_EQ(2u, Calls(array_, "ModifyReplicaSynchronization")) << "the prepare workers synchronized on the source";

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(i).getStatus()) << Device(i).errorText();
    EXPECT_EQ("00BEEF", RecordOf(Device(i)).targetDev.substr(26));
  }
  EXPECT_EQ(4u, Calls(array_, "ModifyReplicaSynchronization")) << "resynchronized on the source before each snapshot";
  EXPECT_EQ(2u, Calls(target_, "CreateReplica")) << "the snapshots were taken on the target's mirrors";
  EXPECT_EQ(0u, Calls(target_, "ModifyReplicaSynchronization"));
}

}  // namespace
