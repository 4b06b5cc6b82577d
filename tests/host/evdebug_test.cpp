#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "EvDebug.h"
#include "HostTestFiles.h"

namespace {

class EvDebugTest : public testing::Test {
 protected:
  void TearDown() override {
    ::unsetenv(EvDebug::kLogFileVariable);
    ::unsetenv(EvDebug::kLogLevelVariable);
    EvDebug::resetFromEnvironment();
  }

  std::vector<std::string> fileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readWholeFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  ScratchDir files_;
};

TEST_F(EvDebugTest, CaptureRecordsTagLevelJobAndTheTextAsFormatted) {
  EvDebugCapture log;
  const std::string outside = "path with 100% and %s %n inside";
  EvDebug(nullptr).DebugLvl("VerifySslCert", 2, "SSL certificate verified, plain encryption");
  o_logger.DebugLvl("3PAR-TP_prepareDevices", -1, "%s [%d]\n", outside.c_str(), 7);
  o_logger.DebugLvl("3PAR-getArrayInfo", 1, 42ULL, "job line %s", "x");

  const std::vector<EvDebugLine> lines = log.lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].tag, "VerifySslCert");
  EXPECT_EQ(lines[0].level, 2);
  EXPECT_FALSE(lines[0].hasJobId);
  EXPECT_EQ(lines[1].text, outside + " [7]\n");
  EXPECT_EQ(lines[1].level, -1);
  EXPECT_TRUE(lines[2].hasJobId);
  EXPECT_EQ(lines[2].jobId, 42u);
  EXPECT_EQ(lines[2].text, "job line x");
  EXPECT_EQ(log.linesWithTag("3PAR-getArrayInfo").size(), 1u);
  EXPECT_EQ(log.countContaining("100% and %s"), 1u);
  log.clear();
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(EvDebugTest, FileGetsLinesUpToTheDebugLevelEachEndingInOneNewline) {
  const std::string path = files_.file("engine.log");
  EvDebug::setOutputFile(path);
  EvDebug::setDebugLevel(1);
  EXPECT_EQ(o_logger.GetDebugLevel(), 1);
  EvDebugCapture log(/*alsoWriteOut=*/true);
  o_logger.DebugLvl("tag", 3, "verbose");
  o_logger.DebugLvl("tag", 2, "detail");
  o_logger.DebugLvl("tag", 1, "info\n\n");
  o_logger.DebugLvl("tag", -1, 7ULL, "error %d%%", 5);

  EXPECT_EQ(log.lines().size(), 4u);  // a capture sees every level
  const std::vector<std::string> lines = fileLines(path);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(" INFO tag: info"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(" ERROR tag [job 7]: error 5%"), std::string::npos) << lines[1];
}

TEST_F(EvDebugTest, AQuietCaptureKeepsLinesOutOfTheFile) {
  const std::string path = files_.file("quiet.log");
  EvDebug::setOutputFile(path);
  {
    EvDebugCapture log;
    o_logger.DebugLvl("tag", -1, "captured only");
    EXPECT_TRUE(log.contains("captured only"));
  }
  o_logger.DebugLvl("tag", -1, "written");
  const std::string text = readWholeFile(path);
  EXPECT_EQ(text.find("captured only"), std::string::npos);
  EXPECT_NE(text.find("written"), std::string::npos);
}

TEST_F(EvDebugTest, EnvironmentChoosesFileAndLevel) {
  const std::string path = files_.file("from-env.log");
  struct Case {
    const char* level;
    int expected;
  } cases[] = {{"3", 3}, {" -1 ", -1}, {"loud", EvDebug::kDefaultDebugLevel}, {nullptr, EvDebug::kDefaultDebugLevel}};
  for (const Case& c : cases) {
    if (c.level)
      ::setenv(EvDebug::kLogLevelVariable, c.level, 1);
    else
      ::unsetenv(EvDebug::kLogLevelVariable);
    EvDebug::resetFromEnvironment();
    EXPECT_EQ(EvDebug().getDebugLevel(), c.expected) << (c.level ? c.level : "(unset)");
  }
  ::setenv(EvDebug::kLogFileVariable, path.c_str(), 1);
  EvDebug::resetFromEnvironment();
  o_logger.DebugLvl("env", -1, "to the named file");
  EXPECT_NE(readWholeFile(path).find("env: to the named file"), std::string::npos);
}

TEST_F(EvDebugTest, LinesFromManyThreadsStayWhole) {
  const std::string path = files_.file("threads.log");
  EvDebug::setOutputFile(path);
  const int threads = 8, perThread = 300;
  const std::string payload(200, 'p');
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < perThread; ++i) o_logger.DebugLvl("worker", 1, "t%d-%d %s|", t, i, payload.c_str());
    });
  for (std::thread& w : workers) w.join();

  std::set<std::string> seen;
  for (const std::string& line : fileLines(path)) {
    const size_t start = line.find("worker: t");
    ASSERT_NE(start, std::string::npos) << line;
    ASSERT_EQ(line.substr(line.size() - payload.size() - 1), payload + "|") << line;
    seen.insert(line.substr(start, line.find(' ', start + 8) - start));
  }
  EXPECT_EQ(seen.size(), size_t(threads * perThread));
}

}  // namespace
