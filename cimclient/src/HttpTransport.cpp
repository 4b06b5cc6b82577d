#include "HttpTransport.h"

#include <curl/curl.h>
#include <openssl/evp.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <string>

#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {

using Clock = std::chrono::steady_clock;

void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  std::string::size_type first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool containsNoCase(const std::string& text, const char* word) {
  return toLowerAscii(text).find(word) != std::string::npos;
}

std::string base64(const std::string& text) {
  std::string encoded(4 * ((text.size() + 2) / 3) + 1, '\0');
  const int length =
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&encoded[0]),
                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  encoded.resize(static_cast<std::size_t>(std::max(length, 0)));
  return encoded;
}

// libcurl hands each new TLS context here before the handshake; a check that cannot be installed fails it.
CURLcode onSslContext(CURL*, void* sslCtx, void* userData) {
  return installCertificateCheck(*static_cast<const SSLContext*>(userData), sslCtx) ? CURLE_OK : CURLE_SSL_CERTPROBLEM;
}

// Why a connection could not be made, in words for the user.
const char* connectFailureCause(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT:
      return "nothing accepts connections on that port";
    case CURLE_COULDNT_RESOLVE_HOST:
      return "unknown host";
    case CURLE_SSL_CONNECT_ERROR:
      return "TLS handshake failed (does the port speak HTTPS?)";
    case CURLE_PEER_FAILED_VERIFICATION:
      return "the server's certificate was refused";
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
      return "the certificate check could not be set up (is the trust store readable PEM?)";
    case CURLE_NOT_BUILT_IN:
    case CURLE_UNKNOWN_OPTION:
      return "a TLS option was refused by the transport library";
    case CURLE_OPERATION_TIMEDOUT:
      return "timed out";
    default:
      return nullptr;
  }
}

// The first refused option of a list of settings, or CURLE_OK.
CURLcode firstFailure(std::initializer_list<CURLcode> results) {
  for (CURLcode result : results)
    if (result != CURLE_OK) return result;
  return CURLE_OK;
}

void checkHeaderValue(const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos)
    throw Exception("CIM client transport error: line break in HTTP header " + String(value));
}

long millisecondsLeft(Clock::time_point deadline) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
}

// How an exchange failed, for post to decide between a retry and the caller's exception.
struct ExchangeFailure {
  enum Kind { TIMED_OUT, LOST, MALFORMED, BODY_TOO_LARGE, HEADERS_TOO_LARGE } kind;
  bool nothingReceived;  // not one byte of an answer came
};

// One request and its answer on an open connection: writes through libcurl's send and reads through its
// receive (which decrypt over TLS), waiting on the socket until the deadline.
class Exchange {
 public:
  Exchange(CURL* handle, Clock::time_point deadline) : handle_(handle), deadline_(deadline) {
    curl_socket_t socket = CURL_SOCKET_BAD;
    curl_easy_getinfo(handle_, CURLINFO_ACTIVESOCKET, &socket);
    socket_ = socket;
  }

  void send(const char* data, std::size_t size) {
    while (size > 0) {
      std::size_t sent = 0;
      const CURLcode code = curl_easy_send(handle_, data, size, &sent);
      if (code == CURLE_AGAIN) {
        wait(POLLOUT);
        continue;
      }
      if (code != CURLE_OK) fail(ExchangeFailure::LOST);
      data += sent;
      size -= sent;
    }
  }

  // The answer: status line, headers (and the trailers of a chunked body), body. Interim 1xx answers are
  // passed over. `keepAlive` tells whether the connection may carry another request.
  void receive(HttpResponse& response, bool& keepAlive) {
    std::string statusLine;
    do {
      statusLine = line();
      if (statusLine.compare(0, 5, "HTTP/") != 0) fail(ExchangeFailure::MALFORMED);
      takeStatusLine(response, statusLine);
      headerLines(response);
    } while (response.status >= 100 && response.status < 200);

    const std::string* connection = response.header("connection");
    const bool http10 = statusLine.compare(0, 8, "HTTP/1.0") == 0;
    keepAlive = http10 ? connection && containsNoCase(*connection, "keep-alive")
                       : !(connection && containsNoCase(*connection, "close"));
    const std::string* encoding = response.header("transfer-encoding");
    const std::string* length = response.header("content-length");
    if (response.status == 204 || response.status == 304) {
      // no body
    } else if (encoding && containsNoCase(*encoding, "chunked")) {
      chunkedBody(response);
    } else if (length) {
      sizedBody(response.body, *length);
    } else {
      bodyUntilClose(response.body);
      keepAlive = false;
    }
    if (end_ != next_) keepAlive = false;  // bytes beyond the answer: the connection is out of step
  }

 private:
  [[noreturn]] void fail(ExchangeFailure::Kind kind) const { throw ExchangeFailure{kind, received_ == 0}; }

  void wait(short events) {
    for (;;) {
      const long left = millisecondsLeft(deadline_);
      if (left <= 0) fail(ExchangeFailure::TIMED_OUT);
      pollfd waiting{static_cast<int>(socket_), events, 0};
      const int ready = ::poll(&waiting, 1, static_cast<int>(std::min(left, 60000L)));
      if (ready > 0) return;
      if (ready < 0 && errno != EINTR) fail(ExchangeFailure::LOST);
    }
  }

  // Up to `size` bytes into `into`; 0 when the server closed the connection.
  std::size_t read(char* into, std::size_t size) {
    for (;;) {
      std::size_t got = 0;
      const CURLcode code = curl_easy_recv(handle_, into, size, &got);
      if (code == CURLE_AGAIN) {
        wait(POLLIN);
        continue;
      }
      if (code != CURLE_OK) fail(ExchangeFailure::LOST);
      received_ += got;
      return got;
    }
  }

  // More bytes into the buffer; false when the server closed the connection.
  bool fill() {
    if (next_ == end_) next_ = end_ = 0;
    if (buffer_.size() - end_ < kReadSize) {
      buffer_.erase(0, next_);
      end_ -= next_;
      next_ = 0;
      buffer_.resize(end_ + kReadSize);
    }
    const std::size_t got = read(&buffer_[end_], kReadSize);
    end_ += got;
    return got > 0;
  }

  // One header-block line without its line end; counts toward the header limit.
  std::string line() {
    for (;;) {
      const char* start = buffer_.data() + next_;
      const void* found = std::memchr(start, '\n', end_ - next_);
      if (found) {
        const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
        countHeaderBytes(length + 1);
        std::string text(start, length > 0 && start[length - 1] == '\r' ? length - 1 : length);
        next_ += length + 1;
        return text;
      }
      if (end_ - next_ > HttpTransport::MAX_HEADER_BYTES) fail(ExchangeFailure::HEADERS_TOO_LARGE);
      if (!fill()) fail(ExchangeFailure::LOST);
    }
  }

  void countHeaderBytes(std::size_t bytes) {
    headerBytes_ += bytes;
    if (headerBytes_ > HttpTransport::MAX_HEADER_BYTES) fail(ExchangeFailure::HEADERS_TOO_LARGE);
  }

  // "HTTP/1.1 401 Unauthorized": a new status line starts a new header block (after 100 Continue).
  static void takeStatusLine(HttpResponse& response, const std::string& line) {
    response.headers.clear();
    response.status = 0;
    response.reason = String();
    std::string::size_type codeStart = line.find(' ');
    if (codeStart == std::string::npos) return;
    std::string::size_type reasonStart = line.find(' ', codeStart + 1);
    std::string code =
        line.substr(codeStart + 1, reasonStart == std::string::npos ? std::string::npos : reasonStart - codeStart - 1);
    response.status = std::strtol(code.c_str(), nullptr, 10);
    if (reasonStart != std::string::npos) response.reason = String(trim(line.substr(reasonStart + 1)));
  }

  // "Name: value" lines up to the empty line; names lower-case.
  void headerLines(HttpResponse& response) {
    for (;;) {
      const std::string text = line();
      if (text.empty()) return;
      if ((text[0] == ' ' || text[0] == '\t') && !response.headers.empty()) {
        response.headers.back().second += " " + trim(text);  // a folded continuation
        continue;
      }
      std::string::size_type colon = text.find(':');
      if (colon != std::string::npos)
        response.headers.emplace_back(toLowerAscii(trim(text.substr(0, colon))), trim(text.substr(colon + 1)));
    }
  }

  void sizedBody(std::string& body, const std::string& lengthText) {
    char* end = nullptr;
    const unsigned long long length = std::strtoull(lengthText.c_str(), &end, 10);
    if (end == lengthText.c_str()) fail(ExchangeFailure::MALFORMED);
    if (length > HttpTransport::MAX_BODY_BYTES) fail(ExchangeFailure::BODY_TOO_LARGE);
    // Sized once and read straight into place.
    body.resize(static_cast<std::size_t>(length));
    std::size_t have = std::min(body.size(), end_ - next_);
    std::memcpy(&body[0], buffer_.data() + next_, have);
    next_ += have;
    while (have < body.size()) {
      const std::size_t got = read(&body[have], body.size() - have);
      if (got == 0) fail(ExchangeFailure::LOST);
      have += got;
    }
  }

  void bodyUntilClose(std::string& body) {
    for (;;) {
      body.append(buffer_.data() + next_, end_ - next_);
      next_ = end_;
      if (body.size() > HttpTransport::MAX_BODY_BYTES) fail(ExchangeFailure::BODY_TOO_LARGE);
      if (!fill()) return;
    }
  }

  void chunkedBody(HttpResponse& response) {
    std::string& body = response.body;
    for (;;) {
      const std::string sizeLine = line();
      char* end = nullptr;
      const unsigned long long size = std::strtoull(sizeLine.c_str(), &end, 16);
      if (end == sizeLine.c_str()) fail(ExchangeFailure::MALFORMED);
      if (size == 0) break;
      if (size > HttpTransport::MAX_BODY_BYTES - body.size()) fail(ExchangeFailure::BODY_TOO_LARGE);
      std::size_t left = static_cast<std::size_t>(size);
      while (left > 0) {
        if (next_ == end_ && !fill()) fail(ExchangeFailure::LOST);
        const std::size_t take = std::min(left, end_ - next_);
        body.append(buffer_.data() + next_, take);
        next_ += take;
        left -= take;
      }
      if (!line().empty()) fail(ExchangeFailure::MALFORMED);  // the chunk's own line end
    }
    headerLines(response);  // trailers
  }

  static constexpr std::size_t kReadSize = 64 * 1024;
  CURL* handle_;
  curl_socket_t socket_ = CURL_SOCKET_BAD;
  Clock::time_point deadline_;
  std::string buffer_;  // bytes read and not yet taken are [next_, end_)
  std::size_t next_ = 0;
  std::size_t end_ = 0;
  std::size_t received_ = 0;
  std::size_t headerBytes_ = 0;
};

}  // namespace

HttpTransport::HttpTransport(const HttpEndpoint& endpoint) : endpoint_(endpoint) {
  initCurlOnce();
  if (endpoint_.host.isEmpty()) endpoint_.host = "localhost";
  const std::string& host = endpoint_.host.str();
  const bool ipv6Literal = host.find(':') != std::string::npos && host.front() != '[';
  const std::string hostPort = (ipv6Literal ? "[" + host + "]" : host) + ":" + std::to_string(endpoint_.port);
  url_ = std::string(endpoint_.ssl ? "https://" : "http://") + hostPort + "/cimom";
  hostHeader_ = "Host: " + hostPort;
}

HttpTransport::~HttpTransport() { closeConnection(); }

void HttpTransport::closeConnection() {
  if (handle_) {
    curl_easy_cleanup(handle_);
    handle_ = nullptr;
  }
  usedBefore_ = false;
}

String HttpTransport::cannotConnectText(int code) const {
  // "Connection failed" comes first and stays whole: callers match on it. The cause follows.
  const char* cause = connectFailureCause(static_cast<CURLcode>(code));
  return "Cannot connect to " + endpoint_.host + ":" + String(std::to_string(endpoint_.port)) + ". Connection failed" +
         (cause ? String(": ") + cause : String()) + ".";
}

int HttpTransport::configure(CURL* handle, long timeoutMilliseconds) const {
  curl_easy_setopt(handle, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECT_ONLY, 1L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, timeoutMilliseconds);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, timeoutMilliseconds);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, endpoint_.ssl ? "https" : "http");
  curl_easy_setopt(handle, CURLOPT_PROXY, "");  // CIM traffic goes straight to the array
  if (!endpoint_.ssl) return CURLE_OK;
  // The certificate callback decides; libcurl's own chain check would refuse self-signed certificates
  // before it is asked. Without a callback the trust store decides, and then the name must match too.
  const long verifyHost = endpoint_.ssl->getSSLCertificateVerifyFunction() ? 0L : 2L;
  // Every TLS setting is checked: one silently refused would let any certificate through.
  CURLcode refused = firstFailure({
      curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L),
      curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, verifyHost),
      curl_easy_setopt(handle, CURLOPT_SSL_SESSIONID_CACHE, 0L),  // every handshake sees the certificate
      curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, onSslContext),
      curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, const_cast<SSLContext*>(endpoint_.ssl.get())),
  });
  if (refused == CURLE_OK && legacyTls_) {
    // Older array firmware speaks only TLS 1.0 with ciphers the default security level refuses.
    refused = firstFailure({
        curl_easy_setopt(handle, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_0)),
        curl_easy_setopt(handle, CURLOPT_SSL_CIPHER_LIST, "DEFAULT:@SECLEVEL=0"),
    });
  }
  return refused;
}

int HttpTransport::connect(long timeoutMilliseconds) {
  closeConnection();
  CURL* handle = curl_easy_init();
  if (!handle) return CURLE_OUT_OF_MEMORY;
  CURLcode code = static_cast<CURLcode>(configure(handle, std::max(timeoutMilliseconds, 1L)));
  if (code == CURLE_OK) code = curl_easy_perform(handle);
  if (code == CURLE_OK)
    handle_ = handle;
  else
    curl_easy_cleanup(handle);
  return code;
}

void HttpTransport::open(Uint32 timeoutMilliseconds) {
  // libcurl reads 0 as "no timeout": a caller's 0 must never mean waiting forever.
  const long timeout = static_cast<long>(std::max(timeoutMilliseconds, MIN_TIMEOUT_MILLISECONDS));
  int code = connect(timeout);
  // A handshake that fails before any certificate is judged (a refused certificate fails differently)
  // is tried again with the old protocol versions and ciphers; the connection keeps what worked.
  if (code == CURLE_SSL_CONNECT_ERROR && endpoint_.ssl && !legacyTls_) {
    legacyTls_ = true;
    code = connect(timeout);
    if (code != CURLE_OK) legacyTls_ = false;
  }
  if (code != CURLE_OK) throw CannotConnectException(cannotConnectText(code));
}

std::string HttpTransport::requestHead(const String& cimMethod, const String& cimObject, std::size_t bodySize) const {
  checkHeaderValue(cimMethod.str());
  checkHeaderValue(cimObject.str());
  std::string head = "POST /cimom HTTP/1.1\r\n" + hostHeader_ + "\r\n";
  if (!endpoint_.userName.isEmpty())
    head += "Authorization: Basic " + base64(endpoint_.userName.str() + ":" + endpoint_.password.str()) + "\r\n";
  head += "Accept: */*\r\nContent-Type: application/xml; charset=\"utf-8\"\r\nCIMOperation: MethodCall\r\n";
  head += "CIMMethod: " + cimMethod.str() + "\r\nCIMObject: " + cimObject.str() + "\r\n";
  head += "Content-Length: " + std::to_string(bodySize) + "\r\n\r\n";
  return head;
}

HttpResponse HttpTransport::post(const String& cimMethod, const String& cimObject, const std::string& body,
                                 Uint32 timeoutMilliseconds, Resend resend) {
  const std::string head = requestHead(cimMethod, cimObject, body.size());
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(std::max(timeoutMilliseconds, MIN_TIMEOUT_MILLISECONDS));
  for (bool retried = false;; retried = true) {
    if (!handle_) {
      const long left = millisecondsLeft(deadline);
      const int code = left > 0 ? connect(left) : static_cast<int>(CURLE_OPERATION_TIMEDOUT);
      if (code != CURLE_OK) throw CannotConnectException(cannotConnectText(code));
    }
    const bool reused = usedBefore_;
    HttpResponse response;
    bool keepAlive = false;
    bool sent = false;
    try {
      Exchange exchange(handle_, deadline);
      exchange.send(head.data(), head.size());
      exchange.send(body.data(), body.size());
      sent = true;
      exchange.receive(response, keepAlive);
    } catch (const ExchangeFailure& failure) {
      closeConnection();
      // A connection kept from before may have been closed by the server meanwhile: a request that may be
      // resent goes once more on a new connection when nothing at all came back.
      if (resend == Resend::Allowed && reused && failure.nothingReceived && failure.kind == ExchangeFailure::LOST &&
          !retried)
        continue;
      switch (failure.kind) {
        case ExchangeFailure::TIMED_OUT:
          throw ConnectionTimeoutException();
        case ExchangeFailure::MALFORMED:
          throw CIMClientMalformedHTTPException("Malformed HTTP response message.");
        case ExchangeFailure::BODY_TOO_LARGE:
          throw CIMClientMalformedHTTPException("Response body exceeds the limit of " +
                                                String(std::to_string(MAX_BODY_BYTES)) + " bytes");
        case ExchangeFailure::HEADERS_TOO_LARGE:
          throw CIMClientMalformedHTTPException("Response header block exceeds the limit of " +
                                                String(std::to_string(MAX_HEADER_BYTES)) + " bytes");
        case ExchangeFailure::LOST:
          break;
      }
      if (!sent) throw RequestNotSentException();
      throw ConnectionLostException();
    }
    if (keepAlive)
      usedBefore_ = true;
    else
      closeConnection();
    return response;
  }
}

}  // namespace Pegasus
