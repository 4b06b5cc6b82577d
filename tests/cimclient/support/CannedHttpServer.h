// A raw HTTP server on 127.0.0.1 (ephemeral port) that answers each request with scripted bytes, for wire
// forms a server library would not produce: chunked bodies with trailers, interim 100 answers, HTTP/1.0,
// connections closed by the server at chosen moments.
#pragma once
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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
  explicit CannedHttpServer(std::vector<Answer> script) : script_(script.begin(), script.end()) {
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

  // One request: the header block (empty when the peer closed) and the body by Content-Length.
  static bool readRequest(int fd, std::string& head, std::string& body) {
    std::string data;
    char buffer[8192];
    size_t end;
    while ((end = data.find("\r\n\r\n")) == std::string::npos) {
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
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
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
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
    std::string head, body;
    while (readRequest(fd, head, body)) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
      }
      const Answer answer = next();
      if (answer.silent) break;
      const std::string bytes = render(answer.bytes, body);
      if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) break;
      if (answer.then == Then::CloseAfterPause) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (answer.then != Then::KeepOpen) break;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), fd), open_.end());
    ::close(fd);
  }

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
