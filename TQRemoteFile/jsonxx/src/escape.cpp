#include "escape.h"

#include "jsonxx.h"

namespace jsonxx::detail {

namespace {

EscapeTable identity_table() {
  EscapeTable table;
  for (unsigned byte = 0; byte < 256; ++byte) {
    table[byte] = std::string(1, static_cast<char>(byte));
  }
  return table;
}

EscapeTable build_json_escape_table() {
  static const char hex[] = "0123456789abcdef";
  EscapeTable table = identity_table();
  for (unsigned byte = 0; byte < 0x20; ++byte) {
    table[byte] = std::string("\\u00") + hex[byte >> 4] + hex[byte & 0xF];
  }
  table['"'] = "\\\"";
  table['\\'] = "\\\\";
  table['/'] = "\\/";
  table['\b'] = "\\b";
  table['\f'] = "\\f";
  table['\n'] = "\\n";
  table['\r'] = "\\r";
  table['\t'] = "\\t";
  return table;
}

bool is_ascii_alnum(unsigned byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
}

EscapeTable build_attrib_name_table() {
  EscapeTable table;
  for (unsigned byte = 0; byte < 256; ++byte) {
    table[byte] = is_ascii_alnum(byte) ? std::string(1, static_cast<char>(byte)) : std::string("_");
  }
  return table;
}

EscapeTable build_tag_text_table() {
  EscapeTable table = identity_table();
  table['<'] = "&lt;";
  table['>'] = "&gt;";
  table['&'] = "&amp;";
  return table;
}

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence of a code point XML allows at `at`; 0 when there is none.
std::size_t xml_char_length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    return (lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r') ? 1 : 0;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - at < length || byte(1) < low || byte(1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (!is_continuation(byte(i))) {
      return 0;
    }
  }
  if (length == 3 && lead == 0xEF && byte(1) == 0xBF && (byte(2) == 0xBE || byte(2) == 0xBF)) {
    return 0;  // U+FFFE and U+FFFF are not XML characters
  }
  return length;
}

}  // namespace

const EscapeTable& json_escape_table() {
  static const EscapeTable table = build_json_escape_table();
  return table;
}

const EscapeTable& attrib_name_table() {
  static const EscapeTable table = build_attrib_name_table();
  return table;
}

const EscapeTable& tag_text_table() {
  static const EscapeTable table = build_tag_text_table();
  return table;
}

std::string apply_table(const EscapeTable& table, std::string_view text, std::size_t reserve) {
  std::string out;
  out.reserve(reserve);
  for (const char c : text) {
    out += table[static_cast<unsigned char>(c)];
  }
  return out;
}

std::string xml_safe(std::string_view text) {
  static const char replacement[] = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = xml_char_length(text, at);
    if (length == 0) {
      out += replacement;
      ++at;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

std::string xml_attribute_value(std::string_view text) {
  std::string out;
  for (const char c : escape_string(std::string(text), false)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
        break;
    }
  }
  return xml_safe(out);
}

std::string xml_name(std::string_view key) {
  std::string name = jsonxx_xml::escape_attrib(std::string(key));
  if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
    name.insert(name.begin(), '_');
  }
  return name;
}

}  // namespace jsonxx::detail

namespace jsonxx {

std::string escape_string(const String& text, bool quote) {
  std::string escaped = detail::apply_table(detail::json_escape_table(), text, text.size() * 2 + 2);
  return quote ? '"' + escaped + '"' : escaped;
}

}  // namespace jsonxx

namespace jsonxx_xml {

std::string escape_attrib(const jsonxx::String& name) {
  return jsonxx::detail::apply_table(jsonxx::detail::attrib_name_table(), name, name.size());
}

std::string escape_tag(const jsonxx::String& text, unsigned /*format*/) {
  return jsonxx::detail::xml_safe(jsonxx::detail::apply_table(jsonxx::detail::tag_text_table(), text, text.size() * 5));
}

}  // namespace jsonxx_xml
