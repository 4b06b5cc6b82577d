// CIMClass and CIMMethod members.
#include "Pegasus/CIMClass.h"
#include "NamedItems.h"

namespace Pegasus {

CIMMethod& CIMMethod::addParameter(const CIMParameter& parameter) {
  parameters_.push_back(parameter);
  return *this;
}

const CIMParameter& CIMMethod::getParameter(Uint32 index) const { return itemAt(parameters_, index); }

Uint32 CIMMethod::findParameter(const CIMName& name) const { return indexByName(parameters_, name); }

CIMClass& CIMClass::addMethod(const CIMMethod& method) {
  methods_.push_back(method);
  return *this;
}

const CIMMethod& CIMClass::getMethod(Uint32 index) const { return itemAt(methods_, index); }

Uint32 CIMClass::findMethod(const CIMName& name) const { return indexByName(methods_, name); }

}  // namespace Pegasus
