// HP EVA views against simulated EVA arrays in root/eva: views found by the ports they name ("WWNs" or "iqn"),
// of the array only, and the views of volumes that stop once every port has matched.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "lookups/support/VendorArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

const char* const kEva = "50001FE150000001";
const char* const kFc1 = "21000024FF000001";
const char* const kFc2 = "21000024FF000002";
const char* const kIqn = "iqn.1991-05.com.microsoft:is1";

// The second array's name holds the first's: views are told apart by the whole name.
constexpr const char* kEvaSeed = R"({"arrays": [
  {"family": "hpeva", "name": "50001FE150000001", "volumes": [{"name": "v1"}, {"name": "v2"}],
   "hosts": [{"name": "fc1", "fc": ["21000024FF000001", "21000024FF000002"]},
             {"name": "is1", "iscsi": ["iqn.1991-05.com.microsoft:is1"]}, {"name": "bare"}],
   "exports": [{"volume": "v1", "host": "fc1"}, {"volume": "v1", "host": "is1"}, {"volume": "v2", "host": "fc1"},
               {"volume": "v2", "host": "bare"}]},
  {"family": "hpeva", "name": "50001FE150000001X", "hosts": [{"name": "fc1x", "fc": ["21000024FF000001"]}]}
]})";

class HpEvaTest : public VendorArrayTest {
 protected:
  HpEvaTest() : VendorArrayTest(kEvaSeed, "root/eva") {}

  void SetUp() override {
    VendorArrayTest::SetUp();
    system_ = System(kEva);
    ASSERT_EQ("HPEVA_StorageSystem", system_.getClassName().getString().str());
    record_.clearMessages();
  }

  CIMObjectPath system_;
};

TEST_F(HpEvaTest, ViewsOfThePortsTheyName) {
  struct Case {
    std::vector<const char*> ports;
    Names_t views;
  };
  const std::vector<Case> cases = {
      {{kFc1}, {"fc1"}},
      {{kFc1, kFc2}, {"fc1", "fc1"}},  // a view naming two of the ports is listed twice
      {{kFc1, kFc1}, {"fc1"}},         // a repeated port adds no copy
      {{kIqn}, {"is1"}},
      {{"21000024ff000001"}, {}},  // case counts
      {{}, {}},
  };
  for (const Case& c : cases) {
    Array<String> ports;
    for (const char* port : c.ports) ports.append(port);
    EXPECT_EQ(c.views, Names(util_.GetHPCtlrListByHwIDs(conn_, system_, ports))) << c.ports.size();
  }

  // Another family's array asks nothing.
  sim().clearLog();
  CIMObjectPath other("LSISSI_StorageSystem.CreationClassName=\"LSISSI_StorageSystem\",Name=\"x\"");
  Array<String> ports{kFc1};
  EXPECT_EQ(0u, util_.GetHPCtlrListByHwIDs(conn_, other, ports).size());
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_EQ(1, CountMessages(record_, "Got vendor LSISSI object path for HP SMIS operation"));
}

TEST_F(HpEvaTest, ViewsOfVolumesStopOnceEveryPortMatched) {
  Array<CIMObjectPath> volumes{VolumeNamed(kEva, "v1"), VolumeNamed(kEva, "v2")};
  Array<String> both{kFc1, kFc2};
  EXPECT_EQ(Names_t({"fc1", "fc1"}), Names(util_.GetctlrPathListByAssn(conn_, system_, volumes, both)));
  EXPECT_EQ(0, CountMessages(record_, "Ctlr paths not found for some of the initiator ports"));

  // One port matching on two volumes, two ports nowhere: both copies, and the shortfall traced.
  Array<String> oneMissing{kFc1, "21000024FF00FFFF", "21000024FF00EEEE"};
  EXPECT_EQ(Names_t({"fc1", "fc1"}), Names(util_.GetHPCtlrListByHwIDs(conn_, system_, volumes, oneMissing)));
  EXPECT_EQ(1, CountMessages(record_, "Ctlr paths not found for some of the initiator ports"));

  Array<String> iscsi{kIqn};
  EXPECT_EQ(Names_t({"is1"}), Names(util_.GetHPCtlrListByHwIDs(conn_, system_, volumes, iscsi)));

  Array<CIMObjectPath> none;
  EXPECT_EQ(0u, util_.GetHPCtlrListByHwIDs(conn_, system_, none, both).size());
  EXPECT_EQ(2, LevelOf(record_, "Instances not found for class [CIM_StorageVolume]"));
}

TEST_F(HpEvaTest, FaultsAreTracedAndPassedOn) {
  Array<String> ports{kFc1};
  sim().injectFault(On("EnumerateInstances", CimErrorFault(1)));
  EXPECT_THROW(util_.GetHPCtlrListByHwIDs(conn_, system_, ports), CIMException);
  Array<CIMObjectPath> volumes{VolumeNamed(kEva, "v1")};
  sim().injectFault(On("GetInstance", CimErrorFault(1)));
  EXPECT_THROW(util_.GetctlrPathListByAssn(conn_, system_, volumes, ports), CIMException);
  EXPECT_EQ(2, CountMessages(record_, "SMIS::GetHPCtlrListByHwIDs: TqCimUtilHpEvaViews.cpp"));
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetctlrPathListByAssn: TqCimUtilViewLists.cpp"));
}

}  // namespace
