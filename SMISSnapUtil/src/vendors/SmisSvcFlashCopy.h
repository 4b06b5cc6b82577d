// The FlashCopy mapping parameters an IBM SVC attach sends, chosen from the copy type, the per-array
// settings and the host keys.
#pragma once

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "SmisImpl.h"

namespace smissvc {

// Appends the rates (copy type 4: both 0; 5: the configured clean and background rates, and incremental
// mode), the target's ElementName as the mapping's name and the configured grain size; returns the copy
// type the provider is sent (5 for a reverse FlashCopy, 6; else 4).
Pegasus::Uint16 AppendFlashCopyParams(SmisAction& action, TqCimConnection& conn, const char* label,
                                      Pegasus::Uint16 copyType, Pegasus::CIMObjectPath& target,
                                      Pegasus::Array<Pegasus::CIMParamValue>& in);

}  // namespace smissvc
