// A throw-away self-signed certificate (EC P-256, CN=127.0.0.1, valid one day) made in memory for
// HTTPS tests.
#pragma once
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace cimtest {

struct TestCertificate {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, EVP_PKEY_free};
  std::unique_ptr<X509, decltype(&X509_free)> cert{nullptr, X509_free};
};

inline TestCertificate makeSelfSignedCertificate() {
  TestCertificate made;
  made.key.reset(EVP_EC_gen("P-256"));
  made.cert.reset(X509_new());
  if (!made.key || !made.cert) throw std::runtime_error("cannot create a test key or certificate");
  X509* cert = made.cert.get();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 4711);
  X509_gmtime_adj(X509_getm_notBefore(cert), -60);
  X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert, name);
  X509_set_pubkey(cert, made.key.get());
  if (X509_sign(cert, made.key.get(), EVP_sha256()) == 0) throw std::runtime_error("cannot sign the test certificate");
  return made;
}

// The certificate as PEM text.
inline std::string pemOf(X509* cert) {
  std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
  if (!out || PEM_write_bio_X509(out.get(), cert) != 1)
    throw std::runtime_error("cannot write the test certificate as PEM");
  char* data = nullptr;
  const long length = BIO_get_mem_data(out.get(), &data);
  return std::string(data, static_cast<std::size_t>(length));
}

}  // namespace cimtest
