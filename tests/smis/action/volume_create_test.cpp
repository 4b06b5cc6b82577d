// Volume creation against the simulated 3PAR array: the parameters of a volume shaped like a source, the
// volume the provider then holds, and how bad arguments, refusals and jobs become results.
#include "TqSleep.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

// base1: thin in CPG1, 2 GiB; base2: fully provisioned in Gold1.
constexpr const char* kShapedArray = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1", "Gold1"],
     "volumes": [{"name": "base1", "cpg": "CPG1", "sizeBytes": 2147483648},
                 {"name": "base2", "cpg": "Gold1", "thin": false}]}
  ]
})";

class VolumeCreateTest : public SmisActionTest {
 protected:
  VolumeCreateTest() : SmisActionTest(kShapedArray) {}

  // CreateStorageVolParams then CreateStorageVolume, as the clone path calls them.
  SmisResultCode CreateLike(const std::string& source, SmisArgs args, SmisArgs& params, std::string& newPath) {
    SmisResultCode result = action_.CreateStorageVolParams(conn_, args, source, params);
    if (result != kSmisSuccess) return result;
    return action_.CreateStorageVolume(conn_, params, newPath);
  }

  bool Exists(const std::string& name) { return !WwnOf(kOneArraySerial, name).empty(); }
  std::string Property(const std::string& name, const char* property) {
    return VolumeProperty(kOneArraySerial, name, property);
  }

  // A vector CreateStorageVolume accepts: thick, in Gold1, 1 GiB.
  SmisArgs PlainArgs(const std::string& name) {
    return {SystemName(), name, PoolText("Gold1"), "1073741824", "null", "0"};
  }
  std::string PoolText(const std::string& cpg) { return util_.GetDGByName(conn_, SystemName(), cpg); }
  static bool SameObject(const std::string& a, const std::string& b) {
    return Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(a)),
                                       Pegasus::CIMObjectPath(Pegasus::String(b)));
  }
};

TEST_F(VolumeCreateTest, ThinAndFullyProvisionedVolumesInNamedPool) {
  struct Case {
    const char* name;
    const char* typeFlag;
    const char* dgName;
    const char* thin;  // the flag position and the new volume's ThinlyProvisioned
    const char* goal;  // the setting the goal names
    const char* cpg;   // where the volume lands
  };
  const Case cases[] = {
      {"thin-gold", "1", "Gold1", "1", "3PAR:ThinProvisionedVolumeSetting from DynamicStoragePool Gold1", "Gold1"},
      {"full-gold", "2", "Gold1", "0", "3PAR:FullyProvisionedVolumeSetting from DynamicStoragePool Gold1", "Gold1"},
      // Without a named pool the source's own CPG (CPG1) gives the pool and the setting.
      {"thin-own", "1", "null", "1", "3PAR:ThinProvisionedVolumeSetting from DynamicStoragePool CPG1", "CPG1"},
      // Any other flag follows the source, which is thin.
      {"as-source", "0", "Gold1", "1", "3PAR:ThinProvisionedVolumeSetting from DynamicStoragePool Gold1", "Gold1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmisArgs params;
    std::string newPath;
    ASSERT_EQ(kSmisSuccess,
              CreateLike(VolumeText("base1"), {SystemName(), c.name, c.dgName, c.typeFlag}, params, newPath));
    ASSERT_EQ(6u, params.size());
    EXPECT_EQ("2147483648", params[3]);
    EXPECT_EQ(c.thin, params[5]);
    Pegasus::CIMObjectPath goal{Pegasus::String(params[4])};
    EXPECT_EQ(c.goal, util_.GetPropByObjPath(goal, "InstanceID"));

    EXPECT_FALSE(newPath.empty());
    EXPECT_EQ(std::string(c.thin) == "1" ? "TRUE" : "FALSE", Property(c.name, "ThinlyProvisioned"));
    EXPECT_EQ(c.cpg, Property(c.name, "UserDSPName"));
    EXPECT_EQ(Property("base1", "NumberOfBlocks"), Property(c.name, "NumberOfBlocks"));
    Pegasus::CIMObjectPath created{Pegasus::String(newPath)};
    EXPECT_EQ(WwnOf(kOneArraySerial, c.name), util_.GetPropByObjPath(created, "DeviceID"));
  }
}

TEST_F(VolumeCreateTest, ParametersShapedLikeSource) {
  // Without a TypeFlag a 3PAR target is thick and has no goal.
  SmisArgs params;
  SmisArgs args{SystemName(), "copy", "Gold1"};
  ASSERT_EQ(kSmisSuccess, action_.CreateStorageVolParams(conn_, args, VolumeText("base1"), params));
  ASSERT_EQ(6u, params.size());
  EXPECT_EQ(SystemName(), params[0]);
  EXPECT_EQ("copy", params[1]);
  EXPECT_TRUE(SameObject(PoolText("Gold1"), params[2]));
  EXPECT_EQ("null", params[4]);
  EXPECT_EQ("0", params[5]);
  EXPECT_EQ(1, CountMessages(record_, "Going create ThinProvision [No] UserDSP - [null] Goal - []"));

  // The source given by its Name (the WWN), and a fully provisioned source followed as it is.
  params.clear();
  args = {SystemName(), "copy2", "null", "3"};
  ASSERT_EQ(kSmisSuccess, action_.CreateStorageVolParams(conn_, args, WwnOf(kOneArraySerial, "base2"), params));
  EXPECT_TRUE(SameObject(PoolText("Gold1"), params[2]));
  EXPECT_EQ("0", params[5]);
  Pegasus::CIMObjectPath goal{Pegasus::String(params[4])};
  EXPECT_EQ("3PAR:FullyProvisionedVolumeSetting from DynamicStoragePool Gold1",
            util_.GetPropByObjPath(goal, "InstanceID"));
}

TEST_F(VolumeCreateTest, UnknownSourcePoolOrSettingCreatesNothing) {
  struct Case {
    const char* what;
    std::string source;
    SmisArgs args;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"unknown pool", VolumeText("base1"), {SystemName(), "v1", "NoSuchCpg", "1"}, kSmisObjectNotFound},
      // Only the exact text "null" means the source's pool.
      {"pool merely containing null", VolumeText("base1"), {SystemName(), "v2", "nullpool", "1"}, kSmisObjectNotFound},
      {"unknown source name",
       "60002AC0000000000000FFFF0000FFFF",
       {SystemName(), "v3", "Gold1", "1"},
       kSmisObjectNotFound},
      {"empty source name", "", {SystemName(), "v4", "Gold1", "1"}, kSmisObjectNotFound},
      {"two positions", VolumeText("base1"), {SystemName(), "v5"}, kSmisTooFewArguments},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    SmisArgs params;
    EXPECT_EQ(c.result, action_.CreateStorageVolParams(conn_, args, c.source, params));
  }
  EXPECT_TRUE(CallsOf("CreateOrModifyElementFromStoragePool").empty());

  // A setting of a CPG the array does not have is refused by the provider; nothing is created.
  const std::string gold = util_
                               .GetObjPathByProp(conn_, "CIM_StorageSetting", "InstanceID",
                                                 "3PAR:ThinProvisionedVolumeSetting from DynamicStoragePool Gold1", "")
                               .toString()
                               .str();
  std::string unknownSetting = gold;
  unknownSetting.replace(unknownSetting.find("Gold1"), 5, "Gone9");
  SmisArgs args = PlainArgs("v6");
  args[4] = unknownSetting;
  args[5] = "1";
  std::string newPath;
  EXPECT_EQ(kSmisInvalidParameter, action_.CreateStorageVolume(conn_, args, newPath));
  EXPECT_FALSE(Exists("v6"));
  // The CPG's settings are named exactly: another case is another CPG.
  Pegasus::CIMObjectPath goal;
  EXPECT_EQ(1u, action_.Get3PARStorageSettings(conn_, goal, "gold1", true));
  EXPECT_TRUE(goal.getClassName().isNull());
}

TEST_F(VolumeCreateTest, UnreadableArgumentsAreRefusedBeforeAnyCall) {
  struct Case {
    const char* what;
    std::size_t position;
    const char* text;
  };
  const Case cases[] = {
      {"size not a number", 3, "ten"},
      {"negative size", 3, "-1073741824"},
      {"size with a tail", 3, "1024k"},
      {"size beyond 64 bits", 3, "99999999999999999999"},
      {"empty size", 3, ""},
      {"pool not a path", 2, "Gold1 pool"},
      {"goal not a path", 4, "a goal"},
  };
  const SmisArgs good = PlainArgs("bad");
  server_->clearLog();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = good;
    args[c.position] = c.text;
    std::string newPath = "untouched";
    EXPECT_EQ(kSmisTooFewArguments, action_.CreateStorageVolume(conn_, args, newPath));
    EXPECT_EQ("untouched", newPath);
  }
  SmisArgs shortArgs(good.begin(), good.begin() + 3);
  std::string newPath;
  EXPECT_EQ(kSmisTooFewArguments, action_.CreateStorageVolume(conn_, shortArgs, newPath));
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_FALSE(Exists("bad"));
}

TEST_F(VolumeCreateTest, ZeroSizeAndEmptyNameReachTheProvider) {
  // The fault-retry priming call: no name and Size 0, which the provider refuses.
  SmisArgs args = PlainArgs("");
  args[3] = "0";
  std::string newPath;
  EXPECT_EQ(kSmisInvalidParameter, action_.CreateStorageVolume(conn_, args, newPath));
  std::vector<smissim::MethodCallRecord> calls = CallsOf("CreateOrModifyElementFromStoragePool");
  ASSERT_EQ(1u, calls.size());
  const smissim::ParamRecord* name = calls[0].param("ElementName");
  ASSERT_NE(nullptr, name);
  EXPECT_TRUE(name->typed && name->isNull);
  ASSERT_NE(nullptr, calls[0].param("Size"));
  EXPECT_EQ("0", calls[0].param("Size")->value);
  ASSERT_NE(nullptr, calls[0].param("Goal"));
  EXPECT_TRUE(calls[0].param("Goal")->isNull);
  ASSERT_NE(nullptr, calls[0].param("ElementType"));
  EXPECT_EQ("2", calls[0].param("ElementType")->value);
}

TEST_F(VolumeCreateTest, RefusalsAndJobsMapToResults) {
  struct Case {
    const char* what;
    FaultAction action;
    std::uint32_t returnValue;
    std::uint16_t finalState;
    SmisResultCode result;
    bool created;
    bool pathBack;  // the path the provider reported comes back, whatever the job's end
  };
  const Case cases[] = {
      {"size not supported", FaultAction::ForceReturnValue, 4097, 7, 4097, false, false},
      {"provider refuses 4098", FaultAction::ForceReturnValue, 4098, 7, 4098, false, false},
      {"job completes", FaultAction::AsJob, 0, 7, kSmisSuccess, true, true},
      {"job terminated", FaultAction::JobFails, 0, 8, 8, false, true},
      {"job in exception", FaultAction::JobFails, 0, 10, 10, false, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    smissim::FaultRule rule;
    rule.operation = "CreateOrModifyElementFromStoragePool";
    rule.action = c.action;
    rule.returnValue = c.returnValue;
    rule.jobFinalState = c.finalState;
    sim().injectFault(rule);
    std::string name = "job" + std::to_string(n++);
    SmisArgs args = PlainArgs(name);
    std::string newPath = "untouched";
    EXPECT_EQ(c.result, action_.CreateStorageVolume(conn_, args, newPath));
    EXPECT_EQ(c.created, Exists(name));
    EXPECT_EQ(c.pathBack, newPath != "untouched" && !newPath.empty());
  }
}

// A success that does not name the new volume: the volume is found through the job or by its name, or the
// creation fails with a trace naming it, never a success with an empty path.
TEST_F(VolumeCreateTest, ANewVolumeTheProviderDoesNotNameIsFoundOrTheCreationFails) {
  struct Case {
    const char* what;
    std::vector<FaultAction> faults;  // on the creation method, TheElement the parameter of output faults
    SmisResultCode result;
    const char* trace;
  };
  const Case cases[] = {
      {"answer 0 without TheElement", {FaultAction::DropOutput}, kSmisSuccess, "found by its name"},
      {"job without TheElement", {FaultAction::AsJob, FaultAction::DropOutput}, kSmisSuccess, "named by its job"},
      {"job whose TheElement is still empty",
       {FaultAction::AsJob, FaultAction::EmptyOutput},
       kSmisSuccess,
       "named by its job"},
      {"answer 0 that made nothing", {FaultAction::ForceReturnValue}, kSmisFailed, "] on system"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (FaultAction action : c.faults) {
      smissim::FaultRule rule;
      rule.operation = "CreateOrModifyElementFromStoragePool";
      rule.action = action;
      rule.parameter = "TheElement";
      rule.returnValue = 0;
      sim().injectFault(rule);
    }
    const std::string name = "unnamed" + std::to_string(n++);
    SmisArgs args = PlainArgs(name);
    std::string newPath;
    record_.clearMessages();
    EXPECT_EQ(c.result, action_.CreateStorageVolume(conn_, args, newPath));
    EXPECT_EQ(1, CountMessages(record_, c.trace));
    if (c.result == kSmisSuccess) {
      ASSERT_TRUE(Exists(name));
      EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(newPath)),
                                              VolumePath(kOneArraySerial, name)));
    } else {
      EXPECT_TRUE(newPath.empty());
      EXPECT_EQ(1, CountMessages(record_, "volume [" + name + "] on system " + SystemName() + " was not found"));
    }
  }
}

// A success that names no volume and made none: a volume found by the requested name is not taken when it
// is the source the new volume was shaped after or has another size, and a lookup that fails fails the
// creation; each time the trace names the volume.
TEST_F(VolumeCreateTest, AVolumeFoundByNameIsTakenOnlyWhenItCanBeTheNewOne) {
  struct Case {
    const char* what;
    const char* name;
    bool shapedLikeBase1;  // through CreateStorageVolParams of base1, else the plain 1 GiB vector
    bool lookupFails;
    const char* why;
  };
  const Case cases[] = {
      {"a volume of that name and another size", "base1", false, false, "does not have the requested size"},
      {"a lookup that fails", "looked-for", false, true, "could not be looked up"},
      {"the source of that name", "base1", true, false, "is the volume the new one was shaped after"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    smissim::FaultRule madeNothing;
    madeNothing.operation = "CreateOrModifyElementFromStoragePool";
    madeNothing.action = FaultAction::ForceReturnValue;
    madeNothing.returnValue = 0;
    sim().injectFault(madeNothing);
    if (c.lookupFails) {
      smissim::FaultRule lookup;
      lookup.operation = "EnumerateInstances";
      lookup.className = "CIM_StorageVolume";
      sim().injectFault(lookup);
    }
    const std::string before = WwnOf(kOneArraySerial, c.name);
    SmisArgs params;
    std::string newPath;
    record_.clearMessages();
    const SmisResultCode result =
        c.shapedLikeBase1 ? CreateLike(VolumeText("base1"), {SystemName(), c.name, "null", "0"}, params, newPath)
                          : action_.CreateStorageVolume(conn_, params = PlainArgs(c.name), newPath);
    EXPECT_EQ(kSmisFailed, result);
    EXPECT_TRUE(newPath.empty()) << newPath;
    EXPECT_EQ(1, CountMessages(record_, "volume [" + std::string(c.name) + "] on system " + SystemName() + " " + c.why))
        << "the trace names the volume";
    EXPECT_EQ(before, WwnOf(kOneArraySerial, c.name));
  }
}

TEST_F(VolumeCreateTest, JobIsFollowedForFiveHundredPollsFifteenSecondsApart) {
  FaultOnMethod("CreateOrModifyElementFromStoragePool", FaultAction::JobNeverEnds);
  SmisArgs args = PlainArgs("slow");
  std::string newPath;
  TqSleepControl::resetCounters();
  EXPECT_EQ(kSmisSuccess, action_.CreateStorageVolume(conn_, args, newPath));
  EXPECT_EQ(500, TqSleepControl::requestCount());
  EXPECT_EQ(500 * 15000, TqSleepControl::requestedMillis());
}

TEST_F(VolumeCreateTest, UnknownSystemIsNotFound) {
  SmisArgs args = PlainArgs("nowhere");
  args[0] = "2FF70002AC0FFFFF";
  std::string newPath;
  EXPECT_EQ(kSmisObjectNotFound, action_.CreateStorageVolume(conn_, args, newPath));
  EXPECT_TRUE(CallsOf("CreateOrModifyElementFromStoragePool").empty());
}

}  // namespace
}  // namespace smisactiontest
