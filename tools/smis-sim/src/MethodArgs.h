// Typed access to the in-parameters of an extrinsic call. Parameters sent without PARAMTYPE arrive as text and
// are converted to the type the method declares; a value of another declared type is refused with
// CIM_ERR_INVALID_PARAMETER.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "MethodSignatures.h"
#include "Pegasus/CimXml.h"

namespace smissim {

class MethodArgs {
 public:
  // Throws CIMException(CIM_ERR_INVALID_PARAMETER) for a value that cannot have the declared type.
  MethodArgs(const MethodSignature& method, const std::vector<Pegasus::CimXml::ParamValue>& params);

  // True when the parameter was sent, even as a null value.
  bool sent(const std::string& name) const;
  // The value, or a null value when absent or null; typed as declared.
  Pegasus::CIMValue value(const std::string& name) const;

  // Each reader: nullopt when absent or null.
  std::optional<std::string> string(const std::string& name) const;
  std::optional<Pegasus::Uint16> uint16(const std::string& name) const;
  std::optional<Pegasus::Uint64> uint64(const std::string& name) const;
  std::optional<Pegasus::CIMObjectPath> reference(const std::string& name) const;
  std::optional<std::vector<std::string>> strings(const std::string& name) const;
  std::optional<std::vector<Pegasus::Uint16>> uint16s(const std::string& name) const;
  std::optional<std::vector<Pegasus::CIMObjectPath>> references(const std::string& name) const;

  // Names the method does not declare, as sent.
  const std::vector<std::string>& undeclared() const { return undeclared_; }
  // Every parameter as received (after typing), in the order sent.
  const std::vector<Pegasus::CIMParamValue>& all() const { return values_; }

 private:
  const Pegasus::CIMParamValue* find(const std::string& name) const;

  std::vector<Pegasus::CIMParamValue> values_;
  std::vector<std::string> undeclared_;
};

// Throws CIMException(CIM_ERR_INVALID_PARAMETER, text).
[[noreturn]] void invalidParameter(const std::string& text);

}  // namespace smissim
