#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "EvDebug.h"
#include "SimFaults.h"
#include "SnapInfo.h"
#include "TqCimConnection.h"
#include "smis-sim/TestServer.h"
#include "support/ConnectionFixture.h"
#include "support/GatedRelay.h"

namespace smistest {
namespace {

class ConnectOverTest : public ConnectionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ConnectOverTest, ConnectsReadsAndDisconnects) {
  const bool https = GetParam();
  smissim::TestServer cimom(SimOver(https));
  TQSO::SnapInfo record;
  EvDebugCapture hostLog;
  auto connection = ConnectionTo(ParamsFor(cimom), record);

  ASSERT_EQ(connection->ConnectCimom(), 0);
  EXPECT_NE(connection->m_Client, nullptr);
  EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_CONNECTED);
  const std::string where = "127.0.0.1:" + std::to_string(cimom.port());
  EXPECT_EQ(CountMessages(record, "TqCimConnection::ConnectCimom: Connected " + where + ", timeout = 300"), 1);
  EXPECT_EQ(CountMessages(record, https ? "Trying connection over https port [" : "Trying connection over http port ["),
            1);
  EXPECT_EQ(hostLog.countContaining("SSL certificate verified, plain encryption") > 0, https);

  EXPECT_GT(connection->GetInstanceNames("CIM_StorageVolume").size(), 0u);

  EXPECT_EQ(connection->DisconnectCimom(), 0);
  EXPECT_EQ(connection->m_Client, nullptr);
  EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_DISCONNECTED);
  EXPECT_EQ(CountMessages(record, "TqCimConnection::DisconnectCimom: Disconnected from " + where), 1);
  EXPECT_EQ(CountMessages(record, "onnection lock"), https ? 3 : 0);
  EXPECT_EQ(record.errorCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, ConnectOverTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Https" : "Http");
                         });

struct MissingCase {
  const char* name;
  void (*blank)(TqCimomParams&);
};

// Test output names the case, not its bytes.
void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class MissingParameterTest : public ConnectionTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingParameterTest, FailsAtOnceWithoutAClient) {
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom);
  GetParam().blank(params);
  auto connection = ConnectionTo(params, record);

  EXPECT_EQ(connection->ConnectCimom(), 1);
  EXPECT_EQ(connection->m_Client, nullptr);
  ASSERT_EQ(record.messages().size(), 1u);
  EXPECT_EQ(record.messages()[0].text, "TqCimConnection::ConnectCimom: Insufficient parameters for CIMOM connection ");
  EXPECT_EQ(TotalRequests(cimom), 0u);
}

INSTANTIATE_TEST_SUITE_P(Fields, MissingParameterTest,
                         ::testing::Values(MissingCase{"Address", [](TqCimomParams& p) { p.m_Address.clear(); }},
                                           MissingCase{"User", [](TqCimomParams& p) { p.m_User.clear(); }},
                                           MissingCase{"Password", [](TqCimomParams& p) { p.m_Password.clear(); }},
                                           MissingCase{"Namespace", [](TqCimomParams& p) { p.m_NameSpace.clear(); }}),
                         [](const ::testing::TestParamInfo<MissingCase>& info) {
                           return std::string(info.param.name);
                         });

struct RefusedCase {
  bool https;
  short maxRetries;
  int expectedAttempts;
};

// Test output names the case, not its bytes.
void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << (c.https ? "https" : "http") << ", maxRetries " << c.maxRetries;
}

class RefusedConnectTest : public ConnectionTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedConnectTest, IsRepeatedUpToTheRetryLimitWithoutPause) {
  RefusingPort refusing;
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(refusing.port(), GetParam().https);
  params.m_MaxRetries = GetParam().maxRetries;
  auto connection = ConnectionTo(params, record);

  EXPECT_EQ(connection->ConnectCimom(), 1);
  EXPECT_EQ(connection->m_Client, nullptr);
  EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_DISCONNECTED);
  EXPECT_EQ(CountMessages(record, "Caught CIMClientConnectionException: Cannot connect to 127.0.0.1:"),
            GetParam().expectedAttempts);
  EXPECT_EQ(CountMessages(record, "Cannot connect to CIMOM 127.0.0.1:" + std::to_string(refusing.port())),
            GetParam().expectedAttempts);
  // Both lines of an attempt name the source file by its name alone, never by the build machine's path.
  EXPECT_EQ(CountMessages(record, "TqCimConnection::ConnectCimom: TqCimConnection.cpp:"),
            2 * GetParam().expectedAttempts);
  // Every HTTPS attempt takes and gives back the lock.
  EXPECT_EQ(CountMessages(record, "Connection lock released"), GetParam().https ? GetParam().expectedAttempts : 0);
  EXPECT_EQ(TqSleepControl::requestCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, RefusedConnectTest,
                         ::testing::Values(RefusedCase{false, 5, 6}, RefusedCase{true, 5, 6}, RefusedCase{false, 2, 3},
                                           RefusedCase{false, 0, 1}));

// Many connections refused at once, over HTTP and HTTPS: each is traced on its own record and ends without a
// client. The handler of a refused connect runs on every thread at the same time; the sanitizer build checks
// that it calls only through live objects (the connection, the caught exception, the record).
TEST_F(ConnectionTest, RefusedConnectsOnManyThreadsAtOnceEachTraceTheirOwnRecord) {
  const int kThreads = 96;
  RefusingPort refusing;
  for (bool https : {false, true}) {
    SCOPED_TRACE(https ? "https" : "http");
    std::vector<TQSO::SnapInfo> records(kThreads);
    std::vector<std::unique_ptr<TqCimConnection>> connections;
    TqCimomParams params = ParamsFor(refusing.port(), https);
    params.m_MaxRetries = 2;
    for (TQSO::SnapInfo& record : records) connections.push_back(ConnectionTo(params, record));
    std::vector<int> results(kThreads, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back([&, i] { results[i] = connections[i]->ConnectCimom(); });
    for (std::thread& thread : threads) thread.join();
    for (int i = 0; i < kThreads; ++i) {
      EXPECT_EQ(1, results[i]);
      EXPECT_EQ(nullptr, connections[i]->m_Client);
      EXPECT_EQ(3, CountMessages(records[i], "Caught CIMClientConnectionException: Cannot connect to 127.0.0.1:"));
    }
  }
}

TEST_F(ConnectionTest, ConnectingAConnectedClientContinuesWithIt) {
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  Pegasus::CIMClient* client = connection->m_Client;

  EXPECT_EQ(connection->ConnectCimom(), 0);
  EXPECT_EQ(connection->m_Client, client);
  EXPECT_EQ(connection->m_Cimom.GetConnState(), TQ_CIM_CONNECTED);
  EXPECT_EQ(CountMessages(record, "AlreadyConnectedException: Continuing ..."), 1);
  EXPECT_EQ(CountMessages(record, "Connected 127.0.0.1"), 1);
  EXPECT_GT(connection->GetInstanceNames("CIM_StorageVolume").size(), 0u);
}

TEST_F(ConnectionTest, DisconnectWithoutClientIsQuiet) {
  TQSO::SnapInfo record;
  TqCimConnection connection;
  connection.m_SnapInfo = &record;
  connection.m_Cimom.SetConnState(TQ_CIM_CONNECTED);
  EXPECT_EQ(connection.DisconnectCimom(), 0);
  EXPECT_EQ(connection.m_Cimom.GetConnState(), TQ_CIM_DISCONNECTED);
  EXPECT_TRUE(record.messages().empty());
}

TEST_F(ConnectionTest, CopiesNeverShareTheClient) {
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  auto original = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(original->ConnectCimom(), 0);

  TqCimConnection copy(*original);
  EXPECT_EQ(copy.m_Client, nullptr);
  EXPECT_EQ(copy.m_Cimom.GetConnState(), TQ_CIM_DISCONNECTED);
  EXPECT_EQ(copy.m_SnapInfo, &record);
  ASSERT_EQ(copy.ConnectCimom(), 0);
  EXPECT_NE(copy.m_Client, original->m_Client);
  EXPECT_EQ(copy.DisconnectCimom(), 0);
  EXPECT_GT(original->GetInstanceNames("CIM_StorageVolume").size(), 0u);

  // An assigned-to connection gives up its own client and does not take the source's.
  auto target = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(target->ConnectCimom(), 0);
  *target = *original;
  EXPECT_EQ(target->m_Client, nullptr);
  EXPECT_EQ(target->m_Cimom.GetConnState(), TQ_CIM_DISCONNECTED);
  EXPECT_GT(original->GetInstanceNames("CIM_StorageVolume").size(), 0u);
  EXPECT_EQ(original->DisconnectCimom(), 0);
  // A connection destroyed while it still holds a client frees it (a leak check sees the difference).
  ASSERT_EQ(target->ConnectCimom(), 0);
}

TEST_F(ConnectionTest, ClientAccessWithoutClientThrowsNotConnected) {
  TqCimConnection connection;
  try {
    connection.Client();
    FAIL() << "no exception";
  } catch (const Pegasus::Exception& e) {
    EXPECT_EQ(e.getMessage().str(), "not connected");
  }
}

// Two HTTPS connects on two threads, the first held half-way at a gate in front of the CIMOM.
class HttpsConnectLockTest : public ConnectionTest {
 protected:
  struct Run {
    int mostHeldAtOnce = 0;
    int firstResult = -1;
    int secondResult = -1;
    TQSO::SnapInfo firstRecord;
    TQSO::SnapInfo secondRecord;
  };

  // secondConnectStarted: the trace that shows the second connect is under way.
  void ConnectTwoAtOnce(Run& run, const std::string& secondConnectStarted) {
    smissim::TestServer cimom(SimOver(true));
    GatedRelay gate(cimom.port());
    auto first = ConnectionTo(ParamsFor(gate.port(), true), run.firstRecord);
    auto second = ConnectionTo(ParamsFor(gate.port(), true), run.secondRecord);

    std::thread firstThread([&] { run.firstResult = first->ConnectCimom(); });
    ASSERT_TRUE(gate.AwaitHeld(1, std::chrono::seconds(10)));
    std::thread secondThread([&] { run.secondResult = second->ConnectCimom(); });
    EXPECT_TRUE(AwaitMessage(run.secondRecord, secondConnectStarted, std::chrono::seconds(10)));
    // Give the second connect every chance to reach the CIMOM while the first is held.
    gate.AwaitHeld(2, std::chrono::milliseconds(500));
    run.mostHeldAtOnce = gate.MostHeld();
    gate.Open();
    firstThread.join();
    secondThread.join();
    first->DisconnectCimom();
    second->DisconnectCimom();
  }
};

TEST_F(HttpsConnectLockTest, ConnectsNeverOverlap) {
  Run run;
  ConnectTwoAtOnce(run, "Acquiring connection lock");
  EXPECT_EQ(run.mostHeldAtOnce, 1);
  EXPECT_EQ(run.firstResult, 0);
  EXPECT_EQ(run.secondResult, 0);
  for (TQSO::SnapInfo* record : {&run.firstRecord, &run.secondRecord}) {
    const int acquiring = FirstMessage(*record, "Acquiring connection lock");
    const int acquired = FirstMessage(*record, "Connection lock acquired");
    const int trying = FirstMessage(*record, "Trying connection over https port");
    const int released = FirstMessage(*record, "Connection lock released");
    EXPECT_TRUE(acquiring >= 0 && acquiring < acquired && acquired < trying && trying < released);
  }
  EXPECT_EQ(TqCimConnection::m_ConnLock.enter(false), 1);
  TqCimConnection::m_ConnLock.leave();
}

TEST_F(HttpsConnectLockTest, ConnectsOverlapWhenTheLockIsTurnedOff) {
  TqConfigOverride lockOff("Corvane", "TQ_PEGASUS_DISABLE_CONNLOCK", "1");
  Run run;
  ConnectTwoAtOnce(run, "Trying connection over https");
  EXPECT_EQ(run.mostHeldAtOnce, 2);
  EXPECT_EQ(run.firstResult, 0);
  EXPECT_EQ(run.secondResult, 0);
  EXPECT_EQ(CountMessages(run.firstRecord, "onnection lock"), 0);
  EXPECT_EQ(CountMessages(run.secondRecord, "onnection lock"), 0);
}

}  // namespace
}  // namespace smistest
