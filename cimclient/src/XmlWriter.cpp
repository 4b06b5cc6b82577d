// XmlWriter: escaping for element text and attribute values.
#include "XmlWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {

// Bytes that need a look in text (1) or only in attribute values (2); all others are copied in runs.
struct EscapeTable {
  unsigned char kind[256] = {};
  constexpr EscapeTable() {
    for (int c = 0; c < 0x20; ++c) kind[c] = 1;
    kind[static_cast<unsigned char>('&')] = kind[static_cast<unsigned char>('<')] =
        kind[static_cast<unsigned char>('>')] = 1;
    kind[static_cast<unsigned char>('"')] = kind[static_cast<unsigned char>('\'')] = 2;
  }
};
constexpr EscapeTable escapeTable;

}  // namespace

void XmlWriter::grow(std::size_t more) {
  // The string's room is zeroed in steps of at most 64 KiB just ahead of the writing, while it is in cache,
  // rather than all at once when a large document reserves it.
  const std::size_t step = std::min<std::size_t>(std::max<std::size_t>(out_.size(), 256), std::size_t(64) << 10);
  const std::size_t next = std::max(used_ + more, out_.size() + step);
  if (next > out_.capacity()) out_.reserve(std::max(next, out_.capacity() * 2));
  out_.resize(next);
}

void XmlWriter::reserve(std::size_t bytes) { out_.reserve(bytes); }

std::string XmlWriter::take() {
  out_.resize(used_);
  used_ = 0;
  stack_.clear();
  return std::move(out_);
}

void XmlWriter::open(const char* tag) {
  if (!stack_.empty()) finishStartTag();
  const std::size_t length = std::strlen(tag);
  put('<');
  put(tag, length);
  stack_.push_back({tag, length, false});
}

void XmlWriter::attribute(const char* name, const char* value, std::size_t size) {
  put(' ');
  put(name, std::strlen(name));
  put("=\"", 2);
  escape(value, size, true);
  put('"');
}

void XmlWriter::text(const char* value, std::size_t size) {
  finishStartTag();
  escape(value, size, false);
}

void XmlWriter::close() {
  const Open top = stack_.back();
  stack_.pop_back();
  if (!top.startTagClosed) {
    put("/>", 2);
    return;
  }
  put("</", 2);
  put(top.tag, top.tagLength);
  put('>');
}

void XmlWriter::emptyElement(const char* tag, const char* attributeName, const std::string& value) {
  open(tag);
  attribute(attributeName, value);
  close();
}

void XmlWriter::finishStartTag() {
  Open& top = stack_.back();
  if (!top.startTagClosed) {
    put('>');
    top.startTagClosed = true;
  }
}

void XmlWriter::escape(const char* value, std::size_t size, bool inAttribute) {
  const unsigned char needsLook = inAttribute ? 2 : 1;
  const char* const end = value + size;
  const char* plainEnd = value;  // characters before this are written
  for (const char* at = value; at != end; ++at) {
    const char c = *at;
    const unsigned char kind = escapeTable.kind[static_cast<unsigned char>(c)];
    if (kind == 0 || kind > needsLook) continue;
    const char* replacement = nullptr;
    switch (c) {
      case '&':
        replacement = "&amp;";
        break;
      case '<':
        replacement = "&lt;";
        break;
      case '>':
        replacement = "&gt;";
        break;
      case '"':
        replacement = inAttribute ? "&quot;" : nullptr;
        break;
      case '\'':
        replacement = inAttribute ? "&apos;" : nullptr;
        break;
      // Parsers normalise these in attributes and turn a raw CR into LF; character references keep them.
      case '\r':
        replacement = "&#13;";
        break;
      case '\n':
        replacement = inAttribute ? "&#10;" : nullptr;
        break;
      case '\t':
        replacement = inAttribute ? "&#9;" : nullptr;
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char code[8];
          std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
          throw CIMClientXmlException(std::string("control character ") + code + " cannot be written in XML");
        }
    }
    if (!replacement) continue;
    // Plain runs are written whole.
    put(plainEnd, static_cast<std::size_t>(at - plainEnd));
    put(replacement, std::strlen(replacement));
    plainEnd = at + 1;
  }
  put(plainEnd, static_cast<std::size_t>(end - plainEnd));
}

}  // namespace Pegasus
