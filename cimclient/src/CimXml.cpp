// CIM-XML parameter helpers and the HTTP header values of a request.
#include "Pegasus/CimXml.h"

#include <cstring>

namespace Pegasus {
namespace CimXml {

ParamValue ParamValue::ofValue(const String& name, const CIMValue& value, bool typed) {
  ParamValue p;
  p.name = name;
  p.value = value;
  p.typed = typed;
  return p;
}
ParamValue ParamValue::ofClassName(const String& name, const CIMName& className) {
  ParamValue p;
  p.name = name;
  p.kind = CLASSNAME;
  p.className = className;
  return p;
}
ParamValue ParamValue::ofInstanceName(const String& name, const CIMObjectPath& path) {
  ParamValue p;
  p.name = name;
  p.kind = INSTANCENAME;
  p.instanceName = path;
  return p;
}
ParamValue ParamValue::ofPropertyList(const String& name, const CIMPropertyList& list) {
  ParamValue p;
  p.name = name;
  p.kind = PROPERTYLIST;
  p.propertyList = list;
  return p;
}
ParamValue ParamValue::ofInstance(const String& name, const CIMInstance& instance) {
  ParamValue p;
  p.name = name;
  p.kind = INSTANCE;
  p.instance = instance;
  return p;
}
ParamValue ParamValue::ofNull(const String& name) {
  ParamValue p;
  p.name = name;
  p.kind = NULLVALUE;
  return p;
}

const ParamValue* Request::find(const String& name) const {
  for (const ParamValue& p : params)
    if (String::equalNoCase(p.name, name)) return &p;
  return nullptr;
}

namespace {
// Characters written as %XX in header values: blanks, delimiters, controls and every byte above 0x7E.
bool needsEscape(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || std::strchr("\"#$%&+,/:;<=>?@[\\]^`{|}", c) != nullptr;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

String cimObjectHeader(const Request& request) {
  if (request.intrinsic) return uriEncode(request.nameSpace.getString());
  CIMObjectPath target = request.objectPath;
  target.setHost(String());
  target.setNameSpace(request.nameSpace);
  return uriEncode(target.toString());
}

String cimMethodHeader(const Request& request) { return request.methodName; }

String uriEncode(const String& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text.str()) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (needsEscape(byte)) {
      out += '%';
      out += digits[byte >> 4];
      out += digits[byte & 0xF];
    } else {
      out += c;
    }
  }
  return String(std::move(out));
}

String uriDecode(const String& text) {
  const std::string& in = text.str();
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '%' && i + 2 < in.size() && hexValue(in[i + 1]) >= 0 && hexValue(in[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(in[i + 1]) * 16 + hexValue(in[i + 2]));
      i += 2;
    } else {
      out += in[i];
    }
  }
  return String(std::move(out));
}

}  // namespace CimXml
}  // namespace Pegasus
