// A small CIM-XML server on 127.0.0.1 (ephemeral port, HTTP or HTTPS) for the client tests.
// It decodes each request with the codec, lets the test's handler answer it, and can spoil the next
// answers on purpose (delay, HTTP error, missing header, wrong message ID, cut body).
#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Pegasus/CimXml.h"
#include "Pegasus/Exception.h"
#include "TestCertificate.h"

namespace cimtest {

using Pegasus::CimXml::Request;
using Pegasus::CimXml::Response;

enum class Fault {
  None,
  Delay,                   // answer after delayMilliseconds
  HttpServerError,         // 500 with a CIMError header
  MissingOperationHeader,  // 200 without "CIMOperation: MethodResponse"
  WrongMessageId,          // echoes another MESSAGE ID
  TruncatedBody,           // announces the whole body, sends half, closes
  OversizedBody,           // announces a 2 GiB body, sends a little, closes
  WrongContentType,        // 200 with a text/html body
  ErrorStatusHeader,       // 200 with CIMStatusCode 6 and a %XX-escaped CIMStatusCodeDescription
};

// What the server saw of one request.
struct SeenRequest {
  int remotePort = 0;
  std::string authorization;
  std::string cimMethod;
  std::string cimObject;
  Request decoded;
};

class LoopbackCimServer {
 public:
  using Handler = std::function<Response(const Request&)>;

  struct Options {
    bool https = false;
    std::string user;  // when set, requests need Basic credentials user:password
    std::string password;
    bool oldTlsOnly = false;  // HTTPS server that speaks only TLS 1.0, as older array firmware does
  };

  LoopbackCimServer(Handler handler, Options options) : handler_(std::move(handler)), options_(std::move(options)) {
    if (options_.https) {
      TestCertificate certificate = makeSelfSignedCertificate();
      certificatePem_ = pemOf(certificate.cert.get());
      httplib::SSLServer* tls = new httplib::SSLServer(certificate.cert.get(), certificate.key.get());
      server_.reset(tls);
      if (options_.oldTlsOnly) {
        SSL_CTX* context = tls->ssl_context();
        SSL_CTX_set_security_level(context, 0);
        SSL_CTX_set_cipher_list(context, "DEFAULT:@SECLEVEL=0");
        SSL_CTX_set_min_proto_version(context, TLS1_VERSION);
        SSL_CTX_set_max_proto_version(context, TLS1_VERSION);
      }
    } else {
      server_.reset(new httplib::Server);
    }
    server_->set_keep_alive_max_count(100000);
    server_->set_keep_alive_timeout(1);  // a stopping server waits this long for idle connections
    server_->set_tcp_nodelay(true);      // no Nagle pause between an answer's header and body
    server_->Post("/cimom", [this](const httplib::Request& req, httplib::Response& res) { serve(req, res); });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  explicit LoopbackCimServer(Handler handler) : LoopbackCimServer(std::move(handler), Options()) {}

  ~LoopbackCimServer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    server_->stop();
    thread_.join();
  }

  int port() const { return port_; }
  // HTTPS: the server's certificate as PEM text, for clients that trust it.
  const std::string& certificatePem() const { return certificatePem_; }

  // The next answer suffers this fault (faults queue up, one per request).
  void injectFault(Fault fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back(fault);
  }

  void setDelayMilliseconds(int milliseconds) { delayMilliseconds_ = milliseconds; }

  std::vector<SeenRequest> seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

  SeenRequest lastSeen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (seen_.empty()) throw std::runtime_error("no request seen");
    return seen_.back();
  }

 private:
  std::string certificatePem_;
  static const char* contentType() { return "application/xml; charset=utf-8"; }

  static std::string base64(const std::string& text) {
    std::string encoded(4 * ((text.size() + 2) / 3) + 1, '\0');
    const int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&encoded[0]),
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    encoded.resize(static_cast<std::size_t>(length));
    return encoded;
  }

  Fault nextFault() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (faults_.empty()) return Fault::None;
    Fault fault = faults_.front();
    faults_.pop_front();
    return fault;
  }

  bool authorized(const httplib::Request& req) const {
    if (options_.user.empty()) return true;
    return req.get_header_value("Authorization") == "Basic " + base64(options_.user + ":" + options_.password);
  }

  void record(const httplib::Request& req, const Request& decoded) {
    SeenRequest seen;
    seen.remotePort = req.remote_port;
    seen.authorization = req.get_header_value("Authorization");
    seen.cimMethod = req.get_header_value("CIMMethod");
    seen.cimObject = req.get_header_value("CIMObject");
    seen.decoded = decoded;
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back(std::move(seen));
  }

  void pause() {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(delayMilliseconds_), [this] { return stopping_; });
  }

  void serve(const httplib::Request& req, httplib::Response& res) {
    Request decoded = Pegasus::CimXml::decodeRequest(Pegasus::String(req.body));
    record(req, decoded);
    if (!authorized(req)) {
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"127.0.0.1\"");
      return;
    }
    Response answer = handler_(decoded);
    answer.messageId = decoded.messageId;
    answer.intrinsic = decoded.intrinsic;
    answer.methodName = decoded.methodName;

    const Fault fault = nextFault();
    if (fault == Fault::Delay) pause();
    if (fault == Fault::HttpServerError) {
      res.status = 500;
      res.set_header("CIMError", "request-not-valid");
      return;
    }
    if (fault == Fault::WrongMessageId) answer.messageId = answer.messageId + "9";
    const std::string body = Pegasus::CimXml::encodeResponse(answer).str();
    if (fault != Fault::MissingOperationHeader) res.set_header("CIMOperation", "MethodResponse");
    if (fault == Fault::ErrorStatusHeader) {
      res.set_header("CIMStatusCode", "6");
      res.set_header("CIMStatusCodeDescription", "volume%20gone");
    }
    if (fault == Fault::TruncatedBody || fault == Fault::OversizedBody) {
      const size_t announced = fault == Fault::TruncatedBody ? body.size() : size_t(2) << 30;
      res.set_content_provider(announced, contentType(), [body](size_t, size_t, httplib::DataSink& sink) {
        sink.write(body.data(), body.size() / 2);
        return false;
      });
      return;
    }
    res.set_content(body, fault == Fault::WrongContentType ? "text/html" : contentType());
  }

  Handler handler_;
  Options options_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  std::atomic<int> delayMilliseconds_{1000};

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::deque<Fault> faults_;
  std::vector<SeenRequest> seen_;
};

}  // namespace cimtest
