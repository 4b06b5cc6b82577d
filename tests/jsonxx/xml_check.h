// Well-formedness check of the XML writers' output, shared by the tests and the fuzz target.
#pragma once

#include <pugixml.hpp>

#include <string>

// Every byte is part of a character XML 1.0 allows, in well-formed UTF-8 (as the writers promise;
// the check is a little looser than the writers: it does not look for surrogates or overlong forms).
inline bool only_xml_characters(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
        return false;
      }
      ++at;
      continue;
    }
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
    if (length == 0 || byte > 0xF4 || at + length > text.size()) {
      return false;
    }
    for (std::size_t i = 1; i < length; ++i) {
      if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
        return false;
      }
    }
    at += length;
  }
  return true;
}

// Parses the writer's body (the text after the header) as the content of one root element;
// returns the number of top-level elements, or -1 when it is not well-formed.
inline long count_top_level_elements(const std::string& body) {
  if (!only_xml_characters(body)) {
    return -1;
  }
  const std::string wrapped = "<root>" + body + "</root>";
  pugi::xml_document document;
  if (!document.load_buffer(wrapped.data(), wrapped.size())) {
    return -1;
  }
  long count = 0;
  for (const pugi::xml_node child : document.child("root").children()) {
    count += child.type() == pugi::node_element ? 1 : 0;
  }
  return count;
}
