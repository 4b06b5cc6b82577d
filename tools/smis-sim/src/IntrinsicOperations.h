// The intrinsic operations the provider serves (instances and associations of the model).
#pragma once
#include "Pegasus/CimXml.h"
#include "smis-sim/Model.h"

namespace smissim {

// True for the operations that change the model or advance jobs (they need the model lock alone).
bool intrinsicChangesModel(const std::string& operation);

// Answers one intrinsic call. Throws CIMException for the errors a provider reports (unknown class, no such
// object, missing or badly typed parameter, unsupported operation).
Pegasus::CimXml::Response runIntrinsic(Model& model, const Pegasus::CimXml::Request& request);

}  // namespace smissim
