// Name validation for CIMName and CIMNamespaceName.
#include "Pegasus/CIMName.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {
bool nameStartChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool nameChar(unsigned char c) { return nameStartChar(c) || (c >= '0' && c <= '9'); }
bool legalName(const std::string& text, size_t begin, size_t end) {
  if (begin >= end || !nameStartChar(static_cast<unsigned char>(text[begin]))) return false;
  for (size_t i = begin + 1; i < end; ++i)
    if (!nameChar(static_cast<unsigned char>(text[i]))) return false;
  return true;
}
String withoutLeadingSlash(const String& name) {
  return (!name.isEmpty() && name[0] == '/') ? name.subString(1) : name;
}
}  // namespace

CIMName::CIMName(const String& name) {
  if (name.isEmpty()) return;
  if (!legal(name)) throw InvalidNameException(name);
  name_ = std::make_shared<const String>(name);
}

const String& CIMName::getString() const {
  static const String nullName;
  return name_ ? *name_ : nullName;
}

CIMName::CIMName(const char* name) : CIMName(String(name)) {}

Boolean CIMName::legal(const String& name) { return legalName(name.str(), 0, name.size()); }

CIMNamespaceName::CIMNamespaceName(const String& name) : name_(withoutLeadingSlash(name)) {
  if (!legal(name_)) throw InvalidNamespaceNameException(name);
}

CIMNamespaceName::CIMNamespaceName(const char* name) : CIMNamespaceName(String(name)) {}

Boolean CIMNamespaceName::legal(const String& name) {
  const String trimmed = withoutLeadingSlash(name);
  const std::string& text = trimmed.str();
  size_t begin = 0;
  for (;;) {
    const size_t slash = text.find('/', begin);
    const size_t end = slash == std::string::npos ? text.size() : slash;
    if (!legalName(text, begin, end)) return false;
    if (slash == std::string::npos) return true;
    begin = slash + 1;
  }
}

}  // namespace Pegasus
