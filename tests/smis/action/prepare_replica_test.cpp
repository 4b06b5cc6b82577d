// Preparing a replica against the simulated 3PAR array: the argument vector of replica creation built from
// names, fed to CreateReplica, and the names that are not found.
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

constexpr const char* kThinSetting = "3PAR:ThinProvisionedVolumeSetting from DynamicStoragePool CPG1";

class PrepareReplicaTest : public SmisActionTest {
 protected:
  SmisArgs Request(std::vector<std::string> optional = {}) {
    SmisArgs args = {SystemName(), "base1-snap", "4", WwnOf(kOneArraySerial, "base1")};
    args.insert(args.end(), optional.begin(), optional.end());
    return args;
  }

  static bool Same(const std::string& a, const std::string& b) {
    return Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(a)),
                                       Pegasus::CIMObjectPath(Pegasus::String(b)));
  }
};

TEST_F(PrepareReplicaTest, VectorIsTheArgumentsOfReplicaCreation) {
  SmisArgs args = Request();
  std::vector<std::string> out;
  ASSERT_TRUE(action_.PrepareCreateReplica(conn_, args, out));
  ASSERT_EQ(6u, out.size());
  EXPECT_TRUE(Same(ConfigServiceText(), out[0]));
  EXPECT_EQ("base1-snap", out[1]);
  EXPECT_EQ("4", out[2]);
  EXPECT_TRUE(Same(VolumeText("base1"), out[3]));
  EXPECT_EQ("null", out[4]);
  EXPECT_TRUE(Same(util_.GetDGByName(conn_, SystemName(), "CPG1"), out[5]));  // the source's own pool
  EXPECT_EQ(0u, sim().methodCalls().size());

  action_.SetOpType(SmisAction::kOpType3PARSnapshot);
  std::string target;
  ASSERT_EQ(kSmisSuccess, action_.CreateReplica(conn_, out, target));
  EXPECT_FALSE(WwnOf(kOneArraySerial, "base1-snap").empty());
}

TEST_F(PrepareReplicaTest, NamedSettingAndPool) {
  struct Case {
    const char* what;
    std::vector<std::string> optional;
    bool prepared;
    const char* setting;  // the setting's InstanceID, or "null"
    const char* pool;     // the pool's name
  };
  const Case cases[] = {
      {"setting by its exact id", {kThinSetting}, true, kThinSetting, "CPG1"},
      {"setting id in other case", {"3par:thinprovisionedvolumesetting from dynamicstoragepool cpg1"}, false, "", ""},
      {"pool by name, case ignored", {"null", "gold1"}, true, "null", "Gold1"},
      {"empty positions are absent", {"", ""}, true, "null", "CPG1"},
      {"pool named by no pool", {"null", "Silver"}, false, "", ""},
      {"blank pool name", {"null", "  "}, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = Request(c.optional);
    std::vector<std::string> out = {"kept"};
    EXPECT_EQ(c.prepared, action_.PrepareCreateReplica(conn_, args, out));
    if (!c.prepared) {
      EXPECT_EQ(std::vector<std::string>{"kept"}, out);
      continue;
    }
    ASSERT_EQ(7u, out.size());
    if (std::string(c.setting) == "null")
      EXPECT_EQ("null", out[5]);
    else {
      Pegasus::CIMObjectPath setting{Pegasus::String(out[5])};
      EXPECT_EQ(c.setting, util_.GetPropByObjPath(setting, "InstanceID"));
    }
    EXPECT_TRUE(Same(util_.GetDGByName(conn_, SystemName(), c.pool), out[6]));
  }
  EXPECT_EQ(1, CountMessages(record_, "Class CIM_StorageSetting: InstanceID"));
  EXPECT_EQ(1, CountMessages(record_, "Class CIM_StoragePool: name Silver not found"));
}

TEST_F(PrepareReplicaTest, UnknownNamesAndShortRequestsPrepareNothing) {
  struct Case {
    const char* what;
    SmisArgs args;
    const char* trace;
  };
  const Case cases[] = {
      {"three positions", {SystemName(), "n", "4"}, "\tneed: systemName NewElementName CopyType(2-5) SourceVolume"},
      {"unknown array", {"2FF70002ACFFFFFF", "n", "4", VolumeText("base1")}, "for system 2FF70002ACFFFFFF not found"},
      {"source named by no volume",
       {SystemName(), "n", "4", "60002AC0000000000000000000FFFFFF"},
       " LUN UUID 60002AC0000000000000000000FFFFFF not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    std::vector<std::string> out;
    EXPECT_FALSE(action_.PrepareCreateReplica(conn_, args, out));
    EXPECT_TRUE(out.empty());
    EXPECT_LE(1, CountMessages(record_, c.trace));
  }
}

TEST_F(PrepareReplicaTest, FailingLookupPreparesNothing) {
  sim().injectFault(On("EnumerateInstances", CimErrorFault(Pegasus::CIM_ERR_FAILED, "busy", kLasting)));
  SmisArgs args = Request({"null", "Gold1"});
  std::vector<std::string> out;
  EXPECT_FALSE(action_.PrepareCreateReplica(conn_, args, out));
  EXPECT_TRUE(out.empty());
  // Traced by the lookup, then by the operation's guard.
  EXPECT_EQ(2, CountMessages(record_, "Caught CIMException: CIM_ERR_FAILED"));
}

}  // namespace
}  // namespace smisactiontest
