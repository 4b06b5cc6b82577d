// The reuse of a pair the source already has, over the simulated ETERNUS array: the pair of the copy
// type's kind in a usable state, a labelled target first, excluded targets and pairs into the source
// passed over, the provider's abstract class names, and the answers for bad input and faults.
#include "support/EternusArrayFixture.h"

namespace smisactiontest {
namespace {

constexpr const char* kPairedArray = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1"],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "upstream", "pool": "DG1"}, {"name": "ec1", "pool": "DG1"},
               {"name": "broken", "pool": "DG1", "type": "sdv"}, {"name": "snap1", "pool": "DG1", "type": "sdv"},
               {"name": "TovakR_snap", "pool": "DG1", "type": "sdv"}, {"name": "lonely", "pool": "DG1"}],
   "pairs": [{"source": "upstream", "target": "src", "syncType": 6},
             {"source": "src", "target": "ec1", "syncType": 6, "syncState": 6},
             {"source": "src", "target": "broken", "syncType": 7, "syncState": 12},
             {"source": "src", "target": "snap1", "syncType": 7},
             {"source": "src", "target": "TovakR_snap", "syncType": 7}]}
]})";

class EternusPairedTargetTest : public EternusArrayTest {
 protected:
  EternusPairedTargetTest() : EternusArrayTest(kPairedArray) {}

  // The name of the target chosen ("" when none), checking that the path names the same volume as the UID.
  std::string Chosen(const std::string& source, const std::string& copyType, const std::string& exclusions,
                     SmisResultCode expected) {
    SmisArgs args = {kEternusSystem, source, copyType, exclusions};
    std::string uid = "untouched", path = "untouched";
    EXPECT_EQ(expected, action_.getEligibleTargetLunsMode2(conn_, args, uid, path));
    if (expected != kSmisSuccess) {
      EXPECT_EQ("untouched", uid);
      EXPECT_EQ("untouched", path);
      return "";
    }
    EXPECT_EQ(uid, util_.GetCIMProp(conn_, path, "Name"));
    return NameOfUid(uid);
  }
};

TEST_F(EternusPairedTargetTest, PairOfTheCopyTypesKindIsReusedLabelledFirst) {
  struct Case {
    const char* what;
    const char* copyType;
    std::string exclusions;
    std::string chosen;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"snapshot: the labelled pair after an unlabelled one", "4", "", "TovakR_snap", kSmisSuccess},
      {"snapshot with the labelled target excluded", "4", "X," + Uid("TovakR_snap"), "snap1", kSmisSuccess},
      {"snapshot with both usable targets excluded", "4", Uid("TovakR_snap") + Uid("snap1"), "", kSmisFailed},
      {"clone: the synchronized EC pair", "5", "", "ec1", kSmisSuccess},
      {"clone with its target excluded", "5", Uid("ec1"), "", kSmisFailed},
      {"a copy type without rules takes the first pair", "7", "", "TovakR_snap", kSmisSuccess},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.chosen, Chosen(PathText("src"), c.copyType, c.exclusions, c.result));
  }
  // The pair into the source is never taken, and a broken snapshot pair is passed over.
  EXPECT_LE(1, CountMessages(record_, "Source Device [src] is target"));
  EXPECT_LE(1, CountMessages(record_, "Skipping Target [broken] as pair sync state in SYNC_STATE_BROKEN"));
  EXPECT_LE(1, CountMessages(record_, "Skipping Target [ec1] not paired for SnapOPC"));
}

// The provider names its pairs by the abstract class and reads them only by its own: the path is rewritten.
TEST_F(EternusPairedTargetTest, AbstractPairNamesAreAskedForUnderTheArraysClass) {
  sim().withModel([](smissim::Model& model) { model.settings().abstractSyncNames = true; });
  EXPECT_EQ("TovakR_snap", Chosen(Uid("src"), "4", "", kSmisSuccess));
  EXPECT_EQ(5, CountMessages(record_, "Modified Sync path [//"));
}

TEST_F(EternusPairedTargetTest, NoPairBadInputAndFaultsGiveResults) {
  EXPECT_EQ("", Chosen(PathText("lonely"), "4", "", kSmisFailed));
  EXPECT_EQ(1, CountMessages(record_, "No sync paths reported for source [lonely]"));
  EXPECT_EQ("", Chosen("600000E00D0000FF0000000000009999", "4", "", kSmisInvalidParameter));
  SmisArgs tooFew = {kEternusSystem, PathText("src"), "4"};
  std::string uid, path;
  EXPECT_EQ(kSmisInvalidParameter, action_.getEligibleTargetLunsMode2(conn_, tooFew, uid, path));

  smissim::FaultRule rule;
  rule.operation = "ReferenceNames";
  rule.action = smissim::FaultAction::DropConnection;
  rule.count = 10;
  sim().injectFault(rule);
  EXPECT_EQ("", Chosen(PathText("src"), "4", "", kSmisFailed));
  EXPECT_EQ(1, CountMessages(record_, "Caught Exception"));
}

}  // namespace
}  // namespace smisactiontest
