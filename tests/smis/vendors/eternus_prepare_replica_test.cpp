// Getting an ETERNUS replica ready over the simulated array, and making it from what was prepared: a pair of
// the source reused first, then a free volume by label or by the selection rules within a device group,
// then for a clone a new volume shaped like the source; refusals that leave the caller's values and the
// array as they were.
#include <memory>

#include "support/EternusArrayFixture.h"

namespace smisactiontest {
namespace {

const char* const kCreateVolume = "CreateOrModifyElementFromStoragePool";

class EternusPrepareTest : public EternusArrayTest {
 protected:
  explicit EternusPrepareTest(const std::string& seed) : EternusArrayTest(seed) {}

  // Prepares a replica named "copy"; out begins with a value of the caller's, which must stay first and
  // alone on failure. The result: "<target name> <origin>", or "false".
  std::string Prepare(const std::string& source, const char* copyType, const std::string& group = "",
                      const std::string& exclusions = "", const std::string& force = "") {
    SmisArgs in = {kEternusSystem, "copy", copyType, source, group, exclusions, force};
    prepared_ = {"caller's"};
    const bool ok = action_.PrepareCreateElementReplica(conn_, in, prepared_);
    EXPECT_EQ("caller's", prepared_.front());
    prepared_.erase(prepared_.begin());
    if (!ok) {
      EXPECT_TRUE(prepared_.empty());
      return "false";
    }
    EXPECT_EQ(7u, prepared_.size());
    if (prepared_.size() != 7) return "?";
    EXPECT_EQ(prepared_[4], util_.GetCIMProp(conn_, prepared_[5], "Name"));
    EXPECT_EQ(copyType, prepared_[2]);
    return NameOfUid(prepared_[4]) + " " + prepared_[6];
  }

  // CreateElementReplica as the host composes it from the prepared values.
  SmisResultCode Replicate() {
    SmisArgs args = {prepared_[0], prepared_[1], prepared_[2], prepared_[3], prepared_[5], kEternusSystem};
    std::string replica;
    return action_.CreateElementReplica(conn_, args, replica);
  }

  std::size_t Creations() {
    std::size_t count = 0;
    for (const smissim::MethodCallRecord& call : sim().methodCalls()) count += call.method == kCreateVolume;
    return count;
  }

  std::vector<std::string> prepared_;
};

constexpr const char* kPairedArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1"],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "ec1", "pool": "DG1"}, {"name": "TovakD_std", "pool": "DG1"}],
   "pairs": [{"source": "src", "target": "ec1", "syncType": 6, "syncState": 6}]}
]})";

class EternusPreparePairTest : public EternusPrepareTest {
 protected:
  EternusPreparePairTest() : EternusPrepareTest(kPairedArray) {}
};

// The source's usable pair comes first: no label or selection setting is read, and making the replica
// restarts the pair instead of adding one.
TEST_F(EternusPreparePairTest, PairOfTheSourceIsReusedBeforeAnySettingIsRead) {
  TqConfigOverride selection("Corvane", "ETERNUS_ENABLE_VOLUME_SELECTION", "1");
  ASSERT_EQ("ec1 4", Prepare(PathText("src"), "5"));
  EXPECT_EQ(0, CountMessages(record_, "SMCONFIG_NAME_USE_TPV_FOR_SNAP"));
  EXPECT_EQ(0, CountMessages(record_, "Reg Key ETERNUS_ENABLE_VOLUME_SELECTION"));
  EXPECT_EQ(kSmisSuccess, Replicate());
  EXPECT_EQ((std::vector<std::string>{"ec1 6 6"}), PairsOf("src"));
}

constexpr const char* kPlainArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1", "DG2", {"name": "TPP1", "thin": true}],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "tsrc", "pool": "TPP1", "sizeBytes": 2147483648},
               {"name": "sdv1", "pool": "DG1", "type": "sdv"}]}
]})";

class EternusPrepareCreateTest : public EternusPrepareTest {
 protected:
  EternusPrepareCreateTest() : EternusPrepareTest(kPlainArray) {}
};

// With neither label nor selection a clone gets a new volume of the source's size in the device group, or
// in the source's own pool without one; the replica is then made into it.
TEST_F(EternusPrepareCreateTest, CloneWithoutAModeGetsANewVolumeShapedLikeTheSource) {
  struct Case {
    const char* what;
    const char* source;
    const char* group;
    const char* pool;
  };
  const Case cases[] = {
      {"the source's pool", "src", "", "DG1"},
      {"a device group", "src", "DG2", "DG2"},
      {"a thin-provisioning pool", "src", "TPP1", "TPP1"},
      {"a thin source's own pool", "tsrc", "", "TPP1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reseed();
    ASSERT_EQ("copy 3", Prepare(Uid(c.source), "5", c.group));
    EXPECT_EQ(c.pool, PoolOf("copy"));
    EXPECT_EQ(Property(c.source, "NumberOfBlocks"), Property("copy", "NumberOfBlocks"));
    EXPECT_EQ(kSmisSuccess, Replicate());
    EXPECT_EQ((std::vector<std::string>{"copy 6 6"}), PairsOf(c.source));
  }
}

// A snapshot is never given a new volume, and a copy type without a target kind gets nothing.
TEST_F(EternusPrepareCreateTest, SnapshotWithoutAModeFindsNoTarget) {
  const std::vector<std::string> volumes = VolumeNames();
  for (const char* copyType : {"4", "8", "7"}) {
    SCOPED_TRACE(copyType);
    EXPECT_EQ("false", Prepare(PathText("src"), copyType));
  }
  EXPECT_EQ(2, CountMessages(record_, " Failed to find target SDV for Source Volume ["));
  EXPECT_EQ(1, CountMessages(record_, " LUN UUID [] not found"));
  EXPECT_EQ(0u, Creations());
  EXPECT_EQ(volumes, VolumeNames());
}

// Creation faults: a failed job leaves no volume; in a faulty environment a throw-away call without a name
// and of size 0 goes first, is refused, and only the real one makes a volume.
TEST_F(EternusPrepareCreateTest, CreationFaultsAndTheThrowAwayCall) {
  const std::vector<std::string> volumes = VolumeNames();
  smissim::FaultRule rule;
  rule.operation = kCreateVolume;
  rule.action = smissim::FaultAction::JobFails;
  sim().injectFault(rule);
  EXPECT_EQ("false", Prepare(PathText("src"), "5"));
  EXPECT_EQ(1, CountMessages(record_, "Failed to create new storage volume"));
  EXPECT_EQ(volumes, VolumeNames());

  Reseed();
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  EXPECT_EQ("copy 3", Prepare(PathText("src"), "5"));
  std::vector<smissim::MethodCallRecord> calls = sim().methodCalls();
  ASSERT_EQ(2u, Creations());
  EXPECT_EQ(5, calls[0].returnValue);
  EXPECT_TRUE(calls[0].param("ElementName")->isNull);
  EXPECT_EQ("0", calls[0].param("Size")->value);
  EXPECT_EQ(volumes.size() + 1, VolumeNames().size());
}

// Refusals before any target is looked for: the caller's values stay as they were.
TEST_F(EternusPrepareCreateTest, MissingServiceOrSourceIsRefused) {
  SmisArgs unknownArray = {"NOSUCH", "copy", "5", PathText("src")};
  SmisArgs tooFew = {kEternusSystem, "copy", "5"};
  for (SmisArgs* in : {&unknownArray, &tooFew}) {
    std::vector<std::string> out = {"caller's"};
    EXPECT_FALSE(action_.PrepareCreateElementReplica(conn_, *in, out));
    EXPECT_EQ(1u, out.size());
  }
  EXPECT_LE(1, CountMessages(record_, "Class FUJITSU_ReplicationService for system NOSUCH not found"));
  EXPECT_EQ("false", Prepare("600000E00D0000FF0000000000009999", "5"));
  EXPECT_EQ(1, CountMessages(record_, " LUN UUID 600000E00D0000FF0000000000009999 not found"));
  EXPECT_EQ(0u, Creations());
}

constexpr const char* kLabelArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1", {"name": "TPP1", "thin": true}],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "sdv_plain", "pool": "DG1", "type": "sdv"},
               {"name": "MYLABEL_AB_sdv", "pool": "DG1", "type": "sdv"}, {"name": "std_plain", "pool": "DG1"},
               {"name": "MYLABEL_AB_tpv", "pool": "TPP1"}]}
]})";

class EternusPrepareLabelTest : public EternusPrepareTest {
 protected:
  EternusPrepareLabelTest() : EternusPrepareTest(kLabelArray) {
    record_.setSetting("SMCONFIG_NAME_VOLUME_LABEL_PREFIX", "MYLABEL_ABCD");
  }
};

// Only volumes carrying the label (cut to ten characters) count; without one the preparation ends, and a
// clone is then not given a new volume.
TEST_F(EternusPrepareLabelTest, OnlyLabelledVolumesAreTaken) {
  struct Case {
    const char* what;
    const char* copyType;
    long long tpvForSnapshot;
    std::string exclusions;
    const char* outcome;
  };
  const Case cases[] = {
      {"snapshot", "4", 0, "", "MYLABEL_AB_sdv 0"},
      {"snapshot into a TPV", "8", 1, "", "MYLABEL_AB_tpv 0"},
      {"clone: no labelled Standard volume, a labelled TPV", "5", 0, "", "MYLABEL_AB_tpv 0"},
      {"snapshot without a labelled SDV", "4", 0, Uid("MYLABEL_AB_sdv"), "false"},
      {"clone without a labelled volume", "5", 0, Uid("MYLABEL_AB_tpv"), "false"},
  };
  const std::vector<std::string> volumes = VolumeNames();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_.setSetting("SMCONFIG_NAME_USE_TPV_FOR_SNAP", c.tpvForSnapshot);
    EXPECT_EQ(c.outcome, Prepare(PathText("src"), c.copyType, "", c.exclusions));
  }
  EXPECT_EQ(0u, Creations());
  EXPECT_EQ(volumes, VolumeNames());
}

// The replica itself: the ETERNUS service is found, and each copy type becomes the array's SyncType (one
// without a SyncType is refused before anything is sent).
TEST_F(EternusPrepareLabelTest, CopyTypesBecomeTheArraysSyncTypes) {
  SmisArgs validate = {kEternusSystem, "copy", "4", PathText("src")};
  Pegasus::CIMObjectPath service;
  ASSERT_TRUE(action_.ValidateCreateElementReplica(conn_, validate, service));
  EXPECT_EQ("FUJITSU_ReplicationService", service.getClassName().getString().str());
  struct Case {
    const char* copyType;
    const char* target;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"4", "sdv_plain", kSmisSuccess},
      {"8", "MYLABEL_AB_sdv", kSmisSuccess},
      {"5", "std_plain", kSmisSuccess},
      {"7", "MYLABEL_AB_tpv", kSmisInvalidParameter},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.copyType);
    SmisArgs args = {service.toString().str(), "", c.copyType, PathText("src"), PathText(c.target), kEternusSystem};
    std::string replica;
    EXPECT_EQ(c.result, action_.CreateElementReplica(conn_, args, replica));
  }
  EXPECT_EQ((std::vector<std::string>{"sdv_plain 7 6", "MYLABEL_AB_sdv 32768 6", "std_plain 6 6"}), PairsOf("src"));
  std::size_t sent = 0;
  for (const smissim::MethodCallRecord& call : sim().methodCalls()) sent += call.method == "CreateElementReplica";
  EXPECT_EQ(3u, sent);
}

constexpr const char* kSelectionArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1", "DG2", "DG3", {"name": "TPP1", "thin": true}],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "tsrc", "pool": "TPP1", "sizeBytes": 2147483648},
               {"name": "sdv1", "pool": "DG1", "type": "sdv"}, {"name": "TovakD_sdv2", "pool": "DG2", "type": "sdv"},
               {"name": "sdv2", "pool": "DG2", "type": "sdv"}, {"name": "std2", "pool": "DG2"},
               {"name": "tpv1", "pool": "TPP1"}, {"name": "big2", "pool": "DG2", "sizeBytes": 2147483648}]}
]})";

class EternusPrepareSelectionTest : public EternusPrepareTest {
 protected:
  EternusPrepareSelectionTest()
      : EternusPrepareTest(kSelectionArray), selection_("Corvane", "ETERNUS_ENABLE_VOLUME_SELECTION", "1") {}

  TqConfigOverride selection_;
};

// The device group narrows the choice; the whole array is taken when there is no group (or, for a
// snapshot, a thin-provisioning pool) or the group has nothing and the caller does not insist ("1" only).
TEST_F(EternusPrepareSelectionTest, DeviceGroupNarrowsTheChoiceUnlessItHasNothing) {
  struct Case {
    const char* what;
    const char* source;
    const char* copyType;
    const char* group;
    const char* force;
    const char* outcome;
    const char* newVolumePool;
  };
  const Case cases[] = {
      {"snapshot, no group: labelled first", "src", "4", "", "", "TovakD_sdv2 0", ""},
      {"snapshot in a device group", "src", "4", "DG1", "", "sdv1 0", ""},
      {"snapshot: a thin pool is ignored", "src", "4", "TPP1", "1", "TovakD_sdv2 0", ""},
      {"snapshot, empty group", "src", "4", "DG3", "", "TovakD_sdv2 0", ""},
      {"snapshot, empty group insisted on", "src", "4", "DG3", "1", "false", ""},
      {"\"true\" does not insist", "src", "4", "DG3", "true", "TovakD_sdv2 0", ""},
      {"clone, no group", "src", "5", "", "", "std2 0", ""},
      {"clone in a thin pool", "src", "5", "TPP1", "", "tpv1 0", ""},
      {"clone, group without candidates", "src", "5", "DG1", "", "std2 0", ""},
      {"clone, group without candidates insisted on", "src", "5", "DG1", "1", "copy 3", "DG1"},
      {"thin clone, thin pool insisted on, Standard elsewhere", "tsrc", "5", "TPP1", "1", "copy 3", "TPP1"},
      {"thin clone, no group: Standard when no TPV", "tsrc", "5", "", "", "big2 0", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reseed();
    EXPECT_EQ(c.outcome, Prepare(PathText(c.source), c.copyType, c.group, "", c.force));
    EXPECT_EQ(c.newVolumePool, PoolOf("copy"));
  }
}

// A fault while the array is scanned ends the preparation: nothing is created on an array that could not
// be read.
TEST_F(EternusPrepareSelectionTest, ScanFaultCreatesNothing) {
  smissim::FaultRule rule;
  rule.operation = "EnumerateInstances";
  rule.className = "CIM_StorageVolume";
  rule.action = smissim::FaultAction::CimError;
  rule.count = 100;
  sim().injectFault(rule);
  EXPECT_EQ("false", Prepare(PathText("src"), "5", "DG3", "", "1"));
  EXPECT_EQ(1, CountMessages(record_, " Failed to find target Lun for Source Volume [src]"));
  EXPECT_EQ(0u, Creations());
}

}  // namespace
}  // namespace smisactiontest
