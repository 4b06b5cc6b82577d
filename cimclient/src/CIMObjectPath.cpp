// CIMKeyBinding and CIMObjectPath: text form, parser and the two equality rules.
#include "Pegasus/CIMObjectPath.h"

#include <cstdlib>
#include "NumberText.h"
#include "PathParser.h"
#include "Pegasus/CIMValue.h"

namespace Pegasus {

namespace {

CIMKeyBinding::Type keyTypeOf(const CIMValue& value) {
  if (value.isArray() || value.isNull()) throw TypeMismatchException();
  switch (value.getType()) {
    case CIMTYPE_STRING:
    case CIMTYPE_CHAR16:
    case CIMTYPE_DATETIME:
      return CIMKeyBinding::STRING;
    case CIMTYPE_REFERENCE:
      return CIMKeyBinding::REFERENCE;
    case CIMTYPE_BOOLEAN:
      return CIMKeyBinding::BOOLEAN;
    case CIMTYPE_OBJECT:
    case CIMTYPE_INSTANCE:
      throw TypeMismatchException();
    default:
      return CIMKeyBinding::NUMERIC;
  }
}

// Compares two reference texts as paths with `samePath`; texts that do not parse compare exactly.
template <class Compare>
bool sameReference(const String& a, const String& b, Compare samePath) {
  try {
    return samePath(CIMObjectPath(a), CIMObjectPath(b));
  } catch (const Exception&) {
    return a == b;
  }
}

bool sameNumber(const String& a, const String& b) {
  KeyNumber x, y;
  if (parseKeyNumber(a.str(), x) && parseKeyNumber(b.str(), y)) return x == y;
  return a == b;
}

bool quotedKind(CIMKeyBinding::Type type) { return type == CIMKeyBinding::STRING || type == CIMKeyBinding::REFERENCE; }

template <class Compare>
bool sameKeyValue(const CIMKeyBinding& a, const CIMKeyBinding& b, Compare samePath) {
  if (a.getType() != b.getType()) {
    // Parsed text only guesses REFERENCE for a quoted value that reads as a path, so a string key
    // and a reference key with the same text (or the same path) are the same value.
    if (!quotedKind(a.getType()) || !quotedKind(b.getType())) return false;
    return a.getValue() == b.getValue() || sameReference(a.getValue(), b.getValue(), samePath);
  }
  switch (a.getType()) {
    case CIMKeyBinding::BOOLEAN:
      return String::equalNoCase(a.getValue(), b.getValue());
    case CIMKeyBinding::NUMERIC:
      return sameNumber(a.getValue(), b.getValue());
    case CIMKeyBinding::REFERENCE:
      return sameReference(a.getValue(), b.getValue(), samePath);
    default:
      return a.getValue() == b.getValue();
  }
}

// Same key names (ignoring case, any order) with matching values. A key is matched by any binding of its
// name, so a path that names a key twice still equals itself.
template <class Compare>
bool sameKeys(const Array<CIMKeyBinding>& a, const Array<CIMKeyBinding>& b, Compare samePath) {
  if (a.size() != b.size()) return false;
  for (const CIMKeyBinding& key : a) {
    bool matched = false;
    for (const CIMKeyBinding& other : b) {
      if (key.getName() == other.getName() && sameKeyValue(key, other, samePath)) {
        matched = true;
        break;
      }
    }
    if (!matched) return false;
  }
  return true;
}

bool equalPaths(const CIMObjectPath& a, const CIMObjectPath& b) { return a == b; }

void appendQuoted(std::string& out, const std::string& value) {
  out += '"';
  for (char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

CIMKeyBinding::CIMKeyBinding(const CIMName& name, const String& value, Type type)
    : name_(name), value_(value), type_(type) {}

CIMKeyBinding::CIMKeyBinding(const CIMName& name, const CIMValue& value)
    : name_(name), value_(value.toString()), type_(keyTypeOf(value)) {}

Boolean operator==(const CIMKeyBinding& a, const CIMKeyBinding& b) {
  return a.name_ == b.name_ && sameKeyValue(a, b, equalPaths);
}

CIMObjectPath::CIMObjectPath(const String& text) { set(text); }

CIMObjectPath::CIMObjectPath(const char* text) { set(String(text)); }

CIMObjectPath::CIMObjectPath(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                             const Array<CIMKeyBinding>& keyBindings)
    : host_(host), nameSpace_(nameSpace), className_(className), keyBindings_(keyBindings) {}

void CIMObjectPath::set(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                        const Array<CIMKeyBinding>& keyBindings) {
  host_ = host;
  nameSpace_ = nameSpace;
  className_ = className;
  keyBindings_ = keyBindings;
}

void CIMObjectPath::set(const String& text) {
  ParsedPath parsed = parseObjectPath(text.str());
  set(String(std::move(parsed.host)),
      parsed.nameSpace.empty() ? CIMNamespaceName() : CIMNamespaceName(String(parsed.nameSpace)),
      CIMName(String(parsed.className)), parsed.keys);
}

void CIMObjectPath::clear() { *this = CIMObjectPath(); }

String CIMObjectPath::toString() const {
  std::string out;
  if (!host_.isEmpty()) out += "//" + host_.str() + "/";
  if (!nameSpace_.isNull() || !host_.isEmpty()) out += nameSpace_.getString().str() + ":";
  out += className_.getString().str();
  const char* separator = ".";
  for (const CIMKeyBinding& key : keyBindings_) {
    out += separator;
    separator = ",";
    out += key.getName().getString().str();
    out += '=';
    const CIMKeyBinding::Type type = key.getType();
    if (type == CIMKeyBinding::STRING || type == CIMKeyBinding::REFERENCE)
      appendQuoted(out, key.getValue().str());
    else
      out += key.getValue().str();
  }
  return String(std::move(out));
}

Boolean operator==(const CIMObjectPath& a, const CIMObjectPath& b) {
  return String::equalNoCase(a.host_, b.host_) && a.nameSpace_ == b.nameSpace_ && a.className_ == b.className_ &&
         sameKeys(a.keyBindings_, b.keyBindings_, equalPaths);
}

Boolean refersToSameObject(const CIMObjectPath& a, const CIMObjectPath& b) {
  return a.getClassName() == b.getClassName() && sameKeys(a.getKeyBindings(), b.getKeyBindings(), refersToSameObject);
}

}  // namespace Pegasus
