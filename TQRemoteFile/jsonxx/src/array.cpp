#include <memory>

#include "jsonxx.h"

namespace jsonxx {

namespace {
// Deep copies of the elements, made before anything is appended, so an array can import itself
// or one of its own elements.
std::vector<std::unique_ptr<Value>> copy_elements(const Array::container& values) {
  std::vector<std::unique_ptr<Value>> copies;
  copies.reserve(values.size());
  for (const Value* value : values) {
    copies.push_back(std::make_unique<Value>(*value));
  }
  return copies;
}
}  // namespace

Array::Array(const Array& other) { import(other); }

Array::Array(const Value& value) { import(value); }

Array::~Array() { reset(); }

Array& Array::operator=(const Array& other) {
  if (&other != this) {
    Array copy(other);
    reset();
    values_.swap(copy.values_);
  }
  return *this;
}

Array& Array::operator=(const Value& value) {
  auto copy = std::make_unique<Value>(value);  // taken first: `value` may be one of the elements
  reset();
  values_.push_back(copy.get());
  copy.release();
  return *this;
}

void Array::import(const Array& other) {
  auto copies = copy_elements(other.values_);
  values_.reserve(values_.size() + copies.size());
  for (auto& copy : copies) {
    values_.push_back(copy.release());  // capacity reserved above: cannot throw
  }
}

void Array::import(const Value& value) {
  auto copy = std::make_unique<Value>(value);
  values_.push_back(copy.get());
  copy.release();
}

Array& Array::operator<<(const Array& other) {
  import(other);
  return *this;
}

Array& Array::operator<<(const Value& value) {
  import(value);
  return *this;
}

void Array::reset() {
  for (Value* value : values_) {
    delete value;
  }
  values_.clear();
}

}  // namespace jsonxx
