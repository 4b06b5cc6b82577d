// Reading output parameters of SMI-S method calls.
#pragma once

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"

// The path held by the first reference-typed parameter named exactly `name` that holds a value; an empty
// path when none.
Pegasus::CIMObjectPath TqReferenceOutParameter(Pegasus::Array<Pegasus::CIMParamValue>& params, const char* name);
