// XmlWriter: escaping for element text and attribute values.
#include "XmlWriter.h"

#include <cstdio>
#include "Pegasus/Exception.h"

namespace Pegasus {

void XmlWriter::open(const char* tag) {
  if (!stack_.empty()) finishStartTag();
  out_ += '<';
  out_ += tag;
  stack_.push_back({tag, false});
}

void XmlWriter::attribute(const char* name, const std::string& value) {
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  escape(value, true);
  out_ += '"';
}

void XmlWriter::text(const std::string& value) {
  finishStartTag();
  escape(value, false);
}

void XmlWriter::close() {
  const Open top = stack_.back();
  stack_.pop_back();
  if (!top.startTagClosed) {
    out_ += "/>";
    return;
  }
  out_ += "</";
  out_ += top.tag;
  out_ += '>';
}

void XmlWriter::emptyElement(const char* tag, const char* attributeName, const std::string& value) {
  open(tag);
  attribute(attributeName, value);
  close();
}

void XmlWriter::finishStartTag() {
  Open& top = stack_.back();
  if (!top.startTagClosed) {
    out_ += '>';
    top.startTagClosed = true;
  }
}

void XmlWriter::escape(const std::string& value, bool inAttribute) {
  const char* plainEnd = value.data();  // characters before this are written
  for (const char& c : value) {
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
    // Plain runs are appended whole.
    out_.append(plainEnd, &c);
    out_ += replacement;
    plainEnd = &c + 1;
  }
  out_.append(plainEnd, value.data() + value.size());
}

}  // namespace Pegasus
