#include "MethodArgs.h"

#include <cerrno>
#include <cstdlib>

#include "NoCase.h"

using namespace Pegasus;

namespace smissim {

void invalidParameter(const std::string& text) { throw CIMException(CIM_ERR_INVALID_PARAMETER, String(text)); }

namespace {

bool parseUnsigned(const std::string& text, Uint64 max, Uint64& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

// One text element converted to the declared scalar type.
CIMValue convertText(const std::string& text, const ParameterSignature& declared) {
  Uint64 number = 0;
  switch (declared.type) {
    case CIMTYPE_STRING:
      return CIMValue(String(text));
    case CIMTYPE_UINT16:
      if (parseUnsigned(text, 0xFFFF, number)) return CIMValue(static_cast<Uint16>(number));
      break;
    case CIMTYPE_UINT32:
      if (parseUnsigned(text, 0xFFFFFFFFull, number)) return CIMValue(static_cast<Uint32>(number));
      break;
    case CIMTYPE_UINT64:
      if (parseUnsigned(text, ~Uint64(0), number)) return CIMValue(number);
      break;
    case CIMTYPE_BOOLEAN: {
      std::string lower = lowerCase(text);
      if (lower == "true" || lower == "false") return CIMValue(Boolean(lower == "true"));
      break;
    }
    case CIMTYPE_REFERENCE:
      try {
        return CIMValue(CIMObjectPath(String(text)));
      } catch (const Exception&) {
      }
      break;
    default:
      break;
  }
  invalidParameter(std::string("parameter ") + declared.name + ": \"" + text + "\" is not a " +
                   cimTypeToString(declared.type));
}

template <class T>
CIMValue convertArray(const CIMValue& received, const ParameterSignature& declared) {
  Array<T> items;
  for (Uint32 i = 0; i < received.getArraySize(); ++i) {
    T item{};
    convertText(received.elementToString(i).str(), declared).get(item);
    items.append(item);
  }
  return CIMValue(items);
}

// Untyped values come as strings (or string arrays); give them the declared type.
CIMValue typedAsDeclared(const CIMValue& received, const ParameterSignature& declared) {
  if (received.isNull()) return CIMValue(declared.type, declared.isArray);
  if (received.getType() == declared.type && received.isArray() == declared.isArray) return received;
  if (received.getType() != CIMTYPE_STRING || received.isArray() != declared.isArray)
    invalidParameter(std::string("parameter ") + declared.name + " must be " + cimTypeToString(declared.type) +
                     (declared.isArray ? "[]" : ""));
  if (!declared.isArray) {
    String text;
    received.get(text);
    return convertText(text.str(), declared);
  }
  switch (declared.type) {
    case CIMTYPE_UINT16:
      return convertArray<Uint16>(received, declared);
    case CIMTYPE_REFERENCE:
      return convertArray<CIMObjectPath>(received, declared);
    default:
      break;
  }
  invalidParameter(std::string("parameter ") + declared.name + " has the wrong type");
}

}  // namespace

MethodArgs::MethodArgs(const MethodSignature& method, const std::vector<CimXml::ParamValue>& params) {
  for (const CimXml::ParamValue& param : params) {
    const ParameterSignature* declared = findParameter(method, param.name.str());
    if (!declared || !declared->in) {
      undeclared_.push_back(param.name.str());
      continue;
    }
    CIMValue received;
    switch (param.kind) {
      case CimXml::ParamValue::VALUE:
        received = param.value;
        break;
      case CimXml::ParamValue::INSTANCENAME:
        received = CIMValue(param.instanceName);
        break;
      case CimXml::ParamValue::NULLVALUE:
        break;
      default:
        invalidParameter(std::string("parameter ") + declared->name + " has an unexpected form");
    }
    values_.emplace_back(String(declared->name), typedAsDeclared(received, *declared), param.typed);
  }
  for (const ParameterSignature& declared : method.parameters)
    if (declared.required && !sent(declared.name)) invalidParameter(std::string("missing parameter ") + declared.name);
}

const CIMParamValue* MethodArgs::find(const std::string& name) const {
  for (const CIMParamValue& value : values_)
    if (sameNoCase(value.getParameterName().str(), name)) return &value;
  return nullptr;
}

bool MethodArgs::sent(const std::string& name) const { return find(name) != nullptr; }

CIMValue MethodArgs::value(const std::string& name) const {
  const CIMParamValue* found = find(name);
  return found ? found->getValue() : CIMValue();
}

namespace {
template <class T>
std::optional<T> scalar(const CIMValue& value) {
  if (value.isNull()) return std::nullopt;
  T result{};
  value.get(result);
  return result;
}

template <class T, class Out>
std::optional<std::vector<Out>> list(const CIMValue& value) {
  if (value.isNull()) return std::nullopt;
  Array<T> items;
  value.get(items);
  std::vector<Out> result;
  for (const T& item : items) result.push_back(Out(item));
  return result;
}
}  // namespace

std::optional<std::string> MethodArgs::string(const std::string& name) const {
  auto text = scalar<String>(value(name));
  return text ? std::optional<std::string>(text->str()) : std::nullopt;
}

std::optional<Uint16> MethodArgs::uint16(const std::string& name) const { return scalar<Uint16>(value(name)); }

std::optional<Uint64> MethodArgs::uint64(const std::string& name) const { return scalar<Uint64>(value(name)); }

std::optional<CIMObjectPath> MethodArgs::reference(const std::string& name) const {
  return scalar<CIMObjectPath>(value(name));
}

std::optional<std::vector<std::string>> MethodArgs::strings(const std::string& name) const {
  CIMValue v = value(name);
  if (v.isNull()) return std::nullopt;
  Array<String> items;
  v.get(items);
  std::vector<std::string> result;
  for (const String& item : items) result.push_back(item.str());
  return result;
}

std::optional<std::vector<Uint16>> MethodArgs::uint16s(const std::string& name) const {
  return list<Uint16, Uint16>(value(name));
}

std::optional<std::vector<CIMObjectPath>> MethodArgs::references(const std::string& name) const {
  return list<CIMObjectPath, CIMObjectPath>(value(name));
}

}  // namespace smissim
