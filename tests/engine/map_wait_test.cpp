// Mapping failures and the rescan wait for copies that never appear on the host.
#include <gtest/gtest.h>

#include <string>

#include "SnapInfo.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::EngineJobTest;
using enginejob::RecordOf;

TEST_F(EngineJobTest, CopiesThatNeverAppearEndTheWaitWhenItsWindowIsOver) {
  TqSleepScope instant(TqSleepMode::Instant);
  TqSleepControl::resetCounters();
  JobOf({"vol1"});
  _TQ3PAR_SnapMetadata record;
  record.arrayId = enginejob::kArrayId;
  record.targetDev = "60002AC0000000000000000009990ABC";
  record.childdev = "0002AC0000000000000000009990ABC";
  std::string text;
  ConstructMetadata(record, text);
  Device(0).setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text.c_str());
  Device(0).setStatus(TQSO::SS_MAPPED);

  MappedCopyWait wait;
  wait.engineType = 25;
  wait.mapped = 1;
  EXPECT_EQ(TQSO::RC_FAIL, WaitForMappedCopies(list_.data(), Count(), &services_, wait));
  EXPECT_EQ(60509, Device(0).errorCode());
  EXPECT_EQ(TQSO::SS_MAPPED, Device(0).getStatus());
  // Five passes whatever the window, then passes while the default window of 300 s lasts: pauses of
  // 10, 20, ... 80 seconds.
  EXPECT_EQ(8, TqSleepControl::requestCount());
  EXPECT_EQ(360000, TqSleepControl::requestedMillis());

  TqSleepControl::resetCounters();
  wait.mapped = 0;
  Device(0).setStatus(TQSO::SS_MAP_FAILED);
  EXPECT_EQ(TQSO::RC_FAIL, WaitForMappedCopies(list_.data(), Count(), &services_, wait));
  EXPECT_EQ(0, TqSleepControl::requestCount()) << "nothing mapped: no pass";
}

TEST_F(EngineJobTest, AFailedMapRemovesOnlyAChildItMade) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  std::string child;
  ASSERT_TRUE(GetChildDeviceName(RecordOf(Device(0)).targetDev.c_str(), child));
  RefuseExposure();
  EXPECT_EQ(TQSO::RC_FAIL, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_MAP_FAILED, Device(0).getStatus());
  EXPECT_EQ(62009, Device(0).errorCode());
  EXPECT_EQ(std::string::npos, Model().find("\"" + child + "\"")) << "the child made for the map is gone";

  // A persistent snapshot keeps its child on unmap; a later failed map must not take it.
  Device(0).setRequestFlags(0x1000);
  Device(0).setStatus(TQSO::SS_SNAPSHOT_CREATED);
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  ASSERT_NE(std::string::npos, Model().find("\"" + child + "\""));
  RefuseExposure();
  EXPECT_EQ(TQSO::RC_FAIL, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_NE(std::string::npos, Model().find("\"" + child + "\""))
      << "a child found already is never deleted by a failed map";
}

TEST_F(EngineJobTest, RevertRestoresSourcesAndPresentsThemAgain) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_revertSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(TQSO::SS_RESTORED, Device(i).getStatus());
  EXPECT_EQ(2u, host_->visibleDevices().size()) << "the sources are host disks again";
}

}  // namespace
