// The array-info scanner: exact rules of a flat key:value text that is not JSON, the login of another
// array, the engine kind, and the password kept out of every log line.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TqEngineConfig.h"

namespace {

struct ScanCase {
  const char* name;
  const char* text;
  const char* key;
  bool found;
  const char* value;
  const char* logged;  // a fragment of the line logged, or ""
};

const ScanCase kScanCases[] = {
    {"middle item", "{hostName:10.1.1.5,hostUserName:admin,engineId:25}", "hostName", true, "10.1.1.5", ""},
    {"last item ends at the brace", "{hostName:10.1.1.5,hostUserName:admin,engineId:25}", "engineId", true, "25", ""},
    {"quotes stay in the value", "{\"hostName\":\"x\",a:b}", "hostName", true, "\"x\"", ""},
    {"item after a bare word", "{a,hostName:x}", "hostName", true, "x", ""},
    {"comma before the colon", "{hostName,x:y}", "hostName", false, "", "No value present for item hostName"},
    {"no comma and no brace", "{hostName:x", "hostName", false, "", "Item separator charactor is not present"},
    {"no colon after the key", "{hostName}", "hostName", false, "", "Name-value separator character is not present."},
    {"key not there", "{a:b}", "hostName", false, "", "The item being requested [hostName] is not in Json string"},
    {"empty text", "", "hostName", false, "", "Either the parse string or the item to search is empty."},
    {"empty key", "{a:b}", "", false, "", "Either the parse string or the item to search is empty."},
    {"empty value", "{hostName:,b:c}", "hostName", true, "", ""},
    {"blanks stay", "{hostName: h1 ,b:c}", "hostName", true, " h1 ", ""},
    {"further colons belong to the value", "{hostName:fe80::1,b:c}", "hostName", true, "fe80::1", ""},
    {"a key inside a longer key matches first", "{hostNameAlias:z,hostName:x}", "hostName", true, "z", ""},
    {"case-sensitive", "{hostname:x,hostName:y}", "hostName", true, "y", ""},
    {"a key inside the password is not read", "{hostPassword:x engineId:26,engineId:25}", "engineId", true, "25", ""},
    {"a key only inside the password is missing", "{hostName:h,hostPassword:x engineId:26}", "engineId", false, "",
     "is not in Json string [{hostName:h,hostPassword:*****}]"},
    {"nor inside a descriptor password", "{password:lunuuid:evil,lunuuid:60002AC0}", "lunuuid", true, "60002AC0", ""},
};

class ArrayInfoScanner : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ArrayInfoScanner, FindsValuesByTheExactRules) {
  const ScanCase& c = GetParam();
  EvDebugCapture log;
  std::string value = "unchanged";
  EXPECT_EQ(c.found, parseJsonString(c.text, c.key, value));
  EXPECT_EQ(c.found ? std::string(c.value) : "unchanged", value);
  if (*c.logged != '\0') {
    EXPECT_TRUE(log.contains(c.logged));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ArrayInfoScanner, ::testing::ValuesIn(kScanCases),
                         [](const ::testing::TestParamInfo<ScanCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(ArrayInfoScanner, ValuesAreNeverCut) {
  const std::string longValue(5000, 'p');
  std::string value;
  ASSERT_TRUE(parseJsonString("{hostPassword:" + longValue + ",a:b}", "hostPassword", value));
  EXPECT_EQ(longValue, value);
}

TEST(ArrayInfoScanner, PasswordsNeverReachTheLog) {
  const std::string secret = "S3cr#t";
  const std::string text = "{hostName:h,hostUserName:u,hostPassword:" + secret + ",engineId:25}";
  EvDebugCapture log;
  std::string value;
  EXPECT_TRUE(parseJsonString(text, "hostPassword", value));
  EXPECT_FALSE(parseJsonString(text, "missingKey", value));  // logs the whole text
  EXPECT_FALSE(parseJsonString("", "hostPassword", value));
  EXPECT_EQ(0u, log.countContaining(secret));
  EXPECT_TRUE(log.contains("hostPassword:*****,engineId:25"));

  // A value that runs on into the password item (a comma missing) is logged without the password.
  EXPECT_TRUE(parseJsonString("{engineId:25 hostPassword:" + secret + ",a:b}", "engineId", value));
  EXPECT_EQ(0u, log.countContaining(secret));
  EXPECT_TRUE(log.contains("Item Name:Item Value [engineId:25 hostPassword:*****]"));
}

TEST(ArrayInfoMask, MasksEveryPasswordValueUpToItsEnd) {
  const std::pair<const char*, const char*> cases[] = {
      {"{hostPassword:abc,x:y}", "{hostPassword:*****,x:y}"},
      {"{hostPassword:abc}", "{hostPassword:*****}"},
      {"{hostPassword:abc", "{hostPassword:*****"},
      {"{hostPassword:,a:b,hostPassword:zz}", "{hostPassword:*****,a:b,hostPassword:*****}"},
      {"{hostName:h}", "{hostName:h}"},
      {"{corvtype:vmware,esxname:e,password:pw}", "{corvtype:vmware,esxname:e,password:*****}"},
      {"{hostPassword", "{hostPassword"},
      {"{assword:x,Password:y}", "{assword:x,Password:*****}"},
      {"{hostPassword:a}b,c:d}", "{hostPassword:*****,c:d}"},  // the value ends where the scanner ends it
      {"{hostPassword:a password:b,c:d}", "{hostPassword:*****,c:d}"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, tqengine::MaskArrayInfo(c.first)) << c.first;
}

TEST(ArrayCredentials, ReadsTheFiveKeysInOrderAndStopsAtTheFirstMissing) {
  std::string arrayId, host, user, password;
  int hostId = -1;
  EXPECT_TRUE(ParseForCredentials("{arrayId:A1,hostName:h,hostUserName:u,hostPassword:p,hostid:7}", arrayId, host, user,
                                  password, hostId));
  EXPECT_EQ("A1", arrayId);
  EXPECT_EQ("p", password);
  EXPECT_EQ(7, hostId);

  std::string a2, h2 = "kept", u2 = "kept", p2 = "kept";
  int id2 = -1;
  EXPECT_FALSE(ParseForCredentials("{arrayId:A2,hostUserName:u}", a2, h2, u2, p2, id2));
  EXPECT_EQ("A2", a2);
  EXPECT_EQ("kept", u2) << "reading stops at the missing hostName";
  EXPECT_EQ(-1, id2);

  EXPECT_FALSE(ParseForCredentials(nullptr, a2, h2, u2, p2, id2));
  EXPECT_TRUE(ParseForCredentials("{arrayId:A,hostName:h,hostUserName:u,hostPassword:p,hostid:99999999999}", a2, h2, u2,
                                  p2, id2));
  EXPECT_EQ(0, id2) << "a host id that does not fit reads as 0";
}

TEST(EngineType, IsTheEngineIdNumberOrZero) {
  const std::pair<const char*, short> cases[] = {
      {"{hostName:h,engineId:25}", 25},
      {"{engineId:26,hostName:h}", 26},
      {"{hostName:h}", 0},
      {"{engineId:clone}", 0},
      {"{engineId:70000}", 0},
      {"{engineId:}", 0},
      {"{hostPassword:x engineId:26,engineId:25}", 25},
      {"{hostPassword:x engineId:26}", 0},
  };
  auto registry = std::make_shared<TQSO::ArrayRegistry>();
  for (const auto& c : cases) {
    registry->put(TQSO::ArrayEntry{"A", c.first, "", 0, {}});
    TQSO::SnapInfo device;
    device.setArrayRegistry(registry);
    ASSERT_EQ(0, device.setArrayLogin("A"));
    EXPECT_EQ(c.second, getSnapEngineType(&device)) << c.first;
  }
  TQSO::SnapInfo noArray;
  EXPECT_EQ(0, getSnapEngineType(&noArray));
  EXPECT_EQ(0, getSnapEngineType(nullptr));
}

}  // namespace
