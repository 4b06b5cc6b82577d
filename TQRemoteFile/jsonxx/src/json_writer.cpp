// The JSON writers: the compact form on a stream and the indented text of json().
#include <ostream>

#include "escape.h"
#include "jsonxx.h"
#include "number_text.h"

namespace jsonxx {

namespace {

// `key` is null for a value without a key (the root, an array element); a member's key is always
// written, the empty key too, so that the text reads back.
void append_json(std::string& out, unsigned depth, const String* key, const Value& value);

// Turns the second-to-last character into a blank when it is a comma and `out` holds at least
// three characters from `start` on.
void remove_last_comma_from(std::string& out, std::size_t start) {
  if (out.size() - start >= 3 && out[out.size() - 2] == ',') {
    out[out.size() - 2] = ' ';
  }
}

void append_prefix(std::string& out, unsigned depth, const String* key) {
  out.append(depth, '\t');
  if (key != nullptr) {
    out += '"';
    out += escape_string(*key, false);
    out += "\": ";
  }
}

// An object or array between its brackets: `append_elements` writes the elements one level deeper.
template <class AppendElements>
void append_json_container(std::string& out, unsigned depth, const String* key, char open, char close,
                           AppendElements append_elements) {
  const std::size_t start = out.size();
  append_prefix(out, depth, key);
  out += open;
  out += '\n';
  append_elements();
  remove_last_comma_from(out, start);
  out.append(depth, '\t');
  out += close;
  out += ",\n";
}

void append_json_object(std::string& out, unsigned depth, const String* key, const Object& object) {
  append_json_container(out, depth, key, '{', '}', [&] {
    for (const auto& member : object.kv_map()) {
      append_json(out, depth + 1, &member.first, *member.second);
    }
  });
}

void append_json_array(std::string& out, unsigned depth, const String* key, const Array& array) {
  append_json_container(out, depth, key, '[', ']', [&] {
    for (const Value* element : array.values()) {
      append_json(out, depth + 1, nullptr, *element);
    }
  });
}

void append_json(std::string& out, unsigned depth, const String* key, const Value& value) {
  switch (value.tag()) {
    case Value::ARRAY_:
      append_json_array(out, depth, key, value.get<Array>());
      return;
    case Value::OBJECT_:
      append_json_object(out, depth, key, value.get<Object>());
      return;
    default:
      break;
  }
  append_prefix(out, depth, key);
  switch (value.tag()) {
    case Value::NUMBER_:
      out += detail::number_to_text(value.get<Number>());
      break;
    case Value::STRING_:
      out += '"' + escape_string(value.get<String>(), false) + '"';
      break;
    case Value::BOOL_:
      out += value.get<Boolean>() ? "true" : "false";
      break;
    default:
      out += "null";
      break;  // null and invalid
  }
  out += ",\n";
}

std::string whole_document(std::string text) {
  remove_last_comma_from(text, 0);
  return text;
}

// Whether `text` holds a byte written as a backslash-u escape.
bool has_unicode_escape(const String& text) {
  const detail::EscapeTable& table = detail::json_escape_table();
  for (const char c : text) {
    const std::string& escaped = table[static_cast<unsigned char>(c)];
    if (escaped.size() > 1 && escaped[1] == 'u') {
      return true;
    }
  }
  return false;
}

}  // namespace

std::ostream& stream_string(std::ostream& stream, const String& text) {
  const std::string quoted = escape_string(text, true);
  stream.write(quoted.data(), static_cast<std::streamsize>(quoted.size()));
  if (has_unicode_escape(text)) {
    // A backslash-u escape leaves the stream writing decimal numbers with no field width.
    stream.setf(std::ios::dec, std::ios::basefield);
    stream.width(0);
  }
  return stream;
}

std::ostream& operator<<(std::ostream& stream, const Value& value) {
  switch (value.tag()) {
    case Value::NUMBER_:
      return stream << value.get<Number>();
    case Value::STRING_:
      return stream_string(stream, value.get<String>());
    case Value::BOOL_:
      return stream << (value.get<Boolean>() ? "true" : "false");
    case Value::NULL_:
      return stream << "null";
    case Value::ARRAY_:
      return stream << value.get<Array>();
    case Value::OBJECT_:
      return stream << value.get<Object>();
    case Value::INVALID_:
      break;
  }
  return stream;
}

std::ostream& operator<<(std::ostream& stream, const Object& object) {
  stream << '{';
  const char* separator = "";
  for (const auto& member : object.kv_map()) {
    stream << separator;
    stream_string(stream, member.first) << ": " << *member.second;
    separator = ", ";
  }
  return stream << '}';
}

std::ostream& operator<<(std::ostream& stream, const Array& array) {
  stream << '[';
  const char* separator = "";
  for (const Value* element : array.values()) {
    stream << separator << *element;
    separator = ", ";
  }
  return stream << ']';
}

namespace json {

std::string tag(unsigned /*format*/, unsigned depth, const String& name, const Value& value) {
  std::string out;
  append_json(out, depth, name.empty() ? nullptr : &name, value);
  return out;
}

std::string remove_last_comma(const String& text) {
  std::string out = text;
  remove_last_comma_from(out, 0);
  return out;
}

}  // namespace json

std::string Object::json() const {
  std::string out;
  append_json_object(out, 0, nullptr, *this);
  return whole_document(std::move(out));
}

std::string Array::json() const {
  std::string out;
  append_json_array(out, 0, nullptr, *this);
  return whole_document(std::move(out));
}

}  // namespace jsonxx
