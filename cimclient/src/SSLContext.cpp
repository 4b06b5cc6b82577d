#include "Pegasus/SSLContext.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "HttpTransport.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {

bool isReadablePath(const String& path) {
  struct stat info;
  return ::stat(path.str().c_str(), &info) == 0;
}

String nameText(X509_NAME* name) {
  if (!name) return String();
  std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
  if (!out || X509_NAME_print_ex(out.get(), name, 0, XN_FLAG_ONELINE) < 0) return String();
  char* data = nullptr;
  long length = BIO_get_mem_data(out.get(), &data);
  return String(std::string(data, static_cast<std::size_t>(length)));
}

// ASN.1 time as CIM datetime text, e.g. "20260101120000.000000+000".
String cimDateTimeText(const ASN1_TIME* time) {
  struct tm parts = {};
  if (!time || ASN1_TIME_to_tm(time, &parts) != 1) return String();
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d.000000+000", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return String(text);
}

long serialNumber(X509* cert) {
  const ASN1_INTEGER* serial = X509_get0_serialNumber(cert);
  int64_t value = 0;
  if (!serial || ASN1_INTEGER_get_int64(&value, serial) != 1) return -1;  // does not fit
  return static_cast<long>(value);
}

// Index of the SSLContext pointer stored on each OpenSSL SSL_CTX that libcurl creates.
int contextIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

SSLCertificateInfo describe(int preverifyOk, X509_STORE_CTX* store) {
  X509* cert = X509_STORE_CTX_get_current_cert(store);
  const int errorCode = X509_STORE_CTX_get_error(store);
  return SSLCertificateInfo(cert ? nameText(X509_get_subject_name(cert)) : String(),
                            cert ? nameText(X509_get_issuer_name(cert)) : String(),
                            cert ? static_cast<Uint32>(X509_get_version(cert) + 1) : 0, cert ? serialNumber(cert) : -1,
                            cert ? cimDateTimeText(X509_get0_notBefore(cert)) : String(),
                            cert ? cimDateTimeText(X509_get0_notAfter(cert)) : String(),
                            static_cast<Uint32>(X509_STORE_CTX_get_error_depth(store)), static_cast<Uint32>(errorCode),
                            String(X509_verify_cert_error_string(errorCode)),
                            preverifyOk ? SSLCertificateInfo::V_OK : SSLCertificateInfo::V_FAILED);
}

// OpenSSL calls this for each certificate of the chain; 0 aborts the handshake.
int verifyCertificate(int preverifyOk, X509_STORE_CTX* store) {
  SSL* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  const SSLContext* context =
      ssl ? static_cast<const SSLContext*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), contextIndex())) : nullptr;
  if (!context) return 0;
  SSLCertificateVerifyFunction* userCheck = context->getSSLCertificateVerifyFunction();
  if (!userCheck) return preverifyOk;
  try {
    SSLCertificateInfo info = describe(preverifyOk, store);
    if (!userCheck(info)) return 0;
  } catch (...) {
    return 0;  // a throwing callback refuses; nothing may unwind through OpenSSL
  }
  X509_STORE_CTX_set_error(store, X509_V_OK);
  return 1;
}

}  // namespace

SSLCertificateInfo::SSLCertificateInfo(const String& subjectName, const String& issuerName, Uint32 versionNumber,
                                       long serialNumber, const String& notBefore, const String& notAfter,
                                       Uint32 errorDepth, Uint32 errorCode, const String& errorString,
                                       Uint32 responseCode)
    : subjectName_(subjectName),
      issuerName_(issuerName),
      versionNumber_(versionNumber),
      serialNumber_(serialNumber),
      notBefore_(notBefore),
      notAfter_(notAfter),
      errorDepth_(errorDepth),
      errorCode_(errorCode),
      errorString_(errorString),
      responseCode_(responseCode) {}

String SSLCertificateInfo::toString() const {
  return "Subject Name:\n\t" + subjectName_ + "\nIssuer Name:\n\t" + issuerName_ + "\nVersion:\n\t" +
         String(std::to_string(versionNumber_)) + "\nSerial Number:\n\t" + String(std::to_string(serialNumber_)) +
         "\nNot Before:\n\t" + notBefore_ + "\nNot After:\n\t" + notAfter_ + "\nDepth:\n\t" +
         String(std::to_string(errorDepth_)) + "\nError code:\n\t" + String(std::to_string(errorCode_)) +
         "\nError string:\n\t" + errorString_ + "\n";
}

SSLContext::SSLContext(const String& trustStore, SSLCertificateVerifyFunction* verifyCert, const String& randomFile)
    : trustStore_(trustStore), verifyCert_(verifyCert) {
  if (!trustStore_.isEmpty() && !isReadablePath(trustStore_))
    throw SSLException("Could not access trust store " + trustStore_);
  if (!randomFile.isEmpty() && RAND_load_file(randomFile.str().c_str(), -1) <= 0)
    throw SSLException("Could not seed the random generator from " + randomFile);
}

bool installCertificateCheck(const SSLContext& context, void* opensslContext) {
  SSL_CTX* sslCtx = static_cast<SSL_CTX*>(opensslContext);
  const String& trustStore = context.getTrustStore();
  if (!trustStore.isEmpty()) {
    struct stat info;
    const bool isDirectory = ::stat(trustStore.str().c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    if (SSL_CTX_load_verify_locations(sslCtx, isDirectory ? nullptr : trustStore.str().c_str(),
                                      isDirectory ? trustStore.str().c_str() : nullptr) != 1)
      return false;
  }
  if (contextIndex() < 0 || SSL_CTX_set_ex_data(sslCtx, contextIndex(), const_cast<SSLContext*>(&context)) != 1)
    return false;
  SSL_CTX_set_verify(sslCtx, SSL_VERIFY_PEER, verifyCertificate);
  return true;
}

}  // namespace Pegasus
