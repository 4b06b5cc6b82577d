// The host's exception of device access: a tag (where it was raised) and a message.
#pragma once

#include <exception>
#include <string>

class TqException : public std::exception {
 public:
  TqException(const char* tag, const char* message)
      : tag_(tag != nullptr ? tag : ""), message_(message != nullptr ? message : "") {}
  TqException(const std::string& tag, const std::string& message) : tag_(tag), message_(message) {}

  // Valid for the life of the exception object.
  const char* getMessage() const { return message_.c_str(); }
  const char* getTag() const { return tag_.c_str(); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string tag_;
  std::string message_;
};
