// The host's error object: a code and, for failures, a text. A default-constructed object means success
// and holds no details. Copies share the details (they are never changed after construction).
#pragma once

#include <memory>
#include <string>

class CWmError {
 public:
  CWmError() : code_(0) {}
  CWmError(int code, const std::string& text)
      : code_(code), details_(code != 0 ? std::make_shared<Details>(Details{text}) : nullptr) {}

  static CWmError Success() { return CWmError(); }

  bool isSuccess() const { return code_ == 0; }
  int code() const { return code_; }
  // "Success" for success, else the failure text (or "Error <code>" when it has none).
  std::string AsString() const {
    if (code_ == 0) return "Success";
    if (details_ && !details_->text.empty()) return details_->text;
    return "Error " + std::to_string(code_);
  }

 private:
  struct Details {
    std::string text;
  };
  int code_;
  std::shared_ptr<const Details> details_;
};
