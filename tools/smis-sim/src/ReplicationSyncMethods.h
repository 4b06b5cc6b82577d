// The replication service's operations on existing pairs and its synchronization aspects.
#pragma once

#include "ExtrinsicMethods.h"

namespace smissim {

MethodOutcome modifyReplicaSynchronization(MethodCall& call);
MethodOutcome modifyListSynchronization(MethodCall& call);
// Runs the aspect method `name` (lower case) into `outcome`; false when it is none of them.
bool runReplicationAspectMethod(MethodCall& call, const std::string& name, MethodOutcome& outcome);

}  // namespace smissim
