// A job on an array whose provider password holds another item's key: the password stays a password (the job
// stays a snapshot job) and never reaches a log line or a job message.
#include <gtest/gtest.h>

#include <string>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

// An array whose provider password holds another item's key and value.
class PasswordHoldingAKey : public enginejob::EngineJobTest {
 protected:
  PasswordHoldingAKey() : EngineJobTest({"vol1"}, "x engineId:26") {}
  TqSleepScope instant_{TqSleepMode::Instant};
};

TEST_F(PasswordHoldingAKey, ASnapshotJobStaysASnapshotJobAndThePasswordIsNeverLogged) {
  ASSERT_NE(std::string::npos,
            registry_->find(enginejob::kArrayId)->info.find("hostPassword:x engineId:26,engineId:25"))
      << "the password item comes before the engine id";
  JobOf({"vol1"});
  EvDebugCapture log;
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARED, Device(0).getStatus());
  EXPECT_EQ("4", enginejob::RecordOf(Device(0)).snapOp) << "a snapshot, not a clone";
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
  EXPECT_TRUE(CallsOf("CreateOrModifyElementFromStoragePool").empty()) << "no clone volume was made";
  EXPECT_EQ(0u, log.countContaining("x engineId:26"));
  for (const TQSO::JobMessage& message : Device(0).messages())
    EXPECT_EQ(std::string::npos, message.text.find("x engineId:26")) << message.text;
}

}  // namespace
