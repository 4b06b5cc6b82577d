// The names of an LSI-family provider's own classes. The class prefix comes from the per-array setting
// "SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", replaced by the host key "LSI_OEM_CLASSNAME_PREFIX" when that is
// present, else from the vendor of the given object's class; "LSISSI" when all leave it empty.
#pragma once

#include <string>

#include "Pegasus/CIMObjectPath.h"

class TqCimUtil;

namespace tqcimutil {

// The prefix followed by `suffix` (such as "_StorageSystem"), with the traces of the choice under `label`.
std::string LsiFamilyClass(TqCimUtil& util, const char* label, const Pegasus::CIMObjectPath& object,
                           const char* suffix);

}  // namespace tqcimutil
