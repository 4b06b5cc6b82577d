// The methods and parameters of a CIM class definition as plain records, and finding them by name.
#include "CimUtilHandlers.h"
#include "TqCimUtil.h"

using namespace Pegasus;

namespace {

MethodParam_t DescribeParameter(const CIMParameter& parameter) {
  MethodParam_t param;
  param.name = parameter.getName().getString().str();
  param.type = cimTypeToString(parameter.getType());
  param.isArray = parameter.isArray();
  if (parameter.getType() == CIMTYPE_REFERENCE)
    param.refClass = "(" + parameter.getReferenceClassName().getString().str() + ")";
  return param;
}

}  // namespace

void TqCimUtil::GetMethods(CIMClass& cimClass, std::vector<Method_t>& methods) {
  const char* label = "SMIS::GetMethods";
  try {
    for (Uint32 m = 0; m < cimClass.getMethodCount(); ++m) {
      const CIMMethod& method = cimClass.getMethod(m);
      Method_t entry;
      entry.name = method.getName().getString().str();
      for (Uint32 p = 0; p < method.getParameterCount(); ++p)
        entry.params.push_back(DescribeParameter(method.getParameter(p)));
      methods.push_back(entry);
    }
  } catch (const CIMException& e) {
    tqcimutil::TraceCimException(*this, label, TQ_HANDLER_SITE, e);
    throw;
  } catch (const Exception& e) {
    DEBUG_TRACE(label, "Caught Exception: %s", e.getMessage().str().c_str());
    throw;
  } catch (...) {
    DEBUG_TRACE(label, "%s", tqcimutil::kUnknownException);
  }
}

Method_t TqCimUtil::FindMethodInList(std::string name, std::vector<Method_t>& methods) {
  for (const Method_t& method : methods)
    if (method.name == name) return method;
  return Method_t();
}

MethodParam_t TqCimUtil::FindParamInMethod(std::string name, Method_t& method) {
  for (const MethodParam_t& param : method.params)
    if (param.name == name) return param;
  return MethodParam_t();
}
