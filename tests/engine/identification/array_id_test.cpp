// The array id derived from a LUN WWN, the migrated-LUN table that overrides it, and INQUIRY field texts.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "TQPlatformInfo.h"
#include "TqDeviceInquiry.h"

namespace {

const char kWwn6[] = "60002AC0000000000000000100001234";

TEST(ArrayIdFromWwn, DerivedFromFixedPositions) {
  struct Case {
    std::string wwn;
    bool derived;
    const char* arrayId;
    bool is16ByteId;
  } cases[] = {
      {kWwn6, true, "2FF70002AC001234", true},
      {"50002AC000A1B2C3", true, "2FF70002AC00B2C3", false},
      {"50002AC000A1B2C3FFFF", true, "2FF70002AC00B2C3", false},  // positions count in the given text
      {"", false, "", false},
      {"60002AC00000000000000001000012", false, "", true},  // NAA 6 needs 32 characters
      {"50002AC000A1B2C", false, "", false},                // others need 16
      {"6", false, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wwn);
    std::string arrayId = "stale";
    bool is16 = !c.is16ByteId;
    EXPECT_EQ(c.derived, GetArrayNameFromWWN(c.wwn, arrayId, is16));
    EXPECT_EQ(c.arrayId, arrayId);
    EXPECT_EQ(c.is16ByteId, is16);
  }
}

class MigratedLunTable : public ::testing::Test {
 protected:
  // Sets keys 1..n of the table (a missing value hides that key), hiding key n+1.
  void SetTable(const std::vector<std::optional<std::string>>& values) {
    for (size_t i = 0; i <= values.size(); ++i) {
      const std::string key = "3PARMigratedLunMap" + std::to_string(i + 1);
      if (i < values.size() && values[i])
        overrides_.emplace_back(new TqConfigOverride("Corvane", key, *values[i]));
      else
        overrides_.emplace_back(new TqConfigOverride("Corvane", key));
    }
  }
  std::vector<std::unique_ptr<TqConfigOverride>> overrides_;
};

TEST_F(MigratedLunTable, TheFirstMatchingEntryNamesTheArray) {
  SetTable({std::string("  OTHERWWN|2FF70002AC000001"), std::string("no bar here"),
            std::string(" ") + kWwn6 + "|  2FF70002AC00BEEF  "});
  std::string arrayId;
  bool is16 = false;
  ASSERT_TRUE(GetArrayNameFromWWN(kWwn6, arrayId, is16));
  EXPECT_EQ("2FF70002AC00BEEF", arrayId);
  EXPECT_TRUE(is16);
}

TEST_F(MigratedLunTable, ReadingStopsAtTheFirstMissingNumber) {
  SetTable({std::string("OTHER|X"), std::nullopt, std::string(kWwn6) + "|2FF70002AC00BEEF"});
  std::string wwn = kWwn6, arrayId;
  EXPECT_FALSE(CheckAndGetArrayIDFromReg(wwn, arrayId));
  bool is16 = false;
  ASSERT_TRUE(GetArrayNameFromWWN(kWwn6, arrayId, is16));
  EXPECT_EQ("2FF70002AC001234", arrayId) << "derived from the WWN";
}

TEST_F(MigratedLunTable, MatchesOnlyTheExactWwn) {
  SetTable({std::string(kWwn6) + " |A1", std::string("60002ac0000000000000000100001234|A2"),
            std::string("60002AC000000000000000010000123|A3")});
  std::string wwn = kWwn6, arrayId;
  EXPECT_FALSE(CheckAndGetArrayIDFromReg(wwn, arrayId));
}

TEST_F(MigratedLunTable, CanNameTheArrayOfAShortWwn) {
  SetTable({std::string("6000|2FF70002AC00BEEF")});
  std::string arrayId;
  bool is16 = false;
  EXPECT_TRUE(GetArrayNameFromWWN("6000", arrayId, is16));
  EXPECT_EQ("2FF70002AC00BEEF", arrayId);
}

TEST(InquiryFieldText, StarsBecomeBlanksAndTrailingSpaceGoes) {
  struct Case {
    std::string field;
    int length;
    const char* text;
  } cases[] = {
      {"3PARdata", 8, "3PARdata"},
      {"VV              ", 16, "VV"},
      {"AB*CD*  ", 8, "AB CD"},
      {"  lead  ", 8, "  lead"},
      {"        ", 8, ""},
      {std::string("\0abc", 4), 4, ""},
      {"abc", 0, ""},
      {"ab\tc\n\r", 6, "ab\tc"},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> field(c.field.begin(), c.field.end());
    field.push_back(0);
    EXPECT_EQ(c.text, trimSpaces(field.data(), c.length)) << c.field;
  }
  unsigned char stars[] = {'*', '*', 'x', 0};
  trimSpaces(stars, 3);
  EXPECT_EQ(' ', stars[0]) << "the caller's buffer itself is changed";
  EXPECT_EQ("", trimSpaces(nullptr, 8));
}

}  // namespace
