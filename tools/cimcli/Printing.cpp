#include "Printing.h"

#include <string>

#include "Pegasus/CIMType.h"

using namespace Pegasus;

namespace cimcli {

namespace {

bool isTextual(CIMType type) { return type == CIMTYPE_STRING || type == CIMTYPE_CHAR16 || type == CIMTYPE_DATETIME; }

// The text in double quotes, with quotes, backslashes and control characters escaped, so that a value
// holding '", "' cannot read as two array elements.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      static const char digits[] = "0123456789abcdef";
      out += "\\x";
      out += digits[byte >> 4];
      out += digits[byte & 0xf];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string elementText(const CIMValue& value, Uint32 index) {
  const std::string text = value.elementToString(index).str();
  return isTextual(value.getType()) ? quoted(text) : text;
}

std::string typeText(const CIMValue& value) {
  return std::string(cimTypeToString(value.getType())) + (value.isArray() ? "[]" : "");
}

void printNamedValue(std::ostream& out, const char* indent, const String& name, const CIMValue& value) {
  out << indent << name << " (" << typeText(value) << ") = " << valueText(value) << "\n";
}

}  // namespace

std::string valueText(const CIMValue& value) {
  if (value.isNull()) return "NULL";
  if (!value.isArray()) return elementText(value, 0);
  std::string text = "{";
  for (Uint32 i = 0; i < value.getArraySize(); ++i) text += (i ? ", " : "") + elementText(value, i);
  return text + "}";
}

void printPaths(std::ostream& out, const Array<CIMObjectPath>& paths) {
  for (const CIMObjectPath& path : paths) out << path.toString() << "\n";
}

void printInstance(std::ostream& out, const CIMInstance& instance) {
  const String path = instance.getPath().toString();
  out << (path.isEmpty() ? instance.getClassName().getString() : path) << "\n";
  for (Uint32 i = 0; i < instance.getPropertyCount(); ++i) {
    const CIMProperty& property = instance.getProperty(i);
    printNamedValue(out, "    ", property.getName().getString(), property.getValue());
  }
}

void printMethodResult(std::ostream& out, const CIMValue& returnValue, const Array<CIMParamValue>& outParameters) {
  printNamedValue(out, "", "ReturnValue", returnValue);
  for (const CIMParamValue& parameter : outParameters)
    printNamedValue(out, "", parameter.getParameterName(), parameter.getValue());
}

}  // namespace cimcli
