// The creation parameters of other array families (IBM SVC, ETERNUS, the LSI family), against a scripted
// loopback CIMOM that answers with each family's classes.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "SimProviderSupport.h"
#include "SmisImpl.h"
#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "lookups/support/ScriptedCimom.h"

using namespace Pegasus;
using simtest::CountMessages;

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

TqCimomParams ScriptedParams(int port) {
  TqCimomParams params;
  params.m_Address = "127.0.0.1";
  params.m_Port = port;
  params.m_NameSpace = "root/other";
  params.m_User = "user";
  params.m_Password = "password";
  return params;
}

class VolumeFamilyTest : public ::testing::Test {
 protected:
  VolumeFamilyTest()
      : hiddenFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hiddenLsiPrefix_("Corvane", "LSI_OEM_CLASSNAME_PREFIX"),
        hiddenPoolCheck_("Corvane", "nIBMSVCDisablePoolCheck"),
        hiddenVdiskType_("Corvane", "IBMSVC_VDISK_TYPE"),
        hiddenIoGroup_("Corvane", "IBMSVC_IOGroup") {
    TqCimomParams params = ScriptedParams(cimom_.port());
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

// The positions are appended after whatever the caller's vector holds, the thick goal among them.
TEST_F(VolumeFamilyTest, IbmSvcPositionsFollowWhatTheVectorAlreadyHolds) {
  SeedIbmSvc("1", "8.1.0", true);
  record_.setSetting("SMCONFIG_NAME_ENABLE_THIN_PROVISIONING", 0);
  SmisArgs out = {"kept", "also kept"};
  ASSERT_EQ(kSmisSuccess, Params(source_.toString().str(), {kSystem, "a", "mdg0", "5"}, out));
  ASSERT_EQ(10u, out.size());
  EXPECT_EQ("kept", out[0]);
  EXPECT_EQ("also kept", out[1]);
  EXPECT_EQ(kSystem, out[2]);
  EXPECT_EQ("1073741824", out[5]);
  EXPECT_TRUE(Same(standard_, out[6])) << "the goal replaces this volume's position 4";
  EXPECT_EQ("5", out[7]);
  EXPECT_TRUE(Same(ioGroup_, out[8]));
  EXPECT_TRUE(Same(node_, out[9]));
}

// The size is BlockSize x NumberOfBlocks; a product beyond 64 bits would name a smaller volume.
TEST_F(VolumeFamilyTest, SourceSizeBeyondSixtyFourBitsIsRefused) {
  struct Case {
    const char* what;
    Uint64 blockSize, blocks;
    SmisResultCode result;
    const char* size;
  };
  const Case cases[] = {
      {"largest that fits", 512, Uint64(1) << 54, kSmisSuccess, "9223372036854775808"},
      {"all of 64 bits", ~Uint64(0), 1, kSmisSuccess, "18446744073709551615"},
      {"one block too many", 512, Uint64(1) << 55, kSmisObjectNotFound, ""},
      {"both halves large", Uint64(1) << 32, Uint64(1) << 32, kSmisObjectNotFound, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeedIbmSvc("1", "7.6.1", false);
    cimom_.SetInstances("CIM_StorageVolume", {Instance(source_, {{"BlockSize", CIMValue(c.blockSize)},
                                                                 {"NumberOfBlocks", CIMValue(c.blocks)},
                                                                 {"GroupName", Text("io_grp0")},
                                                                 {"PreferredNode", Text("2")}})});
    SmisArgs out;
    ASSERT_EQ(c.result, Params(source_.toString().str(), {kSystem, "big", "mdg0", "5"}, out));
    if (c.result == kSmisSuccess)
      EXPECT_EQ(c.size, out[3]);
    else
      EXPECT_EQ(1, CountMessages(record_, "does not fit 64 bits"));
    record_.clearMessages();
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

// The creation call each family's positions give, and the LSI-family owner follow-up.
TEST_F(VolumeFamilyTest, CreationSendsEachFamilysParameters) {
  CIMObjectPath pool = Path("CIM_StoragePool", {{"InstanceID", "P1"}});
  CIMObjectPath ioGroup = Path("IBMTSSVC_IOGroup", {{"InstanceID", "svc-cluster-1:io_grp0"}});
  CIMObjectPath processor = Path("LSISSI_StorageProcessorSystem", {{"Name", "ctl-B"}});
  CIMObjectPath created = Path("CIM_StorageVolume", {{"DeviceID", "new"}});
  TqConfigOverride ownerFollowUp("Corvane", "LSI_ENABLE_PREFERED_CONTROLLER_PATH", "1");
  TqConfigOverride hiddenSkip("~Corvane", "nIBMSVCSkipRealAllocPerc");
  TqConfigOverride hiddenClonePercent("Corvane", "nIBMSVCFCRealAllocPerc");
  TqConfigOverride hiddenMapGrain("Corvane", "IBMSVC_MAP_GRAIN_SIZE");
  TqConfigOverride thinGrain("Corvane", "IBMSVC_THIN_VOLUME_GRAIN_SIZE", "64");
  struct Case {
    const char* what;
    const char* serviceClass;
    const char* firmware;
    SmisArgs tail;                                          // positions 4 on
    std::vector<std::pair<const char*, const char*>> sent;  // value texts; "" for a null
    std::vector<const char*> notSent;
    bool affinity;
  };
  const Case cases[] = {
      {"ETERNUS thin",
       "FUJITSU_StorageConfigurationService",
       "",
       {"null", "1"},
       {{"ElementType", "5"}, {"Goal", ""}},
       {"isSpaceEfficient"},
       false},
      {"IBM SVC clone target",
       "IBMTSSVC_StorageConfigurationService",
       "8.1.0.0",
       {"null", "6", ioGroup.toString().str(), "null"},
       {{"ElementType", "2"}, {"isSpaceEfficient", "TRUE"}, {"RealSizePercent", "20"}, {"Grainsize", "64"}},
       {"PreferredNode"},
       false},
      {"IBM SVC on 7.6 sends no real size",
       "IBMTSSVC_StorageConfigurationService",
       "7.6.1.3",
       {"null", "4"},
       {{"isSpaceEfficient", "TRUE"}},
       {"RealSizePercent", "IOGroup"},
       false},
      {"IBM SVC thick",
       "IBMTSSVC_StorageConfigurationService",
       "8.1.0.0",
       {"null", "5", ioGroup.toString().str()},
       {{"ElementType", "2"}},
       {"isSpaceEfficient", "Grainsize"},
       false},
      {"LSI with an owner",
       "LSISSI_StorageConfigurationService",
       "",
       {"null", processor.toString().str()},
       {{"ElementType", "2"}},
       {},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lookuptest::ScriptedCimom cimom;
    TqCimomParams params = ScriptedParams(cimom.port());
    TqCimConnection conn;
    conn.m_Cimom.SetCimom(params);
    conn.m_SnapInfo = &record_;
    ASSERT_EQ(0, conn.ConnectCimom());
    cimom.SetNames("CIM_StorageConfigurationService",
                   {Path(c.serviceClass, {{"Name", "svc"}, {"SystemName", "array-1"}})});
    cimom.SetInstances("IBMTSSVC_ClusterSoftwareIdentity",
                       {Instance(Path("IBMTSSVC_ClusterSoftwareIdentity", {{"InstanceID", "c"}}),
                                 {{"VersionString", Text(c.firmware)}})});
    cimom.SetMethodAnswer("CreateOrModifyElementFromStoragePool", 0, {CIMParamValue("TheElement", CIMValue(created))});
    cimom.SetMethodAnswer("AssignStorageResourceAffinity", 4);
    SmisArgs args{"array-1", "v", pool.toString().str(), "1073741824"};
    args.insert(args.end(), c.tail.begin(), c.tail.end());
    std::string newPath;
    EXPECT_EQ(kSmisSuccess, action_.CreateStorageVolume(conn, args, newPath));
    EXPECT_TRUE(Same(created, newPath));
    std::vector<lookuptest::ScriptedCimom::MethodCall> calls = cimom.Calls("CreateOrModifyElementFromStoragePool");
    ASSERT_EQ(1u, calls.size());
    for (const auto& sent : c.sent) {
      SCOPED_TRACE(sent.first);
      const CimXml::ParamValue* param = calls[0].find(sent.first);
      ASSERT_NE(nullptr, param);
      EXPECT_EQ(sent.second, param->value.isNull() ? std::string() : param->value.toString().str());
    }
    for (const char* name : c.notSent) EXPECT_EQ(nullptr, calls[0].find(name)) << name;
    std::vector<lookuptest::ScriptedCimom::MethodCall> affinity = cimom.Calls("AssignStorageResourceAffinity");
    ASSERT_EQ(c.affinity ? 1u : 0u, affinity.size());
    if (c.affinity) {
      const CimXml::ParamValue* owner = affinity[0].find("StorageProcessor");
      ASSERT_NE(nullptr, owner);
      EXPECT_TRUE(Same(processor, owner->value.toString().str()));
    }
    conn.DisconnectCimom();
  }
}

// An IBM SVC refusal reaches the device's job record with its text.
TEST_F(VolumeFamilyTest, IbmSvcRefusalIsRecordedOnTheDevice) {
  cimom_.SetNames("CIM_StorageConfigurationService",
                  {Path("IBMTSSVC_StorageConfigurationService", {{"Name", "svc"}, {"SystemName", kSystem}})});
  cimom_.SetMethodAnswer("CreateOrModifyElementFromStoragePool", 4097);
  SmisArgs args{kSystem, "v", Path("CIM_StoragePool", {{"InstanceID", "P1"}}).toString().str(), "1", "null", "5"};
  std::string newPath = "untouched";
  EXPECT_EQ(4097u, action_.CreateStorageVolume(conn_, args, newPath));
  EXPECT_EQ("untouched", newPath);
  EXPECT_EQ(4097, record_.errorCode());
}

}  // namespace
