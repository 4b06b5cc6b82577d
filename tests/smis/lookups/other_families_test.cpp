// Lookups whose rules differ by array family (system classes, class-name prefixes, IBM SVC system names,
// pools of filtered families), against a scripted loopback CIMOM that answers with other families' classes.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "support/ScriptedCimom.h"

using namespace Pegasus;
using lookuptest::ScriptedCimom;

namespace {

typedef std::vector<std::pair<const char*, const char*>> Keys;

CIMObjectPath Path(const char* className, const Keys& keys) {
  Array<CIMKeyBinding> bindings;
  for (const auto& key : keys)
    bindings.append(CIMKeyBinding(CIMName(key.first), String(key.second), CIMKeyBinding::STRING));
  return CIMObjectPath("", CIMNamespaceName(), CIMName(className), bindings);
}

CIMInstance Instance(const CIMObjectPath& path, const Keys& properties) {
  CIMInstance instance(path.getClassName());
  for (const auto& property : properties)
    instance.addProperty(CIMProperty(CIMName(property.first), CIMValue(String(property.second))));
  instance.setPath(path);
  return instance;
}

class OtherFamilyTest : public ::testing::Test {
 protected:
  OtherFamilyTest()
      : hiddenCache_("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES"),
        hiddenFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hiddenLsiPrefix_("Corvane", "LSI_OEM_CLASSNAME_PREFIX") {
    TqCimomParams params;
    params.m_Address = "127.0.0.1";
    params.m_Port = cimom_.port();
    params.m_NameSpace = "root/other";
    params.m_User = "user";
    params.m_Password = "password";
    conn_.m_Cimom.SetCimom(params);
    conn_.m_SnapInfo = &record_;
    util_.m_SnapInfo = &record_;
  }

  void SetUp() override { ASSERT_EQ(0, conn_.ConnectCimom()); }
  void TearDown() override { conn_.DisconnectCimom(); }

  std::string SystemClassFor(const std::string& arrayName) {
    return util_.GetSystemObjPathByNameProp(conn_, arrayName).getClassName().getString().str();
  }

  TqConfigOverride hiddenCache_;
  TqConfigOverride hiddenFaultRetry_;
  TqConfigOverride hiddenLsiPrefix_;
  ScriptedCimom cimom_;
  TQSO::SnapInfo record_;
  TqCimConnection conn_;
  TqCimUtil util_;
};

TEST_F(OtherFamilyTest, SystemClassByFamilyOfTheFirstName) {
  struct Case {
    const char* what;
    std::vector<CIMObjectPath> systems;
    const char* arrayName;
    const char* expectedClass;  // "" when none is found
  };
  const std::vector<Case> cases = {
      {"IBM SVC wants its cluster class",
       {Path("IBMTSSVC_Node", {{"Name", "CL1:node1"}}), Path("IBMTSSVC_Cluster", {{"Name", "CL1"}})},
       "CL1",
       "IBMTSSVC_Cluster"},
      {"ETERNUS wants its computer system class",
       {Path("FUJITSU_StorageSystem", {{"Name", "ET1"}}), Path("FUJITSU_StorageComputerSystem", {{"Name", "ET1"}})},
       "ET1",
       "FUJITSU_StorageComputerSystem"},
      {"EMC wants Symm_StorageSystem",
       {Path("SE_StorageSystem", {{"Name", "SYMM-1"}}), Path("Symm_StorageSystem", {{"Name", "SYMM-1"}})},
       "SYMM-1",
       "Symm_StorageSystem"},
      {"EMC without its class finds nothing", {Path("SE_StorageSystem", {{"Name", "SYMM-1"}})}, "SYMM-1", ""},
      {"the first name decides the family",
       {Path("Acme_System", {{"Name", "other"}}), Path("IBMTSSVC_Node", {{"Name", "CL1:n"}})},
       "CL1",
       "IBMTSSVC_Node"},
      {"a name holding the array name comes first",
       {Path("Acme_System", {{"Name", "ARRAY10"}}), Path("Acme_System", {{"Name", "ARRAY1"}})},
       "ARRAY1",
       "Acme_System"},
  };
  for (const Case& c : cases) {
    cimom_.SetNames("CIM_ComputerSystem", c.systems);
    EXPECT_EQ(c.expectedClass, SystemClassFor(c.arrayName)) << c.what;
  }
  cimom_.SetNames("CIM_ComputerSystem",
                  {Path("Acme_System", {{"Name", "ARRAY10"}}), Path("Acme_System", {{"Name", "ARRAY1"}})});
  CIMObjectPath found = util_.GetSystemObjPathByNameProp(conn_, "ARRAY1");
  EXPECT_EQ("ARRAY10", util_.GetPropByObjPath(found, "Name"));
  EXPECT_EQ("", util_.GetVendorByName(conn_, "ARRAY1"));
}

TEST_F(OtherFamilyTest, LsiFamilySystemClassFromTheConfiguredPrefix) {
  cimom_.SetNames("CIM_ComputerSystem",
                  {Path("LSISSI_StorageSystem", {{"Name", "LSI-A"}}), Path("XYZ_StorageSystem", {{"Name", "LSI-A"}}),
                   Path("ABC_StorageSystem", {{"Name", "LSI-A"}})});
  EXPECT_EQ("LSISSI_StorageSystem", SystemClassFor("LSI-A"));
  EXPECT_TRUE(record_.hasMessageContaining("LSI OEM class prefix [LSISSI]"));

  record_.setSetting("SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", "XYZ");
  EXPECT_EQ("XYZ_StorageSystem", SystemClassFor("LSI-A"));
  EXPECT_TRUE(record_.hasMessageContaining(" Array Config [SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX:XYZ]"));

  // A long setting is read whole.
  const std::string longPrefix(1500, 'Q');
  record_.setSetting("SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", longPrefix);
  EXPECT_EQ("", SystemClassFor("LSI-A"));
  EXPECT_TRUE(record_.hasMessageContaining("LSI OEM classname [" + longPrefix + "_StorageSystem]"));
  record_.setSetting("SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", "XYZ");

  // The host key wins over the per-array setting.
  TqConfigOverride hostPrefix("Corvane", "LSI_OEM_CLASSNAME_PREFIX", "ABC");
  EXPECT_EQ("ABC_StorageSystem", SystemClassFor("LSI-A"));
  EXPECT_TRUE(record_.hasMessageContaining("Classname prefix [ABC]  read from regkey / snap config"));

  // Without a job record the per-array setting is not there.
  TqConfigOverride noHostPrefix("Corvane", "LSI_OEM_CLASSNAME_PREFIX");
  util_.m_SnapInfo = nullptr;
  EXPECT_EQ("LSISSI_StorageSystem", SystemClassFor("LSI-A"));
}

TEST_F(OtherFamilyTest, IbmSvcVolumesCompareTheClusterPartOfTheirSystemName) {
  CIMObjectPath svcVolume = Path("IBMTSSVC_StorageVolume", {{"SystemName", "CL1:0"}, {"DeviceID", "17"}});
  CIMObjectPath otherVolume = Path("Acme_StorageVolume", {{"SystemName", "AC1:0"}, {"DeviceID", "18"}});
  cimom_.SetInstances("CIM_StorageVolume",
                      {Instance(svcVolume, {{"Name", "UUID-17"}}), Instance(otherVolume, {{"Name", "UUID-18"}})});
  std::string found = util_.GetVolObjPathByUUID(conn_, "UUID-17", "CL1");
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(0u, found.find("root/other:IBMTSSVC_StorageVolume.")) << found;
  EXPECT_EQ("", util_.GetVolObjPathByUUID(conn_, "UUID-18", "AC1"));
  EXPECT_TRUE(record_.hasMessageContaining("System name given [AC1] but actual system name [AC1:0]"));
  EXPECT_EQ("", util_.GetVolObjPathByUUID(conn_, "UUID-17", "CL"));
}

TEST_F(OtherFamilyTest, PoolsOfFilteredFamiliesBelongToTheArrayAndMayMatchInPart) {
  cimom_.SetNames("CIM_ComputerSystem", {Path("Symm_StorageSystem", {{"Name", "SYMM-2"}})});
  CIMObjectPath otherArrays = Path("Symm_VirtualProvisioningPool", {{"InstanceID", "SYMM-1+Tier1"}});
  CIMObjectPath thisArrays = Path("Symm_VirtualProvisioningPool", {{"InstanceID", "SYMM-2+BigTier1"}});
  cimom_.SetInstances("CIM_StoragePool", {Instance(otherArrays, {{"ElementName", "Tier1"}}),
                                          Instance(thisArrays, {{"ElementName", "Big_Tier1"}})});
  std::string pool = util_.GetDGByName(conn_, "SYMM-2", "Tier1");
  EXPECT_NE(std::string::npos, pool.find("SYMM-2+BigTier1")) << pool;
  EXPECT_EQ("", util_.GetDGByName(conn_, "SYMM-2", "tier1"));  // a part must match with case
  EXPECT_EQ("", util_.GetEternusTPPByName(conn_, "Tier1"));
  cimom_.SetInstances(
      "FUJITSU_ThinProvisioningPool",
      {Instance(Path("FUJITSU_ThinProvisioningPool", {{"InstanceID", "TPP-1"}}), {{"ElementName", "THIN1"}})});
  EXPECT_NE(std::string::npos, util_.GetEternusTPPByName(conn_, "thin1").find("TPP-1"));
}

TEST_F(OtherFamilyTest, ViewListsOfSvcArraysUseTheClusterPartOfTheName) {
  CIMObjectPath system = Path("IBMTSSVC_Cluster", {{"Name", "CL1:0000020060C0A1B2"}});
  CIMObjectPath mine = Path("IBMTSSVC_StorageVolume", {{"SystemName", "CL1"}, {"DeviceID", "1"}});
  CIMObjectPath theirs = Path("IBMTSSVC_StorageVolume", {{"SystemName", "CL2"}, {"DeviceID", "2"}});
  cimom_.SetInstances("CIM_StorageVolume", {Instance(mine, {{"Name", "U1"}}), Instance(theirs, {{"Name", "U2"}})});
  Array<String> texts{"U1", "U2"};
  Array<String> noPorts;
  util_.GetCtlrPathList(conn_, system, texts, noPorts);
  // One volume of the cluster was looked at (it has no views here).
  EXPECT_EQ(1, cimom_.Requests("AssociatorNames"));

  // With ports, a port that names no hardware ID gives no views.
  Array<String> ports{"5005076801000001"};
  EXPECT_EQ(0u, util_.GetCtlrPathList(conn_, system, texts, ports).size());
  EXPECT_TRUE(record_.hasMessageContaining("Not able to derive protocol controllers from the initiator ports"));
}

TEST_F(OtherFamilyTest, EmcViewsOfPortsAndOfVolumes) {
  CIMObjectPath system = Path("Symm_StorageSystem", {{"Name", "SYMM-1"}});
  CIMObjectPath hwid1 = Path("Symm_StorageHardwareID", {{"InstanceID", "W1"}});
  CIMObjectPath hwid2 = Path("Symm_StorageHardwareID", {{"InstanceID", "W2"}});
  cimom_.SetInstances("CIM_StorageHardwareID", {Instance(hwid1, {{"StorageID", "10000000C9E00001"}}),
                                                Instance(hwid2, {{"StorageID", "10000000C9E00002"}})});
  CIMObjectPath viewA = Path("Symm_LunMaskingView", {{"DeviceID", "VIEW-A"}});
  CIMObjectPath viewB = Path("Symm_LunMaskingView", {{"DeviceID", "VIEW-B"}});
  cimom_.SetAssociators(hwid1, "CIM_AssociatedPrivilege", {viewA});
  cimom_.SetAssociators(hwid2, "CIM_AssociatedPrivilege", {viewA, viewB});

  Array<String> ports{"10000000c9e00001", "10000000C9E00002", "10000000C9E00009"};
  Array<CIMObjectPath> portViews = util_.GetEMCVMAXCtlrListByHwIDs(conn_, system, ports);
  ASSERT_EQ(3u, portViews.size());  // a view privileged for two ports is listed twice
  EXPECT_EQ("VIEW-A", util_.GetPropByObjPath(portViews[1], "DeviceID"));
  EXPECT_TRUE(record_.hasMessageContaining("Controller list size [3]"));

  // The volume's side of a view is another path of the same DeviceID.
  CIMObjectPath volume = Path("Symm_StorageVolume", {{"SystemName", "SYMM-1"}, {"DeviceID", "0A1"}});
  CIMObjectPath volumeSideB = Path("Symm_LunMaskingView", {{"SystemName", "SYMM-1"}, {"DeviceID", "VIEW-B"}});
  CIMObjectPath volumeSideC = Path("Symm_LunMaskingView", {{"SystemName", "SYMM-1"}, {"DeviceID", "VIEW-C"}});
  cimom_.SetAssociators(volume, "CIM_ProtocolControllerForUnit", {volumeSideB, volumeSideC});
  Array<CIMObjectPath> volumes{volume};
  Array<CIMObjectPath> views = util_.GetctlrPathListByAssn(conn_, system, volumes, ports);
  ASSERT_EQ(1u, views.size());
  EXPECT_EQ("VIEW-B", util_.GetPropByObjPath(views[0], "DeviceID"));
  EXPECT_EQ("SYMM-1", util_.GetPropByObjPath(views[0], "SystemName"));  // the volume's side
}

}  // namespace
