// CIMPropertyList: which properties to return. The null list means all; an empty list means none.
#pragma once
#include "Pegasus/Array.h"
#include "Pegasus/CIMName.h"

namespace Pegasus {

class CIMPropertyList {
 public:
  CIMPropertyList() = default;
  CIMPropertyList(const Array<CIMName>& names) : names_(names), isNull_(false) {}

  Boolean isNull() const { return isNull_; }
  Uint32 size() const { return names_.size(); }
  const CIMName& operator[](Uint32 index) const { return names_[index]; }
  const Array<CIMName>& getPropertyNameArray() const { return names_; }
  void set(const Array<CIMName>& names) {
    names_ = names;
    isNull_ = false;
  }
  // Back to the null list.
  void clear() {
    names_.clear();
    isNull_ = true;
  }
  // True for the null list, else when `name` is listed (ignoring case).
  Boolean includes(const CIMName& name) const;

 private:
  Array<CIMName> names_;
  Boolean isNull_ = true;
};

}  // namespace Pegasus
