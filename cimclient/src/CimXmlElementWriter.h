// Writes the CIM-XML elements that carry names, paths, values and instances.
#pragma once
#include "Pegasus/CIMInstance.h"
#include "XmlWriter.h"

namespace Pegasus {

class CimXmlElementWriter {
 public:
  explicit CimXmlElementWriter(XmlWriter& out) : out_(out) {}

  void localNamespacePath(const CIMNamespaceName& nameSpace);
  void className(const CIMName& name);
  void instanceName(const CIMObjectPath& path);
  // INSTANCEPATH: the path needs a namespace; an empty host is written as an empty HOST.
  void instancePath(const CIMObjectPath& path);
  void localInstancePath(const CIMNamespaceName& nameSpace, const CIMObjectPath& path);
  void localClassPath(const CIMNamespaceName& nameSpace, const CIMName& className);
  // VALUE.REFERENCE holding INSTANCEPATH (with a host), LOCALINSTANCEPATH (with a namespace) or INSTANCENAME.
  void valueReference(const CIMObjectPath& path);
  // VALUE, VALUE.ARRAY, VALUE.REFERENCE or VALUE.REFARRAY; nothing for a null value.
  void value(const CIMValue& value);
  void instance(const CIMInstance& instance);
  // VALUE.NAMEDINSTANCE: INSTANCENAME from the instance's path, then the instance.
  void namedInstance(const CIMInstance& instance);

 private:
  void keyBinding(const CIMKeyBinding& key);
  void property(const CIMProperty& property);
  void propertyOrigin(const CIMProperty& property);

  XmlWriter& out_;
};

// The TYPE / PARAMTYPE attribute value for values of `type`; throws CIMClientXmlException for object and instance.
const char* wireTypeName(CIMType type);

}  // namespace Pegasus
