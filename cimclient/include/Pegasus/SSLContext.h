// TLS settings of a CIM client connection: an optional trust store and a certificate callback
// that decides, certificate by certificate, whether the server is accepted.
#pragma once
#include <memory>
#include "Pegasus/Config.h"
#include "Pegasus/String.h"

namespace Pegasus {

// What the callback learns about one certificate of the server's chain.
class SSLCertificateInfo {
 public:
  // Response codes: whether OpenSSL's own check (against the trust store) passed.
  enum { V_OK = 1, V_FAILED = 0 };

  SSLCertificateInfo(const String& subjectName, const String& issuerName, Uint32 versionNumber, long serialNumber,
                     const String& notBefore, const String& notAfter, Uint32 errorDepth, Uint32 errorCode,
                     const String& errorString, Uint32 responseCode);

  const String& getSubjectName() const { return subjectName_; }
  const String& getIssuerName() const { return issuerName_; }
  Uint32 getVersionNumber() const { return versionNumber_; }
  long getSerialNumber() const { return serialNumber_; }
  // Validity bounds as CIM datetime text (yyyymmddhhmmss.mmmmmm+000).
  const String& getNotBefore() const { return notBefore_; }
  const String& getNotAfter() const { return notAfter_; }
  // Depth in the chain (0 = the server's own certificate), OpenSSL's error code and text for it.
  Uint32 getErrorDepth() const { return errorDepth_; }
  Uint32 getErrorCode() const { return errorCode_; }
  const String& getErrorString() const { return errorString_; }
  // V_OK when OpenSSL accepted the certificate by itself; a callback may record its own verdict here.
  Uint32 getResponseCode() const { return responseCode_; }
  void setResponseCode(Uint32 code) { responseCode_ = code; }

  String toString() const;

 private:
  String subjectName_;
  String issuerName_;
  Uint32 versionNumber_;
  long serialNumber_;
  String notBefore_;
  String notAfter_;
  Uint32 errorDepth_;
  Uint32 errorCode_;
  String errorString_;
  Uint32 responseCode_;
};

// Called for each certificate of the server's chain during the TLS handshake; true accepts it.
// Without a callback, only certificates that verify against the trust store are accepted.
typedef Boolean(SSLCertificateVerifyFunction)(SSLCertificateInfo& certInfo);

class SSLContext {
 public:
  // trustStore: a PEM file or a directory of CA certificates (may be empty).
  // randomFile: a file to seed OpenSSL's random generator from (may be empty).
  // Throws SSLException when a named trust store or random file cannot be read.
  SSLContext(const String& trustStore, SSLCertificateVerifyFunction* verifyCert,
             const String& randomFile = String::EMPTY);

  const String& getTrustStore() const { return trustStore_; }
  SSLCertificateVerifyFunction* getSSLCertificateVerifyFunction() const { return verifyCert_; }

 private:
  String trustStore_;
  SSLCertificateVerifyFunction* verifyCert_;
};

}  // namespace Pegasus
