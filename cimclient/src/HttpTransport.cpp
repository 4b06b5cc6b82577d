#include "HttpTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <string>

#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {

void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string toLowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  std::string::size_type first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// What the libcurl callbacks fill while one answer arrives.
struct ResponseCollector {
  HttpResponse response;
  std::size_t headerBytes = 0;
  bool bodyTooLarge = false;
  bool headersTooLarge = false;
};

// "HTTP/1.1 401 Unauthorized": a new status line starts a new header block (after 100 Continue).
void takeStatusLine(ResponseCollector& collector, const std::string& line) {
  collector.response.headers.clear();
  std::string::size_type codeStart = line.find(' ');
  if (codeStart == std::string::npos) return;
  std::string::size_type reasonStart = line.find(' ', codeStart + 1);
  std::string code =
      line.substr(codeStart + 1, reasonStart == std::string::npos ? std::string::npos : reasonStart - codeStart - 1);
  collector.response.status = std::strtol(code.c_str(), nullptr, 10);
  collector.response.reason = reasonStart == std::string::npos ? String() : String(trim(line.substr(reasonStart + 1)));
}

size_t onHeader(char* data, size_t size, size_t count, void* userData) {
  ResponseCollector& collector = *static_cast<ResponseCollector*>(userData);
  const size_t bytes = size * count;
  collector.headerBytes += bytes;
  if (collector.headerBytes > HttpTransport::MAX_HEADER_BYTES) {
    collector.headersTooLarge = true;
    return 0;
  }
  std::string line(data, bytes);
  if (line.compare(0, 5, "HTTP/") == 0) {
    takeStatusLine(collector, line);
    return bytes;
  }
  std::string::size_type colon = line.find(':');
  if (colon != std::string::npos)
    collector.response.headers.emplace_back(toLowerAscii(trim(line.substr(0, colon))), trim(line.substr(colon + 1)));
  return bytes;
}

size_t onBody(char* data, size_t size, size_t count, void* userData) {
  ResponseCollector& collector = *static_cast<ResponseCollector*>(userData);
  const size_t bytes = size * count;
  std::string& body = collector.response.body;
  if (bytes > HttpTransport::MAX_BODY_BYTES - body.size()) {
    collector.bodyTooLarge = true;
    return 0;
  }
  if (body.empty()) {
    // Size the buffer once from Content-Length when the server announced it.
    const std::string* length = collector.response.header("content-length");
    if (length) {
      unsigned long long announced = std::strtoull(length->c_str(), nullptr, 10);
      if (announced > HttpTransport::MAX_BODY_BYTES) {
        collector.bodyTooLarge = true;
        return 0;
      }
      body.reserve(static_cast<std::size_t>(announced));
    }
  }
  body.append(data, bytes);
  return bytes;
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

bool isConnectFailure(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_USE_SSL_FAILED:
      return true;
    default:
      return false;
  }
}

bool isConnectionLost(CURLcode code) {
  return code == CURLE_PARTIAL_FILE || code == CURLE_GOT_NOTHING || code == CURLE_RECV_ERROR ||
         code == CURLE_SEND_ERROR || code == CURLE_SEND_FAIL_REWIND;
}

// A request body handed to libcurl piece by piece, from the start only.
struct BodyReader {
  const std::string& body;
  std::size_t sent = 0;
};

size_t onReadBody(char* buffer, size_t size, size_t count, void* data) {
  BodyReader& reader = *static_cast<BodyReader*>(data);
  const std::size_t piece = std::min(size * count, reader.body.size() - reader.sent);
  std::memcpy(buffer, reader.body.data() + reader.sent, piece);
  reader.sent += piece;
  return piece;
}

struct HeaderList {
  curl_slist* list = nullptr;
  ~HeaderList() { curl_slist_free_all(list); }
  void add(const std::string& line) {
    if (line.find_first_of("\r\n") != std::string::npos)
      throw Exception("CIM client transport error: line break in HTTP header " + String(line));
    curl_slist* grown = curl_slist_append(list, line.c_str());
    if (!grown) throw Exception("CIM client transport error: out of memory");
    list = grown;
  }
};

}  // namespace

const std::string* HttpResponse::header(const std::string& name) const {
  const std::string wanted = toLowerAscii(name);
  for (auto it = headers.rbegin(); it != headers.rend(); ++it)
    if (it->first == wanted) return &it->second;
  return nullptr;
}

HttpTransport::HttpTransport(const HttpEndpoint& endpoint) : endpoint_(endpoint) {
  initCurlOnce();
  if (endpoint_.host.isEmpty()) endpoint_.host = "localhost";
  const std::string& host = endpoint_.host.str();
  const bool ipv6Literal = host.find(':') != std::string::npos && host.front() != '[';
  url_ = std::string(endpoint_.ssl ? "https://" : "http://") + (ipv6Literal ? "[" + host + "]" : host) + ":" +
         std::to_string(endpoint_.port) + "/cimom";
}

HttpTransport::~HttpTransport() { closeConnection(); }

void HttpTransport::closeConnection() {
  if (handle_) {
    curl_easy_cleanup(handle_);
    handle_ = nullptr;
  }
}

String HttpTransport::cannotConnectText(int code) const {
  // "Connection failed" comes first and stays whole: callers match on it. The cause follows.
  const char* cause = connectFailureCause(static_cast<CURLcode>(code));
  return "Cannot connect to " + endpoint_.host + ":" + String(std::to_string(endpoint_.port)) + ". Connection failed" +
         (cause ? String(": ") + cause : String()) + ".";
}

int HttpTransport::configure(CURL* handle, Uint32 timeoutMilliseconds) const {
  // libcurl reads 0 as "no timeout": a caller's 0 must never mean waiting forever.
  const long timeout = static_cast<long>(std::max(timeoutMilliseconds, MIN_TIMEOUT_MILLISECONDS));
  curl_easy_setopt(handle, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, timeout);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, timeout);
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

int HttpTransport::tryConnect(Uint32 timeoutMilliseconds) const {
  CURL* probeHandle = curl_easy_init();
  if (!probeHandle) return CURLE_OUT_OF_MEMORY;
  CURLcode code = static_cast<CURLcode>(configure(probeHandle, timeoutMilliseconds));
  curl_easy_setopt(probeHandle, CURLOPT_CONNECT_ONLY, 1L);
  if (code == CURLE_OK) code = curl_easy_perform(probeHandle);
  curl_easy_cleanup(probeHandle);
  return code;
}

void HttpTransport::probe(Uint32 timeoutMilliseconds) {
  if (!endpoint_.ssl) {
    const Uint32 timeout = std::max(timeoutMilliseconds, MIN_TIMEOUT_MILLISECONDS);
    if (int refused = socket_.open(endpoint_.host.str(), endpoint_.port, timeout))
      throw CannotConnectException(cannotConnectText(refused));
    return;
  }
  int code = tryConnect(timeoutMilliseconds);
  // A handshake that fails before any certificate is judged (a refused certificate fails differently)
  // is tried again with the old protocol versions and ciphers; the connection keeps what worked.
  if (code == CURLE_SSL_CONNECT_ERROR && endpoint_.ssl && !legacyTls_) {
    legacyTls_ = true;
    code = tryConnect(timeoutMilliseconds);
    if (code != CURLE_OK) legacyTls_ = false;
  }
  if (code != CURLE_OK) throw CannotConnectException(cannotConnectText(code));
}

HttpResponse HttpTransport::post(const String& cimMethod, const String& cimObject, const std::string& body,
                                 Uint32 timeoutMilliseconds, Resend resend) {
  if (!handle_) {
    handle_ = curl_easy_init();
    if (!handle_) throw CannotConnectException(cannotConnectText(CURLE_OUT_OF_MEMORY));
  } else {
    curl_easy_reset(handle_);  // keeps the open connection
  }
  if (int refused = configure(handle_, timeoutMilliseconds)) throw CannotConnectException(cannotConnectText(refused));
  if (!endpoint_.ssl) socket_.offerTo(handle_);

  HeaderList headers;
  headers.add("Content-Type: application/xml; charset=\"utf-8\"");
  headers.add("CIMOperation: MethodCall");
  headers.add("CIMMethod: " + cimMethod.str());
  headers.add("CIMObject: " + cimObject.str());
  headers.add("Expect:");  // no 100-continue round trip for larger bodies
  curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers.list);
  curl_easy_setopt(handle_, CURLOPT_POST, 1L);
  curl_easy_setopt(handle_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  BodyReader reader{body};
  if (resend == Resend::Allowed) {
    curl_easy_setopt(handle_, CURLOPT_POSTFIELDS, body.data());
  } else {
    // libcurl sends a request again when a reused connection dies before any answer, which needs the body
    // rewound; a body read through a callback that cannot seek turns that resend into a failure.
    curl_easy_setopt(handle_, CURLOPT_READFUNCTION, onReadBody);
    curl_easy_setopt(handle_, CURLOPT_READDATA, &reader);
  }
  if (!endpoint_.userName.isEmpty()) {
    curl_easy_setopt(handle_, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(handle_, CURLOPT_USERNAME, endpoint_.userName.str().c_str());
    curl_easy_setopt(handle_, CURLOPT_PASSWORD, endpoint_.password.str().c_str());
  }

  ResponseCollector collector;
  curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(handle_, CURLOPT_HEADERDATA, &collector);
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &collector);

  CURLcode code = curl_easy_perform(handle_);
  if (code == CURLE_OK) return std::move(collector.response);
  if (collector.bodyTooLarge)
    throw CIMClientMalformedHTTPException("Response body exceeds the limit of " +
                                          String(std::to_string(MAX_BODY_BYTES)) + " bytes");
  if (collector.headersTooLarge)
    throw CIMClientMalformedHTTPException("Response header block exceeds the limit of " +
                                          String(std::to_string(MAX_HEADER_BYTES)) + " bytes");
  throwTransferFailure(code, collector.response);
}

void HttpTransport::throwTransferFailure(int failure, const HttpResponse& partial) const {
  const CURLcode code = static_cast<CURLcode>(failure);
  if (code == CURLE_OPERATION_TIMEDOUT) {
    // A timeout before the connection stood (no request sent) is a failed reconnect.
    curl_off_t pretransfer = 0;
    curl_easy_getinfo(handle_, CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
    if (pretransfer == 0 && partial.status == 0) throw CannotConnectException(cannotConnectText(code));
    throw ConnectionTimeoutException();
  }
  if (isConnectFailure(code)) throw CannotConnectException(cannotConnectText(code));
  if (isConnectionLost(code)) throw CIMClientMalformedHTTPException("Connection closed by CIM Server.");
  if (code == CURLE_WEIRD_SERVER_REPLY || code == CURLE_BAD_CONTENT_ENCODING)
    throw CIMClientMalformedHTTPException("Malformed HTTP response message.");
  throw Exception(String("CIM client transport error: ") + curl_easy_strerror(code));
}

}  // namespace Pegasus
