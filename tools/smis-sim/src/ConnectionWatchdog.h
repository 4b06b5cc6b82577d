// Read deadlines for the simulator's connections. A client that sends its request a byte at a time (or a
// header line every few seconds) would hold a worker for as long as it likes; the watchdog ends every
// connection that has not delivered a whole request within the deadline of being accepted or of its last
// answer. A connection whose request is being served, or whose bytes wait for a free worker, is spared (its
// deadline starts again once a worker has read them).
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace smissim {

// Connected sockets of this process on the local port; peerPort -1 matches any peer.
std::vector<int> connectedSockets(int localPort, int peerPort);

class ConnectionWatchdog {
 public:
  using Clock = std::chrono::steady_clock;

  // Watches the connections accepted on localPort until stopped.
  ConnectionWatchdog(int localPort, std::chrono::milliseconds deadline);
  ~ConnectionWatchdog();
  ConnectionWatchdog(const ConnectionWatchdog&) = delete;
  ConnectionWatchdog& operator=(const ConnectionWatchdog&) = delete;

  // A whole request arrived on the connection from peerPort and is about to be served; served() once its
  // answer is written. False when the deadline has already ended that connection (its request may have been
  // read just before): the request must then not be run, since its answer could not be sent.
  bool serving(int peerPort);
  void served(int peerPort);

 private:
  struct Connection {
    Clock::time_point since;  // accepted or last answered
    int serving = 0;
    bool seen = true;
    bool ended = false;  // shut down at the deadline
  };
  void run();
  void endOverdueConnections();

  const int localPort_;
  const std::chrono::milliseconds deadline_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::map<int, Connection> connections_;  // by peer port: clients are on loopback
  std::thread thread_;
};

}  // namespace smissim
