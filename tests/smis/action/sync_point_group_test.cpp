// Synchronization points of a replication group, over CIM-XML against a scripted replication service: the
// group found by its path or its name, the group form of the parameters (it wins over a source volume), and
// the names that end the call before it reaches the array.
#include <map>

#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;
typedef std::map<std::string, std::string> Named;

class SyncPointGroupTest : public ScriptedFamilyTest {
 protected:
  SyncPointGroupTest() {
    cimom_.SetNames("SNIA_ReplicationService",
                    {FamilyPath("LSISSI_ReplicationService", {{"CreationClassName", "LSISSI_ReplicationService"},
                                                              {"Name", "replication"},
                                                              {"SystemCreationClassName", "LSISSI_StorageSystem"},
                                                              {"SystemName", "LSI1"}})});
    volume_ = Volume("LSISSI", "LSI1", "v1");
    group_ = FamilyPath("LSISSI_ReplicationGroup", {{"InstanceID", "LSI1:cg1"}});
    cimom_.SetInstances("CIM_StorageVolume", {FamilyInstance(volume_, {{"Name", "600A-v1"}})});
    cimom_.SetInstances("CIM_ReplicationGroup", {FamilyInstance(group_, {{"ElementName", "cg1"}})});
  }

  SmisResultCode Create(Named args) {
    Pegasus::Array<Pegasus::CIMParamValue> out;
    return action_.CreateSynchronizationAspect(conn_, args, out);
  }

  static CIMObjectPath Reference(const lookuptest::ScriptedCimom::MethodCall& call, const char* name) {
    CIMObjectPath path;
    const Pegasus::CimXml::ParamValue* param = call.find(name);
    if (param && !param->value.isNull()) param->value.get(path);
    return path;
  }

  CIMObjectPath volume_, group_;
};

// The group, by name (case ignored) or by path, is sent as SourceGroup with the given consistency; a source
// volume given too is sent as a null SourceElement.
TEST_F(SyncPointGroupTest, TheGroupFormWinsOverASourceVolume) {
  struct Case {
    const char* what;
    Named extra;
    const char* consistency;  // as sent; "" for a null
    int lookups;              // instance enumerations: a path is used as given
  };
  const Case cases[] = {
      {"group by name", {{"SourceGroup", "CG1"}, {"consistency", "2"}}, "uint16 2", 1},
      {"group by path", {{"SourceGroup", group_.toString().str()}}, "", 0},
      {"group and volume", {{"SourceGroup", "cg1"}, {"SourceElement", "600A-v1"}, {"consistency", "3"}}, "uint16 3", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Named args = {{"SystemName", "LSI1"}, {"SyncType", "7"}, {"Name", "aspect1"}, {"ServiceAccessPoint", "null"}};
    args.insert(c.extra.begin(), c.extra.end());
    const int enumerations = cimom_.Requests("EnumerateInstances");
    ASSERT_EQ(kSmisSuccess, Create(args));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    cimom_.ClearCalls();
    EXPECT_EQ("CreateSynchronizationAspect", call.method);
    EXPECT_EQ((std::vector<std::string>{"Name", "SyncType", "Mode", "SourceElement", "SourceGroup", "Consistency",
                                        "ServiceAccessPoint"}),
              Names(call));
    EXPECT_EQ("string aspect1", Typed(call, "Name"));
    EXPECT_TRUE(call.find("SourceElement")->value.isNull());
    EXPECT_TRUE(Pegasus::refersToSameObject(group_, Reference(call, "SourceGroup")));
    const Pegasus::CimXml::ParamValue* consistency = call.find("Consistency");
    EXPECT_EQ(Pegasus::CIMTYPE_UINT16, consistency->value.getType());
    EXPECT_EQ(c.consistency, consistency->value.isNull() ? std::string() : Typed(call, "Consistency"));
    EXPECT_TRUE(call.find("ServiceAccessPoint")->value.isNull());
    EXPECT_EQ(enumerations + c.lookups, cimom_.Requests("EnumerateInstances"));
  }
}

// A group of "null" is no group; with no source at all only the name, type and mode are sent.
TEST_F(SyncPointGroupTest, ANullGroupIsNoGroup) {
  Named args = {{"SystemName", "LSI1"}, {"SyncType", "7"}, {"SourceGroup", "null"}, {"mode", "null"}};
  ASSERT_EQ(kSmisSuccess, Create(args));
  lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
  EXPECT_EQ((std::vector<std::string>{"Name", "SyncType", "Mode"}), Names(call));
  EXPECT_TRUE(call.find("Name")->value.isNull());
  EXPECT_TRUE(call.find("Mode")->value.isNull());
}

TEST_F(SyncPointGroupTest, UnknownSourcesSendNothing) {
  struct Case {
    const char* what;
    Named extra;
    std::string trace;
  };
  const Case cases[] = {
      {"unknown group", {{"SourceGroup", "cg9"}}, " Replication Group cg9 not found"},
      {"unknown volume beside a known group",
       {{"SourceGroup", "cg1"}, {"SourceElement", "600A-v9"}},
       " LUN UUID 600A-v9 not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Named args = {{"SystemName", "LSI1"}, {"SyncType", "7"}};
    args.insert(c.extra.begin(), c.extra.end());
    record_.clearMessages();
    EXPECT_EQ(kSmisObjectNotFound, Create(args));
    EXPECT_EQ(1, CountMessages(record_, "SMIS::CreateSynchronizationAspect: " + c.trace));
  }
  EXPECT_TRUE(cimom_.Calls().empty());
}

}  // namespace
}  // namespace smisactiontest
