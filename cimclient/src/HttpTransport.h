// HTTP(S) transport of the CIM client on libcurl: one easy handle per connected client, so the
// connection stays open and is reused between the operations of that client.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "Pegasus/Config.h"
#include "Pegasus/SSLContext.h"
#include "Pegasus/String.h"
#include "PreConnectedSocket.h"

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

  // Shows an unreachable server or a refused certificate before any request: over HTTP it opens the
  // connection the first request then uses; over HTTPS it completes a handshake on a connection of its own.
  // Throws CannotConnectException.
  void probe(Uint32 timeoutMilliseconds);

  // Whether a request that a kept-alive connection lost after sending it may be sent again on a new one.
  enum class Resend { Allowed, Never };

  // POSTs one CIM-XML request to /cimom and returns the whole answer, whatever its status.
  // The timeout bounds the whole exchange. Throws ConnectionTimeoutException, CannotConnectException
  // or CIMClientMalformedHTTPException (connection lost, body too large). With Resend::Never a request
  // the server may have received is never sent twice: losing its connection before any answer fails it.
  HttpResponse post(const String& cimMethod, const String& cimObject, const std::string& body,
                    Uint32 timeoutMilliseconds, Resend resend = Resend::Allowed);

  // Drops the open connection, if any; the next post opens a new one.
  void closeConnection();

 private:
  // Sets the handle up for one exchange; the libcurl code of a refused TLS setting, else 0.
  int configure(CURL* handle, Uint32 timeoutMilliseconds) const;
  // One connect (and handshake) on a handle of its own; the libcurl result code.
  int tryConnect(Uint32 timeoutMilliseconds) const;
  [[noreturn]] void throwTransferFailure(int code, const HttpResponse& partial) const;
  // "Cannot connect to <host>:<port>. Connection failed", then the cause of the libcurl code if known.
  String cannotConnectText(int code) const;

  HttpEndpoint endpoint_;
  std::string url_;
  CURL* handle_ = nullptr;
  bool legacyTls_ = false;     // the server needs TLS 1.0 and weak ciphers
  PreConnectedSocket socket_;  // plain HTTP: the connection opened by probe
};

// Installs the certificate check of an SSL context into an OpenSSL SSL_CTX (passed untyped to keep
// OpenSSL out of this header); false when a part of it could not be installed. Defined with SSLContext.
bool installCertificateCheck(const SSLContext& context, void* opensslContext);

}  // namespace Pegasus
