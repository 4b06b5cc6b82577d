// Synchronization aspects and their settings-define-state changes from named inputs, against the simulated
// 3PAR replication service: aspects made for one volume or a list, returned to the array by name, and the
// inputs, lookups and jobs that end a call before or after it reaches the array.
#include <algorithm>
#include <map>

#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;
typedef std::map<std::string, std::string> Named;

class SyncPointTest : public SmisActionTest {
 protected:
  // The ElementNames of the array's synchronization aspects, sorted.
  std::vector<std::string> AspectNames() {
    return sim().withModel([](smissim::Model& model) {
      std::vector<std::string> names;
      for (const Pegasus::CIMInstance* aspect : model.store().enumerate("TPD_SynchronizationAspect")) {
        Pegasus::String name;
        aspect->getProperty(aspect->findProperty("ElementName")).getValue().get(name);
        names.push_back(name.str());
      }
      std::sort(names.begin(), names.end());
      return names;
    });
  }

  // Aspects "a1" of base1 (by Name) and "a2" of base2 (by path).
  void MakeTwoAspects() {
    Named args = {{"SystemName", SystemName()},
                  {"SyncType", "7"},
                  {"Names", "a1|a2"},
                  {"SourceElements", WwnOf(kOneArraySerial, "base1") + "|" + VolumeText("base2")}};
    Pegasus::Array<Pegasus::CIMParamValue> out;
    ASSERT_EQ(kSmisSuccess, action_.CreateListSynchronizationAspect(conn_, args, out));
  }

  Pegasus::Array<Pegasus::CIMParamValue> out_;
};

TEST_F(SyncPointTest, ListAspectsAreMadeAndReturnedByName) {
  MakeTwoAspects();
  EXPECT_EQ((std::vector<std::string>{"a1", "a2"}), AspectNames());

  Named remove = {{"SystemName", SystemName()},
                  {"Operation", "19"},
                  {"targetSyncData", "a2|a1"},
                  {"WaitForCopyState", "0"},
                  {"targetElement", "null"}};
  ASSERT_EQ(kSmisSuccess, action_.ModifyListSettingsDefineState(conn_, remove, out_));
  EXPECT_TRUE(AspectNames().empty());

  std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifyListSettingsDefineState");
  ASSERT_EQ(1u, calls.size());
  EXPECT_TRUE(calls[0].param("SettingsStates")->isArray);
  EXPECT_TRUE(calls[0].param("WaitForCopyState")->isNull);
  EXPECT_TRUE(calls[0].param("TargetElements")->isNull);
  EXPECT_EQ(nullptr, calls[0].param("EMCSynchronousAction"));
}

TEST_F(SyncPointTest, SingleAspectOfAVolume) {
  Named args = {{"SystemName", SystemName()},
                {"SyncType", "7"},
                {"Name", "s1"},
                {"SourceElement", WwnOf(kOneArraySerial, "base1")},
                {"ServiceAccessPoint", "null"}};
  ASSERT_EQ(kSmisSuccess, action_.CreateSynchronizationAspect(conn_, args, out_));
  EXPECT_EQ((std::vector<std::string>{"s1"}), AspectNames());
  std::vector<smissim::MethodCallRecord> calls = CallsOf("CreateSynchronizationAspect");
  ASSERT_EQ(1u, calls.size());
  EXPECT_FALSE(calls[0].param("SourceElement")->isNull);
  EXPECT_TRUE(calls[0].param("SourceGroup")->isNull);
  EXPECT_TRUE(calls[0].param("Consistency")->isNull);
  EXPECT_TRUE(calls[0].param("ServiceAccessPoint")->isNull);
}

// Inputs that end a call before anything reaches the array.
TEST_F(SyncPointTest, RefusedInputsSendNothing) {
  const std::string system = SystemName(), base1 = WwnOf(kOneArraySerial, "base1");
  Pegasus::Array<Pegasus::CIMParamValue> out;
  struct Case {
    const char* what;
    std::function<SmisResultCode(Named&)> run;
    Named args;
    SmisResultCode result;
  };
  auto single = [&](Named& a) { return action_.CreateSynchronizationAspect(conn_, a, out); };
  auto list = [&](Named& a) { return action_.CreateListSynchronizationAspect(conn_, a, out); };
  auto state = [&](Named& a) { return action_.ModifySettingDefineState(conn_, a, out); };
  auto states = [&](Named& a) { return action_.ModifyListSettingsDefineState(conn_, a, out); };
  const Case cases[] = {
      {"aspect: two entries", single, {{"SystemName", system}, {"SyncType", "7"}}, kSmisTooFewArguments},
      {"aspect: no SyncType",
       single,
       {{"SystemName", system}, {"Name", "x"}, {"SourceElement", base1}},
       kSmisInvalidParameter},
      {"aspect: no service",
       single,
       {{"SystemName", "NOSUCH"}, {"SyncType", "7"}, {"SourceElement", base1}},
       kSmisObjectNotFound},
      {"aspect: unknown volume",
       single,
       {{"SystemName", system}, {"SyncType", "7"}, {"SourceElement", "60002AC0000000000000000000009999"}},
       kSmisObjectNotFound},
      {"list: unknown volume before the missing SyncType",
       list,
       {{"SystemName", system}, {"Names", "x"}, {"SourceElements", base1 + "|60002AC0000000000000000000009999"}},
       kSmisObjectNotFound},
      {"list: service path that is no path",
       list,
       {{"ServicePath", "not a path"}, {"SyncType", "7"}, {"SourceElements", base1}},
       kSmisFailed},
      {"state: three entries",
       state,
       {{"SystemName", system}, {"Operation", "19"}, {"targetSyncData", "a1"}},
       kSmisInvalidParameter},
      {"state: no Operation",
       state,
       {{"SystemName", system}, {"sourceElement", "base1"}, {"targetSyncData", "a1"}, {"x", "y"}},
       kSmisInvalidParameter},
      {"state: unknown source",
       state,
       {{"SystemName", system}, {"Operation", "19"}, {"sourceElement", "nosuch"}, {"targetSyncData", "a1"}},
       kSmisObjectNotFound},
      {"states: no targetSyncData",
       states,
       {{"SystemName", system}, {"Operation", "19"}, {"x", "y"}},
       kSmisTooFewArguments},
      {"states: second aspect unknown",
       states,
       {{"SystemName", system}, {"Operation", "19"}, {"targetSyncData", "a1|nosuch"}},
       kSmisObjectNotFound},
  };
  MakeTwoAspects();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Named args = c.args;
    EXPECT_EQ(c.result, c.run(args));
  }
  EXPECT_EQ(1u, sim().methodCalls().size());  // the aspects made above
  EXPECT_EQ((std::vector<std::string>{"a1", "a2"}), AspectNames());
}

// A list job that fails gives its final state and leaves no aspect behind.
TEST_F(SyncPointTest, FailedListJobGivesItsStateAndMakesNothing) {
  FaultOnMethod("CreateListSynchronizationAspect", FaultAction::JobFails, 9);
  Named args = {{"SystemName", SystemName()},
                {"SyncType", "7"},
                {"SourceElements", VolumeText("base1")},
                {"WatchJobRetryAttempts", "25"}};
  EXPECT_EQ(9u, action_.CreateListSynchronizationAspect(conn_, args, out_));
  EXPECT_TRUE(AspectNames().empty());
}

}  // namespace
}  // namespace smisactiontest
