// The creation parameters of other array families (IBM SVC, ETERNUS, the LSI family), against a scripted
// loopback CIMOM that answers with each family's classes.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "SmisImpl.h"
#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "support/ScriptedCimom.h"

using namespace Pegasus;

namespace {

typedef std::vector<std::pair<const char*, CIMValue>> Props;

CIMObjectPath Path(const char* className, const std::vector<std::pair<const char*, const char*>>& keys) {
  Array<CIMKeyBinding> bindings;
  for (const auto& key : keys)
    bindings.append(CIMKeyBinding(CIMName(key.first), String(key.second), CIMKeyBinding::STRING));
  return CIMObjectPath("", CIMNamespaceName(), CIMName(className), bindings);
}

CIMInstance Instance(const CIMObjectPath& path, const Props& properties) {
  CIMInstance instance(path.getClassName());
  for (const auto& property : properties) instance.addProperty(CIMProperty(CIMName(property.first), property.second));
  instance.setPath(path);
  return instance;
}

CIMValue Text(const char* text) { return CIMValue(String(text)); }

const char* const kSystem = "svc-cluster-1";

class VolumeFamilyTest : public ::testing::Test {
 protected:
  VolumeFamilyTest()
      : hiddenFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hiddenLsiPrefix_("Corvane", "LSI_OEM_CLASSNAME_PREFIX"),
        hiddenPoolCheck_("Corvane", "nIBMSVCDisablePoolCheck"),
        hiddenVdiskType_("Corvane", "IBMSVC_VDISK_TYPE"),
        hiddenIoGroup_("Corvane", "IBMSVC_IOGroup") {
    TqCimomParams params;
    params.m_Address = "127.0.0.1";
    params.m_Port = cimom_.port();
    params.m_NameSpace = "root/other";
    params.m_User = "user";
    params.m_Password = "password";
    conn_.m_Cimom.SetCimom(params);
    conn_.m_SnapInfo = &record_;
    action_.m_SnapInfo = &record_;
  }

  void SetUp() override { ASSERT_EQ(0, conn_.ConnectCimom()); }
  void TearDown() override { conn_.DisconnectCimom(); }

  SmisResultCode Params(const std::string& source, SmisArgs args, SmisArgs& out) {
    return action_.CreateStorageVolParams(conn_, args, source, out);
  }

  // An IBM SVC source of 512-byte blocks in pool "mdg0" (NativeStatus as given), in IO group io_grp0 on
  // node 2, with firmware `version` and, when asked, the array's "Standard" setting.
  void SeedIbmSvc(const char* nativeStatus, const char* version, bool standardSetting) {
    pool_ = Path("IBMTSSVC_ConcreteStoragePool", {{"InstanceID", "svc-cluster-1:mdg0"}});
    cimom_.SetInstances("CIM_StoragePool",
                        {Instance(pool_, {{"ElementName", Text("mdg0")}, {"NativeStatus", Text(nativeStatus)}})});
    source_ = Path("IBMTSSVC_StorageVolume", {{"DeviceID", "17"}, {"SystemName", kSystem}});
    cimom_.SetInstances("CIM_StorageVolume", {Instance(source_, {{"BlockSize", CIMValue(Uint64(512))},
                                                                 {"NumberOfBlocks", CIMValue(Uint64(2097152))},
                                                                 {"IsSpaceEfficient", CIMValue(false)},
                                                                 {"GroupName", Text("io_grp0")},
                                                                 {"PreferredNode", Text("2")}})});
    ioGroup_ = Path("IBMTSSVC_IOGroup", {{"InstanceID", "svc-cluster-1:io_grp0"}});
    CIMObjectPath otherGroup = Path("IBMTSSVC_IOGroup", {{"InstanceID", "svc-cluster-1:io_grp1"}});
    cimom_.SetInstances("IBMTSSVC_IOGroup", {Instance(otherGroup, {{"ElementName", Text("io_grp1")}}),
                                             Instance(ioGroup_, {{"ElementName", Text("io_grp0")}})});
    node_ = Path("IBMTSSVC_Node", {{"Name", "svc-cluster-1:2"}});
    cimom_.SetNames("IBMTSSVC_Node", {Path("IBMTSSVC_Node", {{"Name", "svc-cluster-1:12"}}), node_});
    standard_ = Path("IBMTSSVC_StorageVolumeSetting", {{"InstanceID", "svc-cluster-1:STANDARD"}});
    std::vector<CIMObjectPath> settings{Path("IBMTSSVC_StorageVolumeSetting", {{"InstanceID", "x:Standard2"}})};
    if (standardSetting) settings.push_back(standard_);
    cimom_.SetNames("IBMTSSVC_StorageVolumeSetting", settings);
    cimom_.SetInstances("CIM_SoftwareIdentity",
                        {Instance(Path("IBMTSSVC_SoftwareIdentity", {{"InstanceID", kSystem}}),
                                  {{"InstanceID", Text(kSystem)}, {"VersionString", Text(version)}})});
  }

  static bool Same(const CIMObjectPath& expected, const std::string& text) {
    return refersToSameObject(expected, CIMObjectPath(String(text)));
  }

  TqConfigOverride hiddenFaultRetry_, hiddenLsiPrefix_, hiddenPoolCheck_, hiddenVdiskType_, hiddenIoGroup_;
  lookuptest::ScriptedCimom cimom_;
  TQSO::SnapInfo record_;
  TqCimConnection conn_;
  SmisAction action_;
  CIMObjectPath pool_, source_, ioGroup_, node_, standard_;
};

TEST_F(VolumeFamilyTest, IbmSvcTypeIoGroupNodeAndThickGoal) {
  struct Case {
    const char* what;
    const char* nativeStatus;
    const char* version;
    bool standard;
    int thinSetting;
    SmisArgs args;
    SmisResultCode result;
    const char* type;  // position 5
    bool standardGoal;
  };
  const Case cases[] = {
      {"thick on 7.6 needs no goal", "1", "7.6.1.3", false, 0, {kSystem, "t1", "mdg0", "5"}, 0, "5", false},
      {"thick on 7.7 without a goal fails", "1", "7.7.0.0", false, 0, {kSystem, "t2", "mdg0", "5"}, 1, "", false},
      {"thick with the Standard setting", "1", "8.1.0", true, 0, {kSystem, "t3", "mdg0", "5"}, 0, "5", true},
      {"thin setting makes a clone target", "1", "8.1.0", false, 1, {kSystem, "t4", "mdg0", "5"}, 0, "6", false},
      {"offline pool", "3", "7.6.1", false, 0, {kSystem, "t5", "mdg0", "5"}, 1, "", false},
      {"no type: the positions keep their place", "1", "8.1.0", false, 0, {kSystem, "t6", "mdg0"}, 0, "null", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeedIbmSvc(c.nativeStatus, c.version, c.standard);
    record_.setSetting("SMCONFIG_NAME_ENABLE_THIN_PROVISIONING", c.thinSetting);
    SmisArgs out;
    ASSERT_EQ(c.result, Params(source_.toString().str(), c.args, out));
    if (c.result != kSmisSuccess) continue;
    ASSERT_EQ(8u, out.size());
    EXPECT_TRUE(Same(pool_, out[2]));
    EXPECT_EQ("1073741824", out[3]);
    if (c.standardGoal)
      EXPECT_TRUE(Same(standard_, out[4]));
    else
      EXPECT_EQ("null", out[4]);
    EXPECT_EQ(c.type, out[5]);
    EXPECT_TRUE(Same(ioGroup_, out[6]));
    EXPECT_TRUE(Same(node_, out[7]));
  }
}

TEST_F(VolumeFamilyTest, IbmSvcConfiguredIoGroupThatIsMissingGivesNulls) {
  SeedIbmSvc("1", "7.6.1", false);
  TqConfigOverride group("Corvane", "IBMSVC_IOGroup", "io_grp9");
  SmisArgs out;
  ASSERT_EQ(kSmisSuccess, Params(source_.toString().str(), {kSystem, "g", "mdg0", "5"}, out));
  ASSERT_EQ(8u, out.size());
  EXPECT_EQ("null", out[6]);
  EXPECT_EQ("null", out[7]);
}

TEST_F(VolumeFamilyTest, EternusThinFromPoolOrSourcePurpose) {
  CIMObjectPath thinPool = Path("FUJITSU_ThinProvisioningPool", {{"InstanceID", "ET:TPP1"}});
  cimom_.SetInstances("FUJITSU_ThinProvisioningPool", {Instance(thinPool, {{"ElementName", Text("TPP1")}})});
  CIMObjectPath ownPool = Path("FUJITSU_RAIDStoragePool", {{"InstanceID", "ET:RAID0"}});
  cimom_.SetInstances("CIM_StoragePool", {Instance(ownPool, {{"ElementName", Text("RAID0")}})});
  struct Case {
    const char* what;
    const char* dgName;
    const char* purpose;  // null: none
    SmisResultCode result;
    const char* thin;
  };
  const Case cases[] = {
      {"named thin pool", "TPP1", "+0x00", 0, "1"},
      {"own pool, thin source", "null", "0x1+0x06", 0, "1"},
      {"own pool, both marks: thick", "null", "+0x00+0x06", 0, "0"},
      {"own pool, thick source", "null", "+0x01", 0, "0"},
      {"source without Purpose", "null", nullptr, kSmisObjectNotFound, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string id = "ET" + std::to_string(n++);
    CIMObjectPath source = Path("FUJITSU_StorageVolume", {{"DeviceID", id.c_str()}, {"SystemName", "ET-1"}});
    Props props{{"BlockSize", CIMValue(Uint64(512))}, {"NumberOfBlocks", CIMValue(Uint64(8))}};
    if (c.purpose) props.push_back({"Purpose", Text(c.purpose)});
    cimom_.SetInstances("CIM_StorageVolume", {Instance(source, props)});
    cimom_.SetAssociators(source, "CIM_AllocatedFromStoragePool", {ownPool});
    SmisArgs out;
    ASSERT_EQ(c.result, Params(source.toString().str(), {"ET-1", "e", c.dgName, "1"}, out));
    if (c.result != kSmisSuccess) continue;
    ASSERT_EQ(6u, out.size());
    EXPECT_TRUE(Same(std::string(c.dgName) == "null" ? ownPool : thinPool, out[2]));
    EXPECT_EQ("4096", out[3]);
    EXPECT_EQ(c.thin, out[5]);
  }
}

TEST_F(VolumeFamilyTest, LsiPreferredControllerOfTheSource) {
  CIMObjectPath source = Path("LSISSI_StorageVolume", {{"DeviceID", "60080E50001F"}, {"SystemName", "LSI-1"}});
  cimom_.SetInstances(
      "CIM_StorageVolume",
      {Instance(source, {{"BlockSize", CIMValue(Uint64(512))}, {"NumberOfBlocks", CIMValue(Uint64(4))}})});
  CIMObjectPath pool = Path("LSISSI_StoragePool", {{"InstanceID", "LSI-1:pool7"}});
  cimom_.SetInstances("CIM_StoragePool", {Instance(pool, {{"ElementName", Text("DataPool7")}})});
  CIMObjectPath processorA = Path("LSISSI_StorageProcessorSystem", {{"Name", "ctl-A"}});
  CIMObjectPath processorB = Path("LSISSI_StorageProcessorSystem", {{"Name", "ctl-B"}});
  cimom_.SetInstances("LSISSI_StorageProcessorSystem", {Instance(processorA, {{"Name", Text("ctl-A")}}),
                                                        Instance(processorB, {{"Name", Text("ctl-B")}})});
  struct Case {
    const char* what;
    const char* settingDevice;
    const char* manager;
    bool found;  // else "null"
    const CIMObjectPath* controller;
  };
  const Case cases[] = {
      {"the source's setting names ctl-B", "60080E50001F", "ctl-B", true, &processorB},
      {"no setting of the source", "60080E5000FF", "ctl-B", false, nullptr},
      {"a manager no processor has", "60080E50001F", "ctl-C", false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cimom_.SetInstances(
        "LSISSI_StorageVolumeSetting",
        {Instance(Path("LSISSI_StorageVolumeSetting", {{"InstanceID", "s1"}}),
                  {{"StorageVolume_DeviceID", Text(c.settingDevice)}, {"PreferredManager", Text(c.manager)}})});
    SmisArgs out;
    // The pool is matched on the array by a part of its name.
    ASSERT_EQ(kSmisSuccess, Params(source.toString().str(), {"LSI-1", "l", "Pool7"}, out));
    ASSERT_EQ(6u, out.size());
    EXPECT_TRUE(Same(pool, out[2]));
    EXPECT_EQ("2048", out[3]);
    if (c.found)
      EXPECT_TRUE(Same(*c.controller, out[5]));
    else
      EXPECT_EQ("null", out[5]);
  }
}

}  // namespace
