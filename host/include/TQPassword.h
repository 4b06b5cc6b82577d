// The host's password service: deciphers the array passwords that the host keeps enciphered.
//
// The real host's cipher is its own; this stand-in uses a documented, reversible form that protects
// nothing and only keeps passwords out of plain sight in files:
//
//   "TQPW1:" followed by two hexadecimal digits per byte of the password, each byte XOR-ed with the
//   byte at the same position (modulo its length) of the key "TQSO-host-stand-in".
//
// "TQPW1:" alone is the empty password. Anything else (no prefix, an odd number of digits, a digit that
// is not hexadecimal, a deciphered byte of 0) cannot be deciphered.
#pragma once

#include <string>

class TQPassword {
 public:
  static const char* const kPrefix;  // "TQPW1:"

  TQPassword() = default;

  // Deciphers into the caller's buffer, whose full size (the terminating NUL included) goes in *length.
  // Non-zero when deciphered: the buffer holds the password and its NUL, *length its length. Zero when the
  // text cannot be deciphered, or when the buffer is too small: then *length is the size needed and
  // the buffer holds "" (the password is never cut).
  int decrypt(const char* enciphered, char* buffer, unsigned long* length);
  int decrypt(const char* enciphered, char* buffer, unsigned long& length);

  // The same rule without buffers; false when the text cannot be deciphered.
  static bool decipher(const std::string& enciphered, std::string& password);
  // The enciphered form of a password (for the harness and tests that fill the host's records).
  static std::string encipher(const std::string& password);
};
