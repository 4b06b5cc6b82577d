// CIMClass and CIMMethod members.
#include "Pegasus/CIMClass.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {
template <class T>
const T& itemAt(const std::vector<T>& items, Uint32 index)
{
    if (index >= items.size()) throw IndexOutOfBoundsException();
    return items[index];
}
template <class T>
Uint32 indexByName(const std::vector<T>& items, const CIMName& name)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].getName() == name) return static_cast<Uint32>(i);
    return PEG_NOT_FOUND;
}
}  // namespace

CIMMethod& CIMMethod::addParameter(const CIMParameter& parameter)
{
    parameters_.push_back(parameter);
    return *this;
}

const CIMParameter& CIMMethod::getParameter(Uint32 index) const
{
    return itemAt(parameters_, index);
}

Uint32 CIMMethod::findParameter(const CIMName& name) const
{
    return indexByName(parameters_, name);
}

CIMClass& CIMClass::addMethod(const CIMMethod& method)
{
    methods_.push_back(method);
    return *this;
}

const CIMMethod& CIMClass::getMethod(Uint32 index) const
{
    return itemAt(methods_, index);
}

Uint32 CIMClass::findMethod(const CIMName& name) const
{
    return indexByName(methods_, name);
}

}  // namespace Pegasus
