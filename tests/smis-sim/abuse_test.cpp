// The simulator under abuse, as a new user may try it: a second simulator on a busy port, request bodies
// beyond the cap sent in chunks, requests nested far deeper than CIM-XML goes. Each is refused and the
// simulator keeps answering.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "smis-sim/Simulator.h"
#include "smis-sim/TestServer.h"

namespace {

const char* const kEnumerateNames =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
    "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL NAME=\"EnumerateInstanceNames\">"
    "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"tpd\"/></LOCALNAMESPACEPATH>"
    "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"TPD_StorageSystem\"/></IPARAMVALUE>"
    "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>";

httplib::Headers CimHeaders() {
  return {{"CIMOperation", "MethodCall"}, {"CIMMethod", "EnumerateInstanceNames"}, {"CIMObject", "root%2Ftpd"}};
}

class SimulatorAbuse : public ::testing::Test {
 protected:
  SimulatorAbuse() : client_("127.0.0.1", server_.port()) {
    client_.set_basic_auth(server_.user().c_str(), server_.password().c_str());
    client_.set_read_timeout(30);
  }

  // A well-behaved request still gets its answer.
  void ExpectStillAnswering() {
    httplib::Client fresh("127.0.0.1", server_.port());
    fresh.set_basic_auth(server_.user().c_str(), server_.password().c_str());
    auto answer = fresh.Post("/cimom", CimHeaders(), kEnumerateNames, "application/xml");
    ASSERT_TRUE(answer);
    EXPECT_EQ(200, answer->status);
    EXPECT_NE(std::string::npos, answer->body.find("TPD_StorageSystem"));
  }

  smissim::TestServer server_;
  httplib::Client client_;
};

TEST_F(SimulatorAbuse, BusyPortIsRefused) {
  smissim::SimulatorOptions options;
  options.port = server_.port();
  smissim::Simulator second(options);
  try {
    second.start();
    FAIL() << "a second simulator started on a busy port";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string::npos, std::string(e.what()).find("in use")) << e.what();
  }
  ExpectStillAnswering();
}

TEST_F(SimulatorAbuse, ChunkedBodyBeyondTheCapIsRefused) {
  const std::string piece(1 << 20, 'x');
  const std::size_t pieces = (128 << 20) / piece.size();  // twice the cap
  std::size_t sent = 0;
  auto answer = client_.Post(
      "/cimom", CimHeaders(),
      [&](std::size_t, httplib::DataSink& sink) {
        if (sent++ < pieces) return sink.write(piece.data(), piece.size());
        sink.done();
        return true;
      },
      "application/xml");
  // The simulator stops reading at the cap: the client sees 413 or a connection closed under it.
  if (answer) {
    EXPECT_EQ(413, answer->status);
  }
  EXPECT_LT(sent, pieces) << "the whole oversized body was taken";
  ExpectStillAnswering();
}

TEST_F(SimulatorAbuse, DeeplyNestedRequestIsRefusedBeforeParsing) {
  const int depth = 100000;
  std::string body;
  body.reserve(static_cast<std::size_t>(depth) * 7);
  for (int i = 0; i < depth; ++i) body += "<VALUE>";
  for (int i = 0; i < depth; ++i) body += "</VALUE>";
  auto answer = client_.Post("/cimom", CimHeaders(), body, "application/xml");
  ASSERT_TRUE(answer);
  EXPECT_EQ(400, answer->status);
  EXPECT_EQ("request-not-valid", answer->get_header_value("CIMError"));
  EXPECT_NE(std::string::npos, answer->get_header_value("PGErrorDetail").find("nested"));
  ExpectStillAnswering();
}

// Clients that open a request and never finish it hold every worker; they are cut at the read deadline,
// and a well-behaved client is answered while they hang on.
TEST(SimulatorSlowClients, AreCutAtTheReadDeadlineAndOthersAreAnswered) {
  smissim::SimulatorOptions options;
  options.threads = 4;
  options.readDeadlineMs = 1000;
  smissim::TestServer server(options);
  std::vector<int> slow;
  for (int i = 0; i < 12; ++i) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(server.port()));
    ASSERT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
    const std::string start = "POST /cimom HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    ASSERT_EQ(static_cast<ssize_t>(start.size()), ::send(fd, start.data(), start.size(), 0));
    slow.push_back(fd);
  }
  httplib::Client client("127.0.0.1", server.port());
  client.set_basic_auth(server.user().c_str(), server.password().c_str());
  client.set_read_timeout(20);
  auto answer = client.Post("/cimom", CimHeaders(), kEnumerateNames, "application/xml");
  ASSERT_TRUE(answer);
  EXPECT_EQ(200, answer->status);
  for (int fd : slow) {
    char byte;
    EXPECT_GE(0, ::recv(fd, &byte, 1, 0)) << "a slow client's connection is closed";
    ::close(fd);
  }
}

}  // namespace
