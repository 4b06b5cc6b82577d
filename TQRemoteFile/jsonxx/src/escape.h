// Escape tables of the writers (one lookup per byte) and the XML character-safety pass.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace jsonxx::detail {

using EscapeTable = std::array<std::string, 256>;

// JSON string escapes: control bytes as \u00xx, the named escapes, every other byte unchanged.
const EscapeTable& json_escape_table();
// Letters and digits unchanged, every other byte '_'.
const EscapeTable& attrib_name_table();
// '<', '>' and '&' as entities, every other byte unchanged.
const EscapeTable& tag_text_table();

// `text` with each byte replaced by its table entry; `reserve` is the expected output size.
std::string apply_table(const EscapeTable& table, std::string_view text, std::size_t reserve);

// Replaces what XML 1.0 cannot carry with U+FFFD: control bytes other than tab, line feed and
// carriage return, bytes that are not part of well-formed UTF-8, and the code points U+FFFE and U+FFFF.
std::string xml_safe(std::string_view text);

// An attribute value between double quotes: JSON escaping, then '&', '<', '>' and '"' as entities.
std::string xml_attribute_value(std::string_view text);

// An XML name from a key: escape_attrib, with a '_' put in front of a leading digit.
std::string xml_name(std::string_view key);

}  // namespace jsonxx::detail
