#include "reader.h"

#include <memory>
#include <utility>

#include "number_text.h"

namespace jsonxx::detail {

namespace {

bool is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

int hex_digit_value(int c) {
  if (is_digit(c)) {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Counts one level of array or object nesting while it is alive; `ok` is false past the bound.
class DepthGuard {
 public:
  explicit DepthGuard(Cursor& in) : in_(in) { ++in_.depth; }
  ~DepthGuard() { --in_.depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
  bool ok() const { return in_.depth <= max_nesting_depth; }

 private:
  Cursor& in_;
};

}  // namespace

void Reader::skip_space(Cursor& in) {
  while (is_space(in.peek())) {
    in.get();
  }
}

void Reader::skip_leading_controls(Cursor& in) {
  while (!in.at_end() && in.peek() <= 0x20) {
    in.get();
  }
}

bool Reader::match(const char* pattern, Cursor& in) {
  skip_space(in);
  std::size_t token_start = in.position();
  const char* next = pattern;
  while (*next != '\0') {
    if (in.at_end()) {
      return false;
    }
    const std::size_t here = in.position();
    if (in.get() == static_cast<unsigned char>(*next)) {
      if (next == pattern) {
        token_start = here;
      }
      ++next;
      continue;
    }
    in.rewind(here);
    if (parse_comment(in)) {
      continue;
    }
    if (next != pattern) {
      in.rewind(token_start);
    }
    return false;
  }
  return true;
}

bool Reader::parse_comment(Cursor& in) {
  if (in.peek() != '/' || in.peek(1) != '/') {
    return false;
  }
  in.advance(2);
  while (!in.at_end() && in.peek() != '\r' && in.peek() != '\n') {
    in.get();
  }
  skip_space(in);
  return true;
}

void Reader::append_unicode_escape(Cursor& in, String& value) {
  // Up to four characters are consumed; the hexadecimal digits they begin with give one byte,
  // the low 8 bits of their number. Without a digit, or when the input ends, nothing is added.
  int number = 0;
  int digits = 0;
  bool in_prefix = true;
  int read = 0;
  for (; read < 4 && !in.at_end(); ++read) {
    const int digit = hex_digit_value(in.get());
    if (in_prefix && digit >= 0) {
      number = number * 16 + digit;
      ++digits;
    } else {
      in_prefix = false;
    }
  }
  if (read == 4 && digits > 0) {
    value.push_back(static_cast<char>(number & 0xFF));
  }
}

void Reader::append_escape(Cursor& in, char delimiter, String& value) {
  const int c = in.get();
  switch (c) {
    case '/':
      value.push_back('/');
      return;
    case '\\':
      value.push_back('\\');
      return;
    case 'b':
      value.push_back('\b');
      return;
    case 'f':
      value.push_back('\f');
      return;
    case 'n':
      value.push_back('\n');
      return;
    case 'r':
      value.push_back('\r');
      return;
    case 't':
      value.push_back('\t');
      return;
    case 'u':
      append_unicode_escape(in, value);
      return;
    default:
      break;
  }
  if (c == static_cast<unsigned char>(delimiter)) {
    value.push_back(delimiter);
    return;
  }
  value.push_back('\\');  // an unknown escape keeps both characters
  value.push_back(static_cast<char>(c));
}

bool Reader::parse_string(Cursor& in, String& value) {
  char delimiter = '"';
  if (!match("\"", in)) {
    if (in.peek() != '\'') {
      return false;
    }
    in.get();
    delimiter = '\'';
  }
  while (!in.at_end()) {
    // Copy the run of plain characters in one step.
    const std::string_view rest = in.rest();
    std::size_t run = 0;
    while (run < rest.size() && rest[run] != delimiter && rest[run] != '\\') {
      ++run;
    }
    value.append(rest.substr(0, run));
    in.advance(run);
    const int c = in.get();
    if (c == static_cast<unsigned char>(delimiter)) {
      return true;
    }
    if (c == '\\' && !in.at_end()) {
      append_escape(in, delimiter, value);
    }
  }
  return false;  // unterminated: what was read stays read and appended
}

bool Reader::parse_identifier(Cursor& in, String& value) {
  skip_space(in);
  const std::size_t start = in.position();
  String text;
  while (!in.at_end() && in.peek() != ':') {
    const int c = in.get();
    const bool word_char = is_letter(c) || is_digit(c) || c == '_' || c == '$';
    if (in.position() == start + 1 && !(is_letter(c) || c == '_' || c == '$')) {
      in.rewind(start);
      return false;
    }
    if (word_char) {
      text.push_back(static_cast<char>(c));
    } else if (c == ' ' || c == '\t') {
      skip_space(in);
    }
  }
  if (in.at_end() || in.position() == start) {
    in.rewind(start);
    return false;
  }
  value += text;
  return true;
}

bool Reader::parse_number(Cursor& in, Number& value) {
  skip_space(in);
  const std::string_view rest = in.rest();
  const std::size_t length = number_prefix_length(rest);
  Number number = 0;
  if (length == 0 || !text_to_number(rest.substr(0, length), number)) {
    return false;
  }
  in.advance(length);
  value = number;
  return true;
}

bool Reader::parse_bool(Cursor& in, Boolean& value) {
  if (match("true", in)) {
    value = true;
    return true;
  }
  if (match("false", in)) {
    value = false;
    return true;
  }
  return false;
}

bool Reader::parse_null(Cursor& in) { return match("null", in) || in.peek() == ','; }

bool Reader::parse_value(Cursor& in, Value& value) {
  value.reset();
  String text;
  if (parse_string(in, text)) {
    value.payload_.string_value = new String(std::move(text));
    value.tag_ = Value::STRING_;
    return true;
  }
  if (parse_number(in, value.payload_.number_value)) {
    value.tag_ = Value::NUMBER_;
    return true;
  }
  if (parse_bool(in, value.payload_.bool_value)) {
    value.tag_ = Value::BOOL_;
    return true;
  }
  if (parse_null(in)) {
    value.tag_ = Value::NULL_;
    return true;
  }
  if (in.peek() == '[') {
    auto array = std::make_unique<Array>();
    if (parse_array(in, *array)) {
      value.payload_.array_value = array.release();
      value.tag_ = Value::ARRAY_;
      return true;
    }
  }
  auto object = std::make_unique<Object>();
  if (parse_object(in, *object)) {
    value.payload_.object_value = object.release();
    value.tag_ = Value::OBJECT_;
    return true;
  }
  return false;
}

bool Reader::parse_array(Cursor& in, Array& array) {
  array.reset();
  const DepthGuard level(in);
  if (!level.ok() || !match("[", in)) {
    return false;
  }
  if (match("]", in)) {
    return true;
  }
  do {
    auto element = std::make_unique<Value>();
    if (!parse_value(in, *element)) {
      break;
    }
    array.values_.push_back(element.get());
    element.release();
  } while (match(",", in));
  return match("]", in);
}

bool Reader::parse_object(Cursor& in, Object& object) {
  object.reset();
  const DepthGuard level(in);
  if (!level.ok() || !match("{", in)) {
    return false;
  }
  if (match("}", in)) {
    return true;
  }
  do {
    String key;
    if (!parse_string(in, key)) {
      if (in.peek() == '}') {
        break;  // a trailing comma
      }
      return false;
    }
    if (!match(":", in)) {
      return false;
    }
    auto member = std::make_unique<Value>();
    if (!parse_value(in, *member)) {
      break;
    }
    Value*& slot = object.map_[key];  // the last occurrence of a key wins
    delete slot;
    slot = member.release();
  } while (match(",", in));
  return match("}", in);
}

bool Reader::validate(Cursor& in) {
  skip_leading_controls(in);
  if (in.peek() == '{') {
    Object object;
    return parse_object(in, object);
  }
  if (in.peek() == '[') {
    Array array;
    return parse_array(in, array);
  }
  return false;
}

}  // namespace jsonxx::detail
