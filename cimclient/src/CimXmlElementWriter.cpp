// CIM-XML element writing: names, paths, key bindings, values, properties and instances.
#include "CimXmlElementWriter.h"

#include <variant>

#include "CIMValueRep.h"

namespace Pegasus {

namespace {
const char* keyValueType(CIMKeyBinding::Type type) {
  switch (type) {
    case CIMKeyBinding::BOOLEAN:
      return "boolean";
    case CIMKeyBinding::NUMERIC:
      return "numeric";
    default:
      return "string";
  }
}

CIMObjectPath referencedPath(const CIMKeyBinding& key) {
  try {
    return CIMObjectPath(key.getValue());
  } catch (const Exception& e) {
    throw CIMClientXmlException("reference key " + key.getName().getString() +
                                " does not hold an object path: " + e.getMessage());
  }
}
}  // namespace

const char* wireTypeName(CIMType type) {
  if (type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE)
    throw CIMClientXmlException(std::string("values of type ") + cimTypeToString(type) + " cannot be written");
  return cimTypeToString(type);
}

void CimXmlElementWriter::localNamespacePath(const CIMNamespaceName& nameSpace) {
  if (nameSpace.isNull()) throw CIMClientXmlException("a namespace is required here");
  out_.open("LOCALNAMESPACEPATH");
  const std::string& text = nameSpace.getString().str();
  size_t begin = 0;
  for (;;) {
    const size_t slash = text.find('/', begin);
    out_.emptyElement("NAMESPACE", "NAME", text.substr(begin, slash == std::string::npos ? slash : slash - begin));
    if (slash == std::string::npos) break;
    begin = slash + 1;
  }
  out_.close();
}

void CimXmlElementWriter::className(const CIMName& name) {
  out_.emptyElement("CLASSNAME", "NAME", name.getString().str());
}

void CimXmlElementWriter::instanceName(const CIMObjectPath& path) {
  out_.open("INSTANCENAME");
  out_.attribute("CLASSNAME", path.getClassName().getString().str());
  for (const CIMKeyBinding& key : path.getKeyBindings()) keyBinding(key);
  out_.close();
}

void CimXmlElementWriter::keyBinding(const CIMKeyBinding& key) {
  out_.open("KEYBINDING");
  out_.attribute("NAME", key.getName().getString().str());
  if (key.getType() == CIMKeyBinding::REFERENCE) {
    valueReference(referencedPath(key));
  } else {
    out_.open("KEYVALUE");
    out_.attribute("VALUETYPE", keyValueType(key.getType()));
    out_.text(key.getValue().str());
    out_.close();
  }
  out_.close();
}

void CimXmlElementWriter::instancePath(const CIMObjectPath& path) {
  out_.open("INSTANCEPATH");
  out_.open("NAMESPACEPATH");
  out_.open("HOST");
  out_.text(path.getHost().str());
  out_.close();
  localNamespacePath(path.getNameSpace());
  out_.close();
  instanceName(path);
  out_.close();
}

void CimXmlElementWriter::localInstancePath(const CIMNamespaceName& nameSpace, const CIMObjectPath& path) {
  out_.open("LOCALINSTANCEPATH");
  localNamespacePath(nameSpace);
  instanceName(path);
  out_.close();
}

void CimXmlElementWriter::localClassPath(const CIMNamespaceName& nameSpace, const CIMName& name) {
  out_.open("LOCALCLASSPATH");
  localNamespacePath(nameSpace);
  className(name);
  out_.close();
}

void CimXmlElementWriter::valueReference(const CIMObjectPath& path) {
  out_.open("VALUE.REFERENCE");
  if (!path.getHost().isEmpty())
    instancePath(path);
  else if (!path.getNameSpace().isNull())
    localInstancePath(path.getNameSpace(), path);
  else
    instanceName(path);
  out_.close();
}

void CimXmlElementWriter::value(const CIMValue& value) {
  if (value.isNull()) return;
  wireTypeName(value.getType());
  const bool reference = value.getType() == CIMTYPE_REFERENCE;
  if (!value.isArray()) {
    if (reference) {
      CIMObjectPath path;
      value.get(path);
      valueReference(path);
      return;
    }
    out_.open("VALUE");
    if (const String* text = std::get_if<String>(&value.rep_->storage))
      out_.text(text->str());
    else
      out_.text(value.elementToString(0).str());
    out_.close();
    return;
  }
  if (reference) {
    Array<CIMObjectPath> paths;
    value.get(paths);
    out_.open("VALUE.REFARRAY");
    for (const CIMObjectPath& path : paths) valueReference(path);
    out_.close();
    return;
  }
  out_.open("VALUE.ARRAY");
  const Uint32 count = value.getArraySize();
  for (Uint32 i = 0; i < count; ++i) {
    out_.open("VALUE");
    out_.text(value.elementToString(i).str());
    out_.close();
  }
  out_.close();
}

void CimXmlElementWriter::instance(const CIMInstance& instance) {
  out_.open("INSTANCE");
  out_.attribute("CLASSNAME", instance.getClassName().getString().str());
  for (Uint32 i = 0; i < instance.getPropertyCount(); ++i) property(instance.getProperty(i));
  out_.close();
}

void CimXmlElementWriter::namedInstance(const CIMInstance& instance) {
  out_.open("VALUE.NAMEDINSTANCE");
  const CIMObjectPath& path = instance.getPath();
  if (path.getClassName().isNull()) {
    CIMObjectPath named = path;
    named.setClassName(instance.getClassName());
    instanceName(named);
  } else {
    instanceName(path);
  }
  this->instance(instance);
  out_.close();
}

void CimXmlElementWriter::property(const CIMProperty& property) {
  const CIMValue& value = property.getValue();
  const std::string& name = property.getName().getString().str();
  if (value.getType() == CIMTYPE_REFERENCE) {
    if (value.isArray()) throw CIMClientXmlException("property " + name + ": reference arrays cannot be properties");
    out_.open("PROPERTY.REFERENCE");
    out_.attribute("NAME", name);
    if (!property.getReferenceClassName().isNull())
      out_.attribute("REFERENCECLASS", property.getReferenceClassName().getString().str());
    propertyOrigin(property);
  } else if (value.isArray()) {
    out_.open("PROPERTY.ARRAY");
    out_.attribute("NAME", name);
    out_.attribute("TYPE", wireTypeName(value.getType()));
    if (property.getArraySize() > 0) out_.attribute("ARRAYSIZE", std::to_string(property.getArraySize()));
    propertyOrigin(property);
  } else {
    out_.open("PROPERTY");
    out_.attribute("NAME", name);
    out_.attribute("TYPE", wireTypeName(value.getType()));
    propertyOrigin(property);
  }
  this->value(value);
  out_.close();
}

void CimXmlElementWriter::propertyOrigin(const CIMProperty& property) {
  if (!property.getClassOrigin().isNull()) out_.attribute("CLASSORIGIN", property.getClassOrigin().getString().str());
  if (property.getPropagated()) out_.attribute("PROPAGATED", "true");
}

}  // namespace Pegasus
