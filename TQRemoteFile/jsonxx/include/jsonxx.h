// jsonxx: the engine's JSON library.
//
// A document model (Value, Object ordered by key, Array), a lenient reader that accepts "//" line
// comments, single-quoted strings, trailing commas and empty elements (read as null), an indented
// JSON writer, a compact stream writer and four XML layouts.
//
// Strings are byte strings: no character-set handling is done anywhere.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace jsonxx {

class Value;
class Object;
class Array;

namespace detail {
class Reader;
}

// Numbers are IEEE 754 binary64.
using Number = double;
using String = std::string;
using Boolean = bool;
struct Null {};

// XML output layouts. Format 0 is the indented JSON text.
enum Format : unsigned { JSONx = 1, JXML = 2, JXMLex = 3, TaggedXML = 4 };

// Deepest nesting of arrays and objects the reader accepts; deeper input fails to parse.
constexpr unsigned max_nesting_depth = 512;

// Reports a violated precondition: when `result` is false, writes
// "[JSONXX] expression '<expression>' failed at <file>:<line> -> " to standard error and aborts.
void assertion(const char* file, int line, const char* expression, bool result);

// One JSON value. Every copy is deep; nothing is shared.
class Value {
 public:
  enum Tag : unsigned { NUMBER_ = 0, STRING_ = 1, BOOL_ = 2, NULL_ = 3, ARRAY_ = 4, OBJECT_ = 5, INVALID_ = 6 };

  Value() = default;
  Value(const Value& other);
  Value& operator=(const Value& other);
  ~Value();

  // Converting constructors, so documents can be built with operator<<.
  Value(const Object& object);
  Value(const Array& array);
  Value(const String& text);
  Value(const char* text);
  Value(Boolean flag);
  Value(Null);
  template <typename T, typename = std::enable_if_t<std::is_arithmetic_v<T> && !std::is_same_v<T, bool>>>
  Value(T number) {
    import(static_cast<Number>(number));
  }

  // Frees the payload; the value becomes invalid.
  void reset();

  void import(const Boolean& flag);
  void import(const Number& number);
  void import(const Null&);
  void import(const String& text);
  void import(const Array& array);
  void import(const Object& object);
  void import(const Value& other);

  template <typename T>
  bool is() const;
  template <typename T>
  T& get();
  template <typename T>
  const T& get() const;

  // True for an invalid value; an empty string, array or object is not an empty value.
  bool empty() const;
  Tag tag() const { return tag_; }

  static bool parse(std::istream& input, Value& value);
  bool parse(std::istream& input);
  bool parse(const String& input);

 private:
  friend class detail::Reader;

  void copy_payload_from(const Value& other);  // precondition: no payload held
  void swap(Value& other) noexcept;

  union Payload {
    Number number_value;
    Boolean bool_value;
    String* string_value;
    Array* array_value;
    Object* object_value;
  };

  Tag tag_ = INVALID_;
  Payload payload_{0};
};

// A JSON array: a sequence of owned values in insertion order.
class Array {
 public:
  using container = std::vector<Value*>;

  Array() = default;
  Array(const Array& other);
  explicit Array(const Value& value);
  ~Array();

  Array& operator=(const Array& other);
  Array& operator=(const Value& value);

  // Appends a deep copy of each element of `other` (of itself too, doubling it).
  void import(const Array& other);
  // Appends a deep copy of `value`.
  void import(const Value& value);
  Array& operator<<(const Array& other);
  Array& operator<<(const Value& value);

  std::size_t size() const { return values_.size(); }
  bool empty() const { return values_.empty(); }
  const container& values() const { return values_; }

  template <typename T>
  bool has(unsigned int i) const;
  template <typename T>
  T& get(unsigned int i);
  template <typename T>
  const T& get(unsigned int i) const;

  void reset();

  static bool parse(std::istream& input, Array& array);
  bool parse(std::istream& input);
  bool parse(const String& input);

  // Indented JSON text.
  std::string json() const;
  // XML text in one of the four layouts; the format's default header when `header` is empty.
  std::string xml(unsigned format = JSONx, const String& header = String(), const String& attrib = String()) const;

 private:
  friend class detail::Reader;
  container values_;
};

// A JSON object: owned values by key, in ascending byte order of the keys.
class Object {
 public:
  using container = std::map<String, Value*>;

  Object() = default;
  Object(const Object& other);
  Object(const String& key, const Value& value);
  ~Object();

  Object& operator=(const Object& other);

  // Merge: members of `other` replace those with the same key; the others stay.
  void import(const Object& other);
  // Stores a deep copy of `value` under `key`, replacing what was there.
  void import(const String& key, const Value& value);

  // Alternating key, value, key, value...: a key must be a string.
  Object& operator<<(const Value& value);
  // Stores `value` under the pending key (the empty key when none is pending).
  Object& operator<<(const Object& value);

  std::size_t size() const { return map_.size(); }
  bool empty() const { return map_.empty(); }
  const container& kv_map() const { return map_; }

  template <typename T>
  bool has(const String& key) const;
  template <typename T>
  T& get(const String& key);
  template <typename T>
  const T& get(const String& key) const;

  // Frees every member; the pending key stays.
  void reset();

  static bool parse(std::istream& input, Object& object);
  bool parse(std::istream& input);
  bool parse(const String& input);

  std::string json() const;
  std::string xml(unsigned format = JSONx, const String& header = String(), const String& attrib = String()) const;
  // Format 0: json(); formats 1 to 4: xml(format).
  std::string write(unsigned format) const;

 private:
  friend class detail::Reader;
  container map_;
  String pending_key_;
};

// ---- readers: each returns true when it read its item ----

bool match(const char* pattern, std::istream& input);
bool parse_comment(std::istream& input);
bool parse_string(std::istream& input, String& value);
bool parse_identifier(std::istream& input, String& value);
bool parse_number(std::istream& input, Number& value);
bool parse_bool(std::istream& input, Boolean& value);
bool parse_null(std::istream& input);
bool parse_array(std::istream& input, Array& array);
bool parse_object(std::istream& input, Object& object);
bool parse_value(std::istream& input, Value& value);

// Whether the input begins with a well-formed object or array (after leading bytes up to 0x20).
bool validate(std::istream& input);
bool validate(const String& text);

// ---- writers ----

std::ostream& operator<<(std::ostream& stream, const Value& value);
std::ostream& operator<<(std::ostream& stream, const Object& object);
std::ostream& operator<<(std::ostream& stream, const Array& array);
std::ostream& stream_string(std::ostream& stream, const String& text);

// The text through the JSON escape table, in double quotes when `quote` is true.
std::string escape_string(const String& text, bool quote = false);

namespace json {
std::string tag(unsigned format, unsigned depth, const String& name, const Value& value);
std::string remove_last_comma(const String& text);
}  // namespace json

// Reads an object or array and writes it again as indented JSON; the empty text when nothing is read.
std::string reformat(std::istream& input);
std::string reformat(const String& input);
// Reads an object or array and writes it as XML; the format's default header alone when nothing is read.
std::string xml(std::istream& input, unsigned format = JSONx);
std::string xml(const String& input, unsigned format = JSONx);

// ---- typed access ----

namespace detail {
template <typename T>
struct kind;
template <>
struct kind<Number> {
  static constexpr Value::Tag tag = Value::NUMBER_;
  static constexpr const char* is_text = "is<Number>()";
};
template <>
struct kind<String> {
  static constexpr Value::Tag tag = Value::STRING_;
  static constexpr const char* is_text = "is<String>()";
};
template <>
struct kind<Boolean> {
  static constexpr Value::Tag tag = Value::BOOL_;
  static constexpr const char* is_text = "is<Boolean>()";
};
template <>
struct kind<Null> {
  static constexpr Value::Tag tag = Value::NULL_;
  static constexpr const char* is_text = "is<Null>()";
};
template <>
struct kind<Array> {
  static constexpr Value::Tag tag = Value::ARRAY_;
  static constexpr const char* is_text = "is<Array>()";
};
template <>
struct kind<Object> {
  static constexpr Value::Tag tag = Value::OBJECT_;
  static constexpr const char* is_text = "is<Object>()";
};
}  // namespace detail

template <typename T>
bool Value::is() const {
  return tag_ == detail::kind<T>::tag;
}

template <typename T>
const T& Value::get() const {
  static_assert(!std::is_same_v<T, Null>, "a null value has no payload");
  assertion(__FILE__, __LINE__, detail::kind<T>::is_text, is<T>());
  if constexpr (std::is_same_v<T, Number>) {
    return payload_.number_value;
  } else if constexpr (std::is_same_v<T, Boolean>) {
    return payload_.bool_value;
  } else if constexpr (std::is_same_v<T, String>) {
    return *payload_.string_value;
  } else if constexpr (std::is_same_v<T, Array>) {
    return *payload_.array_value;
  } else {
    return *payload_.object_value;
  }
}

template <typename T>
T& Value::get() {
  return const_cast<T&>(static_cast<const Value&>(*this).get<T>());
}

template <typename T>
bool Array::has(unsigned int i) const {
  return i < size() && values_[i]->is<T>();
}

template <typename T>
const T& Array::get(unsigned int i) const {
  assertion(__FILE__, __LINE__, "i < size()", i < size());
  return values_[i]->get<T>();
}

template <typename T>
T& Array::get(unsigned int i) {
  return const_cast<T&>(static_cast<const Array&>(*this).get<T>(i));
}

template <typename T>
bool Object::has(const String& key) const {
  auto it = map_.find(key);
  return it != map_.end() && it->second->is<T>();
}

template <typename T>
const T& Object::get(const String& key) const {
  assertion(__FILE__, __LINE__, "has<T>(key)", has<T>(key));
  return map_.find(key)->second->get<T>();
}

template <typename T>
T& Object::get(const String& key) {
  return const_cast<T&>(static_cast<const Object&>(*this).get<T>(key));
}

}  // namespace jsonxx

// XML builders.
namespace jsonxx_xml {

// Default header by format number: empty for format 0, an XML declaration line for formats 1 to 4.
extern const char* const defheader[5];

// Letters and digits stay, every other byte becomes '_'.
std::string escape_attrib(const jsonxx::String& name);
// '<', '>' and '&' become entities; bytes that XML cannot carry become U+FFFD.
std::string escape_tag(const jsonxx::String& text, unsigned format);
std::string open_tag(unsigned format, char type, const jsonxx::String& name, const jsonxx::String& attr,
                     const jsonxx::String& text = jsonxx::String());
std::string close_tag(unsigned format, char type, const jsonxx::String& name);
std::string tag(unsigned format, unsigned depth, const jsonxx::String& name, const jsonxx::Value& value,
                const jsonxx::String& attrib = jsonxx::String());

}  // namespace jsonxx_xml
