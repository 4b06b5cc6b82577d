// System, service, pool, association and by-property lookups among three simulated arrays.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "support/Seeds.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

class SystemLookupTest : public SimArrayTest {
 protected:
  SystemLookupTest() : SimArrayTest(kThreeArrays) {}

  std::string Key(CIMObjectPath path, const char* key) { return util_.GetPropByObjPath(path, key); }
  std::string Property(CIMObjectPath path, const char* name) { return util_.GetCIMProp(conn_, path, name); }

  const std::string array1_ = SystemNameOf("0A0001");
  const std::string array2_ = SystemNameOf("0A0002");
  const std::string array3_ = SystemNameOf("0A0003");
};

TEST_F(SystemLookupTest, SystemOfEachArrayByName) {
  for (const std::string& name : {array1_, array2_, array3_}) {
    CIMObjectPath system = util_.GetSystemObjPathByNameProp(conn_, name);
    EXPECT_EQ(name, Key(system, "Name"));
    EXPECT_EQ("TPD_StorageSystem", system.getClassName().getString().str());
  }
  EXPECT_EQ(array3_, Key(CIMObjectPath(String(util_.GetSystemObjPathString(conn_, array3_))), "Name"));
  // The array name is looked for inside the system's name: a shorter name takes the first system holding it.
  EXPECT_EQ(array1_, Key(util_.GetSystemObjPathByNameProp(conn_, "0A000"), "Name"));
  EXPECT_EQ(array2_, Key(util_.GetSystemObjPathByNameProp(conn_, "0A0002"), "Name"));
}

TEST_F(SystemLookupTest, SystemNamesThatMatchNothing) {
  std::string lower = array2_;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& name : {lower, std::string("2FF70002AC0A0009"), std::string(""), std::string("  ")}) {
    EXPECT_TRUE(util_.GetSystemObjPathByNameProp(conn_, name).toString().isEmpty()) << name;
    EXPECT_EQ("", util_.GetSystemObjPathString(conn_, name)) << name;
    EXPECT_EQ("", util_.GetVendorByName(conn_, name)) << name;
  }
  EXPECT_EQ(12, CountMessages(record_, "CIM_ComputerSystem instance for systemName"));
  // Blank names are refused before anything is asked.
  EXPECT_EQ(6u, Requests("EnumerateInstanceNames"));
}

TEST_F(SystemLookupTest, VendorOfAnArray) {
  EXPECT_EQ("3PAR", util_.GetVendorByName(conn_, array1_));
  EXPECT_EQ("root/tpd", util_.GetVendorNamespaceByName(conn_, array1_));
}

TEST_F(SystemLookupTest, ProviderFaultIsTracedTwiceAndEndsInTheFailureValue) {
  sim().injectFault(On("EnumerateInstanceNames", CimErrorFault(1, "", 2)));
  EXPECT_EQ("", util_.GetSystemObjPathString(conn_, array1_));
  EXPECT_EQ(2, CountMessages(record_, "SMIS::GetSystemObjPathByNameProp: TqCimUtilSystems.cpp"));
  EXPECT_THROW(util_.GetSystemObjPathByNameProp(conn_, array1_), CIMException);
}

TEST_F(SystemLookupTest, ServiceOfTheNamedArray) {
  CIMObjectPath service;
  ASSERT_TRUE(util_.ValidateSystemName(conn_, array3_, "CIM_StorageConfigurationService", service));
  EXPECT_EQ(array3_, Key(service, "SystemName"));
  EXPECT_EQ("TPD_StorageConfigurationService", service.getClassName().getString().str());

  CIMObjectPath kept = service;
  EXPECT_FALSE(util_.ValidateSystemName(conn_, "2FF70002AC0A0009", "CIM_StorageConfigurationService", service));
  EXPECT_TRUE(service.toString().isEmpty());
  EXPECT_EQ(1, CountMessages(record_, "Class CIM_StorageConfigurationService for system 2FF70002AC0A0009 not found"));
  EXPECT_FALSE(util_.ValidateSystemName(conn_, "", "CIM_StorageConfigurationService", service));
  EXPECT_FALSE(util_.ValidateSystemName(conn_, array1_, "CIM_ConcreteJob", service));
  EXPECT_EQ(1, CountMessages(record_, "Class CIM_ConcreteJob not found"));

  CIMObjectPath system = util_.GetSystemObjPathByNameProp(conn_, array2_);
  CIMObjectPath controllerService = util_.GetCtlrservicePath(conn_, system);
  EXPECT_EQ(array2_, Key(controllerService, "SystemName"));
  EXPECT_EQ(2, LevelOf(record_, "  CtrlrSvc: "));
  CIMObjectPath replication = util_.GetSystemServiceObject(conn_, system, "CIM_ReplicationService");
  EXPECT_EQ("TPD_ReplicationService", replication.getClassName().getString().str());
  EXPECT_EQ(array2_, Key(replication, "SystemName"));

  // A job holds no hosted services.
  CIMObjectPath notASystem = sim().withModel([](smissim::Model& model) {
    return model.startJob(*model.arrayBySerial("0A0001"), "X", smissim::JobPlan{}, {}, nullptr);
  });
  EXPECT_TRUE(util_.GetCtlrservicePath(conn_, notASystem).toString().isEmpty());
  EXPECT_EQ(1, CountMessages(record_, "Did not find CIM_ControllerConfigurationService object for System"));
}

TEST_F(SystemLookupTest, SystemScopedObjectsByKey) {
  std::string wwnA = WwnOf("0A0002", "data1");
  std::string wwnB = WwnOf("0A0002", "data2");
  std::string other = WwnOf("0A0001", "data1");
  Array<CIMObjectPath> found =
      util_.GetSystemObjPathListByPropList(conn_, "CIM_StorageVolume", "DeviceID", {wwnB, wwnA, wwnA, other}, array2_);
  ASSERT_EQ(2u, found.size());
  EXPECT_EQ(wwnA, Key(found[0], "DeviceID"));  // instance order, each once
  EXPECT_EQ(wwnB, Key(found[1], "DeviceID"));
  // The list form wants the whole system name; the single form a part of it does.
  EXPECT_EQ(0u, util_.GetSystemObjPathListByPropList(conn_, "CIM_StorageVolume", "DeviceID", {wwnA}, "0A0002").size());
  EXPECT_EQ(wwnA,
            Key(util_.GetSystemObjPathByProp(conn_, "CIM_StorageVolume", "0A0002", "DeviceID", wwnA), "DeviceID"));
  EXPECT_EQ(
      3u, util_.GetSystemObjPathListByPropList(conn_, "CIM_StorageVolume", "DeviceID", {wwnA, other, wwnB}, "").size());
  EXPECT_EQ(0u, util_.GetSystemObjPathListByPropList(conn_, "CIM_StorageVolume", "DeviceID", {}, array2_).size());
  // An empty value takes the first instance on the array.
  EXPECT_EQ(array3_,
            Key(util_.GetSystemObjPathByProp(conn_, "CIM_StorageVolume", array3_, "DeviceID", ""), "SystemName"));
}

TEST_F(SystemLookupTest, PoolsByName) {
  std::string gold2 = util_.GetDGByName(conn_, array2_, "gold2");
  ASSERT_FALSE(gold2.empty());
  EXPECT_EQ("Gold2", Property(CIMObjectPath(String(gold2)), "ElementName"));
  EXPECT_EQ(2, LevelOf(record_, "systemPath <"));
  // 3PAR pool names are looked up on the whole provider: the first CPG1 is the first array's.
  std::string cpg1 = util_.GetDGByName(conn_, array2_, "CPG1");
  EXPECT_NE(std::string::npos, Key(CIMObjectPath(String(cpg1)), "InstanceID").find(":0A0001:")) << cpg1;

  std::uint64_t asked = Requests("EnumerateInstanceNames") + Requests("EnumerateInstances");
  EXPECT_EQ("", util_.GetDGByName(conn_, array2_, ""));
  EXPECT_EQ(asked, Requests("EnumerateInstanceNames") + Requests("EnumerateInstances"));
  EXPECT_EQ("", util_.GetDGByName(conn_, "2FF70002AC0A0009", "Gold2"));
  EXPECT_EQ(1, CountMessages(record_, "SystemName <2FF70002AC0A0009> not found"));
  EXPECT_EQ("", util_.GetDGByName(conn_, array2_, "NoSuchPool"));
}

TEST_F(SystemLookupTest, AssociatedObjectsAndCollections) {
  CIMObjectPath volume = VolumePath("0A0002", "data2");
  CIMObjectPath pool =
      util_.GetObjPathByAssnProp(conn_, volume, "CIM_StoragePool", "CIM_AllocatedFromStoragePool", "InstanceID", "");
  EXPECT_EQ("Gold2", Property(pool, "ElementName"));
  std::string poolId = Key(pool, "InstanceID");
  EXPECT_EQ(poolId, Key(util_.GetObjPathByAssnProp(conn_, volume, "CIM_StoragePool", "CIM_AllocatedFromStoragePool",
                                                   "InstanceID", poolId),
                        "InstanceID"));
  EXPECT_TRUE(
      util_
          .GetObjPathByAssnProp(conn_, volume, "CIM_StoragePool", "CIM_AllocatedFromStoragePool", "InstanceID", "other")
          .toString()
          .isEmpty());

  CIMObjectPath host = util_.GetHardwareIdCollectionPath(conn_, "H2B");
  EXPECT_EQ("h2b", Property(host, "ElementName"));
  EXPECT_EQ("root/tpd", host.getNameSpace().getString().str());
  EXPECT_TRUE(util_.GetHardwareIdCollectionPath(conn_, "nobody").toString().isEmpty());
  EXPECT_EQ(2, LevelOf(record_, " GetHardwareIdCollectionPath nobody not found"));
  EXPECT_TRUE(util_.GetHardwareIdCollectionPath(conn_, "").toString().isEmpty());
}

TEST_F(SystemLookupTest, AssociationPathsBuiltLocally) {
  std::string source = "//h/root/tpd:TPD_StorageVolume.DeviceID=\"S\"";
  std::string target = "//h/root/tpd:TPD_StorageVolume.DeviceID=\"T\"";
  std::string text = util_.MakeAssnPath("h", "root/tpd", "TPD_StorageSynchronized", "SystemElement", source.c_str(),
                                        "SyncedElement", target.c_str());
  CIMObjectPath path{String(text)};
  EXPECT_EQ("h", path.getHost().str());
  ASSERT_EQ(2u, path.getKeyBindings().size());
  EXPECT_EQ("SystemElement", path.getKeyBindings()[0].getName().getString().str());
  EXPECT_EQ(CIMObjectPath(String(source)), CIMObjectPath(path.getKeyBindings()[0].getValue()));
  EXPECT_EQ(CIMObjectPath(String(target)), CIMObjectPath(path.getKeyBindings()[1].getValue()));

  std::string swapped = util_.MakeAssnPath("", "root/tpd", "TPD_StorageSynchronized", "SyncedElement", target.c_str(),
                                           "SystemElement", source.c_str());
  EXPECT_EQ(0u, swapped.find("root/tpd:TPD_StorageSynchronized.SyncedElement=")) << swapped;
  EXPECT_THROW(util_.MakeAssnPath("", "root/tpd", "not a name", "A", "x", "B", "y"), Exception);
  EXPECT_EQ(0u, Requests("EnumerateInstanceNames"));
}

}  // namespace
