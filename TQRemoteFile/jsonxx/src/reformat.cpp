// Read-and-write entry points: an object or array read from text and written again.
#include "cursor.h"
#include "jsonxx.h"
#include "reader.h"

namespace jsonxx {

namespace {

using detail::Cursor;
using detail::Reader;

// Reads the object or array the input begins with (after bytes up to 0x20) and writes it with `write`;
// `fallback` when the input begins with neither or reading fails.
template <typename Write>
std::string read_and_write(Cursor& in, const std::string& fallback, Write write) {
  Reader::skip_leading_controls(in);
  if (in.peek() == '{') {
    Object object;
    return Reader::parse_object(in, object) ? write(object) : fallback;
  }
  if (in.peek() == '[') {
    Array array;
    return Reader::parse_array(in, array) ? write(array) : fallback;
  }
  return fallback;
}

std::string reformat_from(Cursor& in) {
  return read_and_write(in, std::string(), [](const auto& document) { return document.json(); });
}

std::string xml_from(Cursor& in, unsigned format) {
  // An empty object writes the bare header; this also checks the format before anything is read.
  const std::string header = Object().xml(format);
  return read_and_write(in, header, [format](const auto& document) { return document.xml(format); });
}

}  // namespace

std::string reformat(std::istream& input) {
  detail::StreamCursor stream(input);
  return reformat_from(stream.cursor());
}

std::string reformat(const String& input) {
  Cursor cursor(input);
  return reformat_from(cursor);
}

std::string xml(std::istream& input, unsigned format) {
  detail::StreamCursor stream(input);
  return xml_from(stream.cursor(), format);
}

std::string xml(const String& input, unsigned format) {
  Cursor cursor(input);
  return xml_from(cursor, format);
}

}  // namespace jsonxx
