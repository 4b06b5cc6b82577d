// What the named-input operations of the replication service share: the map's entry count check, the
// array's replication service (given as a path or looked up by system name), the call with its
// out-parameters handed to the caller, and the job rule of each operation.
#pragma once

#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMParamValue.h"
#include "SmisCall.h"
#include "SmisNamedArgs.h"

namespace smisnamedinput {

// True when the map holds at least `required` entries; otherwise traces `line` (given the display name).
bool HasEntries(SmisAction& action, SmisCall& call, const SmisNamedArgs& args, std::size_t required, const char* line);

// The service the call goes through: the "ServicePath" text when `pathKey` is set and given (a text that
// is no path throws), else the array's SNIA_ReplicationService. False, traced with `notFoundLine` (class,
// system), when the array has none.
bool UseReplicationService(SmisAction& action, SmisCall& call, const SmisNamedArgs& args, const char* pathKey,
                           const char* notFoundLine);

// A uint16 parameter from a decimal text, or its typed null when the key is not given.
Pegasus::CIMValue Uint16OrNull(SmisAction& action, const SmisNamedArgs& args, const char* key);

// Invokes the method, hands its out-parameters to the caller and maps its answer by the rule; a job the
// rule does not follow answers 0. `successLine` (display name, value twice), when given, is traced when the
// answer is 0, before the out-parameters.
SmisResultCode InvokeAndFinish(SmisCall& call, const SmisMethod& method,
                               const Pegasus::Array<Pegasus::CIMParamValue>& in, const SmisOutcomeRule& rule,
                               Pegasus::Array<Pegasus::CIMParamValue>& outParams, const char* successLine = nullptr);

}  // namespace smisnamedinput
