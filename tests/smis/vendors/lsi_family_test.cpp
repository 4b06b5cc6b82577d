// LSI-family views and host IDs against simulated LSI, DCIM and NetApp arrays, each in its own namespace: views
// of hosts and (when asked) host groups, the pass over the hardware IDs' own identifiers when privileges lead
// nowhere, the views of volumes, the host's port IDs, and faults traced and passed on.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "lookups/support/VendorArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

const char* const kArray = "600A0B800011AAAA";
const char* const kP1 = "20000024FF00A001";
const char* const kP2 = "20000024FF00A002";
const char* const kP3 = "20000024FF00A003";

struct Family {
  const char* family;
  const char* nameSpace;
  const char* systemClass;
};

std::string SeedOf(const Family& family) {
  return std::string(R"({"arrays": [{"family": ")") + family.family + R"(", "name": "600A0B800011AAAA",
    "volumes": [{"name": "v1"}, {"name": "v2"}],
    "hosts": [{"name": "h1", "fc": ["20000024FF00A001", "20000024FF00A002"]}, {"name": "h2", "fc": ["20000024FF00A003"]}],
    "hostGroups": [{"name": "g1", "hosts": ["h1", "h2"]}],
    "exports": [{"volume": "v1", "host": "h1"}, {"volume": "v2", "group": "g1"}]}]})";
}

class LsiFamilyTest : public VendorArrayTest, public ::testing::WithParamInterface<Family> {
 protected:
  LsiFamilyTest() : VendorArrayTest(SeedOf(GetParam()), GetParam().nameSpace) {}

  void SetUp() override {
    VendorArrayTest::SetUp();
    system_ = System(kArray);
    ASSERT_EQ(GetParam().systemClass, system_.getClassName().getString().str());
    record_.clearMessages();
  }

  Names_t PortViews(std::initializer_list<const char*> list, bool clusterMapping) {
    Array<String> ports;
    for (const char* port : list) ports.append(port);
    return Names(util_.GetLSICtlrListByHwIDs(conn_, system_, ports, clusterMapping));
  }

  Names_t VolumeViews(std::initializer_list<const char*> list) {
    Array<CIMObjectPath> volumes{VolumeNamed(kArray, "v1"), VolumeNamed(kArray, "v2")};
    Array<String> ports;
    for (const char* port : list) ports.append(port);
    return Names(util_.GetctlrPathListByAssn(conn_, system_, volumes, ports));
  }

  CIMObjectPath system_;
};

TEST_P(LsiFamilyTest, ViewsOfHostsAndOfHostGroupsWhenAsked) {
  EXPECT_EQ(Names_t({"h1"}), PortViews({kP1}, false));
  EXPECT_EQ(1, CountMessages(record_, "Skipping, the path ["));
  EXPECT_EQ(
      1, CountMessages(
             record_, "LSI OEM classname [" +
                          std::string(GetParam().systemClass).substr(0, std::string(GetParam().systemClass).find('_')) +
                          "_Cluster]"));
  EXPECT_EQ(Names_t({"h1", "g1"}), PortViews({kP1}, true));
  EXPECT_EQ(Names_t({"h1", "h1"}), PortViews({kP1, kP2}, false));      // two ports of one host
  EXPECT_EQ(Names_t({"h2"}), PortViews({"20000024ff00a003"}, false));  // found whatever the case
  EXPECT_EQ(Names_t({}), PortViews({"20000024FF00FFFF"}, true));
  record_.clearMessages();
  EXPECT_EQ(Names_t({}), PortViews({}, true));
  EXPECT_EQ(0, CountMessages(record_, "Controller list size"));
}

TEST_P(LsiFamilyTest, WithoutPrivilegesTheHardwareIdentifiersLeadToTheViews) {
  sim().withModel([](smissim::Model& model) {
    std::vector<CIMObjectPath> privileges;
    for (const CIMInstance* privilege : model.store().enumerate("CIM_AuthorizedPrivilege"))
      privileges.push_back(privilege->getPath());
    for (const CIMObjectPath& privilege : privileges) model.store().remove(privilege);
    return 0;
  });
  EXPECT_EQ(Names_t({"h1"}), PortViews({kP1}, false));
  EXPECT_EQ(1, CountMessages(record_, "Executing the workaround for LSI lun Mapping and Masking"));
  EXPECT_EQ(Names_t({"h2", "g1"}), PortViews({kP3}, true));
}

TEST_P(LsiFamilyTest, NamesThatCannotBeReadMatchNoView) {
  // Every instance read fails: the host's and the views' names read as empty and match nothing.
  sim().injectFault(On("GetInstance", CimErrorFault(1, "", kLasting)));
  EXPECT_EQ(Names_t({}), PortViews({kP1}, true));
}

TEST_P(LsiFamilyTest, ViewsOfVolumesIncludeHostGroupsUnlessDisabled) {
  EXPECT_EQ(Names_t({"g1"}), VolumeViews({kP3}));
  EXPECT_EQ(Names_t({"h1", "g1"}), VolumeViews({kP1}));
  TqConfigOverride disabled("Corvane", "nLSIDisableCtlrAll", "1");
  EXPECT_EQ(Names_t({"h1"}), VolumeViews({kP1}));
  EXPECT_EQ(Names_t({}), VolumeViews({kP3}));
}

TEST_P(LsiFamilyTest, PortIdsOfTheFirstPortsHost) {
  Array<String> ports{kP2, kP3};
  Array<String> ids = util_.GetLSIHwIDs(conn_, system_, ports);
  ASSERT_EQ(2u, ids.size());
  EXPECT_EQ(kP1, ids[0].str());
  EXPECT_EQ(kP2, ids[1].str());
  Array<String> unknown{"20000024FF00FFFF"};
  EXPECT_EQ(0u, util_.GetLSIHwIDs(conn_, system_, unknown).size());
  EXPECT_EQ(1, CountMessages(record_, "There is no record of HBA port 20000024FF00FFFF"));
  Array<String> none;
  EXPECT_EQ(0u, util_.GetLSIHwIDs(conn_, system_, none).size());
}

TEST_P(LsiFamilyTest, FaultsAreTracedAndPassedOn) {
  sim().injectFault(On("AssociatorNames", CimErrorFault(1)));
  Array<CIMObjectPath> volumes{VolumeNamed(kArray, "v1")};
  Array<String> ports{kP1};
  EXPECT_THROW(util_.GetLSICtlrListByHwIDs(conn_, system_, volumes, ports), CIMException);
  // Once by the ports form, once by the volume form.
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetLSICtlrListByHwIDs: TqCimUtilLsiViews.cpp"));
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetLSICtlrListByHwIDs: TqCimUtilViews.cpp"));
  sim().injectFault(On("AssociatorNames", CimErrorFault(1)));
  EXPECT_THROW(util_.GetLSIHwIDs(conn_, system_, ports), CIMException);
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetLSIHwIDs: TqCimUtilLsiHostIds.cpp"));
}

INSTANTIATE_TEST_SUITE_P(Families, LsiFamilyTest,
                         ::testing::Values(Family{"lsi", "root/LsiArray13", "LSISSI_StorageSystem"},
                                           Family{"dcim", "root/DCIM/MDStorageArray13", "DCIM_StorageSystem"},
                                           Family{"netapp", "root/netapp/santricity", "NETAPP_StorageSystem"}),
                         [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.family); });

}  // namespace
