// CIM element names and namespace names. Both compare without regard to case.
#pragma once
#include <memory>
#include "Pegasus/String.h"

namespace Pegasus {

// A class, property, method or parameter name. The default (and an empty text) is the null name.
class CIMName {
 public:
  CIMName() = default;
  // Throws InvalidNameException for a non-empty text that is not a legal name.
  CIMName(const String& name);
  CIMName(const char* name);

  const String& getString() const;
  Boolean isNull() const { return !name_; }
  void clear() { name_.reset(); }
  Boolean equal(const CIMName& other) const {
    return name_ == other.name_ || String::equalNoCase(getString(), other.getString());
  }

  // A letter or '_' first, then letters, digits or '_'; bytes >= 0x80 count as letters.
  static Boolean legal(const String& name);

  friend Boolean operator==(const CIMName& a, const CIMName& b) { return a.equal(b); }
  friend Boolean operator!=(const CIMName& a, const CIMName& b) { return !a.equal(b); }

 private:
  // Shared by copies, so a name repeated across many objects is stored once; null for the null name.
  std::shared_ptr<const String> name_;
};

// A namespace such as "root/tpd": legal names joined by '/'. A leading '/' is dropped.
class CIMNamespaceName {
 public:
  CIMNamespaceName() = default;
  // Throws InvalidNamespaceNameException for an illegal text (the empty text included).
  CIMNamespaceName(const String& name);
  CIMNamespaceName(const char* name);

  const String& getString() const { return name_; }
  Boolean isNull() const { return name_.isEmpty(); }
  void clear() { name_.clear(); }
  Boolean equal(const CIMNamespaceName& other) const { return String::equalNoCase(name_, other.name_); }

  static Boolean legal(const String& name);

  friend Boolean operator==(const CIMNamespaceName& a, const CIMNamespaceName& b) { return a.equal(b); }
  friend Boolean operator!=(const CIMNamespaceName& a, const CIMNamespaceName& b) { return !a.equal(b); }

 private:
  String name_;
};

}  // namespace Pegasus
