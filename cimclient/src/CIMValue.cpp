// CIMValue: one shared, immutable representation per value (see CIMValueRep.h).
#include "Pegasus/CIMValue.h"

#include <cstdio>
#include <variant>
#include <vector>
#include "CIMValueRep.h"
#include "Utf8.h"

namespace Pegasus {

namespace {

using Rep = CIMValue::Rep;

// The CIM type that a C++ element type stands for (Uint16 stands for uint16; char16 is set explicitly).
template <class T>
struct CimTypeOf;
template <>
struct CimTypeOf<Boolean> {
  static constexpr CIMType value = CIMTYPE_BOOLEAN;
};
template <>
struct CimTypeOf<Uint8> {
  static constexpr CIMType value = CIMTYPE_UINT8;
};
template <>
struct CimTypeOf<Sint8> {
  static constexpr CIMType value = CIMTYPE_SINT8;
};
template <>
struct CimTypeOf<Uint16> {
  static constexpr CIMType value = CIMTYPE_UINT16;
};
template <>
struct CimTypeOf<Sint16> {
  static constexpr CIMType value = CIMTYPE_SINT16;
};
template <>
struct CimTypeOf<Uint32> {
  static constexpr CIMType value = CIMTYPE_UINT32;
};
template <>
struct CimTypeOf<Sint32> {
  static constexpr CIMType value = CIMTYPE_SINT32;
};
template <>
struct CimTypeOf<Uint64> {
  static constexpr CIMType value = CIMTYPE_UINT64;
};
template <>
struct CimTypeOf<Sint64> {
  static constexpr CIMType value = CIMTYPE_SINT64;
};
template <>
struct CimTypeOf<Real32> {
  static constexpr CIMType value = CIMTYPE_REAL32;
};
template <>
struct CimTypeOf<Real64> {
  static constexpr CIMType value = CIMTYPE_REAL64;
};
template <>
struct CimTypeOf<String> {
  static constexpr CIMType value = CIMTYPE_STRING;
};
template <>
struct CimTypeOf<CIMDateTime> {
  static constexpr CIMType value = CIMTYPE_DATETIME;
};
template <>
struct CimTypeOf<CIMObjectPath> {
  static constexpr CIMType value = CIMTYPE_REFERENCE;
};

template <class T>
struct IsArray : std::false_type {};
template <class T>
struct IsArray<Array<T>> : std::true_type {};

template <class T>
std::shared_ptr<const Rep> makeRep(CIMType type, Boolean isArray, const Array<T>& items) {
  return Rep::holding(type, isArray, items);
}

template <class T>
std::shared_ptr<const Rep> scalarRep(const T& x, CIMType type = CimTypeOf<T>::value) {
  return Rep::holding(type, false, x);
}

// References are held as a one-element array (see CIMValueRep.h).
std::shared_ptr<const Rep> scalarRep(const CIMObjectPath& x, CIMType type = CIMTYPE_REFERENCE) {
  Array<CIMObjectPath> items;
  items.append(x);
  return Rep::holding(type, false, std::move(items));
}

// Null values are shared: one per type and array flag, made once.
std::shared_ptr<const Rep> nullRep(CIMType type, Boolean isArray) {
  const int typeCount = CIMTYPE_INSTANCE + 1;
  static const std::vector<std::shared_ptr<const Rep>> nulls = [] {
    std::vector<std::shared_ptr<const Rep>> made;
    for (int i = 0; i < 2 * typeCount; ++i) {
      auto rep = std::make_shared<Rep>();
      rep->type = static_cast<CIMType>(i / 2);
      rep->isArray = i % 2 == 1;
      made.push_back(rep);
    }
    return made;
  }();
  const int index = static_cast<int>(type);
  if (index >= 0 && index < typeCount) return nulls[2 * index + (isArray ? 1 : 0)];
  auto rep = std::make_shared<Rep>();
  rep->type = type;
  rep->isArray = isArray;
  return rep;
}

void requireShape(const Rep& rep, CIMType type, Boolean isArray) {
  if (rep.type != type || rep.isArray != isArray) throw TypeMismatchException();
}

template <class T>
const T& scalarOf(const Rep& rep) {
  return std::get<T>(rep.storage);
}

template <>
const CIMObjectPath& scalarOf<CIMObjectPath>(const Rep& rep) {
  return std::get<Array<CIMObjectPath>>(rep.storage)[0];
}

template <class T>
void getScalar(const Rep& rep, T& x, CIMType type = CimTypeOf<T>::value) {
  requireShape(rep, type, false);
  if (!rep.isNull) x = scalarOf<T>(rep);
}

template <class T>
void getArray(const Rep& rep, Array<T>& x, CIMType type = CimTypeOf<T>::value) {
  requireShape(rep, type, true);
  if (!rep.isNull) x = std::get<Array<T>>(rep.storage);
}

String realText(const char* format, double x) {
  char text[64];
  std::snprintf(text, sizeof text, format, x);
  return String(text);
}

// Element texts, one overload per stored element type.
struct ElementText {
  CIMType type;
  String operator()(Boolean x) const { return x ? "TRUE" : "FALSE"; }
  String operator()(Uint8 x) const { return std::to_string(static_cast<unsigned>(x)); }
  String operator()(Sint8 x) const { return std::to_string(static_cast<int>(x)); }
  String operator()(Uint16 x) const {
    return type == CIMTYPE_CHAR16 ? String(encodeUtf8(x)) : String(std::to_string(x));
  }
  String operator()(Sint16 x) const { return std::to_string(x); }
  String operator()(Uint32 x) const { return std::to_string(x); }
  String operator()(Sint32 x) const { return std::to_string(x); }
  String operator()(Uint64 x) const { return std::to_string(x); }
  String operator()(Sint64 x) const { return std::to_string(x); }
  String operator()(Real32 x) const { return realText("%.7e", x); }
  String operator()(Real64 x) const { return realText("%.16e", x); }
  String operator()(const String& x) const { return x; }
  String operator()(const CIMDateTime& x) const { return x.toString(); }
  String operator()(const CIMObjectPath& x) const { return x.toString(); }
};

}  // namespace

CIMValue::CIMValue() : rep_(nullRep(CIMTYPE_STRING, false)) {}
CIMValue::CIMValue(CIMType type, Boolean isArray, Uint32) : rep_(nullRep(type, isArray)) {}

CIMValue::CIMValue(Boolean x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Uint8 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Sint8 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Uint16 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Sint16 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Uint32 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Sint32 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Uint64 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Sint64 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Real32 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(Real64 x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(const String& x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(std::shared_ptr<const Rep> rep) : rep_(std::move(rep)) {}
CIMValue::CIMValue(const char* x) : rep_(scalarRep(String(x))) {}
CIMValue::CIMValue(const CIMDateTime& x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(const CIMObjectPath& x) : rep_(scalarRep(x)) {}
CIMValue::CIMValue(const Array<Boolean>& x) : rep_(makeRep(CIMTYPE_BOOLEAN, true, x)) {}
CIMValue::CIMValue(const Array<Uint8>& x) : rep_(makeRep(CIMTYPE_UINT8, true, x)) {}
CIMValue::CIMValue(const Array<Sint8>& x) : rep_(makeRep(CIMTYPE_SINT8, true, x)) {}
CIMValue::CIMValue(const Array<Uint16>& x) : rep_(makeRep(CIMTYPE_UINT16, true, x)) {}
CIMValue::CIMValue(const Array<Sint16>& x) : rep_(makeRep(CIMTYPE_SINT16, true, x)) {}
CIMValue::CIMValue(const Array<Uint32>& x) : rep_(makeRep(CIMTYPE_UINT32, true, x)) {}
CIMValue::CIMValue(const Array<Sint32>& x) : rep_(makeRep(CIMTYPE_SINT32, true, x)) {}
CIMValue::CIMValue(const Array<Uint64>& x) : rep_(makeRep(CIMTYPE_UINT64, true, x)) {}
CIMValue::CIMValue(const Array<Sint64>& x) : rep_(makeRep(CIMTYPE_SINT64, true, x)) {}
CIMValue::CIMValue(const Array<Real32>& x) : rep_(makeRep(CIMTYPE_REAL32, true, x)) {}
CIMValue::CIMValue(const Array<Real64>& x) : rep_(makeRep(CIMTYPE_REAL64, true, x)) {}
CIMValue::CIMValue(const Array<String>& x) : rep_(makeRep(CIMTYPE_STRING, true, x)) {}
CIMValue::CIMValue(const Array<CIMDateTime>& x) : rep_(makeRep(CIMTYPE_DATETIME, true, x)) {}
CIMValue::CIMValue(const Array<CIMObjectPath>& x) : rep_(makeRep(CIMTYPE_REFERENCE, true, x)) {}

CIMValue CIMValue::fromChar16(Char16 x) {
  CIMValue value;
  value.rep_ = scalarRep(x, CIMTYPE_CHAR16);
  return value;
}

CIMValue CIMValue::fromChar16Array(const Array<Char16>& x) {
  CIMValue value;
  value.rep_ = makeRep(CIMTYPE_CHAR16, true, x);
  return value;
}

CIMType CIMValue::getType() const { return rep_->type; }
Boolean CIMValue::isArray() const { return rep_->isArray; }
Boolean CIMValue::isNull() const { return rep_->isNull; }

Uint32 CIMValue::getArraySize() const {
  if (rep_->isNull || !rep_->isArray) return 0;
  return std::visit(
      [](const auto& stored) -> Uint32 {
        if constexpr (IsArray<std::decay_t<decltype(stored)>>::value)
          return stored.size();
        else
          return 0;
      },
      rep_->storage);
}

void CIMValue::setNullValue(CIMType type, Boolean isArray, Uint32) { rep_ = nullRep(type, isArray); }
void CIMValue::clear() { rep_ = nullRep(CIMTYPE_STRING, false); }

void CIMValue::get(Boolean& x) const { getScalar(*rep_, x); }
void CIMValue::get(Uint8& x) const { getScalar(*rep_, x); }
void CIMValue::get(Sint8& x) const { getScalar(*rep_, x); }
void CIMValue::get(Uint16& x) const { getScalar(*rep_, x); }
void CIMValue::get(Sint16& x) const { getScalar(*rep_, x); }
void CIMValue::get(Uint32& x) const { getScalar(*rep_, x); }
void CIMValue::get(Sint32& x) const { getScalar(*rep_, x); }
void CIMValue::get(Uint64& x) const { getScalar(*rep_, x); }
void CIMValue::get(Sint64& x) const { getScalar(*rep_, x); }
void CIMValue::get(Real32& x) const { getScalar(*rep_, x); }
void CIMValue::get(Real64& x) const { getScalar(*rep_, x); }
void CIMValue::get(String& x) const { getScalar(*rep_, x); }
void CIMValue::get(CIMDateTime& x) const { getScalar(*rep_, x); }
void CIMValue::get(CIMObjectPath& x) const { getScalar(*rep_, x); }
void CIMValue::get(Array<Boolean>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Uint8>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Sint8>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Uint16>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Sint16>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Uint32>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Sint32>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Uint64>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Sint64>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Real32>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<Real64>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<String>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<CIMDateTime>& x) const { getArray(*rep_, x); }
void CIMValue::get(Array<CIMObjectPath>& x) const { getArray(*rep_, x); }
void CIMValue::getChar16(Char16& x) const { getScalar(*rep_, x, CIMTYPE_CHAR16); }
void CIMValue::getChar16(Array<Char16>& x) const { getArray(*rep_, x, CIMTYPE_CHAR16); }

String CIMValue::elementToString(Uint32 index) const {
  if (rep_->isNull) return String();
  const ElementText text{rep_->type};
  return std::visit(
      [&](const auto& stored) -> String {
        using Stored = std::decay_t<decltype(stored)>;
        if constexpr (IsArray<Stored>::value) {
          return text(stored[index]);
        } else if constexpr (std::is_same_v<Stored, std::monostate>) {
          return String();
        } else {
          if (index != 0) throw IndexOutOfBoundsException();
          return text(stored);
        }
      },
      rep_->storage);
}

String CIMValue::toString() const {
  if (rep_->isNull) return String();
  if (!rep_->isArray) return elementToString(0);
  std::string joined;
  const Uint32 count = getArraySize();
  for (Uint32 i = 0; i < count; ++i) {
    joined += elementToString(i).str();
    joined += ' ';
  }
  return String(std::move(joined));
}

Boolean operator==(const CIMValue& a, const CIMValue& b) {
  const Rep& x = *a.rep_;
  const Rep& y = *b.rep_;
  if (x.type != y.type || x.isArray != y.isArray || x.isNull != y.isNull) return false;
  return x.isNull || x.storage == y.storage;
}

}  // namespace Pegasus
