// Hosts, exposure and hiding through the project's client, and what the host's initiators then see.
#include <map>

#include <gtest/gtest.h>

#include "smis-sim/ReturnCodes.h"
#include "support/SmallArrayTest.h"

using namespace Pegasus;
using namespace simtest;
using namespace smissim::returnCode;

namespace {

class MaskingTest : public SmallArrayTest {
 protected:
  Uint32 invoke(const char* serviceClass, const char* method, const Array<CIMParamValue>& in,
                Array<CIMParamValue>& out) {
    return returnCode(client.invokeMethod(tpd(), firstName(client, serviceClass), CIMName(method), in, out));
  }

  static Array<String> texts(std::initializer_list<String> items) { return Array<String>(items); }

  Uint32 createHost(const char* name, const Array<String>& hardwareIds) {
    Array<CIMParamValue> in, out;
    in.append(CIMParamValue("ElementName", CIMValue(String(name))));
    in.append(CIMParamValue("HardwareIDs", CIMValue(CIMTYPE_STRING, true)));
    Uint32 code = invoke("CIM_StorageHardwareIDManagementService", "CreateHardwareIDCollection", in, out);
    if (code != 0) return code;
    CIMObjectPath collection;
    outParam(out, "Collection").get(collection);
    Array<CIMParamValue> addIn, addOut;
    addIn.append(CIMParamValue("Collection", CIMValue(collection)));
    addIn.append(CIMParamValue("HardwareIDs", CIMValue(hardwareIds)));
    return invoke("CIM_StorageHardwareIDManagementService", "AddHardwareIDsToCollection", addIn, addOut);
  }

  Uint32 expose(const String& luName, const String& host, Uint16 access = 2) {
    Array<CIMParamValue> in, out;
    in.append(CIMParamValue("LUNames", CIMValue(texts({luName}))));
    in.append(CIMParamValue("HostNames", CIMValue(texts({host}))));
    in.append(CIMParamValue("TargetPortIDs", CIMValue(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("DeviceNumbers", CIMValue(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("DeviceAccesses", CIMValue(Array<Uint16>({access}))));
    in.append(CIMParamValue("ProtocolControllers", CIMValue(CIMTYPE_REFERENCE, true)));
    return invoke("CIM_ControllerConfigurationService", "ExposeLUsToStorageHardwareIDCollection", in, out);
  }

  Uint32 hide(const char* method, const String& luName, const CIMObjectPath& view) {
    Array<CIMParamValue> in, out;
    in.append(CIMParamValue("LUNames", CIMValue(texts({luName}))));
    in.append(CIMParamValue("InitiatorPortIDs", CIMValue(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("TargetPortIDs", CIMValue(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("ProtocolControllers", CIMValue(Array<CIMObjectPath>({view}))));
    return invoke("CIM_ControllerConfigurationService", method, in, out);
  }

  Array<CIMObjectPath> viewsOf(const CIMObjectPath& volume) {
    return client.associatorNames(tpd(), volume, "CIM_ProtocolControllerForUnit", "CIM_SCSIProtocolController", "", "");
  }
};

TEST_F(MaskingTest, ExposedVolumeIsSeenByTheHostInitiatorsUntilHidden) {
  ASSERT_EQ(0u, createHost("hostX", texts({"TPD_StorageHardwareID.InstanceID=\"HP_3PAR:FC-10000000C9000099\""})));
  CIMInstance base = volumeNamed(client, "base1");
  String wwn = propertyText(base, "Name");
  ASSERT_EQ(0u, expose(wwn, "hostX"));

  std::vector<smissim::ExposedLun> seen = server->exposedTo({"10:00:00:00:c9:00:00:99"});
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(wwn.str(), seen[0].wwn);
  EXPECT_EQ("base1", seen[0].volume);
  EXPECT_EQ("hostX", seen[0].host);
  EXPECT_TRUE(server->exposedTo({"10000000C9000001"}).empty()) << "another host's port sees nothing";

  // The port leads to its host, the host's privilege and the view, as a client walks it.
  CIMObjectPath hardwareId;
  for (const CIMInstance& id : client.enumerateInstances(tpd(), "CIM_StorageHardwareID", true, false))
    if (propertyText(id, "StorageID") == String("10000000C9000099")) hardwareId = id.getPath();
  Array<CIMObjectPath> hosts =
      client.associatorNames(tpd(), hardwareId, "CIM_MemberOfCollection", "CIM_SystemSpecificCollection", "", "");
  ASSERT_EQ(1u, hosts.size());
  Array<CIMObjectPath> privileges =
      client.associatorNames(tpd(), hosts[0], "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege", "", "");
  ASSERT_EQ(1u, privileges.size());
  Array<CIMObjectPath> views =
      client.associatorNames(tpd(), privileges[0], "CIM_AuthorizedTarget", "CIM_SCSIProtocolController", "", "");
  ASSERT_EQ(1u, views.size());
  ASSERT_EQ(1u, viewsOf(base.getPath()).size());
  EXPECT_TRUE(refersToSameObject(views[0], viewsOf(base.getPath())[0]));
  EXPECT_EQ(String("hostX"), propertyText(client.getInstance(tpd(), views[0], false), "ElementName"));

  Array<CIMParamValue> del, delOut;
  del.append(CIMParamValue("TheElement", CIMValue(base.getPath())));
  EXPECT_EQ(kInUse, invoke("CIM_StorageConfigurationService", "ReturnToStoragePool", del, delOut))
      << "an exposed volume cannot be deleted";

  EXPECT_THROW(client.deleteInstance(tpd(), hosts[0]), CIMException) << "the host still sees a volume";

  ASSERT_EQ(0u, hide("HidePaths", wwn, views[0]));
  EXPECT_TRUE(server->exposedTo({"10000000C9000099"}).empty());
  EXPECT_EQ(0u, viewsOf(base.getPath()).size());
  EXPECT_EQ(0u, client.enumerateInstanceNames(tpd(), "CIM_SCSIProtocolController").size())
      << "the emptied view goes with its privilege";
  EXPECT_EQ(kCompleted, invoke("CIM_StorageConfigurationService", "ReturnToStoragePool", del, delOut));

  client.deleteInstance(tpd(), hosts[0]);
  EXPECT_EQ(String(""), propertyText(client.getInstance(tpd(), hardwareId, false), "ElementName"))
      << "the port of a deleted host belongs to no host";
}

TEST_F(MaskingTest, ExposureRefusalsAnswerTheMethodCodes) {
  Array<CIMParamValue> out;
  Array<CIMParamValue> in;
  in.append(CIMParamValue("ElementName", CIMValue("ro1")));
  in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
  in.append(CIMParamValue("SourceElement", CIMValue(volumeNamed(client, "base1").getPath())));
  ASSERT_EQ(0u, invoke("CIM_StorageConfigurationService", "CreateReplica", in, out));
  String base = propertyText(volumeNamed(client, "base1"), "Name");
  String readOnlyCopy = propertyText(volumeNamed(client, "ro1"), "Name");

  struct Case {
    const char* what;
    String luName;
    const char* host;
    Uint16 access;
    Uint32 expected;
  };
  const Case cases[] = {
      {"read-write access to a read-only copy", readOnlyCopy, "host1", 2, kInvalidPermission},
      {"read-only access to a read-write volume", base, "host1", 3, kInvalidPermission},
      {"unknown volume", "60002AC0000000000000009999ABCDEF", "host1", 2, kInvalidLogicalUnit},
      {"unknown host", base, "nohost", 2, kInvalidHostName},
      {"read-only copy with read-only access", readOnlyCopy, "host1", 3, kCompleted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.expected, expose(c.luName, c.host, c.access));
  }

  Array<CIMParamValue> uneven, unevenOut;
  uneven.append(CIMParamValue("LUNames", CIMValue(texts({base, readOnlyCopy}))));
  uneven.append(CIMParamValue("HostNames", CIMValue(texts({"host1"}))));
  uneven.append(CIMParamValue("DeviceAccesses", CIMValue(Array<Uint16>({2}))));
  EXPECT_EQ(kInvalidParameter,
            invoke("CIM_ControllerConfigurationService", "ExposeLUsToStorageHardwareIDCollection", uneven, unevenOut))
      << "LUNames and DeviceAccesses go in pairs";

  CIMObjectPath noView(
      "TPD_SCSIController.SystemCreationClassName=\"TPD_StorageSystem\",SystemName=\"2FF70002AC00ABCD\","
      "CreationClassName=\"TPD_SCSIController\",DeviceID=\"23\"");
  EXPECT_EQ(kInvalidParameter, hide("HidePaths", base, noView)) << "the priming call names a view that does not exist";
}

TEST_F(MaskingTest, OldFirmwareRefusesHidePathsOnHostViewsSoTheCollectionMethodHides) {
  server->updateSettings(R"({"arrays":[{"serial":"00ABCD","firmware":"2.3.1","build":200}]})");
  String wwn = propertyText(volumeNamed(client, "base1"), "Name");
  ASSERT_EQ(0u, expose(wwn, "host1"));
  CIMObjectPath view = viewsOf(volumeNamed(client, "base1").getPath())[0];
  EXPECT_EQ(kFailed, hide("HidePaths", wwn, view));
  EXPECT_EQ(1u, server->exposedTo({"10000000C9000001"}).size());
  EXPECT_EQ(kCompleted, hide("HideLUsFromStorageHardwareIDCollection", wwn, view));
  EXPECT_TRUE(server->exposedTo({"10000000C9000001"}).empty());
}

TEST_F(MaskingTest, HardwareIdTextsAreCheckedAndPortsBelongToOneHost) {
  struct Case {
    const char* what;
    const char* settings;
    String text;
    Uint32 expected;
  };
  const Case cases[] = {
      {"port of another host", "{}", "TPD_StorageHardwareID.InstanceID=\"HP_3PAR:FC-10000000C9000001\"",
       kIdsCannotShare},
      {"not a hardware-ID path", "{}", "60002AC0000000000000000001001234", kInvalidHardwareId},
      {"old prefix where the firmware wants the new one", R"({"checkHardwareIdPrefix":true})",
       "TPD_StorageHardwareID.InstanceID=\"3PAR:iSCSI-iqn.1994-05.com.redhat:h2\"", kInvalidHardwareId},
      {"iSCSI name", "{}", "TPD_StorageHardwareID.InstanceID=\"HP_3PAR:iSCSI-iqn.1994-05.com.redhat:h2\"", kCompleted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server->reset(kSmallSeed);
    server->updateSettings(c.settings);
    EXPECT_EQ(c.expected, createHost("host2", texts({c.text})));
  }
  Array<CIMInstance> ids = client.enumerateInstances(tpd(), "CIM_StorageHardwareID", true, false);
  bool found = false;
  for (const CIMInstance& id : ids)
    if (propertyText(id, "StorageID") == String("iqn.1994-05.com.redhat:h2")) {
      found = true;
      EXPECT_EQ(String("host2"), propertyText(id, "ElementName"));
      EXPECT_EQ(String("5"), propertyText(id, "IDType"));
    }
  EXPECT_TRUE(found);
}

TEST_F(MaskingTest, SeededPortsMayBelongToNoHostOrToSeveral) {
  server->seed(R"({"arrays":[{"serial":"00ABCD","hosts":["host2"],
        "hardwareIds":[{"port":"10000000C9000001","hosts":["host2"]},{"port":"10000000C90000FF"}]}]})");
  std::map<std::string, std::pair<std::string, Uint32>> hostsOfPort;
  for (const CIMInstance& id : client.enumerateInstances(tpd(), "CIM_StorageHardwareID", true, false))
    hostsOfPort[propertyText(id, "StorageID").str()] = {
        propertyText(id, "ElementName").str(),
        client.associatorNames(tpd(), id.getPath(), "CIM_MemberOfCollection", "CIM_SystemSpecificCollection", "", "")
            .size()};
  EXPECT_EQ(std::make_pair(std::string("host1"), 2u), hostsOfPort["10000000C9000001"]);
  EXPECT_EQ(std::make_pair(std::string(""), 0u), hostsOfPort["10000000C90000FF"]);
}

}  // namespace
