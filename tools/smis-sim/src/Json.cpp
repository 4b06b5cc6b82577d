#include "smis-sim/Json.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace smissim {

namespace {
constexpr int kMaxDepth = 64;
}

class JsonParser {
 public:
  explicit JsonParser(const std::string& text) : text_(text) {}

  Json parseDocument() {
    Json value = parseValue(0);
    skipSpace();
    if (pos_ != text_.size()) fail("trailing characters");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw JsonError("JSON: " + what + " at offset " + std::to_string(pos_));
  }

  void skipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  char peek() {
    skipSpace();
    if (pos_ >= text_.size()) fail("unexpected end");
    return text_[pos_];
  }

  void expect(char c) {
    if (peek() != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  bool consumeWord(const char* word) {
    std::string w(word);
    if (text_.compare(pos_, w.size(), w) != 0) return false;
    pos_ += w.size();
    return true;
  }

  Json parseValue(int depth) {
    if (depth > kMaxDepth) fail("nesting too deep");
    char c = peek();
    if (c == '{') return parseObject(depth);
    if (c == '[') return parseArray(depth);
    if (c == '"') return Json(parseString());
    if (consumeWord("true")) return Json(true);
    if (consumeWord("false")) return Json(false);
    if (consumeWord("null")) return Json();
    return parseNumber();
  }

  Json parseObject(int depth) {
    expect('{');
    Json object = Json::object();
    if (peek() == '}') {
      ++pos_;
      return object;
    }
    for (;;) {
      if (peek() != '"') fail("expected a member name");
      std::string key = parseString();
      expect(':');
      object.members_[key] = parseValue(depth + 1);
      char c = peek();
      ++pos_;
      if (c == '}') return object;
      if (c != ',') fail("expected ',' or '}'");
    }
  }

  Json parseArray(int depth) {
    expect('[');
    Json array = Json::array();
    if (peek() == ']') {
      ++pos_;
      return array;
    }
    for (;;) {
      array.items_.push_back(parseValue(depth + 1));
      char c = peek();
      ++pos_;
      if (c == ']') return array;
      if (c != ',') fail("expected ',' or ']'");
    }
  }

  Json parseNumber() {
    std::size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    std::size_t digits = pos_;
    while (pos_ < text_.size() && std::string("0123456789.eE+-").find(text_[pos_]) != std::string::npos) ++pos_;
    if (pos_ == digits || !std::isdigit(static_cast<unsigned char>(text_[digits]))) fail("unexpected character");
    Json number;
    number.type_ = Json::Type::Number;
    number.text_ = text_.substr(start, pos_ - start);
    return number;
  }

  unsigned readHex4() {
    if (pos_ + 4 > text_.size()) fail("short \\u escape");
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      char h = text_[pos_++];
      value <<= 4;
      if (h >= '0' && h <= '9')
        value |= unsigned(h - '0');
      else if (h >= 'a' && h <= 'f')
        value |= unsigned(h - 'a' + 10);
      else if (h >= 'A' && h <= 'F')
        value |= unsigned(h - 'A' + 10);
      else
        fail("bad \\u escape");
    }
    return value;
  }

  static void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }

  std::string parseString() {
    expect('"');
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated string");
      char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) fail("control character in string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) fail("unterminated escape");
      char e = text_[pos_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned cp = readHex4();
          if (cp >= 0xD800 && cp < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
            pos_ += 2;
            unsigned low = readHex4();
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          appendUtf8(out, cp);
          break;
        }
        default:
          fail("bad escape");
      }
    }
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

Json Json::parse(const std::string& text) { return JsonParser(text).parseDocument(); }

bool Json::asBool() const {
  if (type_ != Type::Bool) throw JsonError("JSON: not a boolean");
  return bool_;
}

const std::string& Json::asString() const {
  if (type_ != Type::String) throw JsonError("JSON: not a string");
  return text_;
}

std::uint64_t Json::asUint64() const {
  if (type_ != Type::Number || text_.empty() || text_[0] == '-')
    throw JsonError("JSON: not an unsigned number: " + text_);
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text_.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') throw JsonError("JSON: not an unsigned integer: " + text_);
  return v;
}

std::int64_t Json::asInt64() const {
  if (type_ != Type::Number) throw JsonError("JSON: not a number");
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text_.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') throw JsonError("JSON: not an integer: " + text_);
  return v;
}

const std::vector<Json>& Json::items() const {
  if (type_ != Type::Array) throw JsonError("JSON: not an array");
  return items_;
}

const std::map<std::string, Json>& Json::members() const {
  if (type_ != Type::Object) throw JsonError("JSON: not an object");
  return members_;
}

bool Json::has(const std::string& key) const { return type_ == Type::Object && members_.count(key) != 0; }

const Json& Json::get(const std::string& key) const {
  auto it = members().find(key);
  if (it == members_.end()) throw JsonError("JSON: missing member \"" + key + "\"");
  return it->second;
}

std::string Json::getString(const std::string& key, const std::string& fallback) const {
  return has(key) && !get(key).isNull() ? get(key).asString() : fallback;
}

std::uint64_t Json::getUint64(const std::string& key, std::uint64_t fallback) const {
  return has(key) && !get(key).isNull() ? get(key).asUint64() : fallback;
}

std::int64_t Json::getInt64(const std::string& key, std::int64_t fallback) const {
  return has(key) && !get(key).isNull() ? get(key).asInt64() : fallback;
}

bool Json::getBool(const std::string& key, bool fallback) const {
  return has(key) && !get(key).isNull() ? get(key).asBool() : fallback;
}

Json& Json::set(const std::string& key, Json value) {
  if (type_ == Type::Null) type_ = Type::Object;
  if (type_ != Type::Object) throw JsonError("JSON: not an object");
  members_[key] = std::move(value);
  return *this;
}

Json& Json::push(Json value) {
  if (type_ == Type::Null) type_ = Type::Array;
  if (type_ != Type::Array) throw JsonError("JSON: not an array");
  items_.push_back(std::move(value));
  return *this;
}

std::string Json::dump() const {
  std::string out;
  dumpTo(out);
  return out;
}

namespace {
void dumpString(std::string& out, const std::string& s) {
  static const char* hex = "0123456789abcdef";
  out += '"';
  for (char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u00";
          out += hex[(c >> 4) & 0xF];
          out += hex[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}
}  // namespace

void Json::dumpTo(std::string& out) const {
  switch (type_) {
    case Type::Null:
      out += "null";
      break;
    case Type::Bool:
      out += bool_ ? "true" : "false";
      break;
    case Type::Number:
      out += text_;
      break;
    case Type::String:
      dumpString(out, text_);
      break;
    case Type::Array: {
      out += '[';
      bool first = true;
      for (const Json& item : items_) {
        if (!first) out += ',';
        first = false;
        item.dumpTo(out);
      }
      out += ']';
      break;
    }
    case Type::Object: {
      out += '{';
      bool first = true;
      for (const auto& member : members_) {
        if (!first) out += ',';
        first = false;
        dumpString(out, member.first);
        out += ':';
        member.second.dumpTo(out);
      }
      out += '}';
      break;
    }
  }
}

}  // namespace smissim
