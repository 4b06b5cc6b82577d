// ValueBuilder: typed element parsing (booleans ignoring case, integers range-checked, reals, char16,
// datetimes) into the matching Array; cimValueFromText, its public form for values held as text.
#include "ValueText.h"

#include <charconv>
#include <limits>
#include <variant>
#include "CIMValueRep.h"
#include "NumberText.h"
#include "Pegasus/CIMValueText.h"
#include "Utf8.h"

namespace Pegasus {

struct ValueBuilder::Items {
  std::variant<Array<Boolean>, Array<Uint8>, Array<Sint8>, Array<Uint16>, Array<Sint16>, Array<Uint32>, Array<Sint32>,
               Array<Uint64>, Array<Sint64>, Array<Real32>, Array<Real64>, Array<String>, Array<CIMDateTime>,
               Array<CIMObjectPath>>
      items;
};

namespace {

std::string trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool parseBoolean(const std::string& text, Boolean& x) {
  const String t(trimmed(text));
  if (String::equalNoCase(t, "TRUE"))
    x = true;
  else if (String::equalNoCase(t, "FALSE"))
    x = false;
  else
    return false;
  return true;
}

template <class T>
bool parseIntegerAs(const std::string& text, CIMType type, T& x) {
  KeyNumber number;
  const bool isSigned = std::numeric_limits<T>::is_signed;
  if (!parseInteger(trimmed(text), isSigned, number) || !fitsIntegerType(number, type)) return false;
  if (number.negative)
    x = static_cast<T>(-static_cast<Sint64>(number.magnitude - 1) - 1);
  else
    x = static_cast<T>(number.magnitude);
  return true;
}

// Reals in decimal or exponent form (no hex), parsed at the target precision so that a value
// written at that precision reads back exactly; out-of-range texts are refused.
template <class Real>
bool parseReal(const std::string& text, Real& x) {
  std::string t = trimmed(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty() || t.find_first_of("xX") != std::string::npos) return false;
  const char* end = t.data() + t.size();
  const auto result = std::from_chars(t.data(), end, x);
  return result.ec == std::errc() && result.ptr == end;
}

struct ElementParser {
  CIMType type;
  const std::string& text;

  bool operator()(Array<Boolean>& a) const { return addIf(a, parseBoolean); }
  bool operator()(Array<Uint8>& a) const { return addInteger(a); }
  bool operator()(Array<Sint8>& a) const { return addInteger(a); }
  bool operator()(Array<Uint16>& a) const {
    if (type != CIMTYPE_CHAR16) return addInteger(a);
    Char16 c = 0;
    if (!decodeSingleUtf8(text, c)) return false;
    a.append(c);
    return true;
  }
  bool operator()(Array<Sint16>& a) const { return addInteger(a); }
  bool operator()(Array<Uint32>& a) const { return addInteger(a); }
  bool operator()(Array<Sint32>& a) const { return addInteger(a); }
  bool operator()(Array<Uint64>& a) const { return addInteger(a); }
  bool operator()(Array<Sint64>& a) const { return addInteger(a); }
  bool operator()(Array<Real32>& a) const { return addIf(a, parseReal<Real32>); }
  bool operator()(Array<Real64>& a) const { return addIf(a, parseReal<Real64>); }
  bool operator()(Array<String>& a) const {
    a.append(String(text));
    return true;
  }
  bool operator()(Array<CIMDateTime>& a) const {
    const String t(trimmed(text));
    if (!CIMDateTime::legal(t)) return false;
    a.append(CIMDateTime(t));
    return true;
  }
  bool operator()(Array<CIMObjectPath>&) const { return false; }

  template <class T, class Parse>
  bool addIf(Array<T>& a, Parse parse) const {
    T x{};
    if (!parse(text, x)) return false;
    a.append(x);
    return true;
  }
  template <class T>
  bool addInteger(Array<T>& a) const {
    T x{};
    if (!parseIntegerAs(text, type, x)) return false;
    a.append(x);
    return true;
  }
};

// The Array alternative that holds elements of `type`.
void selectStorage(ValueBuilder::Items& items, CIMType type) {
  switch (type) {
    case CIMTYPE_BOOLEAN:
      items.items = Array<Boolean>();
      break;
    case CIMTYPE_UINT8:
      items.items = Array<Uint8>();
      break;
    case CIMTYPE_SINT8:
      items.items = Array<Sint8>();
      break;
    case CIMTYPE_UINT16:
    case CIMTYPE_CHAR16:
      items.items = Array<Uint16>();
      break;
    case CIMTYPE_SINT16:
      items.items = Array<Sint16>();
      break;
    case CIMTYPE_UINT32:
      items.items = Array<Uint32>();
      break;
    case CIMTYPE_SINT32:
      items.items = Array<Sint32>();
      break;
    case CIMTYPE_UINT64:
      items.items = Array<Uint64>();
      break;
    case CIMTYPE_SINT64:
      items.items = Array<Sint64>();
      break;
    case CIMTYPE_REAL32:
      items.items = Array<Real32>();
      break;
    case CIMTYPE_REAL64:
      items.items = Array<Real64>();
      break;
    case CIMTYPE_DATETIME:
      items.items = Array<CIMDateTime>();
      break;
    case CIMTYPE_REFERENCE:
      items.items = Array<CIMObjectPath>();
      break;
    default:
      items.items = Array<String>();
      break;
  }
}

}  // namespace

ValueBuilder::ValueBuilder(CIMType type) : type_(type), items_(new Items) { selectStorage(*items_, type); }

ValueBuilder::~ValueBuilder() = default;

bool ValueBuilder::add(const std::string& text) { return std::visit(ElementParser{type_, text}, items_->items); }

void ValueBuilder::addNullElement() {
  std::visit([](auto& a) { a.append(typename std::decay_t<decltype(a)>::Container::value_type()); }, items_->items);
}

void ValueBuilder::addReference(const CIMObjectPath& path) {
  std::get<Array<CIMObjectPath>>(items_->items).append(path);
}

CIMValue ValueBuilder::scalar() const {
  if (type_ == CIMTYPE_CHAR16) return CIMValue::fromChar16(std::get<Array<Uint16>>(items_->items)[0]);
  return std::visit([](const auto& a) { return CIMValue(a[0]); }, items_->items);
}

CIMValue ValueBuilder::array() const {
  if (type_ == CIMTYPE_CHAR16) return CIMValue::fromChar16Array(std::get<Array<Uint16>>(items_->items));
  return std::visit([](const auto& a) { return CIMValue(a); }, items_->items);
}

namespace {

template <class T>
bool parsedScalar(CIMType type, const std::string& text, CIMValue& value) {
  T x{};
  if (!parseIntegerAs(text, type, x)) return false;
  value = CIMValue(x);
  return true;
}

template <class Real>
bool parsedReal(const std::string& text, CIMValue& value) {
  Real x{};
  if (!parseReal(text, x)) return false;
  value = CIMValue(x);
  return true;
}

}  // namespace

bool ValueBuilder::scalarFromText(CIMType type, std::string&& text, CIMValue& value) {
  switch (type) {
    case CIMTYPE_STRING:
      value = CIMValue(CIMValue::Rep::holding(type, false, String(std::move(text))));
      return true;
    case CIMTYPE_BOOLEAN: {
      Boolean x = false;
      if (!parseBoolean(text, x)) return false;
      value = CIMValue(x);
      return true;
    }
    case CIMTYPE_UINT8:
      return parsedScalar<Uint8>(type, text, value);
    case CIMTYPE_SINT8:
      return parsedScalar<Sint8>(type, text, value);
    case CIMTYPE_UINT16:
      return parsedScalar<Uint16>(type, text, value);
    case CIMTYPE_SINT16:
      return parsedScalar<Sint16>(type, text, value);
    case CIMTYPE_UINT32:
      return parsedScalar<Uint32>(type, text, value);
    case CIMTYPE_SINT32:
      return parsedScalar<Sint32>(type, text, value);
    case CIMTYPE_UINT64:
      return parsedScalar<Uint64>(type, text, value);
    case CIMTYPE_SINT64:
      return parsedScalar<Sint64>(type, text, value);
    case CIMTYPE_REAL32:
      return parsedReal<Real32>(text, value);
    case CIMTYPE_REAL64:
      return parsedReal<Real64>(text, value);
    default: {
      // char16, datetime and the rest take the element path.
      ValueBuilder builder(type);
      if (!builder.add(text)) return false;
      value = builder.scalar();
      return true;
    }
  }
}

CIMValue cimValueFromText(CIMType type, Boolean isArray, const std::vector<std::string>& elements) {
  ValueBuilder builder(type);
  for (const std::string& element : elements) {
    if (type == CIMTYPE_REFERENCE)
      builder.addReference(CIMObjectPath(String(element)));
    else if (!builder.add(element))
      throw Exception(String("\"" + element + "\" is not a valid " + cimTypeToString(type)));
  }
  return isArray ? builder.array() : builder.scalar();
}

}  // namespace Pegasus
