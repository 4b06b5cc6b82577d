// A throw-away self-signed certificate for the HTTPS listener.
#pragma once
#include <memory>
#include <string>

#include <openssl/evp.h>
#include <openssl/x509.h>

namespace smissim {

struct Certificate {
  std::unique_ptr<X509, decltype(&X509_free)> certificate{nullptr, X509_free};
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, EVP_PKEY_free};

  // An EC P-256 key and a certificate for CN=<commonName> with the loopback address as subject alternative
  // name, valid for 30 days. Throws std::runtime_error when OpenSSL fails.
  static Certificate selfSigned(const std::string& commonName);
  // PEM texts of the certificate (for clients that want to trust it) and of the private key.
  std::string certificatePem() const;
  std::string keyPem() const;
};

}  // namespace smissim
