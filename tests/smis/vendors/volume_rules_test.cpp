// The IBM SVC rules of a new volume and the firmware number reader, as tables: volume type, the goal a
// thick volume needs by firmware, real-size percentage, grain size.
#include <gtest/gtest.h>

#include "action/SmisNumberText.h"
#include "action/SmisVolumeCreate.h"
#include "action/SmisVolumeParams.h"

namespace {

TEST(IbmSvcVolumeRules, VolumeTypeFollowsKeysSettingAndSource) {
  struct Case {
    const char* flag;
    unsigned long vdiskKey;
    int thinSetting;
    bool spaceEfficientSource;
    const char* type;
  };
  const Case cases[] = {
      {"5", 0, 0, false, "5"},  // a thick request stays thick
      {"5", 2, 0, false, "6"}, {"5", 0, 1, false, "6"}, {"5", 0, 0, true, "6"},
      {"4", 0, 1, true, "7"},  {"4", 1, 1, true, "4"},  // key 1 keeps the request
      {"4", 2, 0, false, "4"}, {"8", 2, 0, false, "4"}, {"8", 0, 0, false, "8"},
      {"5", 1, 1, true, "5"},  {"6", 3, 0, false, "6"}, {"6", 3, 0, true, "4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.flag) + " key " + std::to_string(c.vdiskKey) + " thin " + std::to_string(c.thinSetting) +
                 (c.spaceEfficientSource ? " SE" : ""));
    EXPECT_EQ(c.type, smisvolume::IbmSvcVolumeType(c.flag, c.vdiskKey, c.thinSetting, c.spaceEfficientSource));
  }
}

TEST(IbmSvcVolumeRules, ThickGoalNeededFromFirmwareSevenSeven) {
  using smisvolume::ThickGoalNeed;
  const struct {
    const char* version;
    ThickGoalNeed need;
  } cases[] = {
      {"7.7.0", ThickGoalNeed::kNeeded},     {"8.0.1", ThickGoalNeed::kNeeded},      {"7.10.1", ThickGoalNeed::kNeeded},
      {"7.6.9", ThickGoalNeed::kNotNeeded},  {"6.4.1.4", ThickGoalNeed::kNotNeeded}, {"7", ThickGoalNeed::kUnreadable},
      {"..7..", ThickGoalNeed::kUnreadable}, {"x.y", ThickGoalNeed::kNotNeeded},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(c.need, smisvolume::IbmSvcThickGoalNeed(c.version));
  }
}

TEST(IbmSvcVolumeRules, FirmwareNumbersReadLikeAStream) {
  const struct {
    const char* text;
    unsigned short value;
  } cases[] = {{"7", 7}, {"12rc", 12}, {"x7", 0}, {" 8", 8}, {"65535", 65535}, {"70000", 65535}, {"", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value, str2num<unsigned short>(c.text));
  }
}

TEST(IbmSvcVolumeRules, RealSizePercentByTargetKindKeysAndFirmware) {
  const struct {
    const char* flag;
    unsigned long cloneKey, snapshotKey, percent;
  } percents[] = {
      {"6", 0, 0, 20},  {"6", 150, 0, 20}, {"6", 35, 0, 35}, {"6", 100, 0, 100},
      {"4", 0, 150, 0}, {"4", 0, 0, 0},    {"7", 0, 1, 1},   {"4", 50, 0, 0},
  };
  for (const auto& c : percents) {
    SCOPED_TRACE(std::string(c.flag) + " " + std::to_string(c.cloneKey) + "/" + std::to_string(c.snapshotKey));
    EXPECT_EQ(c.percent, smisvolume::IbmSvcRealSizePercent(c.flag, c.cloneKey, c.snapshotKey));
  }
  const struct {
    int skipKey;
    const char* version;
    bool sent;
  } skips[] = {{-1, "7.6.", false}, {-1, "7.7.", true}, {-1, "0.0", true}, {0, "7.6.", true}, {1, "7.7.", false}};
  for (const auto& c : skips) {
    SCOPED_TRACE(std::to_string(c.skipKey) + " " + c.version);
    EXPECT_EQ(c.sent, smisvolume::IbmSvcSendsRealSizePercent(c.skipKey, c.version));
  }
}

TEST(IbmSvcVolumeRules, GrainSizeFromMapAndThinKeys) {
  const struct {
    int mapKey, thinKey;
    bool send;
    unsigned size;
    bool recommend;
  } cases[] = {
      {64, 0, true, 64, false},   {0, 512, true, 256, false}, {64, 128, true, 128, true}, {0, 0, false, 256, false},
      {100, 0, true, 256, false}, {256, 32, true, 32, false}, {100, 64, true, 64, false}, {-5, 0, false, 256, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mapKey) + "/" + std::to_string(c.thinKey));
    smisvolume::GrainChoice grain = smisvolume::IbmSvcGrainSize(c.mapKey, c.thinKey);
    EXPECT_EQ(c.send, grain.send);
    EXPECT_EQ(c.size, grain.size);
    EXPECT_EQ(c.recommend, grain.largerThanMap);
  }
}

}  // namespace
