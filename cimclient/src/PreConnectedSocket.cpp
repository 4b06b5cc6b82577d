#include "PreConnectedSocket.h"

#include <curl/curl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace Pegasus {

namespace {

// Connects `fd` (non-blocking) to `address` within `deadline`.
bool connectBefore(int fd, const addrinfo& address, std::chrono::steady_clock::time_point deadline) {
  if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return true;
  if (errno != EINPROGRESS) return false;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd waiting{fd, POLLOUT, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
}

curl_socket_t openSocket(void* self, curlsocktype, curl_sockaddr* address) {
  const int taken = static_cast<PreConnectedSocket*>(self)->take();
  if (taken >= 0) return taken;
  return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int socketOptions(void* self, curl_socket_t fd, curlsocktype) {
  return static_cast<PreConnectedSocket*>(self)->isTaken(fd) ? CURL_SOCKOPT_ALREADY_CONNECTED : CURL_SOCKOPT_OK;
}

}  // namespace

PreConnectedSocket::~PreConnectedSocket() { close(); }

int PreConnectedSocket::open(const std::string& host, Uint32 port, Uint32 timeoutMilliseconds) {
  close();
  std::string name = host;
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (::getaddrinfo(name.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0)
    return CURLE_COULDNT_RESOLVE_HOST;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  for (const addrinfo* address = addresses; address && fd_ < 0; address = address->ai_next) {
    const int fd =
        ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
    if (fd < 0) continue;
    if (connectBefore(fd, *address, deadline))
      fd_ = fd;
    else
      ::close(fd);
  }
  ::freeaddrinfo(addresses);
  if (fd_ >= 0) return CURLE_OK;
  return std::chrono::steady_clock::now() >= deadline ? CURLE_OPERATION_TIMEDOUT : CURLE_COULDNT_CONNECT;
}

int PreConnectedSocket::take() {
  handedFd_ = fd_;
  fd_ = -1;
  return handedFd_;
}

void PreConnectedSocket::offerTo(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, openSocket);
  curl_easy_setopt(handle, CURLOPT_OPENSOCKETDATA, this);
  curl_easy_setopt(handle, CURLOPT_SOCKOPTFUNCTION, socketOptions);
  curl_easy_setopt(handle, CURLOPT_SOCKOPTDATA, this);
}

void PreConnectedSocket::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace Pegasus
