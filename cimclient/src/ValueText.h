// Builds CIMValues from VALUE texts of a given CIM type, checking each text's form and range.
#pragma once
#include <memory>
#include <string>
#include "Pegasus/CIMValue.h"

namespace Pegasus {

class ValueBuilder {
 public:
  // `type` may not be object or instance (those are not supported as values).
  explicit ValueBuilder(CIMType type);
  ~ValueBuilder();
  ValueBuilder(const ValueBuilder&) = delete;
  ValueBuilder& operator=(const ValueBuilder&) = delete;

  // Adds one element parsed from its text; false (nothing added) when the text is not a valid value.
  bool add(const std::string& text);
  // Adds an element for VALUE.NULL: the type's zero value (empty string, 0, FALSE), since array
  // elements themselves cannot be null here.
  void addNullElement();
  // Adds one element of a reference value.
  void addReference(const CIMObjectPath& path);

  // The first element as a scalar value (the builder must hold exactly one element).
  CIMValue scalar() const;
  // All elements as an array value.
  CIMValue array() const;

  // One scalar of `type` parsed from `text` (moved into the value when it is a string) without building
  // an element list; false when the text is not a valid value.
  static bool scalarFromText(CIMType type, std::string&& text, CIMValue& value);

  struct Items;

 private:
  CIMType type_;
  std::unique_ptr<Items> items_;
};

}  // namespace Pegasus
