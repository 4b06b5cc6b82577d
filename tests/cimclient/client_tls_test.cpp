// HTTPS: the certificate callback decides whether a self-signed server is accepted; clients in parallel threads.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Pegasus/CIMClient.h"
#include "support/LoopbackCimServer.h"

using namespace Pegasus;
using cimtest::LoopbackCimServer;
using CimXml::Request;
using CimXml::Response;

namespace {

std::mutex offeredMutex;
std::vector<SSLCertificateInfo> offered;  // what the callbacks were shown

Boolean record(SSLCertificateInfo& info, Boolean verdict) {
  std::lock_guard<std::mutex> lock(offeredMutex);
  offered.push_back(info);
  return verdict;
}

Boolean acceptAll(SSLCertificateInfo& info) { return record(info, true); }

Boolean refuseAll(SSLCertificateInfo& info) { return record(info, false); }

class ClientTls : public ::testing::Test {
 protected:
  void SetUp() override { offered.clear(); }

  LoopbackCimServer server{[](const Request&) {
                             Response response;
                             response.returnKind = Response::INSTANCE_NAMES;
                             response.paths.push_back(CIMObjectPath("TPD_StorageSystem.Name=\"S1\""));
                             return response;
                           },
                           {true, "admin", "s3cret"}};
  CIMClient client;
};

TEST_F(ClientTls, AcceptedSelfSignedCertificateCarriesOperations) {
  client.connect("127.0.0.1", server.port(), SSLContext("", acceptAll, ""), "admin", "s3cret");
  ASSERT_FALSE(offered.empty()) << "the callback must see the certificate at connect";
  const SSLCertificateInfo& first = offered.front();
  EXPECT_NE(std::string::npos, first.getSubjectName().str().find("127.0.0.1")) << first.getSubjectName();
  EXPECT_EQ(first.getSubjectName(), first.getIssuerName());
  EXPECT_EQ(0u, first.getErrorDepth());
  EXPECT_EQ(4711, first.getSerialNumber());
  EXPECT_EQ(3u, first.getVersionNumber());
  EXPECT_NE(0u, first.getErrorCode()) << "OpenSSL alone does not trust a self-signed certificate";
  EXPECT_EQ(Uint32(SSLCertificateInfo::V_FAILED), first.getResponseCode());

  Array<CIMObjectPath> names = client.enumerateInstanceNames("root/tpd", "TPD_StorageSystem");
  ASSERT_EQ(1u, names.size());
  EXPECT_EQ("TPD_StorageSystem.Name=\"S1\"", names[0].toString());
  EXPECT_EQ("Basic YWRtaW46czNjcmV0", server.lastSeen().authorization);
}

TEST_F(ClientTls, RefusedCertificateFailsTheConnect) {
  for (SSLCertificateVerifyFunction* verdict : {refuseAll, static_cast<SSLCertificateVerifyFunction*>(nullptr)}) {
    try {
      client.connect("127.0.0.1", server.port(), SSLContext("", verdict), "admin", "s3cret");
      FAIL() << "connect accepted a refused certificate";
    } catch (const CannotConnectException& e) {
      EXPECT_NE(std::string::npos, e.getMessage().str().find("Connection failed")) << e.getMessage();
    }
    EXPECT_THROW(client.enumerateInstanceNames("root/tpd", "TPD_StorageSystem"), NotConnectedException);
  }
  EXPECT_FALSE(offered.empty());
  EXPECT_TRUE(server.seen().empty());
}

TEST_F(ClientTls, ServerSpeakingOnlyTls10IsReachedAndTheCertificateStillJudged) {
  LoopbackCimServer old([](const Request&) { return Response(); }, {true, "", "", true});
  for (SSLCertificateVerifyFunction* verdict : {refuseAll, acceptAll}) {
    offered.clear();
    CIMClient own;
    if (verdict == refuseAll) {
      EXPECT_THROW(own.connect("127.0.0.1", old.port(), SSLContext("", verdict), "", ""), CannotConnectException);
    } else {
      own.connect("127.0.0.1", old.port(), SSLContext("", verdict), "", "");
      for (int i = 0; i < 2; ++i) EXPECT_EQ(0u, own.enumerateInstanceNames("root/tpd", "TPD_StorageSystem").size());
    }
    EXPECT_FALSE(offered.empty());
  }
  EXPECT_EQ(2u, old.seen().size());
}

TEST_F(ClientTls, ParallelClientsEachKeepTheirOwnConnection) {
  const int threads = 6;
  const int operationsEach = 20;
  std::atomic<int> succeeded(0);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      CIMClient own;
      own.connect("127.0.0.1", server.port(), SSLContext("", acceptAll), "admin", "s3cret");
      for (int i = 0; i < operationsEach; ++i)
        if (own.enumerateInstanceNames("root/tpd", "TPD_StorageSystem").size() == 1) ++succeeded;
    });
  for (std::thread& worker : workers) worker.join();

  EXPECT_EQ(threads * operationsEach, succeeded.load());
  std::set<std::string> messageIds;
  std::set<int> connections;
  for (const cimtest::SeenRequest& seen : server.seen()) {
    messageIds.insert(seen.decoded.messageId.str());
    connections.insert(seen.remotePort);
  }
  EXPECT_EQ(size_t(threads * operationsEach), messageIds.size());
  EXPECT_EQ(size_t(threads), connections.size());
}

TEST_F(ClientTls, UnreadableTrustStoreIsAnSslException) {
  EXPECT_THROW(SSLContext("/nonexistent/trust.pem", acceptAll), SSLException);
}

}  // namespace
