#include "TqJsonReader.h"

#include <cstdio>
#include <cstdlib>

namespace tqhost {

namespace {

const int kDeepest = 64;

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool document(JsonValue& value, std::string& error) {
    skipBlanks();
    if (!readValue(value, 0)) {
      error = error_.empty() ? "bad JSON" : error_;
      return false;
    }
    skipBlanks();
    if (position_ != text_.size()) {
      error = "text after the JSON value at offset " + std::to_string(position_);
      return false;
    }
    return true;
  }

 private:
  bool fail(const std::string& what) {
    if (error_.empty()) error_ = what + " at offset " + std::to_string(position_);
    return false;
  }
  void skipBlanks() {
    while (position_ < text_.size() &&
           (text_[position_] == ' ' || text_[position_] == '\t' || text_[position_] == '\n' || text_[position_] == '\r'))
      ++position_;
  }
  bool take(char c) {
    skipBlanks();
    if (position_ < text_.size() && text_[position_] == c) {
      ++position_;
      return true;
    }
    return false;
  }
  bool word(const char* literal) {
    const std::string expected = literal;
    if (text_.compare(position_, expected.size(), expected) != 0) return fail("unknown word");
    position_ += expected.size();
    return true;
  }

  bool readValue(JsonValue& value, int depth) {
    if (depth > kDeepest) return fail("nesting too deep");
    skipBlanks();
    if (position_ >= text_.size()) return fail("unexpected end");
    const char c = text_[position_];
    if (c == '{') return readObject(value, depth);
    if (c == '[') return readArray(value, depth);
    if (c == '"') {
      value.kind = JsonValue::String;
      return readString(value.text);
    }
    if (c == 't') {
      value.kind = JsonValue::Boolean;
      value.boolean = true;
      return word("true");
    }
    if (c == 'f') {
      value.kind = JsonValue::Boolean;
      return word("false");
    }
    if (c == 'n') {
      value.kind = JsonValue::Null;
      return word("null");
    }
    return readNumber(value);
  }

  bool readObject(JsonValue& value, int depth) {
    value.kind = JsonValue::Object;
    ++position_;
    if (take('}')) return true;
    do {
      skipBlanks();
      std::string name;
      if (position_ >= text_.size() || text_[position_] != '"' || !readString(name)) return fail("bad member name");
      if (!take(':')) return fail("':' expected");
      JsonValue member;
      if (!readValue(member, depth + 1)) return false;
      value.members[name] = std::move(member);
    } while (take(','));
    return take('}') || fail("'}' expected");
  }

  bool readArray(JsonValue& value, int depth) {
    value.kind = JsonValue::Array;
    ++position_;
    if (take(']')) return true;
    do {
      JsonValue item;
      if (!readValue(item, depth + 1)) return false;
      value.items.push_back(std::move(item));
    } while (take(','));
    return take(']') || fail("']' expected");
  }

  bool readNumber(JsonValue& value) {
    const size_t start = position_;
    while (position_ < text_.size() && std::string("+-0123456789.eE").find(text_[position_]) != std::string::npos)
      ++position_;
    if (position_ == start) return fail("unexpected character");
    const std::string number = text_.substr(start, position_ - start);
    char* end = nullptr;
    value.kind = JsonValue::Number;
    value.number = std::strtod(number.c_str(), &end);
    return (end != nullptr && *end == '\0') || fail("bad number");
  }

  static void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | code >> 6));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | code >> 12));
      out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | code >> 18));
      out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }

  bool readHex4(unsigned& code) {
    if (position_ + 4 > text_.size()) return fail("short \\u escape");
    code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[position_++];
      code <<= 4;
      if (c >= '0' && c <= '9') code |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') code |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') code |= static_cast<unsigned>(c - 'A' + 10);
      else return fail("bad \\u escape");
    }
    return true;
  }

  bool readString(std::string& out) {
    ++position_;  // opening quote
    while (position_ < text_.size()) {
      const char c = text_[position_++];
      if (c == '"') return true;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (position_ >= text_.size()) break;
      const char escape = text_[position_++];
      switch (escape) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'u': {
          unsigned code = 0;
          if (!readHex4(code)) return false;
          if (code >= 0xD800 && code < 0xDC00 && text_.compare(position_, 2, "\\u") == 0) {
            position_ += 2;
            unsigned low = 0;
            if (!readHex4(low)) return false;
            if (low >= 0xDC00 && low < 0xE000) code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          appendUtf8(out, code);
          break;
        }
        default: return fail("bad escape");
      }
    }
    return fail("unterminated string");
  }

  const std::string& text_;
  size_t position_ = 0;
  std::string error_;
};

}  // namespace

const JsonValue* JsonValue::member(const std::string& name) const {
  if (kind != Object) return nullptr;
  const auto found = members.find(name);
  return found == members.end() ? nullptr : &found->second;
}

std::string JsonValue::memberText(const std::string& name) const {
  const JsonValue* value = member(name);
  return value != nullptr && value->kind == String ? value->text : std::string();
}

bool parseJson(const std::string& text, JsonValue& value, std::string& error) {
  JsonValue parsed;
  if (!Reader(text).document(parsed, error)) return false;
  value = std::move(parsed);
  return true;
}

std::string jsonQuote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", c);
      out += escape;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out + "\"";
}

}  // namespace tqhost
