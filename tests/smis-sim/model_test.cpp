// The model's object identity and class hierarchy, checked where a client depends on them.
#include <set>

#include <gtest/gtest.h>

#include "support/SimClient.h"

using namespace Pegasus;
using namespace simtest;

namespace {

TEST(ModelTest, IdentityAgreesWithTheClientsSameObjectRule) {
  const char* volume =
      "TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"60002AC0\","
      "SystemCreationClassName=\"TPD_StorageSystem\",SystemName=\"2FF70002AC001234\"";
  const char* snapshot =
      "TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"60002AC1\","
      "SystemCreationClassName=\"TPD_StorageSystem\",SystemName=\"2FF70002AC001234\"";
  auto pair = [](const std::string& prefix, const char* a, const char* b, bool swapKeys) {
    CIMObjectPath source(a), target(b);
    Array<CIMKeyBinding> keys;
    CIMKeyBinding system("SystemElement", source.toString(), CIMKeyBinding::REFERENCE);
    CIMKeyBinding synced("syncedelement", target.toString(), CIMKeyBinding::REFERENCE);
    keys.append(swapKeys ? synced : system);
    keys.append(swapKeys ? system : synced);
    return CIMObjectPath(prefix, prefix.empty() ? CIMNamespaceName() : CIMNamespaceName("root/tpd"),
                         "TPD_StorageSynchronized", keys);
  };
  CIMObjectPath hosted(String("//array-a.example/root/tpd:") + volume);
  CIMObjectPath reordered(
      "root/tpd:TPD_StorageVolume.devicEID=\"60002AC0\",SystemName=\"2FF70002AC001234\","
      "CreationClassName=\"TPD_StorageVolume\",SystemCreationClassName=\"TPD_StorageSystem\"");
  struct Case {
    const char* what;
    CIMObjectPath a, b;
  };
  const Case cases[] = {
      {"host and namespace ignored", CIMObjectPath(volume), hosted},
      {"key order and key-name case ignored", CIMObjectPath(volume), reordered},
      {"value case matters", CIMObjectPath(volume),
       CIMObjectPath("TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"60002ac0\","
                     "SystemCreationClassName=\"TPD_StorageSystem\",SystemName=\"2FF70002AC001234\"")},
      {"different object", CIMObjectPath(volume), CIMObjectPath(snapshot)},
      {"reference keys as paths", pair("", volume, snapshot, false), pair("h", volume, snapshot, true)},
      {"reference keys swapped", pair("", volume, snapshot, false), pair("", snapshot, volume, false)},
      {"missing key", CIMObjectPath(volume),
       CIMObjectPath("TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"60002AC0\"")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(refersToSameObject(c.a, c.b), smissim::identityOf(c.a) == smissim::identityOf(c.b));
  }
}

TEST(ModelTest, BaseClassRequestsAnswerWithArraySubclassesSystemFirst) {
  smissim::SimulatorOptions options;
  options.seedJson = R"({"arrays":[{"serial":"000001","cpgs":["A"],"volumes":[{"name":"v","cpg":"A"}]},
                                     {"serial":"000002","firmware":"2.3.1","build":100}]})";
  smissim::TestServer server(options);
  CIMClient client;
  connectTo(client, server);

  Array<CIMObjectPath> systems = client.enumerateInstanceNames(tpd(), "CIM_ComputerSystem");
  ASSERT_EQ(2u, systems.size());
  EXPECT_EQ(String("TPD_StorageSystem"), systems[0].getClassName().getString());

  std::set<std::string> poolClasses;
  for (const CIMObjectPath& pool : client.enumerateInstanceNames(tpd(), "CIM_StoragePool"))
    poolClasses.insert(pool.getClassName().getString().str());
  EXPECT_EQ((std::set<std::string>{"TPD_ConcreteStoragePool", "TPD_DynamicStoragePool"}), poolClasses);

  // Firmware decides the InstanceID prefix of each array's software identity.
  std::set<std::string> versions;
  for (const CIMInstance& identity : client.enumerateInstances(tpd(), "CIM_SoftwareIdentity", true, false))
    versions.insert(propertyText(identity, "InstanceID").str() + "=" + propertyText(identity, "VersionString").str());
  EXPECT_EQ((std::set<std::string>{"HP_3PAR:InForm OS Version=3.1.2", "3PAR:InForm OS Version=2.3.1"}), versions);

  CIMObjectPath volume = client.enumerateInstanceNames(tpd(), "CIM_StorageVolume")[0];
  EXPECT_EQ(1u, client
                    .associatorNames(tpd(), systems[0], "CIM_SystemDevice", "CIM_StorageExtent", "GroupComponent",
                                     "PartComponent")
                    .size());
  EXPECT_EQ(0u, client.associatorNames(tpd(), systems[0], "CIM_SystemDevice", "", "PartComponent", "").size())
      << "the system plays the group role only";
  EXPECT_EQ(1u, client.referenceNames(tpd(), volume, "CIM_Dependency", "Dependent").size());
  Array<CIMObject> allocations = client.references(tpd(), volume, "CIM_AllocatedFromStoragePool", "Dependent");
  ASSERT_EQ(1u, allocations.size());
  EXPECT_EQ(String("TPD_AllocatedFromStoragePool"), allocations[0].getPath().getClassName().getString());
  Array<CIMObject> pools = client.associators(tpd(), volume, "CIM_AllocatedFromStoragePool", "CIM_StoragePool");
  ASSERT_EQ(1u, pools.size());
  EXPECT_EQ(String("A"), propertyText(CIMInstance(pools[0]), "ElementName"));
  EXPECT_EQ(0u, client.associatorNames(tpd(), volume, "CIM_NoSuchAssociation", "", "", "").size());

  CIMInstance changed = client.getInstance(tpd(), volume, false);
  changed.setPath(volume);
  changed.getProperty(changed.findProperty("Caption")).setValue(CIMValue("renamed caption"));
  Array<CIMName> only;
  only.append("Caption");
  client.modifyInstance(tpd(), changed, false, CIMPropertyList(only));
  EXPECT_EQ(String("renamed caption"), propertyText(client.getInstance(tpd(), volume, false), "Caption"));
  changed.getProperty(changed.findProperty("ElementName")).setValue(CIMValue("other"));
  try {
    client.modifyInstance(tpd(), changed, false, CIMPropertyList());
    ADD_FAILURE() << "a volume keeps its name";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_NOT_SUPPORTED, e.getCode());
  }
}

TEST(ModelTest, PoolSpaceFollowsFullVolumesAndSeededStatusShows) {
  smissim::SimulatorOptions options;
  options.seedJson = R"({"arrays":[{"serial":"000003",
        "cpgs":[{"name":"P","operationalStatus":[3]}],
        "volumes":[{"name":"full","cpg":"P","sizeBytes":1048576,"thin":false},
                   {"name":"thin","cpg":"P","sizeBytes":1048576},
                   {"name":"broken","cpg":"P","operationalStatus":[6]}]}]})";
  smissim::TestServer server(options);
  CIMClient client;
  connectTo(client, server);
  auto pool = [&] {
    for (const CIMInstance& p : client.enumerateInstances(tpd(), "TPD_DynamicStoragePool", true, false)) return p;
    throw Exception("no CPG");
  };
  EXPECT_EQ(String("1048576"), propertyText(pool(), "CurrentSpaceConsumed")) << "thin volumes take nothing yet";
  EXPECT_EQ(String("3 "), propertyText(pool(), "OperationalStatus"));
  EXPECT_EQ(String("6 "), propertyText(volumeNamed(client, "broken"), "OperationalStatus"));

  Array<CIMParamValue> in, out;
  in.append(CIMParamValue("TheElement", CIMValue(volumeNamed(client, "full").getPath())));
  ASSERT_EQ(0u, returnCode(client.invokeMethod(tpd(), firstName(client, "CIM_StorageConfigurationService"),
                                               "ReturnToStoragePool", in, out)));
  EXPECT_EQ(String("0"), propertyText(pool(), "CurrentSpaceConsumed"));
}

}  // namespace
