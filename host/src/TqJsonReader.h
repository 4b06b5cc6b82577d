// A small JSON reader for answers from the simulator's control interface. Depth and size are bounded
// by the text; nesting deeper than 64 levels is refused.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tqhost {

struct JsonValue {
  enum Kind { Null, Boolean, Number, String, Array, Object };
  Kind kind = Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // String
  std::vector<JsonValue> items;                // Array
  std::map<std::string, JsonValue> members;    // Object

  const JsonValue* member(const std::string& name) const;
  std::string memberText(const std::string& name) const;  // "" unless a string member
};

// False with a reason when the text is not one JSON value (blanks around it allowed).
bool parseJson(const std::string& text, JsonValue& value, std::string& error);

// The text as a JSON string literal, quotes included.
std::string jsonQuote(const std::string& text);

}  // namespace tqhost
