// The unmap, delete, revert and reconcile workers on what the device records alone decide: empty lists,
// devices without metadata, copies never made. None of these reaches the array or the host.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TqCopyWorkers.h"
#include "TqSnapMetadata.h"

namespace {

// A record of a prepared source whose copy was never made.
std::string NeverMadeCopy() {
  _TQ3PAR_SnapMetadata record;
  record.arrayId = "0B0001";
  record.snapOp = "4";
  record.srcDev = "60002AC0000000000000000100000B01";
  record.childdev = tqengine::kEmptyDev;
  record.childdevpath = tqengine::kEmptyPath;
  record.version = tqengine::kMetadataVersion;
  std::string text;
  ConstructMetadata(record, text);
  return text;
}

class CopyWorkersOnRecords : public ::testing::Test {
 protected:
  // Devices with the given metadata texts ("" for none).
  void Devices(const std::vector<std::string>& metadata) {
    devices_.clear();
    list_.clear();
    for (const std::string& text : metadata) {
      devices_.push_back(std::make_unique<TQSO::SnapInfo>());
      if (!text.empty()) devices_.back()->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text.c_str());
      list_.push_back(devices_.back().get());
    }
  }
  short Count() const { return static_cast<short>(list_.size()); }

  std::vector<std::unique_ptr<TQSO::SnapInfo>> devices_;
  std::vector<TQSO::SnapInfo*> list_;
  TQSO::TQOSUtil services_;
};

TEST_F(CopyWorkersOnRecords, EmptyListsTouchNothingAndSucceed) {
  EXPECT_EQ(TQSO::RC_SUCCESS, unmapVolumes(nullptr, 0, &services_, true, false, true, -1));
  EXPECT_EQ(TQSO::RC_SUCCESS, TP_deleteSnaps(nullptr, 0, &services_, true));
  EXPECT_EQ(TQSO::RC_SUCCESS, TP_revertSnaps(nullptr, 0, &services_, true));
  EXPECT_EQ(TQSO::RC_SUCCESS, TP_reconcileSnaps(nullptr, -1, &services_, true));
}

TEST_F(CopyWorkersOnRecords, DeleteCountsDevicesWithoutMetadataAtTheHeadAndCopiesNeverMade) {
  Devices({"", "", NeverMadeCopy(), ""});
  devices_[3]->setStatus(TQSO::SS_DELETED);  // already deleted: skipped, still counts
  EXPECT_EQ(TQSO::RC_SUCCESS, TP_deleteSnaps(list_.data(), Count(), &services_, true));
  for (auto& device : devices_) EXPECT_EQ(TQSO::SS_DELETED, device->getStatus());
  EXPECT_TRUE(devices_[2]->hasMessageContaining("Nothing to delete as snap device not created"));

  Devices({"", ""});
  EXPECT_EQ(TQSO::RC_SUCCESS, TP_deleteSnaps(list_.data(), Count(), &services_, true)) << "nothing to contact";

  Devices({NeverMadeCopy(), ""});
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, TP_deleteSnaps(list_.data(), Count(), &services_, true));
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, devices_[1]->getStatus()) << "no metadata after the first record";
}

TEST_F(CopyWorkersOnRecords, RevertUnmapAndReconcileNeedTheFirstDevicesArray) {
  Devices({"", NeverMadeCopy()});
  EXPECT_EQ(TQSO::RC_FAIL, TP_revertSnaps(list_.data(), Count(), &services_, true));
  EXPECT_EQ(TQSO::RC_FAIL, unmapVolumes(list_.data(), Count(), &services_, true, false, true, -1));
  EXPECT_EQ(TQSO::RC_FAIL, TP_reconcileSnaps(list_.data(), Count(), &services_, true));
  for (auto& device : devices_) {
    EXPECT_TRUE(device->statusHistory().empty());
    EXPECT_EQ(0, device->errorCode());
  }
}

}  // namespace
