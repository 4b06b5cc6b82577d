// What the replication-service operations share in reading their inputs: positions past the end, texts
// that may or may not be object paths, the class prefix of a vendor's classes, the LSI-family test and the
// WaitForCopyState that EMC providers want as a null, and the first reference of an object.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMValue.h"
#include "SmisImpl.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

namespace smisreplication {

// Position `index`, or the empty text past the end.
inline const std::string& At(const SmisArgs& args, std::size_t index) {
  static const std::string kNone;
  return index < args.size() ? args[index] : kNone;
}

// The class name up to its first "_" (all of it when it has none).
inline std::string ClassPrefix(const Pegasus::CIMObjectPath& path) {
  std::string name = path.getClassName().getString().str();
  return name.substr(0, name.find('_'));
}

inline bool IsLsiFamily(TQ_PROVIDER_VENDOR vendor) {
  return vendor == TQ_VENDOR_LSI || vendor == TQ_VENDOR_DCIM || vendor == TQ_VENDOR_NETAPP;
}

// WaitForCopyState as sent: EMC providers take a 0 as "not given", a typed null.
inline Pegasus::CIMValue WaitForCopyStateValue(SmisAction& action, TQ_PROVIDER_VENDOR vendor, Pegasus::Uint16 value) {
  if (vendor == TQ_VENDOR_EMC && value == 0) return action.MakeCimNullVal(Pegasus::CIMTYPE_UINT16, false);
  return Pegasus::CIMValue(value);
}

// ETERNUS names its synchronizations by its own class: the first "CIM_" of the path text becomes "FUJITSU_".
// False, with the text unchanged, when it holds no "CIM_".
inline bool UseEternusSyncClass(std::string& text) {
  std::string::size_type at = text.find("CIM_");
  if (at == std::string::npos) return false;
  text.replace(at, 4, "FUJITSU_");
  return true;
}

// The first reference of `path` of the class, asked of the client directly; an empty path when none.
inline Pegasus::CIMObjectPath FirstReference(TqCimConnection& conn, const Pegasus::CIMNamespaceName& nameSpace,
                                             const Pegasus::CIMObjectPath& path, const std::string& resultClass) {
  Pegasus::Array<Pegasus::CIMObjectPath> refs =
      conn.Client().referenceNames(nameSpace, path, Pegasus::CIMName(resultClass.c_str()), Pegasus::String::EMPTY);
  return refs.size() > 0 ? refs[0] : Pegasus::CIMObjectPath();
}

}  // namespace smisreplication
