#include "ClassEnumeration.h"

#include "ClassDescription.h"
#include "ClassHierarchy.h"
#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/Exception.h"

using namespace Pegasus;
using Pegasus::CimXml::ParamValue;
using Pegasus::CimXml::Request;

namespace smissim {

namespace {

const ParamValue* given(const Request& request, const char* name, ParamValue::Kind kind) {
  const ParamValue* found = request.find(String(name));
  if (!found || found->kind == ParamValue::NULLVALUE) return nullptr;
  if (found->kind != kind)
    throw CIMException(CIM_ERR_INVALID_PARAMETER, String(std::string("parameter ") + name + " has the wrong form"));
  return found;
}

bool flag(const Request& request, const char* name) {
  const ParamValue* found = given(request, name, ParamValue::VALUE);
  if (!found || found->value.isNull()) return false;
  Boolean value = false;
  try {
    found->value.get(value);
  } catch (const Exception&) {
    throw CIMException(CIM_ERR_INVALID_PARAMETER, String(std::string("parameter ") + name + " must be a boolean"));
  }
  return value;
}

// Whether the class belongs in the answer: directly below the base, or anywhere below it when deep.
bool listed(const ClassInfo& info, const ClassInfo* base, bool deep) {
  const ClassHierarchy& classes = ClassHierarchy::instance();
  if (!base) return deep || info.superClass.empty();
  if (info.name == base->name) return false;
  return deep ? classes.isA(info.name, base->name) : classes.find(info.superClass) == base;
}

}  // namespace

bool isClassEnumeration(const String& method) {
  return String::equalNoCase(method, "EnumerateClassNames") || String::equalNoCase(method, "EnumerateClasses");
}

std::string classEnumerationResponse(const Request& request) {
  const ClassHierarchy& classes = ClassHierarchy::instance();
  const ClassInfo* base = nullptr;
  if (const ParamValue* name = given(request, "ClassName", ParamValue::CLASSNAME)) {
    base = classes.find(name->className.getString().str());
    if (!base) throw CIMException(CIM_ERR_INVALID_CLASS, String("unknown class " + name->className.getString().str()));
  }
  const bool deep = flag(request, "DeepInheritance");
  const bool names = String::equalNoCase(request.methodName, "EnumerateClassNames");
  std::string returned;
  for (const ClassInfo& info : classes.all()) {
    if (!listed(info, base, deep)) continue;
    returned += names ? "<CLASSNAME NAME=\"" + xmlEscape(info.name) + "\"/>" : classXml(info);
  }
  return intrinsicResponse(request.messageId.str(), names ? "EnumerateClassNames" : "EnumerateClasses", returned);
}

}  // namespace smissim
