// The public reading entry points: stream forms run the reader on a stream cursor, string forms on
// a cursor over the text.
#include <istream>

#include "cursor.h"
#include "jsonxx.h"
#include "reader.h"

namespace jsonxx {

using detail::Cursor;
using detail::Reader;
using detail::StreamCursor;

bool match(const char* pattern, std::istream& input) {
  StreamCursor stream(input);
  return Reader::match(pattern, stream.cursor());
}

bool parse_comment(std::istream& input) {
  StreamCursor stream(input);
  return Reader::parse_comment(stream.cursor());
}

bool parse_string(std::istream& input, String& value) {
  StreamCursor stream(input);
  return Reader::parse_string(stream.cursor(), value);
}

bool parse_identifier(std::istream& input, String& value) {
  StreamCursor stream(input);
  return Reader::parse_identifier(stream.cursor(), value);
}

bool parse_number(std::istream& input, Number& value) {
  StreamCursor stream(input);
  return Reader::parse_number(stream.cursor(), value);
}

bool parse_bool(std::istream& input, Boolean& value) {
  StreamCursor stream(input);
  return Reader::parse_bool(stream.cursor(), value);
}

bool parse_null(std::istream& input) {
  StreamCursor stream(input);
  return Reader::parse_null(stream.cursor());
}

bool parse_array(std::istream& input, Array& array) { return Array::parse(input, array); }
bool parse_object(std::istream& input, Object& object) { return Object::parse(input, object); }
bool parse_value(std::istream& input, Value& value) { return Value::parse(input, value); }

bool Value::parse(std::istream& input, Value& value) {
  StreamCursor stream(input);
  return Reader::parse_value(stream.cursor(), value);
}

bool Value::parse(std::istream& input) { return parse(input, *this); }

bool Value::parse(const String& input) {
  Cursor cursor(input);
  return Reader::parse_value(cursor, *this);
}

bool Array::parse(std::istream& input, Array& array) {
  StreamCursor stream(input);
  return Reader::parse_array(stream.cursor(), array);
}

bool Array::parse(std::istream& input) { return parse(input, *this); }

bool Array::parse(const String& input) {
  Cursor cursor(input);
  return Reader::parse_array(cursor, *this);
}

bool Object::parse(std::istream& input, Object& object) {
  StreamCursor stream(input);
  return Reader::parse_object(stream.cursor(), object);
}

bool Object::parse(std::istream& input) { return parse(input, *this); }

bool Object::parse(const String& input) {
  Cursor cursor(input);
  return Reader::parse_object(cursor, *this);
}

bool validate(std::istream& input) {
  StreamCursor stream(input);
  return Reader::validate(stream.cursor());
}

bool validate(const String& text) {
  Cursor cursor(text);
  return Reader::validate(cursor);
}

}  // namespace jsonxx
