#include "HttpFrontEnd.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include <httplib.h>
#include <openssl/evp.h>

#include "CimService.h"
#include "ConnectionWatchdog.h"
#include "ControlApi.h"
#include "ElasticWorkerPool.h"
#include "smis-sim/Certificate.h"

namespace smissim {

namespace {

bool isLoopback(const std::string& address) {
  return address == "localhost" || address == "::1" || address.rfind("127.", 0) == 0;
}

// The socket of the connection a request came on: the TLS session knows it; for plain HTTP it is the socket
// whose two ports are those of the request.
int connectionSocket(const httplib::Request& request) {
  if (request.ssl) return SSL_get_fd(request.ssl);
  std::vector<int> sockets = connectedSockets(request.local_port, request.remote_port);
  return sockets.empty() ? -1 : sockets.front();
}

std::string base64Decode(const std::string& text) {
  if (text.empty() || text.size() % 4 != 0 || text.size() > 4096) return "";
  std::string out(text.size() / 4 * 3, '\0');
  int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                               reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (length < 0) return "";
  std::size_t padding = text.size() - text.find_last_not_of('=') - 1;
  out.resize(static_cast<std::size_t>(length) - std::min<std::size_t>(padding, 2));
  return out;
}

// The listening socket is opened with a short accept queue; many clients connecting at once would wait for
// SYN retries. These subclasses reach the socket so its queue can be lengthened.
template <class Base>
class ListeningServer : public Base {
 public:
  using Base::Base;
  void lengthenAcceptQueue() { ::listen(this->svr_sock_, 1024); }
};

}  // namespace

HttpFrontEnd::HttpFrontEnd(const SimulatorOptions& options, CimService& cim, ControlApi& control)
    : options_(options), cim_(cim), control_(control) {}

HttpFrontEnd::~HttpFrontEnd() { stop(); }

HttpFrontEnd::Access HttpFrontEnd::access(const std::string& authorization) const {
  if (options_.user.empty()) return Access::Full;
  const std::string scheme = "Basic ";
  if (authorization.size() <= scheme.size() || strncasecmp(authorization.c_str(), scheme.c_str(), scheme.size()) != 0)
    return Access::None;
  std::string credentials = base64Decode(authorization.substr(scheme.size()));
  if (credentials == options_.user + ":" + options_.password) return Access::Full;
  if (!options_.browseUser.empty() && credentials == options_.browseUser + ":" + options_.browsePassword)
    return Access::Browse;
  return Access::None;
}

int HttpFrontEnd::start() {
  if (!isLoopback(options_.bindAddress))
    throw std::runtime_error("the simulator serves loopback addresses only, not " + options_.bindAddress);
  if (options_.https) {
    if (!options_.certFile.empty()) {
      server_ =
          std::make_unique<ListeningServer<httplib::SSLServer>>(options_.certFile.c_str(), options_.keyFile.c_str());
    } else {
      Certificate certificate = Certificate::selfSigned(options_.bindAddress);
      server_ =
          std::make_unique<ListeningServer<httplib::SSLServer>>(certificate.certificate.get(), certificate.key.get());
    }
  } else {
    server_ = std::make_unique<ListeningServer<httplib::Server>>();
  }
  if (!server_->is_valid()) throw std::runtime_error("the HTTPS listener could not load its certificate");
  if (options_.https && options_.oldTls) {
    SSL_CTX* context = static_cast<httplib::SSLServer&>(*server_).ssl_context();
    SSL_CTX_set_security_level(context, 0);
    if (SSL_CTX_set_cipher_list(context, "DEFAULT:@SECLEVEL=0") != 1 ||
        SSL_CTX_set_min_proto_version(context, TLS1_VERSION) != 1 ||
        SSL_CTX_set_max_proto_version(context, TLS1_VERSION) != 1)
      throw std::runtime_error("this OpenSSL cannot serve TLS 1.0");
  }

  // More workers start while every one is held by a connection, so a client that does not finish its
  // request delays nobody else; the read deadline ends such connections.
  const std::size_t threads = options_.threads;
  server_->new_task_queue = [threads] {
    return new ElasticWorkerPool(threads, std::max<std::size_t>(threads, kMaxWorkers));
  };
  server_->set_tcp_nodelay(true);
  server_->set_keep_alive_max_count(100000);
  server_->set_keep_alive_timeout(5);
  server_->set_read_timeout(30);
  server_->set_payload_max_length(kMaxBodyBytes);
  // The library's default adds SO_REUSEPORT, with which a second simulator would share a busy port and
  // take half its requests. Only SO_REUSEADDR: a port in use is refused.
  server_->set_socket_options([](int socket) {
    int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });

  const std::string realm = "Basic realm=\"" + options_.bindAddress + "\"";
  auto cimHandler = [this, realm](const httplib::Request& request, httplib::Response& response,
                                  const httplib::ContentReader& readBody) {
    const Access granted = access(request.get_header_value("Authorization"));
    if (granted == Access::None) {
      response.status = 401;
      response.set_header("WWW-Authenticate", realm);
      return;
    }
    CimHttpRequest cimRequest;
    // The body is read here, not by the library: its own cap does not hold for chunked bodies.
    bool tooLarge = false;
    readBody([&](const char* data, std::size_t length) {
      tooLarge = length > kMaxBodyBytes - cimRequest.body.size();
      if (!tooLarge) cimRequest.body.append(data, length);
      return !tooLarge;
    });
    if (tooLarge) {
      response.status = 413;
      response.set_header("Connection", "close");
      return;
    }
    // Served until the answer is written (the logger below runs then): the read deadline spares it. A
    // connection the deadline has just ended gets no answer, so its request is not run either.
    if (watchdog_ && !watchdog_->serving(request.remote_port)) {
      response.set_header("Connection", "close");
      return;
    }
    cimRequest.mayChange = granted == Access::Full;
    cimRequest.cimOperation = request.get_header_value("CIMOperation");
    cimRequest.hasCimMethod = request.has_header("CIMMethod");
    cimRequest.cimMethod = request.get_header_value("CIMMethod");
    cimRequest.hasCimObject = request.has_header("CIMObject");
    cimRequest.cimObject = request.get_header_value("CIMObject");
    cimRequest.cimProtocolVersion = request.get_header_value("CIMProtocolVersion");
    CimHttpReply reply = cim_.handle(cimRequest);
    if (reply.dropConnection) {
      int fd = connectionSocket(request);
      if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
      response.set_header("Connection", "close");
      return;
    }
    response.status = reply.status;
    for (const auto& header : reply.headers) response.set_header(header.first.c_str(), header.second);
    if (reply.challenge) response.set_header("WWW-Authenticate", realm);
    const char* xml = "application/xml; charset=utf-8";
    if (reply.body.capacity() >= AnswerBuffers::kMinBytes) {
      // Sent from where it was written (with its length, as a body is), then its storage goes back for the next
      // large answer.
      auto body = std::make_shared<std::string>(std::move(reply.body));
      response.set_content_provider(
          body->size(), xml,
          [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return sink.write(body->data() + offset, std::min(length, body->size() - offset));
          },
          [this, body](bool) { cim_.answerBuffers().giveBack(std::move(*body)); });
    } else if (!reply.body.empty()) {
      response.body = std::move(reply.body);  // as set_content, without copying a large answer
      response.set_header("Content-Type", xml);
    }
  };
  server_->set_logger([this](const httplib::Request& request, const httplib::Response&) {
    if (watchdog_) watchdog_->served(request.remote_port);
  });
  server_->Post("/cimom", cimHandler);
  server_->Post("/", cimHandler);
  control_.registerRoutes(*server_);

  port_ = options_.port == 0 ? server_->bind_to_any_port(options_.bindAddress)
                             : (server_->bind_to_port(options_.bindAddress, options_.port) ? options_.port : -1);
  if (port_ <= 0)
    throw std::runtime_error("cannot listen on " + options_.bindAddress + ":" + std::to_string(options_.port) +
                             " (is the port in use by another server?)");
  if (options_.https)
    static_cast<ListeningServer<httplib::SSLServer>&>(*server_).lengthenAcceptQueue();
  else
    static_cast<ListeningServer<httplib::Server>&>(*server_).lengthenAcceptQueue();
  watchdog_ = std::make_unique<ConnectionWatchdog>(port_, std::chrono::milliseconds(options_.readDeadlineMs));
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 2000 && !server_->is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return port_;
}

void HttpFrontEnd::stop() {
  if (server_) {
    server_->stop();
    // Idle keep-alive connections would hold their workers until the keep-alive timeout; end them now.
    if (port_ > 0)
      for (int fd : connectedSockets(port_, -1)) ::shutdown(fd, SHUT_RDWR);
  }
  if (thread_.joinable()) thread_.join();
  watchdog_.reset();
  server_.reset();
}

}  // namespace smissim
