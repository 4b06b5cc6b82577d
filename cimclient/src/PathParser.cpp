// Object path parser: host, namespace, class name, then key bindings in text order.
#include "PathParser.h"

#include <algorithm>
#include <cctype>
#include "NumberText.h"

namespace Pegasus {

namespace {

class PathTextParser {
 public:
  explicit PathTextParser(const std::string& text) : text_(text) {}

  ParsedPath parse() {
    ParsedPath path;
    size_t pos = parseHost(path.host);
    pos = parseNamespace(pos, !path.host.empty(), path.nameSpace);
    const size_t dot = text_.find('.', pos);
    path.className = text_.substr(pos, dot == std::string::npos ? std::string::npos : dot - pos);
    if (!CIMName::legal(path.className)) fail("class name " + path.className + " not a legal CIM name");
    if (dot != std::string::npos) parseKeys(dot + 1, path.keys);
    return path;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw MalformedObjectNameException("malformed object name: " + text_ + ", reason:\"" + why + "\"");
  }

  // "//host/" prefix; returns where the rest begins.
  size_t parseHost(std::string& host) const {
    if (text_.compare(0, 2, "//") != 0) return 0;
    const size_t slash = text_.find('/', 2);
    if (slash == std::string::npos) fail("missing slash after hostname");
    host = text_.substr(2, slash - 2);
    if (!legalHost(host)) fail("invalid hostname");
    return slash + 1;
  }

  // "ns:" when a ':' comes before the first '.'; required after a host.
  size_t parseNamespace(size_t pos, bool hasHost, std::string& nameSpace) const {
    const size_t colon = text_.find(':', pos);
    const size_t dot = text_.find('.', pos);
    if (colon == std::string::npos || (dot != std::string::npos && dot < colon)) {
      if (hasHost) fail("host specified, missing namespace");
      return pos;
    }
    nameSpace = text_.substr(pos, colon - pos);
    if (!nameSpace.empty() && nameSpace[0] == '/') nameSpace.erase(0, 1);
    if (!CIMNamespaceName::legal(nameSpace)) fail("invalid namespace name");
    return colon + 1;
  }

  void parseKeys(size_t pos, Array<CIMKeyBinding>& keys) const {
    for (;;) {
      const size_t equal = text_.find('=', pos);
      if (equal == std::string::npos) fail("invalid key-value pair, missing equal sign");
      const std::string name = text_.substr(pos, equal - pos);
      if (!CIMName::legal(name)) fail("invalid key name:" + name);
      pos = equal + 1;
      keys.append(parseValue(name, pos));
      if (pos == text_.size()) return;
      if (text_[pos] != ',') fail("next key-value pair has to start with comma");
      ++pos;
    }
  }

  // Reads the value at `pos` and leaves `pos` just past it.
  CIMKeyBinding parseValue(const std::string& name, size_t& pos) const {
    if (pos < text_.size() && text_[pos] == '"') {
      const std::string value = parseQuoted(pos);
      return CIMKeyBinding(CIMName(String(name)), String(value),
                           looksLikeReference(value) ? CIMKeyBinding::REFERENCE : CIMKeyBinding::STRING);
    }
    const size_t end = std::min(text_.find(',', pos), text_.size());
    const std::string value = text_.substr(pos, end - pos);
    pos = end;
    return CIMKeyBinding(CIMName(String(name)), String(value), unquotedType(value));
  }

  std::string parseQuoted(size_t& pos) const {
    std::string value;
    for (size_t i = pos + 1; i < text_.size(); ++i) {
      const char c = text_[i];
      if (c == '"') {
        pos = i + 1;
        return value;
      }
      if (c == '\\') {
        if (i + 1 >= text_.size() || (text_[i + 1] != '\\' && text_[i + 1] != '"')) fail("malformed value");
        value += text_[++i];
      } else {
        value += c;
      }
    }
    fail("missing quote in key value");
  }

  CIMKeyBinding::Type unquotedType(const std::string& value) const {
    if (!value.empty() && (value[0] == 'T' || value[0] == 't' || value[0] == 'F' || value[0] == 'f')) {
      String upper(value);
      upper.toUpper();
      if (upper != "TRUE" && upper != "FALSE") fail("value should be TRUE or FALSE");
      return CIMKeyBinding::BOOLEAN;
    }
    KeyNumber number;
    if (!parseKeyNumber(value, number)) fail("invalid number value");
    return CIMKeyBinding::NUMERIC;
  }

  static bool looksLikeReference(const std::string& value) {
    if (value.find('=') == std::string::npos) return false;
    try {
      return parseObjectPath(value).keys.size() > 0;
    } catch (const Exception&) {
      return false;
    }
  }

  static bool legalHost(const std::string& host) {
    const size_t bracketEnd = host.find(']');
    if (!host.empty() && host[0] == '[') {
      if (bracketEnd == std::string::npos || bracketEnd < 2) return false;
      for (size_t i = 1; i < bracketEnd; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(host[i])) && host[i] != ':' && host[i] != '.') return false;
      return legalPort(host, bracketEnd + 1);
    }
    const size_t colon = host.find(':');
    if (!legalPort(host, colon == std::string::npos ? host.size() : colon)) return false;
    return legalHostName(host.substr(0, colon));
  }

  // Nothing, or ":digits", from `pos` to the end.
  static bool legalPort(const std::string& host, size_t pos) {
    if (pos == host.size()) return true;
    if (host[pos] != ':' || pos + 1 == host.size()) return false;
    for (size_t i = pos + 1; i < host.size(); ++i)
      if (!std::isdigit(static_cast<unsigned char>(host[i]))) return false;
    return true;
  }

  // Dot-separated labels of letters, digits, '-' and '_' (IPv4 addresses included).
  static bool legalHostName(const std::string& name) {
    if (name.empty() || name.front() == '.' || name.back() == '.') return false;
    for (size_t i = 0; i < name.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(name[i]);
      if (c == '.') {
        if (name[i + 1] == '.') return false;
      } else if (!std::isalnum(c) && c != '-' && c != '_') {
        return false;
      }
    }
    return true;
  }

  const std::string& text_;
};

}  // namespace

ParsedPath parseObjectPath(const std::string& text) { return PathTextParser(text).parse(); }

}  // namespace Pegasus
