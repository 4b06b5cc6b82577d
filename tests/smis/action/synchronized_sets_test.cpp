// IBM SVC synchronized sets (FlashCopy consistency groups) over CIM-XML against a scripted CIMOM: what each
// operation sends, the set it names, and the provider's value passed back unwatched.
#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;
using Pegasus::CIMParamValue;
using Pegasus::CIMValue;

class SynchronizedSetTest : public ScriptedFamilyTest {
 protected:
  SynchronizedSetTest() {
    ConfigService("IBMTSSVC", "CL1");
    group_ = FamilyPath("IBMTSSVC_SynchronizedSet", {{"InstanceID", "CL1:fccstgrp1"}});
    flashCopyGroup_ = FamilyPath("IBMTSSVC_FlashCopyStorageSynchronizedSet", {{"InstanceID", "CL1:fcgroup1"}});
    cimom_.SetInstances("IBMTSSVC_SynchronizedSet", {FamilyInstance(group_, {{"ElementName", "Group1"}})});
    cimom_.SetInstances("IBMTSSVC_FlashCopyStorageSynchronizedSet",
                        {FamilyInstance(flashCopyGroup_, {{"ElementName", "Group1"}})});
    mapping_ = FamilyPath("IBMTSSVC_LocalStorageSynchronized", {{"SystemElement", "a"}, {"SyncedElement", "b"}});
  }

  // The set reference a call sent, as a path.
  static CIMObjectPath SetSent(const lookuptest::ScriptedCimom::MethodCall& call, const char* name) {
    const Pegasus::CimXml::ParamValue* param = call.find(name);
    CIMObjectPath path;
    if (param) param->value.get(path);
    return path;
  }

  CIMObjectPath group_;
  CIMObjectPath flashCopyGroup_;
  CIMObjectPath mapping_;
};

TEST_F(SynchronizedSetTest, CreateHandsBackTheNewSetOnlyWhenDone) {
  struct Case {
    const char* what;
    Pegasus::Uint32 answer;
    bool namesSet;
    std::string setPath;
  };
  const Case cases[] = {
      {"created", 0, true, group_.toString().str()},
      {"created, no set named", 0, false, "kept"},
      {"job started: not followed", 4096, true, "kept"},
      {"refused", 4, true, "kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<CIMParamValue> out;
    if (c.namesSet) out.emplace_back("Set", CIMValue(group_));
    cimom_.SetMethodAnswer("CreateSynchronizedSet", c.answer, out);
    CreateSynchronizedSet_PARAMS params;
    params.SystemName = "CL1";
    params.SetName = "Group1";
    params.SetPath = "kept";
    params.CopyType = 4;
    EXPECT_EQ(c.answer, action_.CreateSynchronizedSet(conn_, params));
    if (c.setPath == "kept")
      EXPECT_EQ("kept", params.SetPath);
    else
      EXPECT_TRUE(Pegasus::refersToSameObject(group_, CIMObjectPath(Pegasus::String(params.SetPath))));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    EXPECT_EQ((std::vector<std::string>{"ElementName", "CopyType"}), Names(call));
    EXPECT_EQ("uint16 4", Typed(call, "CopyType"));
    cimom_.ClearCalls();
  }
  EXPECT_EQ(0, cimom_.Requests("GetInstance"));  // no job is polled
}

TEST_F(SynchronizedSetTest, ModifySendsTheMappingOnlyToAddOrRemove) {
  struct Case {
    const char* what;
    Pegasus::Uint16 operation;
    std::string setPath;
    std::string syncPath;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"add by the set's path",
       0,
       group_.toString().str(),
       mapping_.toString().str(),
       {"SynchronizedSet", "Operation", "Synchronization"}},
      {"remove, set by name", 1, "", mapping_.toString().str(), {"SynchronizedSet", "Operation", "Synchronization"}},
      {"other operation, set given as a name", 2, "fccstgrp 1", "", {"SynchronizedSet", "Operation"}},
      // A bare word parses as a class path without keys: it is a name too.
      {"set given as a bare word", 2, "fccstgrp1", "", {"SynchronizedSet", "Operation"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ModifySynchronizedSet_PARAMS params;
    params.SystemName = "CL1";
    params.SetName = "Group1";
    params.SetPath = c.setPath;
    params.SyncPath = c.syncPath;
    params.Operation = c.operation;
    EXPECT_EQ(kSmisSuccess, action_.ModifySynchronizedSet(conn_, params));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    EXPECT_EQ(c.names, Names(call));
    EXPECT_TRUE(Pegasus::refersToSameObject(group_, SetSent(call, "SynchronizedSet")));
    cimom_.ClearCalls();
  }
  // A set given by a plain name is looked up by SetName.
  EXPECT_EQ(2, CountMessages(record_, "Supplied Synchronization Set is not an object path, assuming Name"));
}

TEST_F(SynchronizedSetTest, DeleteForcesTheFlashCopySetFoundByName) {
  DeleteSynchronizedSet_PARAMS params;
  params.SystemName = "CL1";
  params.SetName = "group1";
  EXPECT_EQ(kSmisSuccess, action_.DeleteSynchronizedSet(conn_, params));
  lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
  EXPECT_EQ((std::vector<std::string>{"Set", "Force"}), Names(call));
  EXPECT_TRUE(Pegasus::refersToSameObject(flashCopyGroup_, SetSent(call, "Set")));
  EXPECT_EQ("boolean TRUE", Typed(call, "Force"));
}

TEST_F(SynchronizedSetTest, MissingNamesAndMappingsAreRefusedWithoutCall) {
  CreateSynchronizedSet_PARAMS create;
  create.SystemName = "CL1";
  EXPECT_EQ(kSmisTooFewArguments, action_.CreateSynchronizedSet(conn_, create));
  ModifySynchronizedSet_PARAMS modify;
  modify.SystemName = "CL1";
  modify.SetPath = group_.toString().str();
  EXPECT_EQ(kSmisTooFewArguments, action_.ModifySynchronizedSet(conn_, modify));  // SetPath alone is not enough
  modify.SetName = "Group1";
  modify.Operation = 0;
  EXPECT_EQ(kSmisObjectNotFound, action_.ModifySynchronizedSet(conn_, modify));
  DeleteSynchronizedSet_PARAMS remove;
  remove.SystemName = "CL9";
  remove.SetName = "Group1";
  EXPECT_EQ(kSmisObjectNotFound, action_.DeleteSynchronizedSet(conn_, remove));
  EXPECT_TRUE(cimom_.Calls().empty());
  EXPECT_EQ(1, CountMessages(record_, "FC Mapping parameter not found to add to Consistency Group"));
  EXPECT_EQ(1, CountMessages(record_, "CreateSynchronizedSet : createsyncset: insufficient args specified, need:"));
}

TEST_F(SynchronizedSetTest, SvcRefusalIsTheDeviceErrorAndBadMappingPathGivesOne) {
  static const SmisErrorText_t kTexts[] = {{4, "Group in use"}, {0, nullptr}};
  action_.SetErrorTextTable(kTexts);
  cimom_.SetMethodAnswer("DeleteSynchronizedSet", 4);
  DeleteSynchronizedSet_PARAMS remove;
  remove.SystemName = "CL1";
  remove.SetName = "Group1";
  EXPECT_EQ(4u, action_.DeleteSynchronizedSet(conn_, remove));
  EXPECT_EQ(4, record_.errorCode());
  EXPECT_EQ("Group in use", record_.errorText());

  ModifySynchronizedSet_PARAMS modify;
  modify.SystemName = "CL1";
  modify.SetName = "Group1";
  modify.SyncPath = "not a path";
  EXPECT_EQ(kSmisFailed, action_.ModifySynchronizedSet(conn_, modify));
  EXPECT_EQ(1, CountMessages(record_, "ModifySynchronizedSet: SmisImplModifySynchronizedSet.cpp: "));
  EXPECT_EQ(1u, cimom_.Calls().size());  // the delete only
}

}  // namespace
}  // namespace smisactiontest
