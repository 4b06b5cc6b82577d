// The snapshot object's generic map and unmap of a copy to host initiators, and its mapping check,
// against the simulated 3PAR array.
#include <gtest/gtest.h>

#include <string>

#include "Tq3PARSnapshot.h"
#include "support/SnapshotFixture.h"

namespace {

using snapshottest::SnapshotTest;

constexpr const char* kPort = "10000000C9A1B2C3";

constexpr const char* kArrayWithHost = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}, {"name": "clone1", "cpg": "CPG1"}],
     "hosts": [{"name": "h1", "fc": ["10000000C9A1B2C3"]}]}
  ]
})";

class GenericMapping : public SnapshotTest {
 protected:
  GenericMapping() : SnapshotTest(kArrayWithHost) {}
  void View(const std::string& ports, short access = 2) {
    TQ_SMIS_SNAP::TqSnapViewParams view;
    view.targetDev = Wwn("clone1");
    view.initiatorPorts = ports;
    view.deviceAccess = access;
    snap_.SetSnapViewInfo(view);
  }
};

TEST_F(GenericMapping, MapCheckAndUnmapACopy) {
  View(kPort);
  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.IsSnapMapped());
  EXPECT_EQ(0, snap_.MapSnap());
  EXPECT_EQ(TQSO::SS_MAPPED, snap_.IsSnapMapped());
  EXPECT_EQ(0, snap_.UnmapSnap());
  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.IsSnapMapped());
  EXPECT_EQ(0, snap_.UnmapSnap()) << "a copy mapped nowhere counts as withdrawn";
  ExpectClosed();
}

TEST_F(GenericMapping, RefusalsBeforeAndFromTheArray) {
  View(kPort, 99);
  EXPECT_EQ(1, snap_.MapSnap()) << "no device access: refused before connecting";
  EXPECT_EQ(0u, CallsOf("ExposePaths").size());
  View("");
  EXPECT_EQ(1, snap_.UnmapSnap());
  EXPECT_EQ(0, snap_.IsSnapMapped());

  View("iqn.1998-01.com.example:host");
  ForceAnswer("ExposePaths", 4098);
  EXPECT_EQ(1, snap_.MapSnap());
  EXPECT_NE(std::string::npos, snapshottest::DeviceErrorText(record_).find("please check iSCSI is supported"));
  EXPECT_EQ(60548, snapshottest::DeviceErrorCode(record_));
}

}  // namespace
