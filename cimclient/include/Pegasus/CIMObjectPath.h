// Key bindings and object paths ("//host/ns:Class.key=value,...") with their text form and parser.
#pragma once
#include "Pegasus/Array.h"
#include "Pegasus/CIMName.h"

namespace Pegasus {

class CIMValue;

// One key of an instance path. Values are kept as text: REFERENCE holds the referenced path's text.
class CIMKeyBinding {
 public:
  enum Type { BOOLEAN, STRING, NUMERIC, REFERENCE };

  CIMKeyBinding() = default;
  CIMKeyBinding(const CIMName& name, const String& value, Type type);
  // Derives the kind from the value's type; throws TypeMismatchException for arrays, nulls and reals.
  CIMKeyBinding(const CIMName& name, const CIMValue& value);

  const CIMName& getName() const { return name_; }
  void setName(const CIMName& name) { name_ = name; }
  const String& getValue() const { return value_; }
  void setValue(const String& value) { value_ = value; }
  Type getType() const { return type_; }
  void setType(Type type) { type_ = type; }

  // Same name (ignoring case) and same value: numbers by value, booleans ignoring case,
  // references as paths (operator== of CIMObjectPath), strings exactly.
  friend Boolean operator==(const CIMKeyBinding& a, const CIMKeyBinding& b);
  friend Boolean operator!=(const CIMKeyBinding& a, const CIMKeyBinding& b) { return !(a == b); }

 private:
  friend class CimXmlElementReader;  // moves decoded parts in

  CIMName name_;
  String value_;
  Type type_ = STRING;
};

class CIMObjectPath {
 public:
  // The empty path: no host, no namespace, null class name, no keys; toString() is "".
  CIMObjectPath() = default;
  // Parses the text form; throws MalformedObjectNameException ("malformed object name: ...").
  CIMObjectPath(const String& text);
  CIMObjectPath(const char* text);
  CIMObjectPath(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                const Array<CIMKeyBinding>& keyBindings = Array<CIMKeyBinding>());

  void set(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
           const Array<CIMKeyBinding>& keyBindings = Array<CIMKeyBinding>());
  // Replaces the whole path by the parsed text (same errors as the parsing constructor).
  void set(const String& text);
  void clear();

  const String& getHost() const { return host_; }
  void setHost(const String& host) { host_ = host; }
  const CIMNamespaceName& getNameSpace() const { return nameSpace_; }
  void setNameSpace(const CIMNamespaceName& nameSpace) { nameSpace_ = nameSpace; }
  const CIMName& getClassName() const { return className_; }
  void setClassName(const CIMName& className) { className_ = className; }
  // Keys in the order they were set.
  const Array<CIMKeyBinding>& getKeyBindings() const { return keyBindings_; }
  void setKeyBindings(const Array<CIMKeyBinding>& keyBindings) { keyBindings_ = keyBindings; }

  // "//host/ns:Class.k1="v",k2=5": host part only with a host, "ns:" with a namespace or a host,
  // keys in stored order; quoted values escape '\' and '"' with a backslash.
  String toString() const;

  // Host, namespace, class and key names ignoring case; keys in any order; values as CIMKeyBinding ==.
  friend Boolean operator==(const CIMObjectPath& a, const CIMObjectPath& b);
  friend Boolean operator!=(const CIMObjectPath& a, const CIMObjectPath& b) { return !(a == b); }

 private:
  friend class CimXmlElementReader;  // moves decoded parts in

  String host_;
  CIMNamespaceName nameSpace_;
  CIMName className_;
  Array<CIMKeyBinding> keyBindings_;
};

// True when both paths name the same object wherever it lives: host and namespace are ignored (also inside
// reference keys), class and key names compare ignoring case, key order does not matter, numbers compare by
// value, booleans ignoring case, reference keys as paths by this same rule, strings exactly.
Boolean refersToSameObject(const CIMObjectPath& a, const CIMObjectPath& b);

}  // namespace Pegasus
