#include "ClassDescription.h"

#include "ClassHierarchy.h"
#include "MethodSignatures.h"
#include "Pegasus/CIMType.h"
#include "Pegasus/Exception.h"

using namespace Pegasus;

namespace smissim {

std::string xmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

std::string qualifier(const char* name) {
  return std::string("<QUALIFIER NAME=\"") + name + "\" TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER>";
}

// Parameter elements are written with open and close tags: some clients refuse the empty-element form.
std::string parameterXml(const ParameterSignature& p) {
  std::string qualifiers;
  if (p.in) qualifiers += qualifier("IN");
  if (p.out) qualifiers += qualifier("OUT");
  std::string name = std::string(" NAME=\"") + p.name + "\"";
  if (p.type == CIMTYPE_REFERENCE) {
    const char* element = p.isArray ? "PARAMETER.REFARRAY" : "PARAMETER.REFERENCE";
    return std::string("<") + element + name + " REFERENCECLASS=\"" + p.referenceClass + "\">" + qualifiers + "</" +
           element + ">";
  }
  const char* element = p.isArray ? "PARAMETER.ARRAY" : "PARAMETER";
  return std::string("<") + element + name + " TYPE=\"" + cimTypeToString(p.type) + "\">" + qualifiers + "</" +
         element + ">";
}

}  // namespace

std::string classXml(const ClassInfo& info) {
  std::string xml = "<CLASS NAME=\"" + info.name + "\"";
  if (!info.superClass.empty()) xml += " SUPERCLASS=\"" + info.superClass + "\"";
  xml += ">";
  for (const std::string& key : info.keys) {
    if (info.isAssociation()) {
      xml += "<PROPERTY.REFERENCE NAME=\"" + key + "\">" + qualifier("Key") + "</PROPERTY.REFERENCE>";
    } else {
      xml += "<PROPERTY NAME=\"" + key + "\" TYPE=\"string\">" + qualifier("Key") + "</PROPERTY>";
    }
  }
  for (const MethodSignature& method : methodSignatures()) {
    if (!ClassHierarchy::instance().isA(info.name, method.className)) continue;
    xml += std::string("<METHOD NAME=\"") + method.name + "\" TYPE=\"uint32\">";
    for (const ParameterSignature& p : method.parameters) xml += parameterXml(p);
    xml += "</METHOD>";
  }
  return xml + "</CLASS>";
}

std::string getClassResponse(const std::string& messageId, const std::string& className) {
  const ClassInfo* info = ClassHierarchy::instance().find(className);
  if (!info) throw CIMException(CIM_ERR_NOT_FOUND, String("unknown class " + className));
  return intrinsicResponse(messageId, "GetClass", classXml(*info));
}

std::string intrinsicResponse(const std::string& messageId, const char* method, const std::string& returnValue) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"" +
         xmlEscape(messageId) + "\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"" + method +
         "\"><IRETURNVALUE>" + returnValue + "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>\n";
}

}  // namespace smissim
