// The array-wide scan of the ETERNUS target choice over the simulated array: free volumes of exactly the
// source's size sorted by type and label for each copy type, the volume label as the settings give it, and
// the volumes and faults that end or shorten the walk.
#include <memory>

#include "support/EternusArrayFixture.h"

namespace smisactiontest {
namespace {

using VolumeList = std::vector<std::string>;

constexpr const char* kScanArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1", {"name": "TPP1", "thin": true}],
   "volumes": [{"name": "src", "pool": "DG1"},
               {"name": "TovakD_sdv", "pool": "DG1", "type": "sdv"}, {"name": "sdv", "pool": "DG1", "type": "sdv"},
               {"name": "TovakD_std", "pool": "DG1"}, {"name": "std", "pool": "DG1"},
               {"name": "TovakD_tpv", "pool": "TPP1"}, {"name": "tpv", "pool": "TPP1"},
               {"name": "bigger", "pool": "DG1", "type": "sdv", "sizeBytes": 1073742336},
               {"name": "odd", "pool": "DG1", "purpose": "Other"},
               {"name": "SP_sdv", "pool": "DG1", "type": "sdv"},
               {"name": "paired", "pool": "DG1", "type": "sdv"}, {"name": "shown", "pool": "DG1", "type": "sdv"},
               {"name": "excluded", "pool": "DG1", "type": "sdv"}],
   "pairs": [{"source": "src", "target": "paired"}],
   "hosts": [{"name": "h1", "fc": ["500000E0D0000001"]}], "exports": [{"volume": "shown", "host": "h1"}]}
]})";

// The six lists of one scan, as volume names.
struct Listed {
  VolumeList sdvLabelled, sdv, standardLabelled, standard, tpvLabelled, tpv;
  bool operator==(const Listed& o) const {
    return sdvLabelled == o.sdvLabelled && sdv == o.sdv && standardLabelled == o.standardLabelled &&
           standard == o.standard && tpvLabelled == o.tpvLabelled && tpv == o.tpv;
  }
};

std::ostream& operator<<(std::ostream& out, const Listed& l) {
  for (const VolumeList* names : {&l.sdvLabelled, &l.sdv, &l.standardLabelled, &l.standard, &l.tpvLabelled, &l.tpv}) {
    out << "[";
    for (const std::string& name : *names) out << name << " ";
    out << "]";
  }
  return out;
}

class EternusScanTest : public EternusArrayTest {
 protected:
  explicit EternusScanTest(const std::string& seed = kScanArray) : EternusArrayTest(seed) {}

  SmisResultCode Scan(const std::string& source, const std::string& copyType, const std::string& exclusions,
                      Listed& listed, bool& sourceIsTpv) {
    SmisArgs args = {kEternusSystem, source, copyType, exclusions};
    std::vector<_EternusLun> lists[6];
    SmisResultCode result = action_.getEligibleTargetLuns(conn_, args, lists[0], lists[1], lists[2], lists[3], lists[4],
                                                          lists[5], sourceIsTpv);
    listed =
        Listed{Names(lists[0]), Names(lists[1]), Names(lists[2]), Names(lists[3]), Names(lists[4]), Names(lists[5])};
    for (const std::vector<_EternusLun>& list : lists)
      for (const _EternusLun& lun : list) {
        std::string path = lun.objectPath;
        EXPECT_EQ(lun.uid, util_.GetCIMProp(conn_, path, "Name"));
      }
    return result;
  }
};

// Only free volumes of exactly the source's size are listed: not the source, a larger volume, one of no
// known type, a reserved one, one in a pair, one in a view or one excluded by UID.
TEST_F(EternusScanTest, FreeVolumesOfTheSourceSizeGoToTheListOfTheirTypeAndLabel) {
  const VolumeList sdvL = {"TovakD_sdv"}, sdv = {"sdv"}, stdL = {"TovakD_std"}, standard = {"std"};
  const VolumeList tpvL = {"TovakD_tpv"}, tpv = {"tpv"}, none;
  struct Case {
    const char* copyType;
    Listed listed;
  };
  const Case cases[] = {
      {"4", {sdvL, sdv, none, none, tpvL, tpv}},
      {"8", {sdvL, sdv, none, none, tpvL, tpv}},
      {"5", {none, none, stdL, standard, tpvL, tpv}},
      {"7", {sdvL, sdv, stdL, standard, tpvL, tpv}},
  };
  const std::string exclusions = "AAAA," + Uid("excluded") + ",BBBB";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.copyType);
    Listed listed;
    bool sourceIsTpv = false;
    ASSERT_EQ(kSmisSuccess, Scan(PathText("src"), c.copyType, exclusions, listed, sourceIsTpv));
    EXPECT_EQ(c.listed, listed);
    EXPECT_FALSE(sourceIsTpv);
  }
  // A source named by its UID, a thin one: free, yet never its own target.
  Listed listed;
  bool sourceIsTpv = false;
  ASSERT_EQ(kSmisSuccess, Scan(Uid("tpv"), "5", exclusions, listed, sourceIsTpv));
  EXPECT_TRUE(sourceIsTpv);
  EXPECT_EQ(none, listed.tpv);
  EXPECT_EQ(tpvL, listed.tpvLabelled);
  EXPECT_EQ(1, CountMessages(record_, "Supplied source volume is not a object path, assuming UUID(Name)"));
}

constexpr const char* kLabelArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1"],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "ABCDEFGHIJ1", "pool": "DG1", "type": "sdv"},
               {"name": "REGLBL_1", "pool": "DG1", "type": "sdv"}, {"name": "TovakD_1", "pool": "DG1", "type": "sdv"}]}
]})";

class EternusLabelTest : public EternusScanTest {
 protected:
  EternusLabelTest() : EternusScanTest(kLabelArray) {}
};

// The per-array setting gives the label, the host key replaces it when present (even empty), an empty label
// is the default, and a label is at most ten characters.
TEST_F(EternusLabelTest, LabelComesFromTheSettingOrTheHostKeyAndIsCutToTenCharacters) {
  struct Case {
    const char* what;
    const char* setting;
    const char* key;  // null: absent
    VolumeList labelled;
  };
  const Case cases[] = {
      {"neither", "", nullptr, {"TovakD_1"}},
      {"setting of twelve characters", "ABCDEFGHIJKL", nullptr, {"ABCDEFGHIJ1"}},
      {"host key over the setting", "ABCDEFGHIJKL", "REGLBL_", {"REGLBL_1"}},
      {"empty host key", "ABCDEFGHIJKL", "", {"TovakD_1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_.setSetting("SMCONFIG_NAME_VOLUME_LABEL_PREFIX", c.setting);
    std::unique_ptr<TqConfigOverride> key;
    if (c.key) key = std::make_unique<TqConfigOverride>("Corvane", "ETERNUS_USE_VOLUME_LABEL", c.key);
    Listed listed;
    bool sourceIsTpv = false;
    ASSERT_EQ(kSmisSuccess, Scan(PathText("src"), "4", "", listed, sourceIsTpv));
    EXPECT_EQ(c.labelled, listed.sdvLabelled);
    EXPECT_EQ(3u, listed.sdvLabelled.size() + listed.sdv.size());
  }
  EXPECT_EQ(1, CountMessages(record_, "Volume label size [12] exceeded the max limit size 10 chars"));
}

constexpr const char* kGapArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1"],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "first", "pool": "DG1", "type": "sdv"},
               {"name": "nameless", "pool": "DG1", "type": "sdv", "omit": ["ElementName"]},
               {"name": "sizeless", "pool": "DG1", "type": "sdv", "omit": ["BlockSize"]},
               {"name": "second", "pool": "DG1", "type": "sdv"},
               {"name": "purposeless", "pool": "DG1", "type": "sdv", "omit": ["Purpose"]},
               {"name": "after", "pool": "DG1", "type": "sdv"}]}
]})";

class EternusScanGapsTest : public EternusScanTest {
 protected:
  EternusScanGapsTest() : EternusScanTest(kGapArray) {}
};

// A volume without a name or size is passed over; one without a Purpose ends the walk with 650015, the
// lists keeping what they had; a source without one is refused before the walk.
TEST_F(EternusScanGapsTest, MissingPropertiesPassAVolumeOverOrEndTheWalk) {
  Listed listed;
  bool sourceIsTpv = false;
  EXPECT_EQ(kSmisObjectNotFound, Scan(PathText("src"), "4", "", listed, sourceIsTpv));
  EXPECT_EQ((VolumeList{"first", "second"}), listed.sdv);
  EXPECT_EQ(1, CountMessages(record_, " Can not get property [ElementName] of volume ["));
  EXPECT_EQ(1, CountMessages(record_, "Can not get property [BlockSize] of volume ["));
  EXPECT_EQ(1, CountMessages(record_, " Can not get property [Purpose] of volume ["));

  std::string purposeless = sim().withModel([&](smissim::Model& model) {
    for (const Pegasus::CIMInstance* volume : model.store().enumerate("CIM_StorageVolume"))
      if (Text(*volume, "ElementName") == "purposeless") return volume->getPath().toString().str();
    return std::string();
  });
  EXPECT_EQ(kSmisObjectNotFound, Scan(purposeless, "4", "", listed, sourceIsTpv));
  EXPECT_TRUE(listed.sdv.empty());
  EXPECT_EQ(1, CountMessages(record_, " Can not get property [Purpose] of source volume "));
}

// Inputs refused before the walk, and a provider fault: each an answer, no exception.
TEST_F(EternusScanGapsTest, BadInputAndFaultsGiveResults) {
  Listed listed;
  bool sourceIsTpv = false;
  std::vector<_EternusLun> l[6];
  SmisArgs tooFew = {kEternusSystem, PathText("src"), "4"};
  EXPECT_EQ(kSmisInvalidParameter,
            action_.getEligibleTargetLuns(conn_, tooFew, l[0], l[1], l[2], l[3], l[4], l[5], sourceIsTpv));
  EXPECT_EQ(kSmisInvalidParameter, Scan("600000E00D0000FF0000000000009999", "4", "", listed, sourceIsTpv));
  EXPECT_EQ(kSmisInvalidParameter, Scan("", "4", "", listed, sourceIsTpv));

  smissim::FaultRule rule;
  rule.operation = "EnumerateInstances";
  rule.className = "CIM_StorageVolume";
  rule.action = smissim::FaultAction::CimError;
  rule.count = 100;
  sim().injectFault(rule);
  EXPECT_EQ(kSmisFailed, Scan(PathText("src"), "4", "", listed, sourceIsTpv));
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException"));
}

}  // namespace
}  // namespace smisactiontest
