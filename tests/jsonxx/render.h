// Test helpers: the compact one-line form of a value, object or array, used as its fingerprint.
#pragma once

#include <sstream>
#include <string>

#include "jsonxx.h"

template <typename T>
std::string compact(const T& item) {
  std::ostringstream out;
  out << item;
  return out.str();
}

inline jsonxx::Object object_from(const std::string& text) {
  jsonxx::Object object;
  object.parse(text);
  return object;
}

inline jsonxx::Array array_from(const std::string& text) {
  jsonxx::Array array;
  array.parse(text);
  return array;
}
