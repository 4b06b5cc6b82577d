// Pegasus::String: an owned UTF-8 text with the members the engine calls.
#pragma once
#include <ostream>
#include <string>
#include "Pegasus/Config.h"

namespace Pegasus {

// Result of String::getCString(): a held copy that converts to const char*.
class CString {
 public:
  explicit CString(std::string text) : text_(std::move(text)) {}
  operator const char*() const { return text_.c_str(); }
  const char* c_str() const { return text_.c_str(); }

 private:
  std::string text_;
};

class String {
 public:
  static const String EMPTY;

  String() = default;
  String(const char* text) : text_(text ? text : "") {}
  String(const char* text, Uint32 length) : text_(text ? std::string(text, length) : std::string()) {}
  String(const std::string& text) : text_(text) {}
  String(std::string&& text) : text_(std::move(text)) {}

  CString getCString() const { return CString(text_); }
  Uint32 size() const { return static_cast<Uint32>(text_.size()); }
  Boolean isEmpty() const { return text_.empty(); }
  void clear() { text_.clear(); }

  // Position of the first occurrence of `what`, or PEG_NOT_FOUND.
  Uint32 find(const String& what) const { return position(text_.find(what.text_)); }
  Uint32 find(char c) const { return position(text_.find(c)); }
  Uint32 find(Uint32 from, char c) const { return position(text_.find(c, from)); }
  String subString(Uint32 index, Uint32 length = PEG_NOT_FOUND) const;

  String& append(const String& more) {
    text_ += more.text_;
    return *this;
  }
  String& append(char c) {
    text_ += c;
    return *this;
  }
  String& operator+=(const String& more) { return append(more); }
  char operator[](Uint32 index) const { return text_.at(index); }

  void toLower();
  void toUpper();
  static Boolean equalNoCase(const String& a, const String& b);
  static int compareNoCase(const String& a, const String& b);

  const std::string& str() const { return text_; }

  friend Boolean operator==(const String& a, const String& b) { return a.text_ == b.text_; }
  friend Boolean operator!=(const String& a, const String& b) { return a.text_ != b.text_; }
  friend Boolean operator<(const String& a, const String& b) { return a.text_ < b.text_; }
  friend String operator+(const String& a, const String& b) { return String(a.text_ + b.text_); }
  friend std::ostream& operator<<(std::ostream& os, const String& s) { return os << s.text_; }

 private:
  static Uint32 position(std::string::size_type pos) {
    return pos == std::string::npos ? PEG_NOT_FOUND : static_cast<Uint32>(pos);
  }

  std::string text_;
};

}  // namespace Pegasus
