// Conversions around SMI-S method calls: return values, output parameters, typed nulls, error texts and
// text lists.
#include <cstdio>
#include <cstdlib>

#include "TqCimUtil.h"

#include "CimUtilParams.h"

using namespace Pegasus;

namespace {

const unsigned int kUnreadableReturnValue = 99999;
const char* const kErrorNotFound = "Error code not found!";
const char* const kMethodSpecificError = "SMI-S Method specific error code..";

// The path held by the first reference-typed parameter carrying one of the names (exact case). A
// parameter that is typed but holds no path yet (a provider may fill it only when its job ends) is passed
// over, as if it were not there.
CIMObjectPath ReferenceParameter(Array<CIMParamValue>& params, const char* name1, const char* name2) {
  for (Uint32 i = 0; i < params.size(); ++i) {
    String name = params[i].getParameterName();
    CIMValue value = params[i].getValue();
    if (value.getType() != CIMTYPE_REFERENCE || value.isNull() || value.toString().str().empty()) continue;
    if (name == String(name1) || (name2 && name == String(name2))) return CIMObjectPath(value.toString());
  }
  return CIMObjectPath();
}

// The per-method part of a '*' text: after "<method><separator>" up to the next ','.
std::string MethodSpecificText(const std::string& text, const std::string& method) {
  std::string::size_type at = text.find(method);
  if (at == std::string::npos) return kErrorNotFound;
  std::string::size_type start = at + method.size() + 1;
  if (start > text.size()) return kMethodSpecificError;
  std::string::size_type comma = text.find(',', at);
  if (comma == std::string::npos) comma = text.size();
  if (comma <= start) return kMethodSpecificError;
  return text.substr(start, comma - start);
}

}  // namespace

// Used by the job watcher as well.
CIMObjectPath TqReferenceOutParameter(Array<CIMParamValue>& params, const char* name) {
  return ReferenceParameter(params, name, nullptr);
}

CIMObjectPath TqCimUtil::GetTargetElementHandle(Array<CIMParamValue>& outParams) {
  return ReferenceParameter(outParams, "TargetElement", "TheElement");
}

std::string TqCimUtil::GetObjectPathString(CIMObjectPath path) { return path.toString().str(); }

unsigned int TqCimUtil::GetRetVal(CIMValue value) {
  DEBUG_TRACE_NORMAL("SMIS::GetRetVal", "RetCimVal type = %s", cimTypeToString(value.getType()));
  switch (value.getType()) {
    case CIMTYPE_UINT32: {
      Uint32 number = 0;
      value.get(number);
      return number;
    }
    case CIMTYPE_SINT32: {
      Sint32 number = 0;
      value.get(number);
      return static_cast<unsigned int>(number);
    }
    case CIMTYPE_STRING: {
      String text;
      value.get(text);
      int number = 0;
      if (std::sscanf(text.str().c_str(), "%d", &number) != 1) return kUnreadableReturnValue;
      return static_cast<unsigned int>(number);
    }
    default:
      return kUnreadableReturnValue;
  }
}

CIMValue TqCimUtil::MakeCimNullVal(CIMType type, bool isArray) {
  CIMValue value;
  value.setNullValue(type, isArray, 0);
  return value;
}

void TqCimUtil::PrintParamSet(Array<CIMParamValue>& params, bool errorLevel) {
  for (Uint32 i = 0; i < params.size(); ++i) {
    std::string name = params[i].getParameterName().str();
    CIMValue value = params[i].getValue();
    std::string text = value.toString().str();
    const char* type = cimTypeToString(value.getType());
    if (errorLevel)
      DEBUG_TRACE("SMIS::PrintParamSet", "Returned params[%d] <%s> <%s> = %s", static_cast<int>(i), name.c_str(), type,
                  text.c_str());
    else
      DEBUG_TRACE_NORMAL("SMIS::PrintParamSet", "Returned params[%d] <%s> <%s> = %s", static_cast<int>(i), name.c_str(),
                         type, text.c_str());
  }
}

std::string TqCimUtil::GetErrorMessage(unsigned int code, std::string method) {
  if (!m_ErrorTexts) return kErrorNotFound;
  for (const SmisErrorText_t* row = m_ErrorTexts; row->code != 0; ++row) {
    if (static_cast<unsigned int>(row->code) != code) continue;
    std::string text = row->text ? row->text : "";
    if (text.empty() || text[0] != '*') return text;
    return MethodSpecificText(text, method);
  }
  return kErrorNotFound;
}

std::vector<std::string> TqCimUtil::Tokenize(std::string text, char delimiter) {
  std::vector<std::string> pieces;
  std::string::size_type start = 0;
  while (true) {
    std::string::size_type end = text.find(delimiter, start);
    std::string piece = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!piece.empty()) pieces.push_back(piece);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return pieces;
}

std::vector<std::string> TqCimUtil::StringToVector(std::string text, char delimiter) {
  return Tokenize(text, delimiter);
}

Array<String> TqCimUtil::StrVectorToStrArray(std::vector<std::string> items) {
  Array<String> result;
  for (const std::string& item : items) result.append(String(item.c_str()));
  return result;
}

Array<String> TqCimUtil::StrListToStrArray(std::list<std::string> items) {
  Array<String> result;
  for (const std::string& item : items) result.append(String(item.c_str()));
  return result;
}

Array<String> TqCimUtil::InputToStringArray(std::string text, char delimiter) {
  return StrVectorToStrArray(Tokenize(text, delimiter));
}

Array<unsigned short> TqCimUtil::InputToIntArray(std::string text, char delimiter) {
  Array<unsigned short> result;
  for (const std::string& piece : Tokenize(text, delimiter))
    result.append(static_cast<unsigned short>(std::atoi(piece.c_str())));
  return result;
}
