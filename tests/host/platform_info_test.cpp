#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "EvDebug.h"
#include "HostTestFiles.h"
#include "TQPlatformInfo.h"

namespace {

const char* const kConfigText =
    "\xEF\xBB\xBF; the host's configuration\n"
    "# another comment\n"
    "[Corvane]\n"
    "TQ_PEGASUS_FAULT_RETRY = 1\r\n"
    "Big=4294967301\n"
    "Hex = 0x1F\n"
    "Neg = -5\n"
    "Bad = 12abc\n"
    "Empty =\n"
    "Quoted = \"  spaced value  \"\n"
    "Path = C:\\dir=x;y # not a comment\n"
    "IntMax = 2147483647\n"
    "IntOver = 2147483648\n"
    "Dup = first\n"
    "Dup = second\n"
    "[~Corvane]\n"
    "3PAR_SMIS_PORT = 5989\n"
    "[Other]\n"
    "OnlyHere = 1\n"
    "[Corvane/inst1]\n"
    "PerInstance = yes\n"
    "[broken\n"
    "Orphan = 1\n"
    "a line without equals\n";

class PlatformInfoTest : public testing::Test {
 protected:
  void SetUp() override { useFile(files_.write("host.ini", kConfigText)); }
  void TearDown() override {
    ::unsetenv(TQPlatformInfo::kConfigFileVariable);
    TQPlatformInfo::clearOverrides();
  }
  void useFile(const std::string& path) { ::setenv(TQPlatformInfo::kConfigFileVariable, path.c_str(), 1); }

  ScratchDir files_;
};

enum class Read { Number64, NumberLongLong, Number32, RegInt, String };

struct ReadCase {
  Read form;
  const char* section;
  const char* key;
  bool found;
  const char* value;  // expected text of the value read
};

std::string readAsText(Read form, const char* section, const char* key, int& found) {
  TQPlatformInfo info;
  switch (form) {
    case Read::Number64: {
      unsigned long v = 777;
      found = info.getNumber(section, key, &v);
      return std::to_string(v);
    }
    case Read::NumberLongLong: {
      unsigned long long v = 777;
      found = info.getNumber(section, key, &v);
      return std::to_string(v);
    }
    case Read::Number32: {
      unsigned int v = 777;
      found = info.getNumber(section, key, &v);
      return std::to_string(v);
    }
    case Read::RegInt: {
      int v = 777;
      found = info.getRegInt(section, key, &v);
      return std::to_string(v);
    }
    case Read::String: {
      std::string v = "preset";
      found = info.getString(section, key, &v);
      return v;
    }
  }
  return "";
}

TEST_F(PlatformInfoTest, EveryReadFormFindsValuesAndLeavesThePresetWhenAbsentOrBad) {
  const ReadCase cases[] = {
      {Read::Number64, "Corvane", "TQ_PEGASUS_FAULT_RETRY", true, "1"},
      {Read::Number64, "corvane", "tq_pegasus_fault_retry", true, "1"},
      {Read::Number64, "~Corvane", "TQ_PEGASUS_FAULT_RETRY", true, "1"},
      {Read::RegInt, "~Corvane", "3PAR_SMIS_PORT", true, "5989"},
      {Read::Number64, "Corvane", "3PAR_SMIS_PORT", true, "5989"},
      {Read::Number64, "Corvane", "Big", true, "4294967301"},
      {Read::NumberLongLong, "Corvane", "Big", true, "4294967301"},
      {Read::NumberLongLong, "Corvane", "Neg", false, "777"},
      {Read::Number32, "Corvane", "Big", true, "5"},
      {Read::RegInt, "Corvane", "Big", false, "777"},
      {Read::Number64, "Corvane", "Hex", true, "31"},
      {Read::Number64, "Corvane", "Neg", false, "777"},
      {Read::RegInt, "Corvane", "Neg", true, "-5"},
      {Read::RegInt, "Corvane", "Bad", false, "777"},
      {Read::Number64, "Corvane", "Bad", false, "777"},
      {Read::String, "Corvane", "Bad", true, "12abc"},
      {Read::RegInt, "Corvane", "IntMax", true, "2147483647"},
      {Read::RegInt, "Corvane", "IntOver", false, "777"},
      {Read::Number32, "Corvane", "IntOver", true, "2147483648"},
      {Read::String, "Corvane", "Empty", true, ""},
      {Read::RegInt, "Corvane", "Empty", false, "777"},
      {Read::String, "Corvane", "Quoted", true, "  spaced value  "},
      {Read::String, "Corvane", "Path", true, "C:\\dir=x;y # not a comment"},
      {Read::String, "Corvane", "Dup", true, "second"},
      {Read::String, "Corvane", "OnlyHere", false, "preset"},
      {Read::String, "Other", "OnlyHere", true, "1"},
      {Read::String, "Corvane/inst1", "PerInstance", true, "yes"},
      {Read::String, "Corvane", "PerInstance", false, "preset"},
      {Read::String, "Corvane", "Orphan", false, "preset"},
      {Read::String, "broken", "Orphan", false, "preset"},
      {Read::String, "NoSuchSection", "Dup", false, "preset"},
      {Read::Number64, "Corvane", "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC", false, "777"},
      {Read::String, nullptr, "Dup", false, "preset"},
      {Read::String, "Corvane", nullptr, false, "preset"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(std::string(c.section ? c.section : "(null)") + "/" + (c.key ? c.key : "(null)") + " form " +
                 std::to_string(int(c.form)));
    int found = -1;
    EXPECT_EQ(readAsText(c.form, c.section, c.key, found), c.value);
    EXPECT_EQ(found, c.found ? 1 : 0);
  }
}

TEST_F(PlatformInfoTest, RefusedNumbersAndSkippedLinesAreLogged) {
  EvDebugCapture log;
  ::setenv(TQPlatformInfo::kConfigFileVariable, files_.write("other.ini", kConfigText).c_str(), 1);
  int v = 0;
  TQPlatformInfo().getRegInt("Corvane", "Bad", &v);
  EXPECT_TRUE(log.contains("\"12abc\""));
  EXPECT_TRUE(log.contains("line 22: bad section header"));
  EXPECT_TRUE(log.contains("line 24: not a key=value line"));
}

TEST_F(PlatformInfoTest, MissingFileOrNoVariableMeansEveryKeyIsAbsent) {
  std::string v = "preset";
  useFile(files_.file("does-not-exist.ini"));
  EvDebugCapture log;
  EXPECT_EQ(TQPlatformInfo().getString("Corvane", "Dup", &v), 0);
  EXPECT_TRUE(log.contains("cannot read configuration file"));
  ::unsetenv(TQPlatformInfo::kConfigFileVariable);
  EXPECT_EQ(TQPlatformInfo().getString("Corvane", "Dup", v), 0);
  EXPECT_EQ(v, "preset");
}

TEST_F(PlatformInfoTest, OverridesWinOverTheFileUntilCleared) {
  unsigned long v = 0;
  TQPlatformInfo::setOverride("Corvane", "TQ_PEGASUS_FAULT_RETRY", "0");
  EXPECT_EQ(TQPlatformInfo().getNumber("~CORVANE", "tq_pegasus_fault_retry", &v), 1);
  EXPECT_EQ(v, 0u);

  TQPlatformInfo::setAbsentOverride("Corvane", "TQ_PEGASUS_FAULT_RETRY");
  v = 9;
  EXPECT_EQ(TQPlatformInfo().getNumber("Corvane", "TQ_PEGASUS_FAULT_RETRY", &v), 0);
  EXPECT_EQ(v, 9u);

  TQPlatformInfo::clearOverride("Corvane", "TQ_PEGASUS_FAULT_RETRY");
  EXPECT_EQ(TQPlatformInfo().getNumber("Corvane", "TQ_PEGASUS_FAULT_RETRY", &v), 1);
  EXPECT_EQ(v, 1u);

  // An override needs no file at all.
  ::unsetenv(TQPlatformInfo::kConfigFileVariable);
  TQPlatformInfo::setOverride("Corvane", "NewKey", "x");
  std::string s;
  EXPECT_EQ(TQPlatformInfo().getString("Corvane", "NewKey", s), 1);
  EXPECT_EQ(s, "x");
  TQPlatformInfo::clearOverrides();
  EXPECT_EQ(TQPlatformInfo().getString("Corvane", "NewKey", s), 0);
}

TEST_F(PlatformInfoTest, ScopedOverridesNestAndPutBackWhatWasThere) {
  auto read = [] {
    std::string v = "absent";
    TQPlatformInfo().getString("Corvane", "Dup", &v);
    return v;
  };
  {
    TqConfigOverride outer("Corvane", "Dup", "outer");
    EXPECT_EQ(read(), "outer");
    {
      TqConfigOverride hidden("Corvane", "Dup");
      EXPECT_EQ(read(), "absent");
      {
        TqConfigOverride inner("Corvane", "Dup", "inner");
        EXPECT_EQ(read(), "inner");
      }
      EXPECT_EQ(read(), "absent");
    }
    EXPECT_EQ(read(), "outer");
  }
  EXPECT_EQ(read(), "second");
  EXPECT_FALSE(TQPlatformInfo::currentOverride("Corvane", "Dup").has_value());
}

TEST_F(PlatformInfoTest, TheFileIsReadAgainWhenItChanges) {
  std::string v;
  const std::string path = files_.write("changing.ini", "[Corvane]\nKey = one\n");
  useFile(path);
  ASSERT_EQ(TQPlatformInfo().getString("Corvane", "Key", v), 1);
  EXPECT_EQ(v, "one");
  files_.write("changing.ini", "[Corvane]\nKey = three\nMore = 1\n");
  ASSERT_EQ(TQPlatformInfo().getString("Corvane", "Key", v), 1);
  EXPECT_EQ(v, "three");
  useFile(files_.write("second.ini", "[Corvane]\nKey = two\n"));
  ASSERT_EQ(TQPlatformInfo().getString("Corvane", "Key", v), 1);
  EXPECT_EQ(v, "two");
}

TEST(PlatformInfoSectionName, JoinsBaseAndInstance) {
  struct Case {
    const char* base;
    const char* instance;
    const char* expected;
  } cases[] = {
      {"Corvane", nullptr, "Corvane"}, {"Corvane", "", "Corvane"}, {"Corvane", "inst1", "Corvane/inst1"},
      {"~Corvane", "a", "~Corvane/a"}, {nullptr, nullptr, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TQPlatformInfo().getSectionName(c.base, c.instance), c.expected);
}

TEST_F(PlatformInfoTest, ConcurrentReadersSeeWholeValuesWhileOverridesChange) {
  std::atomic<bool> stop{false};
  std::atomic<int> badReads{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!stop) {
        unsigned long v = 0;
        if (TQPlatformInfo().getNumber("Corvane", "TQ_PEGASUS_FAULT_RETRY", &v) != 1 || (v != 1 && v != 12345))
          ++badReads;
      }
    });
  }
  for (int i = 0; i < 2000; ++i) {
    TQPlatformInfo::setOverride("Corvane", "TQ_PEGASUS_FAULT_RETRY", "12345");
    TQPlatformInfo::clearOverride("Corvane", "TQ_PEGASUS_FAULT_RETRY");
  }
  stop = true;
  for (std::thread& t : readers) t.join();
  EXPECT_EQ(badReads.load(), 0);
}

}  // namespace
