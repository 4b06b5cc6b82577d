// The intrinsic operations the provider serves (instances and associations of the model).
#pragma once
#include <string>
#include <vector>

#include "Pegasus/CimXml.h"
#include "smis-sim/Model.h"

namespace smissim {

// True for the operations that change the model or advance jobs (they need the model lock alone).
bool intrinsicChangesModel(const std::string& operation);

// Answers one intrinsic call. Throws CIMException for the errors a provider reports (unknown class, no such
// object, missing or badly typed parameter, unsupported operation).
Pegasus::CimXml::Response runIntrinsic(Model& model, const Pegasus::CimXml::Request& request);

// EnumerateInstances of whole instances (no property list) answers with the model's own instances, written
// while the model lock is held rather than copied: true and the instances in answer order for such a call,
// false for every other call (runIntrinsic answers those). Throws as runIntrinsic does.
bool enumeratesWholeInstances(const Model& model, const Pegasus::CimXml::Request& request,
                              std::vector<const Pegasus::CIMInstance*>& instances);

}  // namespace smissim
