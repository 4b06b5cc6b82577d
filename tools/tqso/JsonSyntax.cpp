// The strict JSON syntax check of job files (see the header). Every read is bounds-checked against the
// text's end, and nesting is limited as the reader limits it, so no input can run the check off the text or
// the stack.
#include "JsonSyntax.h"

#include <cstdio>
#include <set>

#include "jsonxx.h"

namespace tqso {

namespace {

class SyntaxCheck {
 public:
  explicit SyntaxCheck(const std::string& text) : text_(text) {}

  bool Run(std::string& error) {
    SkipSpace();
    if (Peek() != '{') return Fail(error, "expected a JSON object, found " + Found());
    if (!Value(error, 0)) return false;
    SkipSpace();
    if (at_ < text_.size()) return Fail(error, "text after the end of the job's object: " + Found());
    return true;
  }

 private:
  // The byte at the cursor; 0 at the end (a NUL inside the text is refused as any other stray byte is).
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  bool AtEnd() const { return at_ >= text_.size(); }

  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++at_;
  }

  // What stands at the cursor, for a message.
  std::string Found() const {
    if (AtEnd()) return "the end of the file";
    const unsigned char byte = static_cast<unsigned char>(Peek());
    if (byte >= 0x20 && byte < 0x7F) return std::string("'") + Peek() + "'";
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", byte);
    return std::string("the byte ") + hex;
  }

  // "line L, column C: " of the cursor; a column counts characters, not the continuation bytes of UTF-8.
  std::string Position() const {
    size_t line = 1;
    size_t column = 1;
    for (size_t i = 0; i < at_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
        ++column;
      }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
  }

  bool Fail(std::string& error, const std::string& what) const {
    error = Position() + what;
    return false;
  }

  bool Value(std::string& error, unsigned depth) {
    SkipSpace();
    const char c = Peek();
    if (c == '{' || c == '[') {
      if (depth >= jsonxx::max_nesting_depth)
        return Fail(error, "objects and lists nested deeper than " + std::to_string(jsonxx::max_nesting_depth));
      return c == '{' ? Object(error, depth + 1) : List(error, depth + 1);
    }
    if (c == '"') return Text(error, nullptr);
    if (c == '-' || (c >= '0' && c <= '9')) return Number(error);
    for (const char* word : {"true", "false", "null"})
      if (text_.compare(at_, std::string(word).size(), word) == 0) {
        at_ += std::string(word).size();
        return true;
      }
    return Fail(error, "expected a value, found " + Found());
  }

  bool Object(std::string& error, unsigned depth) {
    ++at_;  // '{'
    SkipSpace();
    if (Peek() == '}') {
      ++at_;
      return true;
    }
    std::set<std::string> keys;
    for (;;) {
      SkipSpace();
      if (Peek() != '"') return Fail(error, "expected a key in double quotes, found " + Found());
      const size_t keyAt = at_;
      std::string key;
      if (!Text(error, &key)) return false;
      if (!keys.insert(key).second) {
        at_ = keyAt;
        return Fail(error, "the key \"" + key + "\" appears twice in one object");
      }
      SkipSpace();
      if (Peek() != ':') return Fail(error, "expected ':' after the key, found " + Found());
      ++at_;
      if (!Value(error, depth)) return false;
      SkipSpace();
      if (Peek() == '}') {
        ++at_;
        return true;
      }
      if (Peek() != ',') return Fail(error, "expected ',' or '}' in an object, found " + Found());
      ++at_;
    }
  }

  bool List(std::string& error, unsigned depth) {
    ++at_;  // '['
    SkipSpace();
    if (Peek() == ']') {
      ++at_;
      return true;
    }
    for (;;) {
      if (!Value(error, depth)) return false;
      SkipSpace();
      if (Peek() == ']') {
        ++at_;
        return true;
      }
      if (Peek() != ',') return Fail(error, "expected ',' or ']' in a list, found " + Found());
      ++at_;
    }
  }

  static bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

  // A text in double quotes; its raw bytes go to `raw` when given (escapes as written).
  bool Text(std::string& error, std::string* raw) {
    ++at_;  // '"'
    const size_t start = at_;
    while (!AtEnd() && Peek() != '"') {
      const unsigned char byte = static_cast<unsigned char>(Peek());
      if (byte < 0x20) return Fail(error, "a control character inside a text (write it as an escape)");
      if (Peek() != '\\') {
        ++at_;
        continue;
      }
      if (!Escape(error)) return false;
    }
    if (AtEnd()) return Fail(error, "the file ends inside a text");
    if (raw != nullptr) *raw = text_.substr(start, at_ - start);
    ++at_;  // '"'
    return true;
  }

  bool Escape(std::string& error) {
    const size_t next = at_ + 1;
    const char kind = next < text_.size() ? text_[next] : '\0';
    if (kind == 'u') {
      for (size_t i = next + 1; i < next + 5; ++i)
        if (i >= text_.size() || !IsHex(text_[i])) return Fail(error, "a \\u escape without four hexadecimal digits");
      at_ = next + 5;
      return true;
    }
    static const std::string kSingle = "\"\\/bfnrt";
    if (kind == '\0' || kSingle.find(kind) == std::string::npos)
      return Fail(error, "an unknown escape in a text (known: \\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX)");
    at_ = next + 1;
    return true;
  }

  bool Digits() {
    const size_t start = at_;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++at_;
    return at_ > start;
  }

  // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
  bool Number(std::string& error) {
    const size_t start = at_;
    const auto malformed = [&] {
      at_ = start;
      return Fail(error, "a malformed number");
    };
    if (Peek() == '-') ++at_;
    if (Peek() == '0') {
      ++at_;
    } else if (!Digits()) {
      return malformed();
    }
    if (Peek() == '.') {
      ++at_;
      if (!Digits()) return malformed();
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      if (!Digits()) return malformed();
    }
    if (Peek() >= '0' && Peek() <= '9') return malformed();  // a leading zero: "01"
    return true;
  }

  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

bool CheckJsonObjectSyntax(const std::string& text, std::string& error) { return SyntaxCheck(text).Run(error); }

}  // namespace tqso
