#include "TQPassword.h"

#include <cstring>

#include "TqHostBuffer.h"

const char* const TQPassword::kPrefix = "TQPW1:";

namespace {

const char kKey[] = "TQSO-host-stand-in";
const size_t kKeyLength = sizeof(kKey) - 1;
const char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

unsigned char keyByte(size_t position) { return static_cast<unsigned char>(kKey[position % kKeyLength]); }

}  // namespace

bool TQPassword::decipher(const std::string& enciphered, std::string& password) {
  const size_t prefixLength = std::strlen(kPrefix);
  if (enciphered.compare(0, prefixLength, kPrefix) != 0) return false;
  const std::string digits = enciphered.substr(prefixLength);
  if (digits.size() % 2 != 0) return false;
  std::string plain;
  plain.reserve(digits.size() / 2);
  for (size_t i = 0; i < digits.size(); i += 2) {
    const int high = hexValue(digits[i]);
    const int low = hexValue(digits[i + 1]);
    if (high < 0 || low < 0) return false;
    const unsigned char byte = static_cast<unsigned char>((high << 4 | low) ^ keyByte(i / 2));
    if (byte == 0) return false;
    plain.push_back(static_cast<char>(byte));
  }
  password = plain;
  return true;
}

std::string TQPassword::encipher(const std::string& password) {
  std::string text = kPrefix;
  for (size_t i = 0; i < password.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(password[i]) ^ keyByte(i);
    text.push_back(kHexDigits[byte >> 4]);
    text.push_back(kHexDigits[byte & 0x0F]);
  }
  return text;
}

int TQPassword::decrypt(const char* enciphered, char* buffer, unsigned long* length) {
  if (enciphered == nullptr || length == nullptr) return 0;
  std::string plain;
  if (!decipher(enciphered, plain)) return 0;
  if (tqhost::copyToBuffer(plain, buffer, *length) != tqhost::BufferFill::Copied) {
    *length = static_cast<unsigned long>(plain.size() + 1);
    return 0;
  }
  *length = static_cast<unsigned long>(plain.size());
  return 1;
}

int TQPassword::decrypt(const char* enciphered, char* buffer, unsigned long& length) {
  return decrypt(enciphered, buffer, &length);
}
