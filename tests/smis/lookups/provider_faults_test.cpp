// Lookups and job watching when the provider answers too late: a read that times out once is tried
// again through the connection's retry rules; raw reads and exhausted retries end in the lookup's
// failure value or reach the caller.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "TqSmisJob.h"
#include "support/Seeds.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

constexpr const char* kSmallArray = R"({"arrays": [{"serial": "0D0001", "cpgs": ["CPG1"],
  "volumes": [{"name": "v1", "cpg": "CPG1"}, {"name": "v2", "cpg": "CPG1"}],
  "snapshots": [{"source": "v1", "name": "v1-snap"}]}]})";

class SlowProviderTest : public SimArrayTest {
 protected:
  SlowProviderTest() : SimArrayTest(kSmallArray) {}

  void SetUp() override {
    // A one-second client timeout (the configured minimum applies to configuration only) and few tries.
    TqCimomParams params = ParamsFor(server_);
    params.m_TimeoutSecs = 1;
    params.m_MaxRetries = 2;
    conn_.m_Cimom.SetCimom(params);
    SimArrayTest::SetUp();
  }

  void DelayNext(const char* operation, unsigned count) { sim().injectFault(On(operation, DelayFault(1600, count))); }

  std::string Text(const char* volume) { return VolumePath("0D0001", volume).toString().str(); }
};

TEST_F(SlowProviderTest, ReadThatTimesOutOnceIsTriedAgain) {
  std::string text = Text("v2");
  DelayNext("GetInstance", 1);
  EXPECT_EQ("v2", util_.GetCIMProp(conn_, text, "ElementName"));
  EXPECT_TRUE(record_.hasMessageContaining("Timeout Retry"));
}

TEST_F(SlowProviderTest, ReadsThatKeepTimingOutEndInTheFailureValue) {
  conn_.m_Cimom.SetMaxRetries(1);  // one try only
  std::string text = Text("v2");
  std::string array = SystemNameOf("0D0001");
  DelayNext("GetInstance", 1);
  EXPECT_EQ(-1, util_.CheckInstanceExistence(conn_, array, text, ""));
  EXPECT_TRUE(record_.hasMessageContaining("timed out"));

  DelayNext("EnumerateInstances", 1);
  EXPECT_EQ("", util_.GetVolObjPathByUUID(conn_, String(WwnOf("0D0001", "v2")), String(array)));
}

TEST_F(SlowProviderTest, RawReadsAreNotTriedAgain) {
  std::string syncPath, source, sourceName;
  DelayNext("ReferenceNames", 1);
  EXPECT_EQ(-1, util_.GetSyncPathFromTarget(conn_, Text("v1-snap"), syncPath, source, sourceName));
  EXPECT_EQ(1u, Requests("ReferenceNames"));

  CIMObjectPath job = sim().withModel([](smissim::Model& model) {
    return model.startJob(*model.arrayBySerial("0D0001"), "CreateReplica", smissim::JobPlan{2, 7}, {}, nullptr);
  });
  DelayNext("GetInstance", 1);
  TqSmisJob watcher;
  watcher.m_SnapInfo = &record_;
  EXPECT_THROW(watcher.WatchJob(job, conn_, 10, 1), Exception);
  EXPECT_TRUE(record_.hasMessageContaining("SMIS::GetJobInstance: TqSmisJob.cpp"));
}

}  // namespace
