// A TCP connection opened ahead of the first request and handed to libcurl when that request needs a
// connection, so that connecting (and finding an unreachable server) costs no extra connection.
#pragma once
#include <string>

#include "Pegasus/Config.h"

typedef void CURL;

namespace Pegasus {

class PreConnectedSocket {
 public:
  PreConnectedSocket() = default;
  ~PreConnectedSocket();
  PreConnectedSocket(const PreConnectedSocket&) = delete;
  PreConnectedSocket& operator=(const PreConnectedSocket&) = delete;

  // Connects to `host` (a name or an address, IPv6 with or without brackets) within the timeout,
  // trying each address the name resolves to. 0 (CURLE_OK) when one answered, else the libcurl code of
  // the failure: the name did not resolve, nothing accepted, or the time ran out.
  int open(const std::string& host, Uint32 port, Uint32 timeoutMilliseconds);

  // Makes `handle` take the open connection, if any, the next time it connects; later connections
  // it opens as usual. Call after every reset of the handle.
  void offerTo(CURL* handle);

  // Closes the connection if libcurl has not taken it.
  void close();

  // For the libcurl callbacks: the open connection, now taken (-1 when there is none), and whether `fd`
  // is the one taken last.
  int take();
  bool isTaken(int fd) const { return fd >= 0 && fd == handedFd_; }

 private:
  int fd_ = -1;        // open and not yet taken
  int handedFd_ = -1;  // the one just given to libcurl: already connected
};

}  // namespace Pegasus
