// Protocol controllers (views): of a volume, of initiator ports, of volumes narrowed to ports, and the
// lists by array family, on the simulated 3PAR arrays.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "support/Seeds.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

const char* const kPortH2 = "10000000C9A00002";
const char* const kSecondPortH2 = "10000000C9A00022";
const char* const kPortH2b = "10000000C9A000B2";
const char* const kPortWithoutView = "10000000C9A000C2";

class ViewLookupTest : public SimArrayTest {
 protected:
  ViewLookupTest() : SimArrayTest(kThreeArrays) {}

  void SetUp() override {
    SimArrayTest::SetUp();
    system2_ = util_.GetSystemObjPathByNameProp(conn_, SystemNameOf("0A0002"));
    record_.clearMessages();
  }

  // The "ElementName" of each view (its host's name), in order.
  std::vector<std::string> Names(const Array<CIMObjectPath>& views) {
    std::vector<std::string> names;
    for (CIMObjectPath view : views) names.push_back(util_.GetCIMProp(conn_, view, "ElementName"));
    return names;
  }

  CIMObjectPath HostPath(const char* name) {
    return sim().withModel(
        [&](smissim::Model& model) { return model.findHost(*model.arrayBySerial("0A0002"), name)->getPath(); });
  }

  Array<CIMObjectPath> Volumes(std::initializer_list<const char*> names) {
    Array<CIMObjectPath> volumes;
    for (const char* name : names) volumes.append(VolumePath("0A0002", name));
    return volumes;
  }

  CIMObjectPath system2_;
};

using Names_t = std::vector<std::string>;

TEST_F(ViewLookupTest, ViewsOfOneVolume) {
  CIMObjectPath data1 = VolumePath("0A0002", "data1");
  Array<CIMObjectPath> views = util_.GetVolCtlrPaths(conn_, data1);
  EXPECT_EQ(Names_t({"h2", "h2b"}), Names(views));

  CIMObjectPath unexported = VolumePath("0A0002", "a2vv00001");
  EXPECT_EQ(0u, util_.GetVolCtlrPaths(conn_, unexported).size());
  EXPECT_EQ(0, LevelOf(record_, "Ctlr paths not found for storage volume path "));
}

TEST_F(ViewLookupTest, ViewsOfInitiatorPorts) {
  Array<String> ports{kPortH2};
  EXPECT_EQ(Names_t({"h2"}), Names(util_.Get3PARCtlrListByHwIDs(conn_, system2_, ports)));

  // Two ports of one host list its view twice; a port is found whatever its letter case.
  Array<String> twoPorts{kSecondPortH2, "10000000c9a00002", "2100000000000000"};
  Array<CIMObjectPath> views = util_.Get3PARCtlrListByHwIDs(conn_, system2_, twoPorts);
  EXPECT_EQ(Names_t({"h2", "h2"}), Names(views));
  EXPECT_EQ(1, CountMessages(record_, "Controller list size [2]"));

  // A host without a view contributes nothing, after trying the hardware ID's own privileges.
  Array<String> noView{kPortWithoutView};
  EXPECT_EQ(0u, util_.Get3PARCtlrListByHwIDs(conn_, system2_, noView).size());
  EXPECT_EQ(1, CountMessages(record_, "Host Path Association not found, so trying to find HWID-Association"));

  record_.clearMessages();
  Array<String> none;
  EXPECT_EQ(0u, util_.Get3PARCtlrListByHwIDs(conn_, system2_, none).size());
  EXPECT_EQ(1, CountMessages(record_, "no initiator ports supplied"));
  EXPECT_EQ(0, CountMessages(record_, "Controller list size"));
}

TEST_F(ViewLookupTest, ThreeParViewsMustCarryTheHostNameExactly) {
  CIMObjectPath data2 = VolumePath("0A0002", "data2");
  CIMObjectPath h2View = util_.GetVolCtlrPaths(conn_, data2)[0];
  sim().withModel([&](smissim::Model& model) {
    CIMInstance* view = model.store().findMutable(h2View);
    view->getProperty(view->findProperty("ElementName")).setValue(CIMValue("H2"));
    return 0;
  });
  Array<String> ports{kPortH2};
  EXPECT_EQ(0u, util_.Get3PARCtlrListByHwIDs(conn_, system2_, ports).size());
  // The ETERNUS walk takes every controller its privileges reach, whatever its name.
  EXPECT_EQ(1u, util_.GetEternusCtlrListByHwIDs(conn_, system2_, ports).size());
}

// A host name and a view name that both read as nothing (no such property, or blanks) do not match: the
// view could be another host's.
TEST_F(ViewLookupTest, ThreeParBlankHostAndViewNamesNeverMatch) {
  CIMObjectPath data2 = VolumePath("0A0002", "data2");
  CIMObjectPath h2View = util_.GetVolCtlrPaths(conn_, data2)[0];
  CIMObjectPath h2Host = HostPath("h2");
  struct Case {
    const char* what;
    const char* name;  // nullptr: the property is removed
  };
  for (const Case& c : {Case{"both names unreadable", nullptr}, Case{"both names blank", "  "}}) {
    SCOPED_TRACE(c.what);
    sim().withModel([&](smissim::Model& model) {
      for (const CIMObjectPath& path : {h2View, h2Host}) {
        CIMInstance* instance = model.store().findMutable(path);
        Uint32 index = instance->findProperty("ElementName");
        if (index != PEG_NOT_FOUND) instance->removeProperty(index);
        if (c.name != nullptr) instance->addProperty(CIMProperty(CIMName("ElementName"), CIMValue(String(c.name))));
      }
      return 0;
    });
    Array<String> ports{kPortH2};
    EXPECT_EQ(0u, util_.Get3PARCtlrListByHwIDs(conn_, system2_, ports).size());
  }
}

TEST_F(ViewLookupTest, HardwareIdInTwoHostsContributesNothing) {
  CIMObjectPath hardwareId = sim().withModel(
      [&](smissim::Model& model) { return model.findHardwareId(*model.arrayBySerial("0A0002"), kPortH2)->getPath(); });
  CIMObjectPath otherHost = HostPath("h2b");
  sim().withModel([&](smissim::Model& model) {
    CIMInstance member{CIMName("TPD_MemberOfCollection")};
    member.addProperty(CIMProperty(CIMName("Collection"), CIMValue(otherHost)));
    member.addProperty(CIMProperty(CIMName("Member"), CIMValue(hardwareId)));
    Array<CIMKeyBinding> keys{CIMKeyBinding("Collection", otherHost.toString(), CIMKeyBinding::REFERENCE),
                              CIMKeyBinding("Member", hardwareId.toString(), CIMKeyBinding::REFERENCE)};
    member.setPath(CIMObjectPath("", CIMNamespaceName(), CIMName("TPD_MemberOfCollection"), keys));
    model.store().put(member);
    return 0;
  });
  Array<String> ports{kPortH2, kSecondPortH2};
  Array<CIMObjectPath> views = util_.Get3PARCtlrListByHwIDs(conn_, system2_, ports);
  EXPECT_EQ(Names_t({"h2"}), Names(views));
  EXPECT_EQ(
      1, CountMessages(record_, "[***] 3PAR device has 2 Host-paths, which is not expected [" + std::string(kPortH2)));
}

TEST_F(ViewLookupTest, ViewsOfVolumesNarrowedToPorts) {
  Array<CIMObjectPath> volumes = Volumes({"data1", "data2", "a2vv00007"});
  Array<String> h2{kPortH2};
  Array<CIMObjectPath> views = util_.Get3PARCtlrListByHwIDs(conn_, system2_, volumes, h2);
  EXPECT_EQ(Names_t({"h2", "h2"}), Names(views));  // one view holding two of the volumes: once per volume

  Array<String> both{kPortH2, kPortH2b};
  Array<CIMObjectPath> wider = util_.GetctlrPathListByAssn(conn_, system2_, volumes, both);
  EXPECT_EQ(Names_t({"h2", "h2b", "h2"}), Names(wider));

  record_.clearMessages();
  Array<String> noView{kPortWithoutView};
  EXPECT_EQ(0u, util_.Get3PARCtlrListByHwIDs(conn_, system2_, volumes, noView).size());
  EXPECT_EQ(2, LevelOf(record_, "Not able to derive protocol controllers from the initiator ports"));
  EXPECT_EQ(0, CountMessages(record_, "Storage volume ["));
}

TEST_F(ViewLookupTest, ViewListsWithoutPortsAndByFamily) {
  Array<CIMObjectPath> volumes = Volumes({"data1", "a2vv00009", "data2"});
  Array<String> none;
  Array<CIMObjectPath> views = util_.GetctlrPathListByAssn(conn_, system2_, volumes, none);
  EXPECT_EQ(Names_t({"h2", "h2b", "h2"}), Names(views));
  EXPECT_EQ(2, LevelOf(record_, "Ctlr paths not found for storage volume path "));

  Array<String> ports{kPortH2};
  const char* otherFamilies[] = {"HPXP_StorageSystem.Name=\"xp\"", "CIM_ComputerSystem.Name=\"x\"",
                                 "HPEVA_StorageSystem.Name=\"eva\"", "LSISSI_StorageSystem.Name=\"lsi\""};
  for (const char* system : otherFamilies) {
    record_.clearMessages();
    EXPECT_EQ(0u, util_.GetctlrPathListByAssn(conn_, CIMObjectPath(system), volumes, ports).size()) << system;
    EXPECT_EQ(1, CountMessages(record_, "Ctlr paths not found for storage volumes paths ")) << system;
  }
}

TEST_F(ViewLookupTest, ViewListsFromVolumeTexts) {
  Array<String> ports{kPortH2b};
  CIMObjectPath data1 = VolumePath("0A0002", "data1");
  Array<String> byPath{data1.toString()};
  EXPECT_EQ(Names_t({"h2b"}), Names(util_.GetCtlrPathList(conn_, system2_, byPath, ports)));
  EXPECT_EQ(1, CountMessages(record_, "Processing path for one volume ["));

  Array<String> byName{String(WwnOf("0A0002", "data1"))};
  Array<String> noPorts;
  Array<CIMObjectPath> views = util_.GetCtlrPathList(conn_, system2_, byName, noPorts);
  EXPECT_EQ(Names_t({"h2", "h2b"}), Names(views));
  EXPECT_EQ(1, CountMessages(record_, "is not an object path, trying with UUID(Name)"));

  record_.clearMessages();
  Array<String> twoNames{String(WwnOf("0A0002", "data2")), String(WwnOf("0A0002", "data1"))};
  views = util_.GetCtlrPathList(conn_, system2_, twoNames, noPorts);
  EXPECT_EQ(Names_t({"h2", "h2b", "h2"}), Names(views));
  EXPECT_EQ(1, CountMessages(record_, "Processing paths for volumes size [2]"));
  EXPECT_EQ(0, CountMessages(record_, "is not an object path"));

  // Volumes of another array are not this array's.
  Array<String> elsewhere{String(WwnOf("0A0001", "data1"))};
  EXPECT_EQ(0u, util_.GetCtlrPathList(conn_, system2_, elsewhere, noPorts).size());
  EXPECT_EQ(1, CountMessages(record_, "Instances not found for class [CIM_StorageVolume]"));

  sim().clearLog();
  Array<String> empty;
  EXPECT_EQ(0u, util_.GetCtlrPathList(conn_, system2_, empty, ports).size());
  EXPECT_EQ(0u, Requests("EnumerateInstances") + Requests("AssociatorNames"));
}

TEST_F(ViewLookupTest, AssociationFaultReachesTheCallerThroughEveryLayer) {
  sim().injectFault(On("AssociatorNames", CimErrorFault(1)));
  Array<String> byName{String(WwnOf("0A0002", "data1"))};
  Array<String> ports{kPortH2};
  EXPECT_THROW(util_.GetCtlrPathList(conn_, system2_, byName, ports), CIMException);
  for (const char* label : {"SMIS::Get3PARCtlrListByHwIDs2: ", "SMIS::Get3PARCtlrListByHwIDs: ",
                            "SMIS::GetctlrPathListByAssn: ", "SMIS::GetCtlrPathList: "})
    EXPECT_EQ(1, CountMessages(record_, std::string(label) + "TqCimUtilView")) << label;
}

}  // namespace
