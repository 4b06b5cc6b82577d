// Job watching against jobs of the simulated provider whose states the tests script; every wait is
// skipped and counted.
#include <gtest/gtest.h>

#include "Pegasus/Exception.h"
#include "TqSmisJob.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

constexpr const char* kOneArray = R"({"arrays": [{"serial": "0B0001", "cpgs": ["CPG1"]}]})";

class JobWatchTest : public SimArrayTest {
 protected:
  JobWatchTest() : SimArrayTest(kOneArray) { watcher_.m_SnapInfo = &record_; }

  // A job that reads as running (4) for `polls` reads, then as `finalState`.
  CIMObjectPath StartJob(unsigned polls, Uint16 finalState, bool neverEnds = false, bool vanishes = false) {
    smissim::JobPlan plan;
    plan.polls = polls;
    plan.finalState = finalState;
    plan.neverEnds = neverEnds;
    plan.vanishes = vanishes;
    return sim().withModel([&](smissim::Model& model) {
      return model.startJob(*model.arrayBySerial("0B0001"), "CreateReplica", plan, {}, nullptr);
    });
  }

  TqSmisJob watcher_;
};

TEST_F(JobWatchTest, RunningRunningCompletedIsWatchedToCompleted) {
  CIMObjectPath job = StartJob(2, 7);
  EXPECT_EQ(7, watcher_.WatchJob(job, conn_, 60, 10));
  EXPECT_EQ(1, TqSleepControl::requestCount());
  EXPECT_EQ(10000, TqSleepControl::requestedMillis());
  EXPECT_EQ(1, CountMessages(record_, "SMIS::WatchJob: Try 0"));
  EXPECT_EQ(1, CountMessages(record_, "Job-State 4: Running, "));
  EXPECT_EQ(1, CountMessages(record_, "Job-State 7: Completed, 100 %   Completed"));
  EXPECT_EQ(1, CountMessages(record_, "SMIS::WatchJob: ret 7"));
  EXPECT_EQ(0, CountMessages(record_, "Max tries exceeded"));
  EXPECT_EQ(4u, Requests("GetInstance"));  // the done test and the summary of each poll
}

TEST_F(JobWatchTest, TerminatedJobEndsTheWatchWithItsStateAndDetails) {
  CIMObjectPath job = StartJob(0, 8);
  EXPECT_EQ(8, watcher_.WatchJob(job, conn_, 60, 10));
  EXPECT_EQ(0, TqSleepControl::requestCount());
  EXPECT_EQ(0, CountMessages(record_, "Try "));
  EXPECT_EQ(1, CountMessages(record_, "Job-State 8: Terminated"));
  // The details are read from the instance fetched for the summary, which carries three properties only.
  EXPECT_EQ(2, LevelOf(record_, "\tStatus = , , "));
}

TEST_F(JobWatchTest, FailedStateIsKeptWhenTheTriesRunOut) {
  CIMObjectPath job = StartJob(1, 10);
  EXPECT_EQ(10, watcher_.WatchJob(job, conn_, 1, 5));
  EXPECT_EQ(1, CountMessages(record_, "Try 0"));
  EXPECT_EQ(0, CountMessages(record_, "Max tries exceeded"));
}

TEST_F(JobWatchTest, JobStillRunningAfterItsTriesCountsAsCompleted) {
  CIMObjectPath job = StartJob(0, 7, true);
  EXPECT_EQ(7, watcher_.WatchJob(job, conn_, 3, 15));
  EXPECT_EQ(3, TqSleepControl::requestCount());
  EXPECT_EQ(45000, TqSleepControl::requestedMillis());
  for (const char* trace : {"Try 0", "Try 1", "Try 2"}) EXPECT_EQ(1, CountMessages(record_, trace)) << trace;
  EXPECT_EQ(0, CountMessages(record_, "Try 3"));
  EXPECT_EQ(1, CountMessages(record_, "ret 4"));
  EXPECT_EQ(1, CountMessages(record_, "Max tries exceeded if its Running assuming, it will complete"));
}

TEST_F(JobWatchTest, NoTriesMeansOneSummaryAndCompleted) {
  for (int tries : {0, -3}) {
    record_.clearMessages();
    sim().clearLog();
    CIMObjectPath job = StartJob(0, 7, true);
    EXPECT_EQ(7, watcher_.WatchJob(job, conn_, tries, 10)) << tries;
    EXPECT_EQ(1u, Requests("GetInstance")) << tries;
    EXPECT_EQ(1, CountMessages(record_, "Max tries exceeded")) << tries;
  }
  EXPECT_EQ(0, TqSleepControl::requestCount());
}

TEST_F(JobWatchTest, JobThatVanishesCountsAsCompleted) {
  CIMObjectPath job = StartJob(1, 7, false, true);
  EXPECT_EQ(7, watcher_.WatchJob(job, conn_, 60, 10));
  EXPECT_EQ(0, CountMessages(record_, "Job-State 7"));
  EXPECT_EQ(0, CountMessages(record_, "Caught"));

  CIMObjectPath unknown("TPD_ConcreteJob.InstanceID=\"no-such-job\"");
  EXPECT_TRUE(watcher_.IsJobDone(unknown, conn_));
  EXPECT_TRUE(watcher_.GetJobInstance(unknown, conn_).getClassName().isNull());
}

TEST_F(JobWatchTest, ProviderFaultWhilePollingReachesTheCaller) {
  CIMObjectPath job = StartJob(3, 7);
  sim().injectFault(On("GetInstance", CimErrorFault(4)));
  EXPECT_THROW(watcher_.WatchJob(job, conn_, 60, 10), CIMException);
  EXPECT_EQ(2, LevelOf(record_, "SMIS::GetJobInstance: TqSmisJob.cpp"));
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException: CIM_ERR_INVALID_PARAMETER:"));
}

TEST(JobStates, TextsAndFinalStates) {
  TqSmisJob job;
  struct Case {
    int state;
    const char* text;
    bool done;
  };
  const Case cases[] = {{2, "New", false},
                        {4, "Running", false},
                        {6, "Shutting Down", false},
                        {7, "Completed", true},
                        {8, "Terminated", true},
                        {9, "Killed", true},
                        {10, "Exception", true},
                        {11, "Service", false},
                        {1, "1: Unknown state", false},
                        {0, "0: Unknown state", false},
                        {-2, "-2: Unknown state", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, job.GetjobStateString(c.state)) << c.state;
    EXPECT_EQ(c.done, job.IsJobDone(c.state)) << c.state;
  }
  CIMInstance noState(CIMName("TPD_ConcreteJob"));
  EXPECT_FALSE(job.IsJobDone(noState));
  CIMInstance failed(CIMName("TPD_ConcreteJob"));
  failed.addProperty(CIMProperty(CIMName("JobState"), CIMValue(Uint16(9))));
  EXPECT_TRUE(job.IsJobDone(failed));
}

TEST(JobStates, JobHandleIsTheReferenceNamedJob) {
  TqSmisJob job;
  CIMObjectPath path("//127.0.0.1/root/tpd:TPD_ConcreteJob.InstanceID=\"3PAR:0B0001:Job-7\"");
  Array<CIMParamValue> outs{
      CIMParamValue("Job", CIMValue(path.toString())), CIMParamValue("job", CIMValue(path)),
      CIMParamValue("TargetElement", CIMValue(CIMObjectPath("TPD_StorageVolume.DeviceID=\"x\"")))};
  EXPECT_TRUE(job.GetJobHandle(outs).toString().isEmpty());
  outs.append(CIMParamValue("Job", CIMValue(path)));
  EXPECT_EQ(path.toString(), job.GetJobHandle(outs).toString());
}

TEST(JobStates, SleepsRoundUpToWholeSeconds) {
  TqSleepScope instant(TqSleepMode::Instant);
  struct Case {
    int millis;
    long long requested;
  };
  for (const Case& c : {Case{15000, 15000}, Case{1500, 2000}, Case{1, 1000}, Case{0, 0}, Case{-1500, 0}}) {
    TqSleepControl::resetCounters();
    TqSmisJob::GotoSleep(c.millis);
    EXPECT_EQ(c.requested, TqSleepControl::requestedMillis()) << c.millis;
  }
}

}  // namespace
