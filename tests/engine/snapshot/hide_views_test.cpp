// Withdrawing a volume presented to two hosts: every view is tried, and the volume counts as withdrawn only
// when every hide succeeded.
#include <gtest/gtest.h>

#include <string>

#include "support/SnapshotFixture.h"

namespace {

constexpr const char* kFirstPort = "10000000C9A1B2C3";
constexpr const char* kSecondPort = "10000000C9A1B2C5";
constexpr const char* kTwoHosts = R"({
  "arrays": [
    {"serial": "0B0001", "firmware": "3.2.1", "cpgs": ["CPG1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}],
     "hosts": [{"name": "first", "fc": ["10000000C9A1B2C3"]}, {"name": "second", "fc": ["10000000C9A1B2C5"]}],
     "exports": [{"volume": "base1", "host": "first", "lun": 1}, {"volume": "base1", "host": "second", "lun": 1}]}
  ]
})";

class HideEveryView : public snapshottest::SnapshotTest {
 protected:
  HideEveryView() : SnapshotTest(kTwoHosts) {}

  size_t SeenBy(const char* port) { return sim().exposedTo({port}).size(); }
};

TEST_F(HideEveryView, OneFailedHideFailsTheUnmapAndTheOtherViewIsStillHidden) {
  ASSERT_EQ(1u, SeenBy(kFirstPort));
  ASSERT_EQ(1u, SeenBy(kSecondPort));
  // The first view refuses both ways of hiding; the second hides.
  ForceAnswer("HidePaths", 4);
  ForceAnswer("HideLUsFromStorageHardwareIDCollection", 4);

  EXPECT_EQ(TQSO::SS_UNMAP_FAILED, snap_.UnmapSnapVol(Wwn("base1").c_str()));
  EXPECT_EQ(2u, CallsOf("HidePaths").size()) << "the view after the failed one is still tried";
  EXPECT_EQ(1u, SeenBy(kFirstPort) + SeenBy(kSecondPort)) << "one host sees the volume still";
  ExpectClosed();

  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.UnmapSnapVol(Wwn("base1").c_str()));
  EXPECT_EQ(0u, SeenBy(kFirstPort) + SeenBy(kSecondPort));
}

}  // namespace
