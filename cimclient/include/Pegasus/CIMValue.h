// CIMValue: a typed CIM value, scalar or array, possibly null (a null value keeps its type).
#pragma once
#include <memory>
#include "Pegasus/Array.h"
#include "Pegasus/CIMDateTime.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMType.h"

namespace Pegasus {

class CIMValue {
 public:
  // The untyped null value (type string, not an array).
  CIMValue();
  // A null value of the given type.
  CIMValue(CIMType type, Boolean isArray, Uint32 arraySize = 0);

  CIMValue(Boolean x);
  CIMValue(Uint8 x);
  CIMValue(Sint8 x);
  CIMValue(Uint16 x);
  CIMValue(Sint16 x);
  CIMValue(Uint32 x);
  CIMValue(Sint32 x);
  CIMValue(Uint64 x);
  CIMValue(Sint64 x);
  CIMValue(Real32 x);
  CIMValue(Real64 x);
  CIMValue(const String& x);
  CIMValue(const char* x);
  CIMValue(const CIMDateTime& x);
  CIMValue(const CIMObjectPath& x);
  CIMValue(const Array<Boolean>& x);
  CIMValue(const Array<Uint8>& x);
  CIMValue(const Array<Sint8>& x);
  CIMValue(const Array<Uint16>& x);
  CIMValue(const Array<Sint16>& x);
  CIMValue(const Array<Uint32>& x);
  CIMValue(const Array<Sint32>& x);
  CIMValue(const Array<Uint64>& x);
  CIMValue(const Array<Sint64>& x);
  CIMValue(const Array<Real32>& x);
  CIMValue(const Array<Real64>& x);
  CIMValue(const Array<String>& x);
  CIMValue(const Array<CIMDateTime>& x);
  CIMValue(const Array<CIMObjectPath>& x);

  // Char16 shares its C++ type with Uint16, so char16 values have named factories and getters.
  static CIMValue fromChar16(Char16 x);
  static CIMValue fromChar16Array(const Array<Char16>& x);

  CIMType getType() const;
  Boolean isArray() const;
  Boolean isNull() const;
  // Number of elements of a non-null array; 0 otherwise.
  Uint32 getArraySize() const;

  void setNullValue(CIMType type, Boolean isArray, Uint32 arraySize = 0);
  // Back to the untyped null value.
  void clear();

  // Each get() throws TypeMismatchException unless the value has exactly that type and arrayness;
  // a null value leaves `x` unchanged.
  void get(Boolean& x) const;
  void get(Uint8& x) const;
  void get(Sint8& x) const;
  void get(Uint16& x) const;
  void get(Sint16& x) const;
  void get(Uint32& x) const;
  void get(Sint32& x) const;
  void get(Uint64& x) const;
  void get(Sint64& x) const;
  void get(Real32& x) const;
  void get(Real64& x) const;
  void get(String& x) const;
  void get(CIMDateTime& x) const;
  void get(CIMObjectPath& x) const;
  void get(Array<Boolean>& x) const;
  void get(Array<Uint8>& x) const;
  void get(Array<Sint8>& x) const;
  void get(Array<Uint16>& x) const;
  void get(Array<Sint16>& x) const;
  void get(Array<Uint32>& x) const;
  void get(Array<Sint32>& x) const;
  void get(Array<Uint64>& x) const;
  void get(Array<Sint64>& x) const;
  void get(Array<Real32>& x) const;
  void get(Array<Real64>& x) const;
  void get(Array<String>& x) const;
  void get(Array<CIMDateTime>& x) const;
  void get(Array<CIMObjectPath>& x) const;
  void getChar16(Char16& x) const;
  void getChar16(Array<Char16>& x) const;

  // Null: ""; strings raw; booleans "TRUE"/"FALSE"; integers decimal; real32 "%.7e", real64 "%.16e";
  // char16 as its UTF-8 character; datetime its text; reference the path text;
  // arrays: every element followed by one blank ("2 32768 ").
  String toString() const;
  // The text of element `index` of an array (or of the scalar when index is 0), as toString() writes it.
  String elementToString(Uint32 index) const;

  // Same type, arrayness, nullness and elements (references as CIMObjectPath ==).
  friend Boolean operator==(const CIMValue& a, const CIMValue& b);
  friend Boolean operator!=(const CIMValue& a, const CIMValue& b) { return !(a == b); }

  struct Rep;

 private:
  friend class ValueBuilder;         // builds decoded values in place
  friend class CimXmlElementWriter;  // writes string values without copying them
  explicit CIMValue(std::shared_ptr<const Rep> rep);

  std::shared_ptr<const Rep> rep_;
};

}  // namespace Pegasus
