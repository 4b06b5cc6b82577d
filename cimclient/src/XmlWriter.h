// A small XML writer: elements, attributes and text with escaping, into one growing string.
#pragma once
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace Pegasus {

class XmlWriter {
 public:
  // `room`: a string whose storage the document is written into (its text is overwritten), so that memory
  // already in use is used again.
  explicit XmlWriter(std::string room = std::string()) : out_(std::move(room)) {}

  // Text written as it is, before the first element (the XML declaration).
  void prolog(const char* text) { put(text, std::strlen(text)); }
  // Starts <tag; attributes may follow until content is written.
  void open(const char* tag);
  void attribute(const char* name, const std::string& value) { attribute(name, value.data(), value.size()); }
  void attribute(const char* name, const char* value) { attribute(name, value, std::strlen(value)); }
  // Escaped character data; marks the element as having content (so "<VALUE></VALUE>" for "").
  void text(const std::string& value) { text(value.data(), value.size()); }
  void text(const char* value, std::size_t size);
  // Ends the innermost open element: "/>" when it has no content, else "</tag>".
  void close();
  // Shorthand for open + attribute + close.
  void emptyElement(const char* tag, const char* attributeName, const std::string& value);

  std::size_t size() const { return used_; }
  // Room for `bytes` in all, so that a large document is not copied as it grows.
  void reserve(std::size_t bytes);
  // The document written; the writer is empty afterwards.
  std::string take();

 private:
  void finishStartTag();
  void attribute(const char* name, const char* value, std::size_t size);
  // Throws CIMClientXmlException for characters XML 1.0 cannot carry.
  void escape(const char* value, std::size_t size, bool inAttribute);

  // The bytes go to out_[used_] on; out_ is kept longer than what is written, so that writing a piece
  // is a copy into room already there rather than a string append.
  void put(const char* bytes, std::size_t count) {
    if (out_.size() - used_ < count) grow(count);
    std::memcpy(&out_[used_], bytes, count);
    used_ += count;
  }
  void put(char c) {
    if (out_.size() == used_) grow(1);
    out_[used_++] = c;
  }
  void grow(std::size_t more);

  struct Open {
    const char* tag;
    std::size_t tagLength;
    bool startTagClosed;
  };
  std::string out_;
  std::size_t used_ = 0;
  std::vector<Open> stack_;
};

}  // namespace Pegasus
