#include <utility>

#include "jsonxx.h"

namespace jsonxx {

Value::Value(const Value& other) { copy_payload_from(other); }

Value& Value::operator=(const Value& other) {
  import(other);
  return *this;
}

Value::~Value() { reset(); }

Value::Value(const Object& object) { import(object); }
Value::Value(const Array& array) { import(array); }
Value::Value(const String& text) { import(text); }
Value::Value(const char* text) { import(String(text != nullptr ? text : "")); }
Value::Value(Boolean flag) { import(flag); }
Value::Value(Null) { import(Null()); }

void Value::reset() {
  switch (tag_) {
    case STRING_:
      delete payload_.string_value;
      break;
    case ARRAY_:
      delete payload_.array_value;
      break;
    case OBJECT_:
      delete payload_.object_value;
      break;
    default:
      break;
  }
  // A reset value is invalid, never a string, array or object with nothing behind it.
  tag_ = INVALID_;
  payload_.number_value = 0;
}

void Value::swap(Value& other) noexcept {
  std::swap(tag_, other.tag_);
  std::swap(payload_, other.payload_);
}

// Every import builds the new payload before the old one is freed, so importing a value that lives
// inside this one's payload (an element of its own array, say) is safe.
void Value::import(const Boolean& flag) {
  reset();
  payload_.bool_value = flag;
  tag_ = BOOL_;
}

void Value::import(const Number& number) {
  reset();
  payload_.number_value = number;
  tag_ = NUMBER_;
}

void Value::import(const Null&) {
  reset();
  tag_ = NULL_;
}

void Value::import(const String& text) {
  String* copy = new String(text);
  reset();
  payload_.string_value = copy;
  tag_ = STRING_;
}

void Value::import(const Array& array) {
  Array* copy = new Array(array);
  reset();
  payload_.array_value = copy;
  tag_ = ARRAY_;
}

void Value::import(const Object& object) {
  Object* copy = new Object(object);
  reset();
  payload_.object_value = copy;
  tag_ = OBJECT_;
}

void Value::import(const Value& other) {
  if (&other == this) {
    return;
  }
  Value copy(other);
  swap(copy);
}

void Value::copy_payload_from(const Value& other) {
  switch (other.tag_) {
    case NUMBER_:
      import(other.payload_.number_value);
      break;
    case STRING_:
      import(*other.payload_.string_value);
      break;
    case BOOL_:
      import(other.payload_.bool_value);
      break;
    case NULL_:
      import(Null());
      break;
    case ARRAY_:
      import(*other.payload_.array_value);
      break;
    case OBJECT_:
      import(*other.payload_.object_value);
      break;
    case INVALID_:
      break;
  }
}

bool Value::empty() const {
  // reset() leaves a value invalid, so a string, array or object always has its payload.
  return tag_ == INVALID_;
}

}  // namespace jsonxx
