#include "ParamText.h"

#include <vector>

#include "CliOptions.h"
#include "Pegasus/CIMType.h"
#include "Pegasus/CIMValueText.h"
#include "Pegasus/Exception.h"

using namespace Pegasus;

namespace cimcli {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

CIMValue buildValue(CIMType type, bool isArray, const std::string& valueText, const std::string& param) {
  const std::vector<std::string> elements =
      isArray ? split(valueText, type == CIMTYPE_REFERENCE ? ';' : ',') : std::vector<std::string>{valueText};
  try {
    return cimValueFromText(type, isArray, elements);
  } catch (const Exception& e) {
    throw UsageError("parameter " + param + ": " + e.getMessage().str());
  }
}

}  // namespace

CIMParamValue parseParam(const std::string& text) {
  const std::string::size_type equals = text.find('=');
  const std::string head = text.substr(0, equals);
  const std::string::size_type colon = head.find(':');
  const std::string name = head.substr(0, colon);
  if (name.empty()) throw UsageError("parameter without a name: " + text);
  if (colon == std::string::npos) {
    if (equals == std::string::npos) throw UsageError("parameter " + name + " needs =value or :type");
    return CIMParamValue(String(name), CIMValue(String(text.substr(equals + 1))));
  }

  std::string typeName = head.substr(colon + 1);
  const bool isArray = typeName.size() > 2 && typeName.compare(typeName.size() - 2, 2, "[]") == 0;
  if (isArray) typeName.resize(typeName.size() - 2);
  CIMType type;
  if (!cimTypeFromString(typeName.c_str(), type) || type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE)
    throw UsageError("parameter " + name + ": unknown type " + typeName);

  if (equals == std::string::npos) {
    CIMValue null;
    null.setNullValue(type, isArray);
    return CIMParamValue(String(name), null);
  }
  return CIMParamValue(String(name), buildValue(type, isArray, text.substr(equals + 1), name));
}

}  // namespace cimcli
