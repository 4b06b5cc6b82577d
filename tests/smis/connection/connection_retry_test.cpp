#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "SimFaults.h"
#include "SnapInfo.h"
#include "TqCimConnection.h"
#include "smis-sim/TestServer.h"
#include "support/ConnectionFixture.h"

namespace smistest {
namespace {

const char* const kRebuildTrace = "going to disconnect connection";

struct RetryCase {
  const char* name;
  std::string message;
  short timeoutIn;
  short retryIn;
  bool expectedResult;
  short expectedRetry;
  short expectedTimeout;
  const char* expectedTrace;  // "" when ConnectionRetry traces nothing
  bool expectedRebuild;
};

// Test output names the case, not its bytes.
void PrintTo(const RetryCase& c, std::ostream* os) { *os << c.name; }

class ConnectionRetryTest : public ConnectionTest, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(ConnectionRetryTest, DecidesTimeoutAndRebuild) {
  const RetryCase& c = GetParam();
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom);
  params.m_TimeoutSecs = c.timeoutIn;
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  record.clearMessages();

  short retry = c.retryIn;
  EXPECT_EQ(connection->ConnectionRetry(retry, c.message), c.expectedResult);
  EXPECT_EQ(retry, c.expectedRetry);
  EXPECT_EQ(connection->m_Cimom.GetTimeoutSecs(), c.expectedTimeout);
  if (std::string(c.expectedTrace).empty()) {
    EXPECT_EQ(FirstMessage(record, "TqCimConnection::ConnectionRetry"), -1);
  } else {
    EXPECT_EQ(CountMessages(record, std::string("TqCimConnection::ConnectionRetry: ") + c.expectedTrace), 1);
  }
  EXPECT_EQ(CountMessages(record, kRebuildTrace), c.expectedRebuild ? 1 : 0);
  const bool retryBegan = c.expectedRetry != c.retryIn;
  EXPECT_EQ(connection->m_State, retryBegan ? TQ_CIM_RECONNECTING : TQ_CIM_DISCONNECTED);
  if (c.expectedRebuild) {
    // The rebuilt client runs with the new timeout, and says so.
    EXPECT_EQ(CountMessages(record, "Reconnected 127.0.0.1:" + std::to_string(cimom.port()) +
                                        ", timeout = " + std::to_string(c.expectedTimeout)),
              1);
    EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_CONNECTED);
  } else if (retryBegan) {
    EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_RECONNECTING);
  } else {
    EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_CONNECTED);
  }
}

const std::string kTimedOut = "connection timed out";
const std::string kHttp500 = "HTTP Error (500 Internal Server Error).";

INSTANTIATE_TEST_SUITE_P(
    Faults, ConnectionRetryTest,
    ::testing::Values(
        RetryCase{"TimeoutDoublesShortTimeout", kTimedOut, 100, 0, true, 1, 200, "Timeout Retry 1: timeout = 200",
                  true},
        RetryCase{"TimeoutKeepsLongTimeout", kTimedOut, 300, 0, true, 1, 300, "", true},
        RetryCase{"HttpAddsFiveSeconds", kHttp500, 100, 0, true, 1, 105, "Http Retry 1: timeout = 105", true},
        RetryCase{"HttpAtLongTimeoutIsTreatedAsTimeout", kHttp500, 300, 2, true, 3, 300,
                  "Http Retry, timeout = 300: treat as timeout", true},
        RetryCase{"HttpAt179DoesNotAlsoDouble", kHttp500, 179, 0, true, 1, 184, "Http Retry 1: timeout = 184", true},
        RetryCase{"BothTextsMeanHttp", "HTTP Error: request timed out", 100, 0, true, 1, 105,
                  "Http Retry 1: timeout = 105", true},
        RetryCase{"OtherFaultIsNotRetried", "malformed object name", 100, 0, false, 0, 100, "", false},
        RetryCase{"TextsAreCaseSensitive", "http error, Timed Out", 100, 0, false, 0, 100, "", false},
        RetryCase{"LastRetryGivesUp", kTimedOut, 100, 4, false, 5, 100, "Max Retries Exceeded (100 secs)", false}),
    [](const ::testing::TestParamInfo<RetryCase>& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, FaultRetrySwitchRebuildsOnlyOnEveryFourthFault) {
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom);
  params.m_MaxRetries = 20;
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);

  std::vector<bool> rebuilt;
  short retry = 0;
  for (int fault = 0; fault < 8; ++fault) {
    const int before = CountMessages(record, kRebuildTrace);
    ASSERT_TRUE(connection->ConnectionRetry(retry, kHttp500));
    rebuilt.push_back(CountMessages(record, kRebuildTrace) > before);
  }
  EXPECT_EQ(rebuilt, std::vector<bool>({false, false, false, true, false, false, false, true}));
  EXPECT_EQ(connection->m_FaultRetryCounter, 0);
  EXPECT_NE(connection->m_Client, nullptr);
}

TEST_F(ConnectionTest, FailedRebuildLeavesNoClientAndLaterReadsFailCleanly) {
  std::unique_ptr<smissim::TestServer> cimom(new smissim::TestServer(SimOver(false)));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(*cimom), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  cimom.reset();  // the CIMOM goes away: the rebuild's connects are refused

  short retry = 0;
  EXPECT_FALSE(connection->ConnectionRetry(retry, kTimedOut));
  EXPECT_EQ(connection->m_Client, nullptr);
  EXPECT_EQ(CountMessages(record, "Caught CIMClientConnectionException"), 6);

  try {
    connection->GetInstanceNames("CIM_StorageVolume");
    FAIL() << "no exception";
  } catch (const Pegasus::Exception& e) {
    EXPECT_EQ(e.getMessage().str(), "not connected");
  }
  EXPECT_EQ(CountMessages(record, "Client Timed out Exception not connected"), 1);
}

// Real client timeouts: the CIMOM answers later than the client waits.
TEST_F(ConnectionTest, SlowAnswerIsRetriedWithDoubledTimeoutOnARebuiltClient) {
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom);
  params.m_TimeoutSecs = 1;
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  cimom->injectFault(DelayFault(1500));

  EXPECT_GT(connection->GetInstanceNames("CIM_StorageVolume").size(), 0u);
  EXPECT_EQ(cimom->requestCount("EnumerateInstanceNames"), 2u);
  EXPECT_EQ(CountMessages(record, "Timeout Retry 1: timeout = 2"), 1);
  EXPECT_EQ(CountMessages(record, kRebuildTrace), 1);
  EXPECT_EQ(CountMessages(record, "Reconnected 127.0.0.1:" + std::to_string(cimom.port()) + ", timeout = 2"), 1);
  EXPECT_EQ(record.errorCode(), 0);
}

TEST_F(ConnectionTest, CimomSlowerThanEveryRetryEndsInTheTimeoutFault) {
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom);
  params.m_TimeoutSecs = 1;
  params.m_MaxRetries = 2;
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  // Each answer comes later than the client waits, even after the timeout is doubled.
  cimom->injectFault(DelayFault(2500, 2));

  try {
    connection->GetInstances("CIM_StorageVolume", Pegasus::CIMPropertyList());
    FAIL() << "no exception";
  } catch (const Pegasus::Exception& e) {
    EXPECT_NE(e.getMessage().str().find("timed out"), std::string::npos);
  }
  EXPECT_EQ(cimom->requestCount("EnumerateInstances"), 2u);
  EXPECT_EQ(CountMessages(record, "Timeout Retry 1: timeout = 2"), 1);
  EXPECT_EQ(CountMessages(record, "Max Retries Exceeded (2 secs)"), 1);
  EXPECT_EQ(CountMessages(record, "Client Timed out Exception connection timed out"), 1);
  EXPECT_EQ(CountMessages(record, "Caught unknown Exception"), 1);
  EXPECT_EQ(TqSleepControl::requestCount(), 0);
}

}  // namespace
}  // namespace smistest
