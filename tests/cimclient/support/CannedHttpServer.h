// A raw HTTP server on 127.0.0.1 (ephemeral port, plain or over TLS) that answers each request with scripted
// bytes, for wire forms a server library would not produce: chunked bodies with trailers, interim 100 answers,
// HTTP/1.0, connections closed by the server at chosen moments. It counts the connections it accepts, TLS
// handshakes that carry no request included.
#pragma once
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "TestCertificate.h"

namespace cimtest {

class CannedHttpServer {
 public:
  // What the server does after writing an answer.
  enum class Then { KeepOpen, Close, CloseAfterPause };

  struct Answer {
    std::string bytes;  // "{BODY}" becomes an EnumerateInstanceNames answer echoing the request's ID,
                        // "{LENGTH}" its length in bytes and "{CHUNKED}" the same body as two chunks
    Then then = Then::KeepOpen;
    bool silent = false;  // close the connection without answering
  };

  // Answers each request with the next scripted answer; once the script runs out, the last one repeats.
  explicit CannedHttpServer(std::vector<Answer> script, bool tls = false) : script_(script.begin(), script.end()) {
    if (tls) {
      std::signal(SIGPIPE, SIG_IGN);  // a TLS write to a closed connection must fail, not end the test
      TestCertificate certificate = makeSelfSignedCertificate();
      tls_.reset(SSL_CTX_new(TLS_server_method()));
      if (!tls_ || SSL_CTX_use_certificate(tls_.get(), certificate.cert.get()) != 1 ||
          SSL_CTX_use_PrivateKey(tls_.get(), certificate.key.get()) != 1)
        throw std::runtime_error("cannot set up the test TLS server");
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("cannot listen on a loopback port");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
  }

  ~CannedHttpServer() {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    acceptor_.join();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& worker : workers_) worker.join();
  }

  int port() const { return port_; }

  // The header blocks of the requests seen, in order.
  std::vector<std::string> requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

  int connections() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
  }

  static std::string body(const std::string& messageId) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"" +
           messageId +
           "\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"EnumerateInstanceNames\"><IRETURNVALUE>"
           "<INSTANCENAME CLASSNAME=\"TPD_StorageVolume\"><KEYBINDING NAME=\"DeviceID\"><KEYVALUE>1</KEYVALUE>"
           "</KEYBINDING></INSTANCENAME></IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
  }

 private:
  void acceptLoop() {
    for (;;) {
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      std::lock_guard<std::mutex> lock(mutex_);
      ++connections_;
      open_.push_back(fd);
      workers_.emplace_back([this, fd] { serve(fd); });
    }
  }

  // One accepted connection, plain or TLS.
  struct Link {
    int fd;
    SSL* ssl;
    long recv(char* into, size_t size) {
      return ssl ? SSL_read(ssl, into, static_cast<int>(size)) : static_cast<long>(::recv(fd, into, size, 0));
    }
    long send(const std::string& bytes) {
      return ssl ? SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size()))
                 : static_cast<long>(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
    }
  };

  // One request: the header block (empty when the peer closed) and the body by Content-Length.
  static bool readRequest(Link& link, std::string& head, std::string& body) {
    std::string data;
    char buffer[8192];
    size_t end;
    while ((end = data.find("\r\n\r\n")) == std::string::npos) {
      const long got = link.recv(buffer, sizeof buffer);
      if (got <= 0) return false;
      data.append(buffer, static_cast<size_t>(got));
    }
    head = data.substr(0, end);
    body = data.substr(end + 4);
    std::string lower = head;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t field = lower.find("content-length:");
    const size_t length = field == std::string::npos ? 0 : std::stoul(head.substr(field + 15));
    while (body.size() < length) {
      const long got = link.recv(buffer, sizeof buffer);
      if (got <= 0) return false;
      body.append(buffer, static_cast<size_t>(got));
    }
    return true;
  }

  static void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
  }

  static std::string render(std::string bytes, const std::string& requestBody) {
    std::smatch id;
    const std::string messageId =
        std::regex_search(requestBody, id, std::regex("MESSAGE ID=\"([^\"]*)\"")) ? id[1].str() : "";
    const std::string answer = body(messageId);
    const size_t half = answer.size() / 2;
    auto hex = [](size_t n) {
      char text[32];
      std::snprintf(text, sizeof text, "%zx", n);
      return std::string(text);
    };
    replaceAll(bytes, "{CHUNKED}",
               hex(half) + "\r\n" + answer.substr(0, half) + "\r\n" + hex(answer.size() - half) + "\r\n" +
                   answer.substr(half) + "\r\n");
    replaceAll(bytes, "{LENGTH}", std::to_string(answer.size()));
    replaceAll(bytes, "{BODY}", answer);
    return bytes;
  }

  Answer next() {
    std::lock_guard<std::mutex> lock(mutex_);
    Answer answer = script_.front();
    if (script_.size() > 1) script_.pop_front();
    return answer;
  }

  void serve(int fd) {
    Link link{fd, nullptr};
    if (tls_) {
      link.ssl = SSL_new(tls_.get());
      if (!link.ssl || SSL_set_fd(link.ssl, fd) != 1 || SSL_accept(link.ssl) != 1) link.fd = -1;
    }
    std::string head, body;
    while (link.fd >= 0 && readRequest(link, head, body)) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
      }
      const Answer answer = next();
      if (answer.silent) break;
      const std::string bytes = render(answer.bytes, body);
      if (link.send(bytes) != static_cast<long>(bytes.size())) break;
      if (answer.then == Then::CloseAfterPause) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (answer.then != Then::KeepOpen) break;
    }
    if (link.ssl) {
      if (link.fd >= 0) SSL_shutdown(link.ssl);
      SSL_free(link.ssl);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), fd), open_.end());
    ::close(fd);
  }

  std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> tls_{nullptr, SSL_CTX_free};
  int listener_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::deque<Answer> script_;
  std::vector<std::thread> workers_;
  std::vector<int> open_;
  std::vector<std::string> requests_;
  int connections_ = 0;
};

}  // namespace cimtest
