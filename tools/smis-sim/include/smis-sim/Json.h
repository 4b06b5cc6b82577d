// A small JSON value with a bounds-checked parser and a compact writer, for the control interface and seed files.
#pragma once
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace smissim {

class JsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Json {
 public:
  enum class Type { Null, Bool, Number, String, Array, Object };

  Json() = default;
  Json(bool b) : type_(Type::Bool), bool_(b) {}
  Json(int n) : Json(static_cast<std::int64_t>(n)) {}
  Json(std::int64_t n) : type_(Type::Number), text_(std::to_string(n)) {}
  Json(std::uint64_t n) : type_(Type::Number), text_(std::to_string(n)) {}
  Json(const char* s) : type_(Type::String), text_(s) {}
  Json(std::string s) : type_(Type::String), text_(std::move(s)) {}

  static Json array() {
    Json j;
    j.type_ = Type::Array;
    return j;
  }
  static Json object() {
    Json j;
    j.type_ = Type::Object;
    return j;
  }
  static Json parse(const std::string& text);  // throws JsonError with the offset of the fault

  Type type() const { return type_; }
  bool isNull() const { return type_ == Type::Null; }
  bool isObject() const { return type_ == Type::Object; }
  bool isArray() const { return type_ == Type::Array; }
  bool isString() const { return type_ == Type::String; }
  bool isNumber() const { return type_ == Type::Number; }

  bool asBool() const;
  const std::string& asString() const;
  std::uint64_t asUint64() const;
  std::int64_t asInt64() const;
  const std::vector<Json>& items() const;
  const std::map<std::string, Json>& members() const;

  // Object access: has/get (get throws when absent); the typed getters give a default when absent.
  bool has(const std::string& key) const;
  const Json& get(const std::string& key) const;
  std::string getString(const std::string& key, const std::string& fallback = "") const;
  std::uint64_t getUint64(const std::string& key, std::uint64_t fallback = 0) const;
  std::int64_t getInt64(const std::string& key, std::int64_t fallback = 0) const;
  bool getBool(const std::string& key, bool fallback = false) const;

  Json& set(const std::string& key, Json value);
  Json& push(Json value);

  std::string dump() const;

 private:
  friend class JsonParser;
  void dumpTo(std::string& out) const;

  Type type_ = Type::Null;
  bool bool_ = false;
  std::string text_;  // string contents, or the number's text
  std::vector<Json> items_;
  std::map<std::string, Json> members_;
};

}  // namespace smissim
