// The snapshot metadata string: writer and reader as mirrors, the older ten-field form, malformed and
// foreign texts, and the device record it lives in.
#include <gtest/gtest.h>

#include <string>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TqSnapMetadata.h"

namespace {

_TQ3PAR_SnapMetadata FullRecord() {
  _TQ3PAR_SnapMetadata r;
  r.arrayId = "2FF70002AC001234";
  r.snapOp = "4";
  r.snapServicePath = "//h/root/tpd:TPD_StorageConfigurationService.Name=\"svc\"";
  r.srcDev = "60002AC0000000000000000100001234";
  r.srcDevPath = "root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0000000000000000100001234\"";
  r.targetDGpath = "";
  r.targetDev = "60002AC0000000000000000200001234";
  r.targetDevPath = "root/tpd:TPD_StorageVolume.DeviceID=\"x\"";
  r.childdev = tqengine::kEmptyDev;
  r.childdevpath = tqengine::kEmptyPath;
  r.version = 1;
  r.flags = 1;
  return r;
}

void ExpectSame(const _TQ3PAR_SnapMetadata& a, const _TQ3PAR_SnapMetadata& b) {
  EXPECT_EQ(a.arrayId, b.arrayId);
  EXPECT_EQ(a.snapOp, b.snapOp);
  EXPECT_EQ(a.snapServicePath, b.snapServicePath);
  EXPECT_EQ(a.srcDev, b.srcDev);
  EXPECT_EQ(a.srcDevPath, b.srcDevPath);
  EXPECT_EQ(a.targetDGpath, b.targetDGpath);
  EXPECT_EQ(a.targetDev, b.targetDev);
  EXPECT_EQ(a.targetDevPath, b.targetDevPath);
  EXPECT_EQ(a.childdev, b.childdev);
  EXPECT_EQ(a.childdevpath, b.childdevpath);
  EXPECT_EQ(a.version, b.version);
  EXPECT_EQ(a.flags, b.flags);
}

TEST(SnapMetadataText, NewRecordIsTenEmptyFieldsAndTwoZeros) {
  std::string text = "old";
  ConstructMetadata(_TQ3PAR_SnapMetadata(), text);
  EXPECT_EQ("**********0*0", text);
}

TEST(SnapMetadataText, RoundTripGivesEveryFieldBack) {
  _TQ3PAR_SnapMetadata record = FullRecord();
  record.flags = 4294967295u;
  std::string text;
  ConstructMetadata(record, text);
  _TQ3PAR_SnapMetadata back;
  ASSERT_TRUE(ParseMetadata(text.c_str(), back));
  ExpectSame(record, back);
}

struct ParseCase {
  const char* name;
  const char* text;
  bool valid;
  uint32_t version;  // of a record that held version 7 and flags 9 before
  uint32_t flags;
  const char* childdevpath;
};

const ParseCase kParseCases[] = {
    {"older writer, nine separators", "A*4*s*d*p*g*t*tp*c*cp", true, 7, 9, "cp"},
    {"ten separators", "A*4*s*d*p*g*t*tp*c*cp*1", false, 7, 9, ""},
    {"eight separators", "A*4*s*d*p*g*t*tp*c", false, 7, 9, ""},
    {"empty text", "", false, 7, 9, ""},
    {"foreign text", "{corvtype:vmware,lunuuid:x}", false, 7, 9, ""},
    {"eleven separators", "A*4*s*d*p*g*t*tp*c*cp*1*0", true, 1, 0, "cp"},
    {"more than eleven: the rest is ignored", "A*4*s*d*p*g*t*tp*c*cp*1*5*junk*more", true, 1, 5, "cp"},
    {"numbers without digits read 0", "A*4*s*d*p*g*t*tp*c*cp*v1*x", true, 0, 0, "cp"},
    {"leading blanks and trailing text", "A*4*s*d*p*g*t*tp*c*cp* 12abc*+3", true, 12, 3, "cp"},
    {"numbers that do not fit read 0", "A*4*s*d*p*g*t*tp*c*cp*4294967296*-1", true, 0, 0, "cp"},
    {"largest number", "A*4*s*d*p*g*t*tp*c*cp*4294967295*1", true, 4294967295u, 1, "cp"},
    {"empty fields stay empty", "*********EMPTYPATH*1*0", true, 1, 0, "EMPTYPATH"},
};

class SnapMetadataParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SnapMetadataParse, AcceptsNineOrElevenSeparatorsAndLeavesBadRecordsAlone) {
  const ParseCase& c = GetParam();
  _TQ3PAR_SnapMetadata record = FullRecord();
  record.version = 7;
  record.flags = 9;
  const _TQ3PAR_SnapMetadata before = record;
  EvDebugCapture log;
  EXPECT_EQ(c.valid, ParseMetadata(c.text, record));
  if (!c.valid) {
    ExpectSame(before, record);
    EXPECT_TRUE(log.contains("Invalid unique identifier ["));
    return;
  }
  EXPECT_EQ(c.version, record.version);
  EXPECT_EQ(c.flags, record.flags);
  EXPECT_EQ(c.childdevpath, record.childdevpath);
}

INSTANTIATE_TEST_SUITE_P(Cases, SnapMetadataParse, ::testing::ValuesIn(kParseCases),
                         [](const ::testing::TestParamInfo<ParseCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(SnapMetadataText, NullTextIsRefused) {
  _TQ3PAR_SnapMetadata record = FullRecord();
  EXPECT_FALSE(ParseMetadata(nullptr, record));
  ExpectSame(FullRecord(), record);
}

TEST(SnapMetadataRecord, WrittenToTheJobRecordAndReadBack) {
  TQSO::SnapInfo device;
  std::string text;
  ConstructMetadata(FullRecord(), text);
  ASSERT_EQ(0, device.setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text.c_str()));

  _TQ3PAR_SnapMetadata back;
  ASSERT_TRUE(getMetadata(&device, back));
  ExpectSame(FullRecord(), back);
  EXPECT_EQ("2FF70002AC001234", getStorageArrayId(&device));
  EXPECT_EQ("60002AC0000000000000000100001234", getSourceDeviceUUID(&device));
  EXPECT_EQ("60002AC0000000000000000200001234", getSnapDeviceUUID(&device));
  EXPECT_EQ("EMPTYDEV", getChildDeviceUUID(&device));
  EXPECT_EQ("EMPTYPATH", getChildDevicePath(&device));
  EXPECT_TRUE(device.messages().empty());
}

TEST(SnapMetadataRecord, MissingOrForeignMetadataGivesEmptyFields) {
  for (const char* stored : {static_cast<const char*>(nullptr), "not*a*record"}) {
    SCOPED_TRACE(stored != nullptr ? stored : "(unset)");
    TQSO::SnapInfo device;
    if (stored != nullptr) device.setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, stored);
    EvDebugCapture log;
    _TQ3PAR_SnapMetadata record;
    EXPECT_FALSE(getMetadata(&device, record));
    EXPECT_EQ("", getStorageArrayId(&device));
    EXPECT_TRUE(device.messages().empty()) << "the array id getter writes no job message";
    EXPECT_EQ("", getSnapDeviceUUID(&device));
    const auto messages = device.messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("Failed to Get Metadata ", messages[0].text);
    EXPECT_EQ(2, messages[0].level);
    EXPECT_EQ("3PAR-getSnapDeviceUUID", messages[1].text);
    EXPECT_TRUE(log.contains(stored != nullptr ? "[ERROR]Failed to parse unique  identifier [not*a*record]"
                                               : "[ERROR]Failed to get Metadata"));
  }
  EXPECT_EQ("", getChildDeviceUUID(nullptr));
}

}  // namespace
