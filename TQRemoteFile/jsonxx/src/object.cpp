#include <memory>
#include <utility>
#include <vector>

#include "jsonxx.h"

namespace jsonxx {

namespace {
// Stores `value` under `key`, freeing what was there before.
void store(Object::container& map, const String& key, std::unique_ptr<Value> value) {
  Value*& slot = map[key];  // a new slot holds nullptr
  delete slot;
  slot = value.release();
}
}  // namespace

Object::Object(const Object& other) { import(other); }

Object::Object(const String& key, const Value& value) { import(key, value); }

Object::~Object() { reset(); }

Object& Object::operator=(const Object& other) {
  pending_key_.clear();
  if (&other != this) {
    Object copy(other);  // copied first: `other` may live inside this object
    reset();
    map_.swap(copy.map_);
  }
  return *this;
}

void Object::import(const Object& other) {
  pending_key_.clear();
  // Copied first: `other` may be this object or live inside one of its members.
  std::vector<std::pair<String, std::unique_ptr<Value>>> copies;
  copies.reserve(other.map_.size());
  for (const auto& member : other.map_) {
    copies.emplace_back(member.first, std::make_unique<Value>(*member.second));
  }
  for (auto& copy : copies) {
    store(map_, copy.first, std::move(copy.second));
  }
}

void Object::import(const String& key, const Value& value) {
  pending_key_.clear();
  store(map_, key, std::make_unique<Value>(value));
}

Object& Object::operator<<(const Value& value) {
  if (pending_key_.empty()) {
    pending_key_ = value.get<String>();
    return *this;
  }
  const String key = std::move(pending_key_);
  import(key, value);
  return *this;
}

Object& Object::operator<<(const Object& value) {
  const String key = std::move(pending_key_);
  import(key, Value(value));
  return *this;
}

void Object::reset() {
  for (auto& member : map_) {
    delete member.second;
  }
  map_.clear();
}

std::string Object::write(unsigned format) const { return format == 0 ? json() : xml(format); }

}  // namespace jsonxx
