// HTTP(S) transport of the CIM client: libcurl opens the connection (TCP, and the TLS handshake over HTTPS)
// and stops there; the requests and answers are written and read on it here. So the connection a connect
// opens is the one the first request uses, over HTTP and HTTPS alike, and it stays open for the operations
// that follow.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "Pegasus/Config.h"
#include "Pegasus/SSLContext.h"
#include "Pegasus/String.h"

typedef void CURL;

namespace Pegasus {

// Where and as whom a client talks; an SSL context makes it HTTPS.
struct HttpEndpoint {
  String host;
  Uint32 port = 0;
  std::shared_ptr<const SSLContext> ssl;  // null: plain HTTP
  String userName;
  String password;
};

// The text with ASCII letters lower-cased: how header names are stored and looked up.
std::string toLowerAscii(std::string text);

struct HttpResponse {
  long status = 0;
  String reason;
  std::vector<std::pair<std::string, std::string>> headers;  // names lower-case, in arrival order
  std::string body;

  // Value of the last header of that name (case-insensitive), or null.
  const std::string* header(const std::string& name) const;
};

class HttpTransport {
 public:
  // Bodies beyond this are refused rather than buffered.
  static constexpr std::size_t MAX_BODY_BYTES = std::size_t(1) << 30;
  // Total size of the response header block that is accepted.
  static constexpr std::size_t MAX_HEADER_BYTES = std::size_t(1) << 20;
  // Shorter timeouts (0 included, which libcurl reads as none) are raised to this.
  static constexpr Uint32 MIN_TIMEOUT_MILLISECONDS = 1000;

  explicit HttpTransport(const HttpEndpoint& endpoint);
  ~HttpTransport();
  HttpTransport(const HttpTransport&) = delete;
  HttpTransport& operator=(const HttpTransport&) = delete;

  // Opens the connection the first request uses, so that an unreachable server or a refused certificate
  // shows before any request. A handshake that fails before any certificate is judged is tried once more
  // with TLS 1.0 and the old ciphers, which the connection then keeps. Throws CannotConnectException.
  void open(Uint32 timeoutMilliseconds);

  // Whether a request that a kept-alive connection lost after sending it may be sent again on a new one.
  enum class Resend { Allowed, Never };

  // POSTs one CIM-XML request to /cimom and returns the whole answer, whatever its status. A connection the
  // server ended is replaced; with Resend::Allowed a request that got nothing back on a connection used before
  // is sent once more on a new one, with Resend::Never (a change the server may already have made) losing the
  // connection fails it. The timeout bounds the whole exchange. Throws ConnectionTimeoutException,
  // CannotConnectException or CIMClientMalformedHTTPException (connection lost, answer malformed or too large).
  HttpResponse post(const String& cimMethod, const String& cimObject, const std::string& body,
                    Uint32 timeoutMilliseconds, Resend resend = Resend::Allowed);

  // Drops the open connection, if any; the next post opens a new one.
  void closeConnection();

 private:
  // Sets the handle up to connect; the libcurl code of a refused TLS setting, else 0.
  int configure(CURL* handle, long timeoutMilliseconds) const;
  // Opens a connection on a new handle, kept as the open one when it stands; the libcurl result code.
  int connect(long timeoutMilliseconds);
  // The request line and headers of a POST of `bodySize` bytes.
  std::string requestHead(const String& cimMethod, const String& cimObject, std::size_t bodySize) const;
  // "Cannot connect to <host>:<port>. Connection failed", then the cause of the libcurl code if known.
  String cannotConnectText(int code) const;

  HttpEndpoint endpoint_;
  std::string url_;
  std::string hostHeader_;   // "Host: <host>:<port>"
  CURL* handle_ = nullptr;   // the open connection (a handle that connected and stopped), or null
  bool usedBefore_ = false;  // a request has been answered on the open connection
  bool legacyTls_ = false;   // the server needs TLS 1.0 and weak ciphers
};

// Installs the certificate check of an SSL context into an OpenSSL SSL_CTX (passed untyped to keep
// OpenSSL out of this header); false when a part of it could not be installed. Defined with SSLContext.
bool installCertificateCheck(const SSLContext& context, void* opensslContext);

}  // namespace Pegasus
