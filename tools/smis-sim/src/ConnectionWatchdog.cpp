#include "ConnectionWatchdog.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>

namespace smissim {

namespace {

int portOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  return -1;
}

// The peer port of each connected socket on the local port, by descriptor.
std::map<int, int> peersOn(int localPort) {
  std::map<int, int> peers;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return peers;
  while (dirent* entry = readdir(dir)) {
    char* end = nullptr;
    long fd = std::strtol(entry->d_name, &end, 10);
    if (*end != '\0' || end == entry->d_name) continue;
    sockaddr_storage local{}, peer{};
    socklen_t localSize = sizeof local, peerSize = sizeof peer;
    if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
        getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0)
      continue;
    if (portOf(local) == localPort) peers[static_cast<int>(fd)] = portOf(peer);
  }
  closedir(dir);
  return peers;
}

// A connection whose bytes wait unread is queued for a worker, not slow: it is spared.
bool hasUnreadBytes(int fd) {
  int unread = 0;
  return ::ioctl(fd, FIONREAD, &unread) == 0 && unread > 0;
}

}  // namespace

std::vector<int> connectedSockets(int localPort, int peerPort) {
  std::vector<int> sockets;
  for (const auto& socket : peersOn(localPort))
    if (peerPort < 0 || socket.second == peerPort) sockets.push_back(socket.first);
  return sockets;
}

ConnectionWatchdog::ConnectionWatchdog(int localPort, std::chrono::milliseconds deadline)
    : localPort_(localPort), deadline_(deadline), thread_([this] { run(); }) {}

ConnectionWatchdog::~ConnectionWatchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

bool ConnectionWatchdog::serving(int peerPort) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = connections_.emplace(peerPort, Connection{Clock::now()}).first;
  if (found->second.ended) return false;
  ++found->second.serving;
  return true;
}

void ConnectionWatchdog::served(int peerPort) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = connections_.find(peerPort);
  if (found == connections_.end()) return;
  found->second.serving = std::max(0, found->second.serving - 1);
  found->second.since = Clock::now();
}

void ConnectionWatchdog::run() {
  const auto tick = std::max(std::chrono::milliseconds(50), std::min(deadline_ / 4, std::chrono::milliseconds(1000)));
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, tick, [this] { return stopping_; })) {
    lock.unlock();
    endOverdueConnections();
    lock.lock();
  }
}

void ConnectionWatchdog::endOverdueConnections() {
  const std::map<int, int> peers = peersOn(localPort_);
  const Clock::time_point now = Clock::now();
  // Decided and done under the lock, so a request is either served (and spared) or refused, never run on a
  // connection that is being ended: its answer would be lost while its effect stays.
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& connection : connections_) connection.second.seen = false;
  for (const auto& socket : peers) {
    Connection& connection = connections_.emplace(socket.second, Connection{now}).first->second;
    connection.seen = true;
    if (connection.ended || connection.serving != 0) continue;
    // Bytes waiting for a worker: the deadline starts again once a worker has taken them, so a request read
    // late under load still has its time to reach serving().
    if (hasUnreadBytes(socket.first)) {
      connection.since = now;
      continue;
    }
    if (now - connection.since <= deadline_) continue;
    connection.ended = true;
    // Shutting the socket down ends the worker's read at once; the library then closes it.
    ::shutdown(socket.first, SHUT_RDWR);
  }
  // Connections that have gone are forgotten (the same peer port may be used again later).
  for (auto it = connections_.begin(); it != connections_.end();)
    it = it->second.seen ? std::next(it) : connections_.erase(it);
}

}  // namespace smissim
