// The transport of a build without libcurl and OpenSSL (the byte-order tests on another platform): the value
// model and the codec are whole, and every connection is refused as one that cannot be made.
#include "HttpTransport.h"
#include "Pegasus/Exception.h"
#include "Pegasus/SSLContext.h"

namespace Pegasus {

namespace {

const char kNoTransport[] = "This build has no HTTP transport";

}  // namespace

HttpTransport::HttpTransport(const HttpEndpoint& endpoint) : endpoint_(endpoint) {}

HttpTransport::~HttpTransport() = default;

void HttpTransport::open(Uint32) { throw CannotConnectException(kNoTransport); }

HttpResponse HttpTransport::post(const String&, const String&, const std::string&, Uint32, Resend) {
  throw CannotConnectException(kNoTransport);
}

void HttpTransport::closeConnection() {}

SSLContext::SSLContext(const String&, SSLCertificateVerifyFunction*, const String&) {
  throw SSLException(kNoTransport);
}

}  // namespace Pegasus
