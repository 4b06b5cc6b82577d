// Encoding of whole CIM-XML request and response messages.
#include "CimXmlElementWriter.h"
#include "Pegasus/CimXml.h"

namespace Pegasus {
namespace CimXml {

namespace {

const char xmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n";

void openMessage(XmlWriter& out, const String& messageId, const char* simple) {
  out.prolog(xmlDeclaration);
  out.open("CIM");
  out.attribute("CIMVERSION", "2.0");
  out.attribute("DTDVERSION", "2.0");
  out.open("MESSAGE");
  out.attribute("ID", messageId.str());
  out.attribute("PROTOCOLVERSION", "1.0");
  out.open(simple);
}

std::string finishMessage(XmlWriter& out) {
  out.close();  // SIMPLEREQ / SIMPLERSP
  out.close();  // MESSAGE
  out.close();  // CIM
  return out.take();
}

// The content of an IPARAMVALUE or PARAMVALUE (nothing for null parameters).
void paramContent(CimXmlElementWriter& elements, const ParamValue& param) {
  switch (param.kind) {
    case ParamValue::VALUE:
      elements.value(param.value);
      break;
    case ParamValue::CLASSNAME:
      if (!param.className.isNull()) elements.className(param.className);
      break;
    case ParamValue::INSTANCENAME:
      // A path without keys names a class (class-level association calls).
      if (param.instanceName.getKeyBindings().size() == 0)
        elements.className(param.instanceName.getClassName());
      else
        elements.instanceName(param.instanceName);
      break;
    case ParamValue::PROPERTYLIST:
      if (!param.propertyList.isNull()) {
        Array<String> names;
        for (const CIMName& name : param.propertyList.getPropertyNameArray()) names.append(name.getString());
        elements.value(CIMValue(names));
      }
      break;
    case ParamValue::INSTANCE:
      if (param.instance.getPath().getKeyBindings().size() > 0)
        elements.namedInstance(param.instance);
      else
        elements.instance(param.instance);
      break;
    case ParamValue::NULLVALUE:
      break;
  }
}

void writeParam(XmlWriter& out, const ParamValue& param, bool intrinsic) {
  CimXmlElementWriter elements(out);
  out.open(intrinsic ? "IPARAMVALUE" : "PARAMVALUE");
  out.attribute("NAME", param.name.str());
  if (!intrinsic && param.typed && param.kind == ParamValue::VALUE)
    out.attribute("PARAMTYPE", wireTypeName(param.value.getType()));
  paramContent(elements, param);
  out.close();
}

void writeReturnValue(XmlWriter& out, const CIMValue& value) {
  if (value.isNull()) return;
  out.open("RETURNVALUE");
  out.attribute("PARAMTYPE", wireTypeName(value.getType()));
  CimXmlElementWriter(out).value(value);
  out.close();
}

void writeOutParam(XmlWriter& out, const CIMParamValue& param) {
  out.open("PARAMVALUE");
  out.attribute("NAME", param.getParameterName().str());
  const CIMValue value = param.getValue();
  if (param.isTyped()) out.attribute("PARAMTYPE", wireTypeName(value.getType()));
  CimXmlElementWriter(out).value(value);
  out.close();
}

// An OBJECTPATH or a VALUE.OBJECTWITHPATH needs a full instance path.
const CIMObjectPath& fullPath(const CIMObjectPath& path) {
  if (path.getNameSpace().isNull())
    throw CIMClientXmlException("path " + path.toString() + " has no namespace; a full instance path is required");
  return path;
}

// Writes every item; after the first, makes room for the rest as long as it, so that a large answer is
// not copied again and again as it grows.
template <class Items, class Write>
void writeEach(XmlWriter& out, const Items& items, Write write) {
  const std::size_t start = out.size();
  bool first = true;
  for (const auto& item : items) {
    write(item);
    if (first && items.size() > 1) out.reserve(out.size() + (out.size() - start) * (items.size() - 1) * 9 / 8);
    first = false;
  }
}

const CIMInstance& instanceOf(const CIMInstance& instance) { return instance; }
const CIMInstance& instanceOf(const CIMInstance* instance) { return *instance; }

// The returned objects: paths from the response, instances from `instances` (the response's own, or ones
// its caller keeps).
template <class Instances>
void writeReturnedObjects(XmlWriter& out, const Response& response, const Instances& instances) {
  CimXmlElementWriter elements(out);
  switch (response.returnKind) {
    case Response::NONE:
      break;
    case Response::INSTANCE:
      if (!instances.empty()) elements.instance(instanceOf(instances.front()));
      break;
    case Response::NAMED_INSTANCES:
      writeEach(out, instances, [&](const auto& instance) { elements.namedInstance(instanceOf(instance)); });
      break;
    case Response::INSTANCE_NAMES:
      writeEach(out, response.paths, [&](const CIMObjectPath& path) { elements.instanceName(path); });
      break;
    case Response::OBJECT_PATHS:
      for (const CIMObjectPath& path : response.paths) {
        out.open("OBJECTPATH");
        elements.instancePath(fullPath(path));
        out.close();
      }
      break;
    case Response::OBJECTS_WITH_PATH:
      writeEach(out, instances, [&](const auto& item) {
        const CIMInstance& instance = instanceOf(item);
        out.open("VALUE.OBJECTWITHPATH");
        elements.instancePath(fullPath(instance.getPath()));
        elements.instance(instance);
        out.close();
      });
      break;
  }
}

void writeError(XmlWriter& out, const Response& response) {
  out.open("ERROR");
  out.attribute("CODE", std::to_string(static_cast<int>(response.errorCode)));
  if (!response.errorDescription.isEmpty()) out.attribute("DESCRIPTION", response.errorDescription.str());
  out.close();
}

}  // namespace

String encodeRequest(const Request& request) {
  XmlWriter out;
  CimXmlElementWriter elements(out);
  openMessage(out, request.messageId, "SIMPLEREQ");
  if (request.intrinsic) {
    out.open("IMETHODCALL");
    out.attribute("NAME", request.methodName.str());
    elements.localNamespacePath(request.nameSpace);
  } else {
    out.open("METHODCALL");
    out.attribute("NAME", request.methodName.str());
    if (request.objectPath.getKeyBindings().size() == 0)
      elements.localClassPath(request.nameSpace, request.objectPath.getClassName());
    else
      elements.localInstancePath(request.nameSpace, request.objectPath);
  }
  for (const ParamValue& param : request.params) writeParam(out, param, request.intrinsic);
  out.close();
  return finishMessage(out);
}

namespace {

template <class Instances>
std::string responseText(const Response& response, const Instances& instances, std::string room) {
  XmlWriter out(std::move(room));
  openMessage(out, response.messageId, "SIMPLERSP");
  out.open(response.intrinsic ? "IMETHODRESPONSE" : "METHODRESPONSE");
  out.attribute("NAME", response.methodName.str());
  if (response.isError) {
    writeError(out, response);
  } else if (response.intrinsic) {
    if (response.returnKind != Response::NONE) {
      out.open("IRETURNVALUE");
      writeReturnedObjects(out, response, instances);
      out.close();
    }
  } else {
    writeReturnValue(out, response.returnValue);
    for (const CIMParamValue& param : response.outParams) writeOutParam(out, param);
  }
  out.close();
  return finishMessage(out);
}

}  // namespace

String encodeResponse(const Response& response) {
  return String(responseText(response, response.instances, std::string()));
}

std::string encodeResponseText(const Response& response, std::string room) {
  return responseText(response, response.instances, std::move(room));
}

std::string encodeResponseText(const Response& response, const std::vector<const CIMInstance*>& instances,
                               std::string room) {
  return responseText(response, instances, std::move(room));
}

}  // namespace CimXml
}  // namespace Pegasus
