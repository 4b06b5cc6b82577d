// A VMware job: the copy is presented to the ESX host named in the job record's host identifier (under
// that host's definition on the array, with the one port the host names) and to this host as well, and
// unmap withdraws it from both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/ArrayVolumes.h"
#include "support/EngineJobFixture.h"
#include "support/EsxHostServices.h"

namespace {

using enginejob::RecordOf;

const int kMountIdentifier = 9;  // the kind of client host id a mount asks for

class VmwareJob : public enginejob::EngineJobTest {
 protected:
  VmwareJob() : EngineJobTest({"vol1"}), esx_(registry_, host_, array_) {}

  // One device whose source is the ESX host's descriptor of vol1.
  void VmwareJobOfVol1() {
    JobOf({"vol1"});
    const std::string source = host_->visibleDevices().at(DiskOf("vol1")).wwn;
    Device(0).setHostDevicePath(enginejob::EsxDescriptor(source).c_str());
    Device(0).setClientHostId(enginejob::kEsxIdentifier);
    Device(0).setClientHostIdByType(kMountIdentifier, enginejob::kEsxIdentifier);
  }

  bool Sees(const std::string& port, const std::string& wwn) {
    for (const smissim::ExposedLun& lun : array_->exposedTo({port}))
      if (lun.wwn == wwn) return true;
    return false;
  }

  enginejob::EsxHostServices esx_;
};

TEST_F(VmwareJob, TheCopyIsMappedToTheEsxHostAndToThisHostAndWithdrawnFromBoth) {
  TqSleepScope instant(TqSleepMode::Instant);
  VmwareJobOfVol1();
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &esx_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &esx_));
  array_->clearLog();

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &esx_));
  EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(0).getStatus());
  const std::string child = RecordOf(Device(0)).childdev;
  ASSERT_NE(tqengine::kEmptyDev, child);
  // The ESX host's descriptor of the child (the host's list separator may follow it).
  EXPECT_EQ(0u, Device(0).snapDeviceName().rfind(enginejob::EsxDescriptor(child), 0));

  // The ESX host is defined under its name from the identifier, with the one port the host names.
  EXPECT_EQ(1u, CallsOf("AddHardwareIDsToCollection").size());
  EXPECT_NE(std::string::npos, Model().find("\"TQ_esx01_fc\""));
  EXPECT_TRUE(Sees(enginejob::kEsxPort, child));
  EXPECT_FALSE(Sees(enginejob::kEsxSecondPort, child)) << "only the first port of the ESX host is mapped";
  EXPECT_TRUE(Sees(enginejob::kHostPort, child)) << "the child is mapped to this host too (its own definition)";
  EXPECT_EQ(2u, CallsOf("ExposeLUsToStorageHardwareIDCollection").size());

  EvDebugCapture log;
  const size_t rescansBefore = esx_.rescans().size();
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &esx_));
  EXPECT_EQ(TQSO::SS_UNMAPPED, Device(0).getStatus());
  EXPECT_FALSE(Sees(enginejob::kEsxPort, child));
  EXPECT_FALSE(Sees(enginejob::kHostPort, child));
  EXPECT_FALSE(enginejob::OnArray(array_, child)) << "the child goes with the unmap";
  EXPECT_TRUE(log.contains("Successfully unmapped the device " + child + " from the local host"));
  // No host paths are listed or deleted for an ESX host: its rescan carries its port and nothing to delete.
  const std::vector<TQSO::TQOSUtil::RescanRecord> rescans = esx_.rescans();
  ASSERT_EQ(rescansBefore + 1, rescans.size());
  EXPECT_EQ(enginejob::kEsxHost, rescans.back().host);
  EXPECT_EQ(std::vector<std::string>{enginejob::kEsxPort}, rescans.back().initiators);
  EXPECT_TRUE(rescans.back().devicesToDelete.empty());

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &esx_));
  EXPECT_EQ(TQSO::SS_DELETED, Device(0).getStatus());
  EXPECT_FALSE(enginejob::OnArray(array_, RecordOf(Device(0)).targetDev));
}

}  // namespace
