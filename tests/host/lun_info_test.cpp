// The per-LUN record of the provisioning calls.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LUNInfo.h"

namespace {

TEST(LunRecord, TextGettersCopyWholeTextsOrSayTheSizeNeeded) {
  TQSO::LUNInfo lun;
  lun.setArrayNameText("s1234");
  lun.setArrayControlHostText("array-ctl.example");
  char buffer[512];
  short length = sizeof(buffer);
  ASSERT_EQ(0, lun.getArrayName(buffer, &length));
  EXPECT_STREQ("s1234", buffer);
  EXPECT_EQ(512, length) << "one length variable must serve the next getter";
  ASSERT_EQ(0, lun.getArrayControlHost(buffer, &length));
  EXPECT_STREQ("array-ctl.example", buffer);

  const std::string document(600, 'j');
  lun.setMapInfoText(document);
  length = sizeof(buffer);
  EXPECT_EQ(TQSO::LUNInfo::kBufferTooSmall, lun.getMapInfo(buffer, &length));
  EXPECT_EQ(601, length);
  EXPECT_STREQ("", buffer);
  std::vector<char> bigger(static_cast<size_t>(length));
  ASSERT_EQ(0, lun.getMapInfo(bigger.data(), &length));
  EXPECT_EQ(document, bigger.data());

  EXPECT_EQ(TQSO::LUNInfo::kNotGiven, lun.getPoolName(buffer, &length)) << "never given";
  lun.setPoolNameText("");
  length = sizeof(buffer);
  EXPECT_EQ(0, lun.getPoolName(buffer, &length)) << "given as empty";

  long size = 7;
  EXPECT_EQ(TQSO::LUNInfo::kNotGiven, lun.getVolumeSize(size));
  EXPECT_EQ(7, size);
  lun.setVolumeSizeBytes(1L << 40);
  ASSERT_EQ(0, lun.getVolumeSize(size));
  EXPECT_EQ(1L << 40, size);

  lun.setMapInfoText(std::string(40000, 'x'));  // does not fit a 16-bit length
  length = 1024;
  EXPECT_EQ(TQSO::LUNInfo::kNotGiven, lun.getMapInfo(buffer, &length));
}

// The provisioning calls hand one length variable to each getter in turn without resetting it: a text
// that did not fit must not leave a bigger size in it for the next getter's buffer of the same size.
TEST(LunRecord, OneLengthVariableServesEveryGetterInTurn) {
  TQSO::LUNInfo lun;
  lun.setArrayNameText(std::string(600, 'a'));         // too long
  lun.setArrayControlHostText(std::string(550, 'c'));  // too long as well, shorter than the first
  lun.setArrayLoginText("3paradm");
  lun.setArrayPasswordText(std::string(511, 'p'));  // fills the buffer exactly
  lun.setPoolNameText("FC_r5");

  struct Guarded {
    char buffer[512];
    char guard[600];
  } area;
  std::memset(area.guard, 'G', sizeof(area.guard));
  short length = sizeof(area.buffer);
  const struct {
    int (TQSO::LUNInfo::*getter)(char*, short*);
    int result;
    const char* text;
  } calls[] = {
      {&TQSO::LUNInfo::getArrayName, TQSO::LUNInfo::kBufferTooSmall, ""},
      {&TQSO::LUNInfo::getArrayControlHost, TQSO::LUNInfo::kBufferTooSmall, ""},
      {&TQSO::LUNInfo::getArrayLogin, TQSO::LUNInfo::kOk, "3paradm"},
      {&TQSO::LUNInfo::getArrayPassword, TQSO::LUNInfo::kOk, nullptr},
      {&TQSO::LUNInfo::getVolumeName, TQSO::LUNInfo::kNotGiven, nullptr},
      {&TQSO::LUNInfo::getPoolName, TQSO::LUNInfo::kOk, "FC_r5"},
  };
  int step = 0;
  for (const auto& call : calls) {
    SCOPED_TRACE(step++);
    const auto getter = call.getter;
    EXPECT_EQ(call.result, (lun.*getter)(area.buffer, &length));
    EXPECT_EQ(512, length);
    if (call.text != nullptr) {
      EXPECT_STREQ(call.text, area.buffer);
    }
    EXPECT_EQ(std::string(sizeof(area.guard), 'G'), std::string(area.guard, sizeof(area.guard)));
  }
}

TEST(LunRecord, KeepsWhatTheEngineWritesAndCopiesDeeply) {
  TQSO::LUNInfo lun;
  lun.setState(TQSO::LUN_MAPPING);
  lun.setError(70003, "Failed to map the volume");
  lun.setState(TQSO::LUN_MAPPED);
  std::vector<TQSO::IGroupInfo> groups(1);
  groups[0].initiators = {"iqn.1994-05.com.redhat:" + std::string(200, 'h')};
  groups[0].protocol = "iscsi";
  int endPoint = 0;
  lun.setInitiatorGroups(groups, &endPoint);

  TQSO::LUNInfo copy(lun);
  lun.setState(TQSO::LUN_UNMAPPING);
  EXPECT_EQ((std::vector<int>{11, 9}), copy.stateHistory());
  EXPECT_EQ(TQSO::LUN_UNMAPPING, lun.state());
  EXPECT_EQ(70003, copy.errorCode());
  ASSERT_EQ(1u, copy.initiatorGroups().size());
  EXPECT_EQ(groups[0].initiators, copy.initiatorGroups()[0].initiators);
  EXPECT_EQ(0, copy.endPointId().value_or(-1));
}

}  // namespace
