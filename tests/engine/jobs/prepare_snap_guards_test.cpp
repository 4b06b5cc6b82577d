// What the prepare and snapshot list calls do with input they cannot work on: a list whose first entry is
// missing, a host record that throws, a record whose copy operation is no number.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::RecordOf;

// A host record whose source device name cannot be read: the host's call throws.
class ThrowingRecord : public TQSO::SnapInfo {
 public:
  int getSourceDeviceName(char*, uint16_t) override { throw std::runtime_error("host record unreadable"); }
};

class PrepareSnapGuards : public enginejob::EngineJobTest {
 protected:
  PrepareSnapGuards() : EngineJobTest({"vol1", "vol2", "vol3"}) {}

  bool HasVolume(const std::string& name) { return enginejob::HasVolume(Model(), name); }
};

TEST_F(PrepareSnapGuards, AMissingFirstDeviceFailsThePrepareAndTouchesNothing) {
  JobOf({"vol1", "vol2"});
  list_[0] = nullptr;
  EXPECT_EQ(TQSO::RC_FAIL, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_TRUE(Device(1).statusHistory().empty());
  EXPECT_TRUE(Device(1).metaData().empty());
}

TEST_F(PrepareSnapGuards, ADeviceWhoseRecordThrowsFailsAloneAndTheOthersArePrepared) {
  JobOf({"vol1", "vol2", "vol3"});
  auto throwing = std::make_unique<ThrowingRecord>();
  throwing->setArrayRegistry(registry_);
  throwing->setHostDevicePath(DiskOf("vol2").c_str());
  list_[1] = throwing.get();
  devices_[1] = std::move(throwing);

  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(1).getStatus());
  EXPECT_EQ(TQSO::SS_PREPARED, Device(2).getStatus()) << "the device after it is still prepared";
}

// A copy operation that is no whole number (as an unchecked conversion would read "4x" as 4) is refused
// before the array is asked for anything.
TEST_F(PrepareSnapGuards, ARecordWhoseCopyOperationIsNoNumberFailsItsDevice) {
  for (const std::string operation : {"4x", "99999999999", "4.0"}) {
    SCOPED_TRACE(operation);
    JobOf({"vol1", "vol2"});
    for (size_t i = 0; i < list_.size(); ++i) Device(i).setSourceDeviceName("snap" + operation + std::to_string(i));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    _TQ3PAR_SnapMetadata record = RecordOf(Device(0));
    record.snapOp = operation;
    ASSERT_TRUE(setMetadataRecord(&Device(0), record));

    EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_snapDevices(list_.data(), Count(), &services_));
    EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, Device(0).getStatus());
    EXPECT_FALSE(HasVolume("snap" + operation + "0"));
    EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(1).getStatus());
  }
}

}  // namespace
