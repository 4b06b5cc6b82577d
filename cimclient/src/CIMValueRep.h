// The shared, immutable representation behind CIMValue: its type, array and null flags, and one storage
// that holds a scalar directly or the elements of an array. A scalar reference is held as a one-element
// array so that the storage stays small.
#pragma once
#include <memory>
#include <type_traits>
#include <variant>

#include "Pegasus/CIMValue.h"

namespace Pegasus {

struct CIMValue::Rep {
  using Storage = std::variant<std::monostate, Boolean, Uint8, Sint8, Uint16, Sint16, Uint32, Sint32, Uint64, Sint64,
                               Real32, Real64, String, CIMDateTime, Array<Boolean>, Array<Uint8>, Array<Sint8>,
                               Array<Uint16>, Array<Sint16>, Array<Uint32>, Array<Sint32>, Array<Uint64>, Array<Sint64>,
                               Array<Real32>, Array<Real64>, Array<String>, Array<CIMDateTime>, Array<CIMObjectPath>>;
  CIMType type = CIMTYPE_STRING;
  Boolean isArray = false;
  Boolean isNull = true;
  Storage storage;

  // A non-null value of `type` holding `item` (a scalar or an Array), moved in.
  template <class T>
  static std::shared_ptr<const Rep> holding(CIMType type, Boolean isArray, T&& item) {
    auto rep = std::make_shared<Rep>();
    rep->type = type;
    rep->isArray = isArray;
    rep->isNull = false;
    rep->storage.template emplace<std::decay_t<T>>(std::forward<T>(item));
    return rep;
  }
};

}  // namespace Pegasus
