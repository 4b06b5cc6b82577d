// A TCP relay on 127.0.0.1 (ephemeral port) in front of a server. Each accepted connection waits at a
// gate before any byte is passed on, so a test can hold connects half-way and see how many are held at
// once. While the gate is open, bytes flow both ways unchanged.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "RefusingPort.h"

namespace smistest {

class GatedRelay {
 public:
  explicit GatedRelay(int targetPort) : targetPort_(targetPort) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LoopbackAddress(0);
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0)
      throw std::runtime_error("cannot open the relay's loopback port");
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }

  ~GatedRelay() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      open_ = true;
    }
    changed_.notify_all();
    acceptor_.join();
    for (std::thread& relay : relays_) relay.join();
    ::close(listener_);
  }

  GatedRelay(const GatedRelay&) = delete;
  GatedRelay& operator=(const GatedRelay&) = delete;

  int port() const { return port_; }

  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }

  // Connections held at the gate now, and the most ever held at once.
  int Held() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
  }
  int MostHeld() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return mostHeld_;
  }

  // True once `count` connections are held at the same time; false when that does not happen in time.
  bool AwaitHeld(int count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return held_ >= count; });
  }

 private:
  static sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
  }

  bool Stopping() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
  }

  void AcceptLoop() {
    while (!Stopping()) {
      pollfd waiting{listener_, POLLIN, 0};
      if (::poll(&waiting, 1, 20) <= 0) continue;
      int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      relays_.emplace_back([this, client] { Relay(client); });
    }
  }

  void Relay(int client) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ++held_;
      mostHeld_ = std::max(mostHeld_, held_);
      changed_.notify_all();
      changed_.wait(lock, [this] { return open_; });
      --held_;
    }
    int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LoopbackAddress(targetPort_);
    if (server >= 0 && ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
      Pump(client, server);
    if (server >= 0) ::close(server);
    ::close(client);
  }

  // Passes bytes both ways until either side closes or the relay stops.
  void Pump(int client, int server) {
    char buffer[16384];
    while (!Stopping()) {
      pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
      if (::poll(ends, 2, 20) <= 0) continue;
      for (int i = 0; i < 2; ++i) {
        if (!(ends[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t got = ::recv(ends[i].fd, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        const int other = i == 0 ? server : client;
        for (ssize_t sent = 0; sent < got;) {
          const ssize_t now = ::send(other, buffer + sent, static_cast<size_t>(got - sent), MSG_NOSIGNAL);
          if (now <= 0) return;
          sent += now;
        }
      }
    }
  }

  const int targetPort_;
  int listener_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  std::vector<std::thread> relays_;  // touched by the acceptor only, joined after it ends

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  bool stopping_ = false;
  int held_ = 0;
  int mostHeld_ = 0;
};

using tqtest::RefusingPort;

}  // namespace smistest
