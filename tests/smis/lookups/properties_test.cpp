// Reading keys and properties as text, several at once, changing one property, and finding instances by
// the value of a property or key.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "support/Seeds.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

class PropertyLookupTest : public SimArrayTest {
 protected:
  PropertyLookupTest() : SimArrayTest(kThreeArrays) {}

  std::string VolumeText(const std::string& serial, const std::string& name) {
    CIMObjectPath path = VolumePath(serial, name);
    path.setNameSpace(CIMNamespaceName("root/tpd"));
    return path.toString().str();
  }

  std::string Key(CIMObjectPath path, const char* key) { return util_.GetPropByObjPath(path, key); }
};

TEST_F(PropertyLookupTest, KeysAndPropertiesAsText) {
  CIMObjectPath volume = VolumePath("0A0002", "data2");
  const std::string wwn = WwnOf("0A0002", "data2");
  EXPECT_EQ(wwn, Key(volume, "DeviceID"));
  EXPECT_EQ("", Key(volume, "deviceid"));
  EXPECT_EQ("", Key(volume, "NoSuchKey"));

  std::string text = VolumeText("0A0002", "data2");
  EXPECT_EQ("data2", util_.GetCIMProp(conn_, text, "ElementName"));
  EXPECT_EQ("", util_.GetCIMProp(conn_, text, "elementname"));  // names compare with case
  EXPECT_EQ("", util_.GetCIMProp(conn_, text, "NoSuchProperty"));
  EXPECT_EQ("3", util_.GetCIMProp(conn_, volume, "Access"));
  EXPECT_TRUE(record_.messages().empty());

  std::string notAPath = wwn;
  EXPECT_EQ("", util_.GetCIMProp(conn_, notAPath, "ElementName"));
  EXPECT_EQ(2, LevelOf(record_, "SMIS::GetCIMProp: TqCimUtilProperties.cpp"));
  EXPECT_EQ(1, CountMessages(record_, "Caught Exception: malformed object name"));

  CIMInstance instance = conn_.GetInstance(volume);
  bool found = false;
  EXPECT_EQ("data2", util_.GetInstanceProp(conn_, instance, "ElementName", found));
  EXPECT_TRUE(found);
  bool untouched = false;
  EXPECT_EQ("", util_.GetInstanceProp(conn_, instance, "Missing", untouched));
  EXPECT_FALSE(untouched);
}

TEST_F(PropertyLookupTest, SeveralPropertiesAtOnce) {
  std::string text = VolumeText("0A0002", "data2");
  std::map<std::string, std::string> props = {{"elementname", ""}, {"UserDSPName", ""}};
  EXPECT_TRUE(util_.GetCIMPropList(conn_, text, props));
  EXPECT_EQ("data2", props["elementname"]);  // found ignoring case
  EXPECT_EQ("Gold2", props["UserDSPName"]);

  std::map<std::string, std::string> partly = {{"ElementName", ""}, {"NoSuchProperty", "kept"}};
  CIMObjectPath path{String(text)};
  EXPECT_FALSE(util_.GetCIMPropList(conn_, path, partly));
  EXPECT_EQ("data2", partly["ElementName"]);
  EXPECT_EQ("kept", partly["NoSuchProperty"]);

  std::uint64_t reads = Requests("GetInstance");
  std::map<std::string, std::string> none;
  EXPECT_FALSE(util_.GetCIMPropList(conn_, text, none));
  EXPECT_EQ(reads, Requests("GetInstance"));
  EXPECT_EQ(1, CountMessages(record_, "GetCIMPropList: Empty property list passed in. Nothing to process."));
}

TEST_F(PropertyLookupTest, UpdatesOnePropertyByItsType) {
  std::string text = VolumeText("0A0002", "data2");
  std::string other = VolumeText("0A0002", "lonely");
  sim().withModel([&](smissim::Model& model) {
    model.store()
        .findMutable(CIMObjectPath(String(text)))
        ->addProperty(CIMProperty(CIMName("Secret"), CIMValue("old")));
    model.store()
        .findMutable(CIMObjectPath(String(other)))
        ->addProperty(CIMProperty(CIMName("secret"), CIMValue("old")));
    return 0;
  });

  EXPECT_TRUE(util_.UpdateInstanceProp(conn_, text, "Caption", "new caption"));
  EXPECT_EQ("new caption", util_.GetCIMProp(conn_, text, "Caption"));
  EXPECT_TRUE(util_.UpdateInstanceProp(conn_, text, "VolumeType", "70000"));
  EXPECT_EQ("4464", util_.GetCIMProp(conn_, text, "VolumeType"));
  EXPECT_TRUE(util_.UpdateInstanceProp(conn_, text, "VolumeType", "abc"));
  EXPECT_EQ("0", util_.GetCIMProp(conn_, text, "VolumeType"));
  EXPECT_EQ(1, CountMessages(record_, "Updated the Property [Caption] to [new caption]"));

  EXPECT_TRUE(util_.UpdateInstanceProp(conn_, text, "Secret", "hush"));
  EXPECT_TRUE(util_.UpdateInstanceProp(conn_, other, "secret", "visible"));
  EXPECT_EQ(0, CountMessages(record_, "hush"));
  EXPECT_EQ(1, CountMessages(record_, "Updated the Property [Secret]"));
  EXPECT_EQ(1, CountMessages(record_, "Updated the Property [secret] to [visible]"));

  std::uint64_t writes = Requests("ModifyInstance");
  EXPECT_FALSE(util_.UpdateInstanceProp(conn_, text, "ThinlyProvisioned", "1"));
  EXPECT_EQ(1, CountMessages(record_, "UpdateInstanceProp: Unimplemented datatype 0"));
  EXPECT_FALSE(util_.UpdateInstanceProp(conn_, text, "NoSuchProperty", "1"));
  EXPECT_EQ(1, CountMessages(record_, "Did not find prop NoSuchProperty"));
  EXPECT_EQ(writes, Requests("ModifyInstance"));

  // The provider refuses renaming a volume.
  EXPECT_FALSE(util_.UpdateInstanceProp(conn_, text, "ElementName", "renamed"));
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException: CIM_ERR_NOT_SUPPORTED:"));
  EXPECT_EQ("data2", util_.GetCIMProp(conn_, text, "ElementName"));
}

TEST_F(PropertyLookupTest, PropertyComparisonsOfTheArrayForm) {
  // Pools carry no SystemName key: their InstanceID (which holds the serial) decides the array.
  struct Case {
    const char* value;
    bool exact;
    const char* found;  // ElementName of the pool found, "" for none
  };
  const Case cases[] = {
      {"gold2", true, "Gold2"}, {"gold2", false, "Gold2"}, {"old2", false, "Gold2"}, {"old2", true, ""},
      {"OLD2", false, ""},      {"Gold1", false, ""},      {"", false, ""},          {" ", false, ""},
  };
  for (const Case& c : cases) {
    CIMObjectPath pool =
        util_.GetObjPathByPropName(conn_, "0A0002", "CIM_StoragePool", "ElementName", c.value, c.exact);
    std::string name = pool.toString().isEmpty() ? "" : util_.GetCIMProp(conn_, pool, "ElementName");
    EXPECT_EQ(c.found, name) << c.value << " exact " << c.exact;
    if (!pool.toString().isEmpty()) {
      EXPECT_EQ("root/tpd", pool.getNameSpace().getString().str());
    }
  }
  CIMObjectPath anyArray = util_.GetObjPathByPropNamev2(conn_, "", "CIM_StoragePool", "ElementName", "GOLD2");
  EXPECT_EQ("Gold2", util_.GetCIMProp(conn_, anyArray, "ElementName"));
}

TEST_F(PropertyLookupTest, VolumesByAListOfNames) {
  std::string a = WwnOf("0A0002", "data1");
  std::string b = WwnOf("0A0002", "a2vv00100");
  std::string elsewhere = WwnOf("0A0003", "a3vv00100");
  Array<String> values{String(b), String(a), String(a), String(elsewhere)};
  Array<CIMObjectPath> found =
      util_.GetObjPathListByPropNameList(conn_, "CIM_StorageVolume", "Name", values, SystemNameOf("0A0002"));
  ASSERT_EQ(3u, found.size());
  EXPECT_EQ(a, Key(found[0], "DeviceID"));  // instance order; listed twice, found twice
  EXPECT_EQ(a, Key(found[1], "DeviceID"));
  EXPECT_EQ(b, Key(found[2], "DeviceID"));
  EXPECT_EQ("root/tpd", found[0].getNameSpace().getString().str());

  std::string lower = a;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<std::string> vector = {lower, "", elsewhere};
  EXPECT_EQ(1u, util_.GetObjPathListByPropNameList(conn_, "CIM_StorageVolume", "Name", vector, "").size());
}

TEST_F(PropertyLookupTest, InstanceNamesByKey) {
  std::string wwn = WwnOf("0A0003", "a3vv00042");
  CIMObjectPath found = util_.GetObjPathByProp(conn_, "CIM_StorageVolume", "DeviceID", wwn, SystemNameOf("0A0003"));
  EXPECT_EQ(wwn, Key(found, "DeviceID"));
  EXPECT_TRUE(found.getNameSpace().isNull());  // returned as the CIMOM gave it
  EXPECT_TRUE(
      util_.GetObjPathByProp(conn_, "CIM_StorageVolume", "DeviceID", wwn, SystemNameOf("0A0001")).toString().isEmpty());
  // An empty value takes the first instance name, whatever the array.
  CIMObjectPath first = util_.GetObjPathByProp(conn_, "CIM_StorageVolume", "DeviceID", "", "no-such-array");
  EXPECT_EQ(SystemNameOf("0A0001"), Key(first, "SystemName"));

  sim().injectFault(On("EnumerateInstanceNames", CimErrorFault(6)));
  EXPECT_TRUE(util_.GetObjPathByProp(conn_, "CIM_StorageVolume", "DeviceID", wwn, "").toString().isEmpty());
  EXPECT_EQ(1, CountMessages(record_, "CIM_StorageVolume instance for property DeviceID = " + wwn + " not found"));

  sim().injectFault(On("EnumerateInstanceNames", CimErrorFault(1)));
  EXPECT_THROW(util_.GetObjPathByProp(conn_, "CIM_StorageVolume", "DeviceID", wwn, ""), CIMException);
}

TEST_F(PropertyLookupTest, PropertyOfAnotherTypeIsAFaultForTheCaller) {
  String volumeClass = "CIM_StorageVolume";
  EXPECT_THROW(util_.GetObjPathByPropName(conn_, volumeClass, "NumberOfBlocks", "2097152"), TypeMismatchException);
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetObjPathByPropName: TqCimUtilByProperty.cpp"));
  EXPECT_EQ(1, CountMessages(record_, "Caught Exception: type mismatch"));
}

}  // namespace

namespace {

// A connection that is not connected: every lookup ends in its failure value or a library exception for
// the caller, never a crash.
TEST_F(PropertyLookupTest, LookupsOnAConnectionWithoutClient) {
  std::string text = VolumeText("0A0002", "data2");
  std::string array = SystemNameOf("0A0002");
  conn_.DisconnectCimom();
  std::string syncPath, target, name;
  EXPECT_EQ("", util_.GetCIMProp(conn_, text, "ElementName"));
  EXPECT_FALSE(util_.UpdateInstanceProp(conn_, text, "Caption", "x"));
  EXPECT_EQ("", util_.GetVolObjPathByUUID(conn_, String(WwnOf("0A0002", "data2")), String(array)));
  EXPECT_EQ(-1, util_.CheckInstanceExistence(conn_, array, text, ""));
  EXPECT_EQ(-1, util_.GetSyncPathFromSource(conn_, text, syncPath, target, name));
  EXPECT_EQ(-1, util_.GetSyncPathFromTarget(conn_, text, syncPath, target, name));
  EXPECT_THROW(util_.GetSystemObjPathByNameProp(conn_, array), Exception);
  EXPECT_GE(CountMessages(record_, "not connected"), 6);
  EXPECT_EQ(0u, Requests("GetInstance") + Requests("EnumerateInstances") + Requests("ReferenceNames"));
}

}  // namespace
