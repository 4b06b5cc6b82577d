// Answers of intrinsic operations hold only the objects of the families served in the request's namespace,
// and the paths they carry name that namespace.
#pragma once
#include <vector>

#include "Pegasus/CimXml.h"

namespace smissim {

// Drops objects of other namespaces; an instance read of such an object fails with CIM_ERR_NOT_FOUND.
void scopeToNamespace(Pegasus::CimXml::Response& response, const Pegasus::CIMNamespaceName& nameSpace);
// The same for instances answered by reference (their paths are not written into named instances).
void scopeToNamespace(std::vector<const Pegasus::CIMInstance*>& instances, const Pegasus::CIMNamespaceName& nameSpace);

}  // namespace smissim
