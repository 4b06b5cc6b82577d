// What the masking operations share: the service class names, the typed parameter values they send
// (a typed null array where a list is empty), the list texts of their traces and the "Force" switch of
// IBM SVC.
#pragma once

#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMValue.h"
#include "Pegasus/String.h"
#include "TqCimUtil.h"

namespace smismasking {

extern const char* const kHardwareIdService;   // "CIM_StorageHardwareIDManagementService"
extern const char* const kProtocolController;  // "CIM_SCSIProtocolController"

// A path that names nothing: what the lookups answer when they find nothing.
inline bool IsNone(const Pegasus::CIMObjectPath& path) { return path.getClassName().isNull(); }

// The list, or a typed null array of its type when it is empty.
Pegasus::CIMValue StringsOrNull(TqCimUtil& util, const Pegasus::Array<Pegasus::String>& list);
Pegasus::CIMValue AccessesOrNull(TqCimUtil& util, const Pegasus::Array<Pegasus::Uint16>& list);
Pegasus::CIMValue ViewsOrNull(TqCimUtil& util, const Pegasus::Array<Pegasus::CIMObjectPath>& list);

// The entries each followed by one blank, as the traces list them.
std::string Blanked(const Pegasus::Array<Pegasus::String>& list);
std::string Blanked(const Pegasus::Array<Pegasus::Uint16>& list);

// "Force" of the IBM SVC masking calls: true unless the host key holds a value above 0.
bool ForceOn(const char* key);

}  // namespace smismasking
