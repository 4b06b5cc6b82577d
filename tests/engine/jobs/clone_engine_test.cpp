// The clone engine through a whole job: the clone made at prepare is itself presented to the host (no child
// snapshot is made or deleted), withdrawn again and deleted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::EngineJobTest;
using enginejob::HasVolume;
using enginejob::RecordOf;

TEST_F(EngineJobTest, CloneEngineClonesArePresentedThemselvesAndWithdrawnAgain) {
  TqSleepScope instant(TqSleepMode::Instant);
  KnowArray(tqengine::kCloneEngine);
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  const auto volumesMade = [&] {
    return array_->withModel([](smissim::Model& model) { return model.arrayBySerial("00ABCD")->nextVolumeNumber; });
  };
  const auto madeBeforeMap = volumesMade();
  array_->clearLog();

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  std::vector<std::string> disks;
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(i).getStatus());
    const _TQ3PAR_SnapMetadata record = RecordOf(Device(i));
    EXPECT_EQ(tqengine::kEmptyDev, record.childdev) << "a clone has no child";
    const std::string disk = Device(i).snapDeviceName();
    ASSERT_EQ(1u, host_->visibleDevices().count(disk));
    EXPECT_EQ(record.targetDev, host_->visibleDevices().at(disk).wwn) << "the host sees the clone itself";
    disks.push_back(disk);
  }
  EXPECT_EQ(2u, CallsOf("ExposeLUsToStorageHardwareIDCollection").size());
  EXPECT_EQ(madeBeforeMap, volumesMade()) << "no volume is made for the map";
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());

  array_->clearLog();
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_UNMAPPED, Device(i).getStatus());
    EXPECT_EQ(0u, host_->visibleDevices().count(disks[i]));
  }
  EXPECT_EQ(2u, array_->exposedTo({enginejob::kHostPort}).size()) << "only the sources stay presented";
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty()) << "nothing is deleted with the unmap";
  EXPECT_TRUE(HasVolume(Model(), "snap-vol1"));
  EXPECT_TRUE(HasVolume(Model(), "snap-vol2"));

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  EXPECT_FALSE(HasVolume(Model(), "snap-vol1"));
  EXPECT_FALSE(HasVolume(Model(), "snap-vol2"));
}

}  // namespace
