// A small XML writer: elements, attributes and text with escaping, into one growing string.
#pragma once
#include <string>
#include <vector>

namespace Pegasus {

class XmlWriter {
 public:
  // Starts <tag; attributes may follow until content is written.
  void open(const char* tag);
  void attribute(const char* name, const std::string& value);
  // Escaped character data; marks the element as having content (so "<VALUE></VALUE>" for "").
  void text(const std::string& value);
  // Ends the innermost open element: "/>" when it has no content, else "</tag>".
  void close();
  // Shorthand for open + attribute + close.
  void emptyElement(const char* tag, const char* attributeName, const std::string& value);

  const std::string& result() const { return out_; }
  std::size_t size() const { return out_.size(); }
  // Room for `bytes` in all, so that a large document is not copied as it grows.
  void reserve(std::size_t bytes) { out_.reserve(bytes); }
  std::string take() { return std::move(out_); }

 private:
  void finishStartTag();
  // Throws CIMClientXmlException for characters XML 1.0 cannot carry.
  void escape(const std::string& value, bool inAttribute);

  struct Open {
    const char* tag;
    bool startTagClosed;
  };
  std::string out_;
  std::vector<Open> stack_;
};

}  // namespace Pegasus
