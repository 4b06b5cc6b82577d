// What the three synchronized-set operations share: their call set-up (trace label and handler texts are
// the method's own name), the set found by path or by name, and the call whose value is the result.
#pragma once

#include <string>

#include "SmisCall.h"

namespace smissyncset {

// A call labelled with the bare method name, its handlers leading with that name.
void Prepare(SmisCall& call);

// The set's path: SetPath when it is an object path; the set of that ElementName in `setClass` when SetPath
// is empty or no path. An empty path when no set has the name: the provider judges the call then.
Pegasus::CIMObjectPath FindSet(SmisAction& action, SmisCall& call, const std::string& setPath,
                               const std::string& setName, const char* setClass);

// Invokes the method: its value is the result, a started job is not followed; on IBM SVC a refusal is the
// device's error. The out-parameters stay in call.Out().
SmisResultCode Invoke(SmisAction& action, SmisCall& call, const Pegasus::Array<Pegasus::CIMParamValue>& in);

}  // namespace smissyncset
