// Index-checked access to, and lookup by name in, the item lists of instances, classes and methods.
#pragma once
#include <vector>
#include "Pegasus/CIMName.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

template <class T>
T& itemAt(std::vector<T>& items, Uint32 index) {
  if (index >= items.size()) throw IndexOutOfBoundsException();
  return items[index];
}

template <class T>
const T& itemAt(const std::vector<T>& items, Uint32 index) {
  if (index >= items.size()) throw IndexOutOfBoundsException();
  return items[index];
}

// The index of the first item named `name`; PEG_NOT_FOUND when there is none.
template <class T>
Uint32 indexByName(const std::vector<T>& items, const CIMName& name) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].getName() == name) return static_cast<Uint32>(i);
  return PEG_NOT_FOUND;
}

}  // namespace Pegasus
