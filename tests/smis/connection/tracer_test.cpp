#include <gtest/gtest.h>
#include "TqErrorCodes.h"

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TqSmisTracer.h"

namespace {

struct SinkCase {
  const char* name;
  bool errorLevel;
  std::string text;  // formatted as "%s"
  int expectedLevel;
  std::string expectedLine;
};

// Test output names the case, not its bytes.
void PrintTo(const SinkCase& c, std::ostream* os) { *os << c.name; }

class TracerSinkTest : public ::testing::TestWithParam<SinkCase> {};

TEST_P(TracerSinkTest, WritesLabelAndTextOnTheRecord) {
  const SinkCase& c = GetParam();
  TQSO::SnapInfo record;
  TqSmisTracer tracer;
  tracer.m_SnapInfo = &record;
  if (c.errorLevel)
    tracer.DEBUG_TRACE("L", "%s", c.text.c_str());
  else
    tracer.DEBUG_TRACE_NORMAL("L", "%s", c.text.c_str());

  const std::vector<TQSO::JobMessage> messages = record.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].level, c.expectedLevel);
  EXPECT_EQ(messages[0].text, c.expectedLine);
  EXPECT_EQ(record.errorCode(), 0);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(Lines, TracerSinkTest,
                         ::testing::Values(SinkCase{"ErrorLevel", true, "x", 2, "L: x"},
                                           SinkCase{"NormalLevel", false, "x", 0, "L: x"},
                                           SinkCase{"OneNewlineDropped", true, "x\n", 2, "L: x"},
                                           SinkCase{"OnlyLastOfTwoNewlinesDropped", true, "x\n\n", 2, "L: x\n"},
                                           SinkCase{"InnerNewlineKept", false, "a\nb", 0, "L: a\nb"},
                                           SinkCase{"EmptyText", true, "", 2, "L: "},
                                           SinkCase{"CutAt4095", true, kLong, 2, "L: " + std::string(4095, 'x')},
                                           SinkCase{"PercentKept", true, "100%s %d done", 2, "L: 100%s %d done"}),
                         [](const ::testing::TestParamInfo<SinkCase>& info) { return std::string(info.param.name); });

TEST(TracerTest, WithoutSinkWritesTheFinishedTextToTheHostLoggerUnformatted) {
  EvDebugCapture capture;
  TqSmisTracer tracer;
  const char* path = "//array/root/tpd:TPD_StorageVolume.DeviceID=\"a%20b%s%n\"";
  tracer.DEBUG_TRACE("TqCimConnection::GetInstance", "path %s\n", path);
  tracer.DEBUG_TRACE_NORMAL("SMIS::GetDGByName", "%d%%", 50);

  const std::vector<EvDebugLine> lines = capture.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].tag, "TqCimConnection::GetInstance");
  EXPECT_EQ(lines[0].level, -1);
  EXPECT_EQ(lines[0].text, std::string("path ") + path);
  EXPECT_EQ(lines[1].tag, "SMIS::GetDGByName");
  EXPECT_EQ(lines[1].level, 1);
  EXPECT_EQ(lines[1].text, "50%");
}

TEST(TracerTest, SetErrorLogsTheTextAndSetsTheCodeOnlyWithASink) {
  TQSO::SnapInfo record;
  TqSmisTracer tracer;
  tracer.m_SnapInfo = &record;
  tracer.DEBUG_SET_ERROR(kTqErrorAuthFailure, "HTTP Error (401 Unauthorized).");
  ASSERT_EQ(record.messages().size(), 1u);
  EXPECT_EQ(record.messages()[0].level, 2);
  EXPECT_EQ(record.messages()[0].text, "HTTP Error (401 Unauthorized).");
  EXPECT_EQ(record.errorCode(), kTqErrorAuthFailure);
  EXPECT_EQ(record.errorText(), "HTTP Error (401 Unauthorized).");

  EvDebugCapture capture;
  TqSmisTracer withoutSink;
  withoutSink.DEBUG_SET_ERROR(kTqErrorAuthFailure, "ignored");
  EXPECT_TRUE(capture.lines().empty());
}

TEST(TracerTest, CopiesWriteToTheSameRecord) {
  TQSO::SnapInfo record;
  TqSmisTracer tracer;
  tracer.m_SnapInfo = &record;
  tracer.m_AuthFailure = true;
  TqSmisTracer copy(tracer);
  copy.DEBUG_TRACE("L", "from the copy");
  EXPECT_EQ(record.messages().size(), 1u);
  EXPECT_TRUE(copy.m_AuthFailure);
}

TEST(TracerTest, ThreadsTracingAtOnceKeepTheirOwnTexts) {
  TQSO::SnapInfo record;
  const int kLines = 200;
  auto traceMany = [&](char letter) {
    TqSmisTracer tracer;
    tracer.m_SnapInfo = &record;
    const std::string text(1000, letter);
    for (int i = 0; i < kLines; ++i) tracer.DEBUG_TRACE("T", "%s", text.c_str());
  };
  std::thread a(traceMany, 'a');
  std::thread b(traceMany, 'b');
  a.join();
  b.join();

  const std::vector<TQSO::JobMessage> messages = record.messages();
  ASSERT_EQ(messages.size(), 2u * kLines);
  for (const TQSO::JobMessage& message : messages) {
    const char letter = message.text.at(3);
    EXPECT_EQ(message.text, "T: " + std::string(1000, letter));
  }
}

}  // namespace
