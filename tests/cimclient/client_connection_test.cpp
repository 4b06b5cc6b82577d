// Connection life of CIMClient: connect and disconnect, credentials, timeouts, broken answers,
// connection reuse and recovery.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "Pegasus/CIMClient.h"
#include "support/CannedHttpServer.h"
#include "support/LoopbackCimServer.h"

using namespace Pegasus;
using cimtest::CannedHttpServer;
using cimtest::Fault;
using cimtest::LoopbackCimServer;
using CimXml::Request;
using CimXml::Response;

namespace {

const CIMNamespaceName kNamespace("root/tpd");

Response noInstances(const Request&) {
  Response response;
  response.returnKind = Response::INSTANCE_NAMES;
  return response;
}

// A loopback port bound but not listening: connecting to it is refused.
class RefusingPort {
 public:
  RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("cannot reserve a loopback port");
    port_ = ntohs(address.sin_port);
  }
  ~RefusingPort() { ::close(fd_); }
  Uint32 port() const { return port_; }

 private:
  int fd_;
  Uint32 port_ = 0;
};

// Runs `call` and returns the message of the Exception it throws; fails unless it is of type Expected.
template <class Expected, class Call>
std::string messageOf(Call call) {
  try {
    call();
  } catch (const Exception& e) {
    EXPECT_EQ(typeid(Expected).name(), typeid(e).name()) << e.getMessage();
    return e.getMessage().str();
  }
  ADD_FAILURE() << "no exception";
  return std::string();
}

class ClientConnection : public ::testing::Test {
 protected:
  Array<CIMObjectPath> list() { return client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume"); }

  std::unique_ptr<LoopbackCimServer> server{new LoopbackCimServer(noInstances)};
  CIMClient client;
};

TEST_F(ClientConnection, RefusedConnectSaysConnectionFailedAndLeavesClientUnconnected) {
  RefusingPort refusing;
  const std::string message =
      messageOf<CannotConnectException>([&] { client.connect("127.0.0.1", refusing.port(), "user", "pw"); });
  EXPECT_EQ("Cannot connect to 127.0.0.1:" + std::to_string(refusing.port()) +
                ". Connection failed: nothing accepts connections on that port.",
            message);
  EXPECT_EQ("not connected", messageOf<NotConnectedException>([&] { list(); }));
}

TEST_F(ClientConnection, ConnectStateRules) {
  EXPECT_EQ("not connected", messageOf<NotConnectedException>([&] { list(); }));
  client.disconnect();  // harmless when not connected

  client.connect("127.0.0.1", server->port(), "", "");
  EXPECT_EQ("already connected",
            messageOf<AlreadyConnectedException>([&] { client.connect("127.0.0.1", server->port(), "", ""); }));
  EXPECT_TRUE(server->seen().empty()) << "connect must not send a request";

  client.disconnect();
  EXPECT_THROW(list(), NotConnectedException);
  client.connect("127.0.0.1", server->port(), "", "");
  EXPECT_NO_THROW(list());
}

TEST_F(ClientConnection, BasicCredentialsAreSentAndAWrongPasswordFailsAtTheFirstOperation) {
  LoopbackCimServer guarded(noInstances, {false, "admin", "s3cret"});
  client.connect("127.0.0.1", guarded.port(), "admin", "s3cret");
  EXPECT_NO_THROW(client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume"));
  EXPECT_EQ("Basic YWRtaW46czNjcmV0", guarded.lastSeen().authorization);
  client.disconnect();

  CIMClient wrong;
  wrong.connect("127.0.0.1", guarded.port(), "admin", "guess");
  try {
    wrong.enumerateInstanceNames(kNamespace, "TPD_StorageVolume");
    FAIL() << "no exception";
  } catch (const CIMClientHTTPErrorException& e) {
    EXPECT_EQ(401u, e.getCode());
    EXPECT_NE(std::string::npos, e.getMessage().str().find("HTTP")) << e.getMessage();
    EXPECT_NE(std::string::npos, e.getMessage().str().find("401")) << e.getMessage();
  }
}

TEST_F(ClientConnection, TimeoutIsReportedAndTheNextOperationReconnects) {
  client.connect("127.0.0.1", server->port(), "", "");
  EXPECT_EQ(CIMClient::DEFAULT_TIMEOUT_MILLISECONDS, client.getTimeout());
  // 0 would be "no timeout at all" to the transport library: it is raised to one second instead.
  client.setTimeout(0);
  EXPECT_EQ(0u, client.getTimeout());
  list();
  server->setDelayMilliseconds(2500);
  server->injectFault(Fault::Delay);

  EXPECT_EQ("connection timed out", messageOf<ConnectionTimeoutException>([&] { list(); }));
  EXPECT_NO_THROW(list());
  std::vector<cimtest::SeenRequest> seen = server->seen();
  ASSERT_EQ(3u, seen.size());
  EXPECT_NE(seen[1].remotePort, seen[2].remotePort) << "a timed-out connection must not be reused";
}

TEST_F(ClientConnection, OperationsShareOneConnection) {
  client.connect("127.0.0.1", server->port(), "", "");
  for (int i = 0; i < 8; ++i) list();
  std::set<int> ports;
  for (const cimtest::SeenRequest& seen : server->seen()) ports.insert(seen.remotePort);
  EXPECT_EQ(1u, ports.size());
}

TEST_F(ClientConnection, ServerGoneBetweenOperationsIsACannotConnect) {
  client.connect("127.0.0.1", server->port(), "", "");
  list();
  const int port = server->port();
  server.reset();
  EXPECT_EQ("Cannot connect to 127.0.0.1:" + std::to_string(port) +
                ". Connection failed: nothing accepts connections on that port.",
            messageOf<CannotConnectException>([&] { list(); }));
}

struct BrokenAnswer {
  Fault fault;
  std::vector<std::string> expectedInMessage;
  const std::type_info& expectedType;
};

TEST_F(ClientConnection, BrokenAnswersRaiseTheirExceptionAndTheClientCarriesOn) {
  const BrokenAnswer cases[] = {
      {Fault::HttpServerError, {"HTTP Error (500", "request-not-valid"}, typeid(CIMClientHTTPErrorException)},
      {Fault::MissingOperationHeader, {"Missing CIMOperation HTTP header"}, typeid(CIMClientMalformedHTTPException)},
      {Fault::WrongMessageId, {"Mismatched response message ID:  Got \""}, typeid(CIMClientResponseException)},
      {Fault::TruncatedBody, {"Connection closed by CIM Server."}, typeid(ConnectionLostException)},
      {Fault::OversizedBody, {"exceeds the limit"}, typeid(CIMClientMalformedHTTPException)},
      {Fault::WrongContentType, {"Bad Content-Type HTTP header; text/html"}, typeid(CIMClientMalformedHTTPException)},
      {Fault::ErrorStatusHeader, {"volume gone"}, typeid(CIMException)},
  };
  client.connect("127.0.0.1", server->port(), "", "");
  for (const BrokenAnswer& broken : cases) {
    server->injectFault(broken.fault);
    const std::string& name = broken.expectedInMessage.front();
    try {
      list();
      ADD_FAILURE() << "no exception for " << name;
    } catch (const Exception& e) {
      EXPECT_EQ(broken.expectedType.name(), typeid(e).name()) << e.getMessage();
      for (const std::string& part : broken.expectedInMessage)
        EXPECT_NE(std::string::npos, e.getMessage().str().find(part)) << e.getMessage();
    }
    EXPECT_NO_THROW(list()) << "after " << name;
  }
}

struct WireForm {
  const char* label;
  std::vector<CannedHttpServer::Answer> script;
  int connections;  // how many connections three operations take
};

// How real servers frame their answers and end connections.
std::vector<WireForm> wireForms() {
  using Then = CannedHttpServer::Then;
  const std::string ok = "HTTP/1.1 200 OK\r\nCIMOperation: MethodResponse\r\n";
  const std::string sized = "Content-Length: {LENGTH}\r\n\r\n{BODY}";
  return {
      {"chunked with a status trailer",
       {{ok + "Content-Type: application/xml; charset=\"utf-8\"\r\nTransfer-Encoding: chunked\r\n"
              "Trailer: CIMStatusCode\r\n\r\n{CHUNKED}0\r\nCIMStatusCode: 0\r\n\r\n"}},
       1},
      {"interim 100 Continue", {{"HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Type: text/xml\r\n" + sized}}, 1},
      {"content type and protocol headers in other spellings",
       {{ok + "content-type: Application/XML;charset=UTF-8\r\nCIMProtocolVersion: 1.0\r\n" + sized}},
       1},
      {"Connection: close", {{ok + "Content-Type: application/xml\r\nConnection: close\r\n" + sized, Then::Close}}, 3},
      {"HTTP/1.0 without length", {{"HTTP/1.0 200 OK\r\nCIMOperation: MethodResponse\r\n\r\n{BODY}", Then::Close}}, 3},
      {"keep-alive ended by the server while idle", {{ok + sized, Then::CloseAfterPause}}, 3},
      {"kept connection dropped when the next request arrives",
       {{ok + sized}, {"", Then::Close, true}, {ok + sized}},
       2},
  };
}

// Every form must carry operations, and a connection the server ended is replaced without the caller noticing.
// The connections counted are all the server accepted: connect opens the one the first request uses.
void expectWireFormsCarryOperations(bool tls) {
  for (const WireForm& form : wireForms()) {
    SCOPED_TRACE(form.label);
    CannedHttpServer server(form.script, tls);
    CIMClient client;
    client.setTimeout(5000);
    if (tls)
      client.connect("127.0.0.1", server.port(), SSLContext("", [](SSLCertificateInfo&) -> Boolean { return true; }),
                     "", "");
    else
      client.connect("127.0.0.1", server.port(), "", "");
    for (int i = 0; i < 3; ++i) {
      Array<CIMObjectPath> names;
      ASSERT_NO_THROW(names = client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume")) << "operation " << i;
      ASSERT_EQ(1u, names.size());
      EXPECT_EQ("TPD_StorageVolume.DeviceID=\"1\"", names[0].toString().str());
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    EXPECT_EQ(form.connections, server.connections()) << "connect's connection carries the first request";
  }
}

// A kept connection that drops a change (a method, a deleted instance) after the server received it: the
// server may have made the change, so the caller hears of the lost connection and the change is not sent
// again; the next operation goes out on a new connection.
TEST(ClientWireForms, AChangeDroppedByAKeptConnectionIsNotSentTwice) {
  using Then = CannedHttpServer::Then;
  const CIMObjectPath volume("TPD_StorageVolume.DeviceID=\"1\"");
  const std::pair<const char*, std::function<void(CIMClient&)>> changes[] = {
      {"method",
       [&](CIMClient& client) {
         Array<CIMParamValue> out;
         client.invokeMethod(kNamespace, volume, "ReturnToStoragePool", Array<CIMParamValue>(), out);
       }},
      {"delete", [&](CIMClient& client) { client.deleteInstance(kNamespace, volume); }},
  };
  const std::string answer =
      "HTTP/1.1 200 OK\r\nCIMOperation: MethodResponse\r\nContent-Length: {LENGTH}\r\n\r\n{BODY}";
  for (const auto& change : changes) {
    SCOPED_TRACE(change.first);
    CannedHttpServer server({{answer}, {"", Then::Close, true}, {answer}});
    CIMClient client;
    client.setTimeout(5000);
    client.connect("127.0.0.1", server.port(), "", "");
    ASSERT_NO_THROW(client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume"));
    EXPECT_THROW(change.second(client), CIMClientMalformedHTTPException);
    EXPECT_EQ(2u, server.requests().size()) << "the change reached the server once";
    EXPECT_NO_THROW(client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume"));
  }
}

TEST(ClientWireForms, AnswersAreReadWhateverTheirFramingAndConnectionsAreRenewed) {
  expectWireFormsCarryOperations(false);
}

TEST(ClientWireForms, OverHttpsTooWithTheHandshakeOfConnectCarryingTheFirstRequest) {
  expectWireFormsCarryOperations(true);
}

TEST(ClientWireForms, StatusTrailerOfAChunkedAnswerIsACimError) {
  CannedHttpServer server(
      {{"HTTP/1.1 200 OK\r\nCIMOperation: MethodResponse\r\nTransfer-Encoding: chunked\r\n\r\n"
        "{CHUNKED}0\r\nCIMStatusCode: 6\r\nCIMStatusCodeDescription: volume%20gone\r\n\r\n"}});
  CIMClient client;
  client.connect("127.0.0.1", server.port(), "", "");
  try {
    client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume");
    FAIL() << "no exception";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_NOT_FOUND, e.getCode());
    EXPECT_EQ("volume gone", e.getMessage().str());
  }
}

}  // namespace
