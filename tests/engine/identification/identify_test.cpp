// Identifying copies among the host's devices after a map, and recording each source device's array and
// LUN from its inquiry data, against the simulated array and host.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

const char kThreeParKey[] = "3PARdata|::|VV              ";

class IdentifyTest : public enginejob::EngineJobTest {
 protected:
  void MappedJob() {
    JobOf({"vol1", "vol2"});
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
    copies_ = {Device(0).snapDeviceName(), Device(1).snapDeviceName()};
  }

  TQSO::DeviceMap EveryHostDisk() {
    TQSO::DeviceMap map;
    for (const auto& disk : host_->visibleDevices()) map[kThreeParKey].push_back(disk.first);
    return map;
  }

  int Identify(TQSO::DeviceMap& map, int mode, short& mismatches) {
    return tqso_identifyDevices(list_.data(), Count(), map, mode, mismatches, &services_);
  }

  TqSleepScope instant_{TqSleepMode::Instant};
  std::list<std::string> copies_;
};

TEST_F(IdentifyTest, CheckingTheRecordedCopyDevices) {
  MappedJob();
  TQSO::DeviceMap none;
  short mismatches = 0;
  EXPECT_EQ(TQSO::RC_SUCCESS, Identify(none, 1, mismatches));
  EXPECT_EQ(1, Device(0).getIdentifyState());
  EXPECT_EQ(1, Device(1).getIdentifyState());
  EXPECT_EQ(0, mismatches);

  Device(0).setSnapDeviceName(DiskOf("vol1").c_str());  // the source, not the copy
  Device(1).setSnapDeviceName("");
  EXPECT_EQ(TQSO::RC_SUCCESS, Identify(none, 1, mismatches));
  EXPECT_EQ(2, Device(0).getIdentifyState());
  EXPECT_EQ(0, Device(1).getIdentifyState());
  EXPECT_EQ(1, mismatches);
  EXPECT_EQ(TQSO::RC_FAIL, Identify(none, 4, mismatches));
}

TEST_F(IdentifyTest, FindingAndListingTheCopiesAmongTheHostsDisks) {
  MappedJob();
  TQSO::DeviceMap map = EveryHostDisk();
  short mismatches = 0;
  EXPECT_EQ(TQSO::RC_SUCCESS, Identify(map, 3, mismatches));
  EXPECT_EQ(copies_, map[kThreeParKey]) << "the copies' disks, in device order";

  Device(0).setSnapDeviceName("/dev/old");
  Device(1).setSnapDeviceName("/dev/old");
  map = EveryHostDisk();
  EXPECT_EQ(TQSO::RC_SUCCESS, Identify(map, 2, mismatches));
  EXPECT_EQ(copies_.front(), Device(0).snapDeviceName());
  EXPECT_EQ(copies_.back(), Device(1).snapDeviceName());
  EXPECT_EQ(1, Device(1).getIdentifyState());

  TQSO::DeviceMap empty;
  Device(0).setIdentifyState(2);
  EXPECT_EQ(TQSO::RC_SUCCESS, Identify(empty, 2, mismatches));
  EXPECT_EQ("", Device(0).snapDeviceName()) << "no 3PAR disks: every device forgets its copy device";
  EXPECT_EQ(0, Device(0).getIdentifyState());
}

TEST_F(IdentifyTest, VpdProcessingRecordsEachDevicesArrayAndLun) {
  JobOf({"vol1", "vol2"});
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_processVPDInfo(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    EXPECT_EQ(enginejob::kArrayId, Device(i).arrayName());
    EXPECT_EQ(host_->visibleDevices().at(Device(i).hostDevicePath()).wwn, Device(i).lunWWN());
    EXPECT_EQ(enginejob::kArrayId, Device(i).selectedArrayId());
  }

  registry_->remove(enginejob::kArrayId);
  list_[1]->setHostDevicePath("/dev/nothing");
  EXPECT_EQ(TQSO::RC_FAIL, tqso_processVPDInfo(list_.data(), Count(), &services_));
  EXPECT_EQ(62008, Device(0).errorCode()) << "an array the host agent does not know";
  EXPECT_NE(std::string::npos, Device(0).errorText().find("[2FF70002AC00ABCD]"));
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(1).getStatus());
}

TEST_F(IdentifyTest, PrdmMountMatchesHostDisksToTheCopies) {
  MappedJob();
  std::string text;
  for (const std::string& copy : copies_) text += copy + "|";
  for (TQSO::SnapInfo* device : list_) device->setOperationType(9);
  Device(0).setPRDMDeviceInfo(text + "/dev/ignored", "");
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_processVPDInfo(list_.data(), Count(), &services_));
  EXPECT_EQ("$1mdPath:" + copies_.front() + "%%",
            Device(0).metaDataText(TQSO::SM_MDT_PRDM_MOUNTED_DEVICE).value_or(""));
  EXPECT_EQ("$1mdPath:" + copies_.back() + "%%", Device(1).metaDataText(TQSO::SM_MDT_PRDM_MOUNTED_DEVICE).value_or(""));
  EXPECT_EQ("", Device(0).lunWWN()) << "a matched pRDM mount records no array names";
}

}  // namespace
