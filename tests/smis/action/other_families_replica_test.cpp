// The replica operations' branches for other array families, over CIM-XML against a scripted CIMOM: the
// IBM SVC FlashCopy parameters of an attach and its forced stops, the HP EVA attach method, and the LSI
// service path that carries its namespace.
#include <memory>

#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;

class SvcReplicaTest : public ScriptedFamilyTest {
 protected:
  SvcReplicaTest()
      : hiddenBackgroundRate_("Corvane", "IBMSVC_FC_BACKGROUNDCOPYRATE"),
        hiddenGrainSize_("Corvane", "IBMSVC_MAP_GRAIN_SIZE"),
        hiddenEnableSEStop_("Corvane", "nIBMSVCEnableForceSEFCStop"),
        hiddenDisableFCStop_("Corvane", "nIBMSVCDisableForceFCStop") {
    ConfigService("IBMTSSVC", "CL1");
    source_ = Volume("IBMTSSVC", "CL1", "vd1");
    target_ = Volume("IBMTSSVC", "CL1", "vd2");
  }

  lookuptest::ScriptedCimom::MethodCall Attach(const char* copyType) {
    SmisArgs args = {"CL1", copyType, source_.toString().str(), target_.toString().str()};
    std::string syncPath;
    EXPECT_EQ(kSmisSuccess, action_.AttachModRep(conn_, args, syncPath));
    EXPECT_EQ("IBMTSSVC_LocalStorageSynchronized",
              CIMObjectPath(Pegasus::String(syncPath)).getClassName().getString().str());
    return OnlyCall();
  }

  // The mapping between the two volumes as the provider shows it.
  void ServeMapping(const std::string& copyRate, const std::string& syncState) {
    CIMObjectPath sync = action_.GetSyncPath(conn_, kNameSpace, "CL1", source_, target_);
    cimom_.SetInstances("IBMTSSVC_LocalStorageSynchronized",
                        {FamilyInstance(sync, {{"CopyRate", copyRate}, {"SyncState", syncState}})});
  }

  TqConfigOverride hiddenBackgroundRate_;
  TqConfigOverride hiddenGrainSize_;
  TqConfigOverride hiddenEnableSEStop_;
  TqConfigOverride hiddenDisableFCStop_;
  CIMObjectPath source_;
  CIMObjectPath target_;
};

TEST_F(SvcReplicaTest, AttachSendsTheFlashCopyParametersOfTheCopyType) {
  cimom_.SetInstances("IBMTSSVC_StorageVolume", {FamilyInstance(target_, {{"ElementName", "vd2-copy"}})});
  struct Case {
    const char* copyType;
    std::vector<std::string> names;
    std::vector<std::pair<const char*, const char*>> values;
  };
  const Case cases[] = {
      {"4",
       {"SourceElement", "TargetElement", "BackgroundCopyRate", "CleanRate", "ElementName", "CopyType"},
       {{"BackgroundCopyRate", "uint16 0"},
        {"CleanRate", "uint16 0"},
        {"ElementName", "string vd2-copy"},
        {"CopyType", "uint16 4"}}},
      {"5",
       {"SourceElement", "TargetElement", "CleanRate", "BackgroundCopyRate", "Incremental", "ElementName", "CopyType"},
       {{"CleanRate", "sint32 50"},
        {"BackgroundCopyRate", "uint16 50"},
        {"Incremental", "boolean TRUE"},
        {"CopyType", "uint16 4"}}},
      {"6", {"SourceElement", "TargetElement", "ElementName", "CopyType"}, {{"CopyType", "uint16 5"}}},
      {"abc", {"SourceElement", "TargetElement", "ElementName", "CopyType"}, {{"CopyType", "uint16 4"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.copyType);
    lookuptest::ScriptedCimom::MethodCall call = Attach(c.copyType);
    EXPECT_EQ("AttachReplica", call.method);
    EXPECT_EQ(c.names, Names(call));
    for (const auto& value : c.values) EXPECT_EQ(value.second, Typed(call, value.first)) << value.first;
    cimom_.ClearCalls();
  }
}

// The host key wins over the array's setting, and out-of-range rates and grain sizes fall back.
TEST_F(SvcReplicaTest, RatesAndGrainSizeFromConfiguration) {
  struct Case {
    const char* what;
    const char* backgroundKey;  // nullptr: absent
    int backgroundSetting;
    int cleanSetting;
    const char* grainKey;  // nullptr: absent
    const char* background;
    const char* clean;
    const char* grain;  // "" when not sent
  };
  const Case cases[] = {
      {"host key wins", "80", 20, 30, nullptr, "uint16 80", "sint32 30", ""},
      {"setting when no key", nullptr, 20, 100, nullptr, "uint16 20", "sint32 100", ""},
      {"rates out of range", "150", 20, -1, nullptr, "uint16 50", "sint32 50", ""},
      {"grain size 64", nullptr, 50, 50, "64", "uint16 50", "sint32 50", "uint16 64"},
      {"other grain size gives 256", nullptr, 50, 50, "128", "uint16 50", "sint32 50", "uint16 256"},
      {"grain size 0 sends none", nullptr, 50, 50, "0", "uint16 50", "sint32 50", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TqConfigOverride> background, grain;
    if (c.backgroundKey)
      background.reset(new TqConfigOverride("Corvane", "IBMSVC_FC_BACKGROUNDCOPYRATE", c.backgroundKey));
    if (c.grainKey) grain.reset(new TqConfigOverride("Corvane", "IBMSVC_MAP_GRAIN_SIZE", c.grainKey));
    record_.setSetting("SMCONFIG_NAME_IBMSVC_BACKGROUND_COPY_RATE", c.backgroundSetting);
    record_.setSetting("SMCONFIG_NAME_IBMSVC_CLEAN_RATE", c.cleanSetting);
    lookuptest::ScriptedCimom::MethodCall call = Attach("5");
    EXPECT_EQ(c.background, Typed(call, "BackgroundCopyRate"));
    EXPECT_EQ(c.clean, Typed(call, "CleanRate"));
    EXPECT_EQ(c.grain, Typed(call, "GrainSize"));
    cimom_.ClearCalls();
  }
}

TEST_F(SvcReplicaTest, RefusedAttachBecomesTheDeviceError) {
  static const SmisErrorText_t kTexts[] = {{4, "Mapping failed"}, {0, nullptr}};
  action_.SetErrorTextTable(kTexts);
  cimom_.SetMethodAnswer("AttachReplica", 4);
  SmisArgs args = {"CL1", "4", source_.toString().str(), target_.toString().str()};
  std::string syncPath = "untouched";
  EXPECT_EQ(4u, action_.AttachModRep(conn_, args, syncPath));
  EXPECT_EQ("untouched", syncPath);
  EXPECT_EQ(4, record_.errorCode());
  EXPECT_EQ("Mapping failed", record_.errorText());
}

TEST_F(SvcReplicaTest, StopsAreForcedByTheMappingsStateAndRateAndTheHostKeys) {
  struct Case {
    const char* what;
    const char* operation;
    const char* copyRate;
    const char* syncState;
    const char* enableSEStop;  // nullptr: absent
    const char* disableFCStop;
    const char* force;
  };
  const Case cases[] = {
      {"detach always forced", "2", "0", "6", nullptr, nullptr, "boolean TRUE"},
      {"stop of a synchronized mapping", "8", "50", "6", nullptr, nullptr, "boolean FALSE"},
      {"stop of an idle mapping", "8", "50", "11", "1", nullptr, "boolean FALSE"},
      {"stop without copy rate", "8", "0", "4", nullptr, nullptr, "boolean FALSE"},
      {"stop without copy rate, key set", "8", "0", "4", "1", nullptr, "boolean TRUE"},
      {"stop with copy rate", "8", "50", "4", nullptr, nullptr, "boolean TRUE"},
      {"stop with copy rate, full-copy stop disabled", "8", "50", "4", nullptr, "1", "boolean FALSE"},
      {"no Force for a restore", "5", "50", "4", nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TqConfigOverride> enable, disable;
    if (c.enableSEStop) enable.reset(new TqConfigOverride("Corvane", "nIBMSVCEnableForceSEFCStop", c.enableSEStop));
    if (c.disableFCStop) disable.reset(new TqConfigOverride("Corvane", "nIBMSVCDisableForceFCStop", c.disableFCStop));
    ServeMapping(c.copyRate, c.syncState);
    SmisArgs args = {"CL1", c.operation, source_.toString().str(), target_.toString().str()};
    EXPECT_EQ(kSmisSuccess, action_.ModifySync(conn_, args, false));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();  // one call: no resync before an SVC detach
    EXPECT_EQ(c.force, Typed(call, "Force"));
    cimom_.ClearCalls();
  }
}

TEST_F(SvcReplicaTest, RestoreIsAskedOnlyByItsExactText) {
  const struct {
    const char* fifth;
    const char* restore;
  } cases[] = {{"Restore", "boolean TRUE"}, {"restore", ""}, {"TPD_StorageSynchronized.x", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fifth);
    SmisArgs args = {"CL1", "5", source_.toString().str(), target_.toString().str(), c.fifth};
    EXPECT_EQ(kSmisSuccess, action_.ModifySync(conn_, args, false));
    EXPECT_EQ(c.restore, Typed(OnlyCall(), "Restore"));
    cimom_.ClearCalls();
  }
}

TEST_F(ScriptedFamilyTest, HpEvaAttachesWithAttachReplica) {
  ConfigService("HPEVA", "EVA1");
  CIMObjectPath source = Volume("HPEVA", "EVA1", "v1");
  CIMObjectPath target = Volume("HPEVA", "EVA1", "v2");
  cimom_.SetNames("CIM_StorageSynchronized", {});
  SmisArgs args = {"EVA1", "7", source.toString().str(), target.toString().str()};
  std::string syncPath = "untouched";
  EXPECT_EQ(kSmisSuccess, action_.AttachModRep(conn_, args, syncPath));
  lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
  EXPECT_EQ("AttachReplica", call.method);
  EXPECT_EQ((std::vector<std::string>{"SourceElement", "TargetElement", "CopyType"}), Names(call));
  EXPECT_EQ("uint16 7", Typed(call, "CopyType"));
  EXPECT_EQ("", syncPath);  // the provider names no pair: success with an empty path
}

// An LSI-family provider is called back on the service path with its namespace.
TEST_F(ScriptedFamilyTest, LsiPreparationCarriesTheNamespaceOnTheService) {
  ConfigService("LSISSI", "LSI1");
  CIMObjectPath source = Volume("LSISSI", "LSI1", "v1");
  CIMObjectPath pool = FamilyPath("LSISSI_StoragePool", {{"InstanceID", "LSI1:pool1"}});
  cimom_.SetAssociators(source, "CIM_AllocatedFromStoragePool", {pool});
  SmisArgs args = {"LSI1", "snap", "4", source.toString().str()};
  std::vector<std::string> out;
  ASSERT_TRUE(action_.PrepareCreateReplica(conn_, args, out));
  ASSERT_EQ(6u, out.size());
  EXPECT_EQ(kNameSpace, CIMObjectPath(Pegasus::String(out[0])).getNameSpace().getString().str());
  CIMObjectPath preparedPool{Pegasus::String(out[5])};
  EXPECT_EQ("LSI1:pool1", action_.GetPropByObjPath(preparedPool, "InstanceID"));
  EXPECT_TRUE(cimom_.Calls().empty());
}

}  // namespace
}  // namespace smisactiontest
