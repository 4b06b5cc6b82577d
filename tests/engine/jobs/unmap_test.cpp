// Unmapping copies the host never saw but the array still presents, and an unmap whose child clean-up fails.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqHostBus.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::EngineJobTest;
using enginejob::HasVolume;
using enginejob::RecordOf;

class Unmap : public EngineJobTest {
 protected:
  // Presents the device's copy on the array only, as a map whose host never rescanned: status 9.
  void MapOnArrayOnly(size_t i) {
    std::list<std::string> initiators{enginejob::kHostPort};
    std::string group = GetGroupName("simhost", false);
    std::string ports = convertHbaList(initiators, false);
    std::string none;
    int mapped = 0;
    ASSERT_TRUE(ArrayOperarions_mapVolumes(list_[i], &services_, true, group, ports, false, none, none, false,
                                           Device(i).hostDevicePath().c_str(), mapped));
    ASSERT_EQ(TQSO::SS_MAPPED, Device(i).getStatus());
  }

  // The WWNs the host's port is exposed to on the array.
  std::vector<std::string> Exposed() {
    std::vector<std::string> wwns;
    for (const smissim::ExposedLun& lun : array_->exposedTo({enginejob::kHostPort})) wwns.push_back(lun.wwn);
    return wwns;
  }

  bool IsExposed(const std::string& wwn) {
    for (const std::string& exposed : Exposed())
      if (exposed == wwn) return true;
    return false;
  }
};

// What the array presents of a device although its host never saw it, and whether unmap must withdraw it.
struct UnseenCopy {
  const char* what;
  short engine;
  bool mapOnArray;                 // the copy was presented on the array (status 9, child recorded)
  TQSO::SnapStatus statusOnEntry;  // what unmap is given (the map's status unless changed)
  size_t hides;                    // HidePaths calls the unmap makes
};

class UnseenCopies : public Unmap, public ::testing::WithParamInterface<UnseenCopy> {};

TEST_P(UnseenCopies, AreWithdrawnOnTheArrayWhenItStillPresentsThem) {
  const UnseenCopy& c = GetParam();
  TqSleepScope instant(TqSleepMode::Instant);
  KnowArray(c.engine);
  JobOf({"vol1"});
  SnapAll();
  const size_t sources = host_->visibleDevices().size();
  if (c.mapOnArray) MapOnArrayOnly(0);
  const _TQ3PAR_SnapMetadata mapped = RecordOf(Device(0));
  const std::string presented = c.engine == tqengine::kSnapshotEngine ? mapped.childdev : mapped.targetDev;
  ASSERT_EQ(c.mapOnArray, IsExposed(presented));
  ASSERT_EQ(sources, host_->visibleDevices().size()) << "the host never saw the copy";
  Device(0).setStatus(c.statusOnEntry);
  array_->clearLog();

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_UNMAPPED, Device(0).getStatus());
  EXPECT_EQ(0, Device(0).errorCode());
  EXPECT_EQ(c.hides, CallsOf("HidePaths").size());
  EXPECT_FALSE(IsExposed(presented)) << "nothing of the copy stays presented";
  if (c.engine == tqengine::kSnapshotEngine && c.mapOnArray) {
    EXPECT_EQ(tqengine::kEmptyDev, RecordOf(Device(0)).childdev);
    EXPECT_EQ(nullptr, array_->withModel([&](smissim::Model& model) { return model.findVolumeByWwn(presented); }))
        << "the child is deleted";
  }
  EXPECT_TRUE(HasVolume(Model(), "snap-vol1")) << "the copy itself stays";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnseenCopies,
    ::testing::Values(UnseenCopy{"SnapshotMappedNeverSeen", tqengine::kSnapshotEngine, true, TQSO::SS_MAPPED, 1},
                      UnseenCopy{"SnapshotWhoseRecordNamesAChild", tqengine::kSnapshotEngine, true,
                                 TQSO::SS_SNAPSHOT_CREATED, 1},
                      UnseenCopy{"CloneMappedNeverSeen", tqengine::kCloneEngine, true, TQSO::SS_MAPPED, 1},
                      UnseenCopy{"SnapshotNeverMapped", tqengine::kSnapshotEngine, false, TQSO::SS_SNAPSHOT_CREATED, 0},
                      UnseenCopy{"CloneNeverMapped", tqengine::kCloneEngine, false, TQSO::SS_CLONE_CREATED, 0}),
    [](const ::testing::TestParamInfo<UnseenCopy>& info) { return std::string(info.param.what); });

// The child through which a snapshot was presented cannot be deleted: that device is not unmapped, carries an
// error, and the call says so; the other device is unmapped.
TEST_F(Unmap, AFailedChildDeleteIsNoUnmap) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1", "vol2"});
  SnapAll();
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  const std::string kept = RecordOf(Device(0)).childdev;
  RefuseNext("ReturnToStoragePool");

  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_unmapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_UNMAP_FAILED, Device(0).getStatus());
  EXPECT_NE(0, Device(0).errorCode());
  EXPECT_EQ(kept, RecordOf(Device(0)).childdev) << "the record still names the child that stays";
  EXPECT_NE(nullptr, array_->withModel([&](smissim::Model& model) { return model.findVolumeByWwn(kept); }));
  EXPECT_EQ(TQSO::SS_UNMAPPED, Device(1).getStatus());
  EXPECT_EQ(0, Device(1).errorCode());
  EXPECT_EQ(tqengine::kEmptyDev, RecordOf(Device(1)).childdev);
}

}  // namespace
