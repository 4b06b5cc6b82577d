#include "smis-sim/Certificate.h"

#include <stdexcept>

#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace smissim {

namespace {
void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("certificate: ") + what + " failed");
}

void addExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  check(extension != nullptr, "extension");
  X509_add_ext(cert, extension, -1);
  X509_EXTENSION_free(extension);
}
}  // namespace

Certificate Certificate::selfSigned(const std::string& commonName) {
  Certificate result;
  result.key.reset(EVP_EC_gen("P-256"));
  check(result.key != nullptr, "key generation");
  result.certificate.reset(X509_new());
  X509* cert = result.certificate.get();
  check(cert != nullptr, "X509_new");
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 30L * 24 * 3600);
  X509_set_pubkey(cert, result.key.get());
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("smis-sim"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                             -1, 0);
  X509_set_issuer_name(cert, name);
  addExtension(cert, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  check(X509_sign(cert, result.key.get(), EVP_sha256()) > 0, "signing");
  return result;
}

namespace {
template <class Write>
std::string pemText(Write write) {
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
  check(bio && write(bio.get()) == 1, "PEM writing");
  char* data = nullptr;
  long size = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(size));
}
}  // namespace

std::string Certificate::certificatePem() const {
  return pemText([this](BIO* bio) { return PEM_write_bio_X509(bio, certificate.get()); });
}

std::string Certificate::keyPem() const {
  return pemText(
      [this](BIO* bio) { return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr); });
}

}  // namespace smissim
