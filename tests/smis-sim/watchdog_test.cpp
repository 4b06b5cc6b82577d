// The read deadline against requests that a worker has read: a request is either served, and its connection
// kept until the answer is written, or refused because the deadline has ended its connection; a method is
// never run on a connection whose answer can no longer be sent.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>

#include "ConnectionWatchdog.h"

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

int PortOf(int fd) {
  sockaddr_in address = {};
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

// A client connection to the listener, with the server's end of it.
struct Connection {
  int client = -1;
  int server = -1;
  ~Connection() {
    close(client);
    close(server);
  }
};

void Connect(int listener, Connection& connection) {
  connection.client = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = Loopback(PortOf(listener));
  ASSERT_EQ(0, connect(connection.client, reinterpret_cast<const sockaddr*>(&address), sizeof address));
  connection.server = accept(listener, nullptr, nullptr);
  ASSERT_GE(connection.server, 0);
  timeval wait = {10, 0};
  setsockopt(connection.client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
}

TEST(ConnectionWatchdog, ARequestIsServedToItsAnswerOrRefusedOnAnEndedConnection) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = Loopback(0);
  ASSERT_EQ(0, bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address));
  ASSERT_EQ(0, listen(listener, 4));
  smissim::ConnectionWatchdog watchdog(PortOf(listener), std::chrono::milliseconds(200));
  Connection served, late;
  Connect(listener, served);
  Connect(listener, late);
  // Both requests have been read by their workers; only the first has reached its handler.
  ASSERT_TRUE(watchdog.serving(PortOf(served.client)));

  char byte = 0;
  EXPECT_EQ(0, recv(late.client, &byte, 1, 0)) << "the deadline ends the idle connection";
  EXPECT_FALSE(watchdog.serving(PortOf(late.client))) << "its request must not be run";

  // The served connection outlived the deadline, and its answer still arrives.
  ASSERT_EQ(1, send(served.server, "a", 1, 0));
  EXPECT_EQ(1, recv(served.client, &byte, 1, 0));
  EXPECT_EQ('a', byte);
  watchdog.served(PortOf(served.client));
  close(listener);
}

}  // namespace
