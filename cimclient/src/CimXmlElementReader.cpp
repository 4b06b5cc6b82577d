// CIM-XML element reading: names, paths, key bindings, values, properties and instances.
#include "CimXmlElementReader.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include "NumberText.h"
#include "ValueText.h"

namespace Pegasus {

namespace {

bool isBlank(const char* text) {
  for (; *text; ++text)
    if (!std::strchr(" \t\r\n", *text)) return false;
  return true;
}

std::string trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A value text for an error message, shortened when long.
std::string quoted(const std::string& text) {
  const size_t limit = 64;
  return "\"" + (text.size() > limit ? text.substr(0, limit) + "..." : text) + "\"";
}

bool named(const pugi::xml_node& node, const char* name) { return std::strcmp(node.name(), name) == 0; }

// An IPv6 address without brackets (more than one ':') gets them, so the path's text form reads back.
std::string hostText(const std::string& host) {
  if (host.empty() || host[0] == '[' || std::count(host.begin(), host.end(), ':') < 2) return host;
  return "[" + host + "]";
}

// The kind of a key whose KEYVALUE names its CIM type but not its VALUETYPE.
const char* valueTypeOf(const std::string& cimType) {
  if (String::equalNoCase(cimType, "boolean")) return "boolean";
  for (const char* number : {"uint8", "sint8", "uint16", "sint16", "uint32", "sint32", "uint64", "sint64"})
    if (String::equalNoCase(cimType, number)) return "numeric";
  return "string";
}

}  // namespace

// The text of an element that holds text first (as a VALUE does) is kept in the element rather than in a node
// of its own: a large answer's tree is a fifth smaller.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

void CimXmlElementReader::load(pugi::xml_document& document) const {
  checkParsed(document.load_buffer(text_.data(), text_.size(), kParseOptions, pugi::encoding_auto));
}

void CimXmlElementReader::loadInPlace(pugi::xml_document& document, std::string& text) const {
  checkParsed(document.load_buffer_inplace(&text[0], text.size(), kParseOptions, pugi::encoding_auto));
}

void CimXmlElementReader::loadElementsInPlace(pugi::xml_document& document, std::string& text, std::size_t begin,
                                              std::size_t end) {
  base_ = begin;
  checkParsed(document.load_buffer_inplace(&text[begin], end - begin, kParseOptions, pugi::encoding_utf8));
}

void CimXmlElementReader::checkParsed(const pugi::xml_parse_result& result) const {
  if (!result) {
    const size_t offset = std::min(base_ + static_cast<size_t>(std::max<ptrdiff_t>(result.offset, 0)), text_.size());
    const auto line = 1 + std::count(text_.begin(), text_.begin() + offset, '\n');
    throw CIMClientXmlException("XML parse error on line " + std::to_string(line) + ": " + result.description());
  }
}

unsigned CimXmlElementReader::lineOf(const pugi::xml_node& node) const {
  const ptrdiff_t parsedOffset = node.offset_debug();
  if (parsedOffset < 0) return 0;
  const size_t offset = base_ + static_cast<size_t>(parsedOffset);
  if (offset > text_.size()) return 0;
  return 1 + static_cast<unsigned>(std::count(text_.begin(), text_.begin() + offset, '\n'));
}

void CimXmlElementReader::fail(const pugi::xml_node& at, const std::string& what) const {
  std::string where = "Validation error";
  const unsigned line = at ? lineOf(at) : 0;
  if (line > 0) where += ": on line " + std::to_string(line);
  if (at && at.type() == pugi::node_element) where += std::string(" in ") + at.name();
  throw CIMClientXmlException(where + ": " + what);
}

std::vector<pugi::xml_node> CimXmlElementReader::elements(const pugi::xml_node& node) const {
  std::vector<pugi::xml_node> children;
  forEachElement(node, [&](const pugi::xml_node& child) { children.push_back(child); });
  return children;
}

void CimXmlElementReader::checkBlank(const pugi::xml_node& parent, const char* text) const {
  if (!isBlank(text)) fail(parent, "unexpected text " + quoted(text));
}

pugi::xml_node CimXmlElementReader::onlyChild(const pugi::xml_node& node, const char* name) const {
  const std::vector<pugi::xml_node> children = elements(node);
  if (children.size() != 1) fail(node, std::string("expected one ") + name + " element");
  expectName(children[0], name);
  return children[0];
}

void CimXmlElementReader::expectName(const pugi::xml_node& node, const char* name) const {
  if (!named(node, name)) fail(node, std::string("expected ") + name + " element, found " + node.name());
}

void CimXmlElementReader::expectNoChildren(const pugi::xml_node& node) const {
  if (!elements(node).empty()) fail(node, "unexpected child element " + std::string(elements(node)[0].name()));
}

std::string CimXmlElementReader::required(const pugi::xml_node& node, const char* attribute) const {
  const pugi::xml_attribute found = node.attribute(attribute);
  if (!found) fail(node, std::string("missing attribute ") + attribute);
  return found.value();
}

bool CimXmlElementReader::optional(const pugi::xml_node& node, const char* attribute, std::string& value) const {
  const pugi::xml_attribute found = node.attribute(attribute);
  value = found ? found.value() : "";
  return static_cast<bool>(found);
}

const CimXmlElementReader::KnownName& CimXmlElementReader::knownName(const pugi::xml_node& node,
                                                                     const char* attribute) const {
  return knownName(node, node.attribute(attribute), attribute);
}

const CimXmlElementReader::KnownName& CimXmlElementReader::knownName(const pugi::xml_node& node,
                                                                     const pugi::xml_attribute& found,
                                                                     const char* attribute) const {
  if (!found) fail(node, std::string("missing attribute ") + attribute);
  const char* text = found.value();
  const auto known = names_.find(std::string_view(text));
  if (known != names_.end()) return known->second;
  if (!CIMName::legal(String(text)))
    fail(node, std::string(attribute) + " " + quoted(text) + " is not a legal CIM name");
  String folded(text);
  folded.toLower();
  const auto id = foldedIds_.emplace(folded.str(), static_cast<Uint32>(foldedIds_.size())).first->second;
  KnownName added{CIMName(String(text)), id};
  const std::string_view key(added.name.getString().str());  // stays put: the name's storage is shared
  return names_.emplace(key, std::move(added)).first->second;
}

CIMName CimXmlElementReader::name(const pugi::xml_node& node, const char* attribute) const {
  return knownName(node, attribute).name;
}

std::string CimXmlElementReader::text(const pugi::xml_node& node) const {
  std::string value = node.value();  // the text before any child, kept in the element itself
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) fail(node, std::string("unexpected element ") + child.name());
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) value += child.value();
  }
  return value;
}

CIMNamespaceName CimXmlElementReader::localNamespacePath(const pugi::xml_node& node) const {
  expectName(node, "LOCALNAMESPACEPATH");
  std::string joined;
  for (const pugi::xml_node& segment : elements(node)) {
    expectName(segment, "NAMESPACE");
    expectNoChildren(segment);
    if (!joined.empty()) joined += '/';
    joined += required(segment, "NAME");
  }
  if (joined.empty()) fail(node, "expected NAMESPACE element");
  if (!CIMNamespaceName::legal(joined)) fail(node, "invalid namespace name " + quoted(joined));
  return CIMNamespaceName(String(joined));
}

CIMObjectPath CimXmlElementReader::instanceName(const pugi::xml_node& node) const {
  expectName(node, "INSTANCENAME");
  CIMObjectPath path;
  path.className_ = name(node, "CLASSNAME");
  forEachElement(node, [&](const pugi::xml_node& child) {
    if (!named(child, "KEYBINDING")) fail(child, "expected KEYBINDING element (unnamed keys are not supported)");
    path.keyBindings_.append(keyBinding(child));
  });
  return path;
}

CIMKeyBinding CimXmlElementReader::keyBinding(const pugi::xml_node& node) const {
  const CIMName keyName = name(node, "NAME");
  const std::vector<pugi::xml_node> children = elements(node);
  if (children.size() != 1) fail(node, "expected one KEYVALUE or VALUE.REFERENCE element");
  const pugi::xml_node& child = children[0];
  if (named(child, "VALUE.REFERENCE"))
    return CIMKeyBinding(keyName, valueReference(child).toString(), CIMKeyBinding::REFERENCE);
  expectName(child, "KEYVALUE");
  std::string valueType, cimType;
  if (!optional(child, "VALUETYPE", valueType))
    valueType = optional(child, "TYPE", cimType) ? valueTypeOf(cimType) : "string";
  String lower(valueType);
  lower.toLower();
  valueType = lower.str();
  std::string value = text(child);
  if (valueType == "string") {
    CIMKeyBinding key;
    key.name_ = keyName;
    key.value_ = String(std::move(value));
    return key;
  }
  if (valueType == "boolean") {
    String upper(trimmed(value));
    upper.toUpper();
    if (upper != "TRUE" && upper != "FALSE") fail(child, "invalid boolean key value " + quoted(value));
    return CIMKeyBinding(keyName, upper, CIMKeyBinding::BOOLEAN);
  }
  if (valueType == "numeric") {
    KeyNumber number;
    if (!parseInteger(trimmed(value), true, number)) fail(child, "invalid numeric key value " + quoted(value));
    const std::string canonical = (number.negative ? "-" : "") + std::to_string(number.magnitude);
    return CIMKeyBinding(keyName, String(canonical), CIMKeyBinding::NUMERIC);
  }
  fail(child, "unknown VALUETYPE " + quoted(valueType));
}

CIMObjectPath CimXmlElementReader::instancePath(const pugi::xml_node& node) const {
  expectName(node, "INSTANCEPATH");
  const std::vector<pugi::xml_node> children = elements(node);
  if (children.size() != 2) fail(node, "expected NAMESPACEPATH and INSTANCENAME");
  expectName(children[0], "NAMESPACEPATH");
  const std::vector<pugi::xml_node> parts = elements(children[0]);
  if (parts.size() != 2) fail(children[0], "expected HOST and LOCALNAMESPACEPATH");
  expectName(parts[0], "HOST");
  CIMObjectPath path = instanceName(children[1]);
  path.setHost(String(hostText(trimmed(text(parts[0])))));
  path.setNameSpace(localNamespacePath(parts[1]));
  return path;
}

CIMObjectPath CimXmlElementReader::localInstancePath(const pugi::xml_node& node) const {
  expectName(node, "LOCALINSTANCEPATH");
  const std::vector<pugi::xml_node> children = elements(node);
  if (children.size() != 2) fail(node, "expected LOCALNAMESPACEPATH and INSTANCENAME");
  CIMObjectPath path = instanceName(children[1]);
  path.setNameSpace(localNamespacePath(children[0]));
  return path;
}

CIMObjectPath CimXmlElementReader::classPath(const pugi::xml_node& node) const {
  CIMObjectPath path;
  if (named(node, "CLASSNAME")) {
    expectNoChildren(node);
    path.setClassName(name(node, "NAME"));
    return path;
  }
  const std::vector<pugi::xml_node> children = elements(node);
  if (children.size() != 2) fail(node, "expected a namespace path and CLASSNAME");
  expectName(children[1], "CLASSNAME");
  path = classPath(children[1]);
  if (named(node, "LOCALCLASSPATH")) {
    path.setNameSpace(localNamespacePath(children[0]));
    return path;
  }
  expectName(node, "CLASSPATH");
  expectName(children[0], "NAMESPACEPATH");
  const std::vector<pugi::xml_node> parts = elements(children[0]);
  if (parts.size() != 2) fail(children[0], "expected HOST and LOCALNAMESPACEPATH");
  expectName(parts[0], "HOST");
  path.setHost(String(hostText(trimmed(text(parts[0])))));
  path.setNameSpace(localNamespacePath(parts[1]));
  return path;
}

CIMObjectPath CimXmlElementReader::anyPath(const pugi::xml_node& node) const {
  if (named(node, "INSTANCEPATH")) return instancePath(node);
  if (named(node, "LOCALINSTANCEPATH")) return localInstancePath(node);
  if (named(node, "INSTANCENAME")) return instanceName(node);
  if (named(node, "CLASSPATH") || named(node, "LOCALCLASSPATH") || named(node, "CLASSNAME")) return classPath(node);
  fail(node, std::string("expected an object path, found ") + node.name());
}

CIMObjectPath CimXmlElementReader::valueReference(const pugi::xml_node& node) const {
  // Each level doubles the escaping of the path text, so deep nesting is refused rather than followed.
  const int maximumDepth = 8;
  expectName(node, "VALUE.REFERENCE");
  const std::vector<pugi::xml_node> children = elements(node);
  if (children.size() != 1) fail(node, "expected one object path");
  if (referenceDepth_ >= maximumDepth) fail(node, "references nested too deeply");
  ++referenceDepth_;
  try {
    CIMObjectPath path = anyPath(children[0]);
    --referenceDepth_;
    return path;
  } catch (...) {
    --referenceDepth_;
    throw;
  }
}

bool CimXmlElementReader::isValueElement(const pugi::xml_node& node) const {
  return named(node, "VALUE") || named(node, "VALUE.ARRAY") || named(node, "VALUE.REFERENCE") ||
         named(node, "VALUE.REFARRAY");
}

CIMType CimXmlElementReader::typeNamed(const pugi::xml_node& at, const std::string& name) const {
  CIMType type = CIMTYPE_STRING;
  if (!cimTypeFromString(name.c_str(), type)) fail(at, "unknown type " + quoted(name));
  return type;
}

CIMValue CimXmlElementReader::value(const pugi::xml_node& node, CIMType type) const {
  // Embedded objects travel as their XML text.
  if (type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE) type = CIMTYPE_STRING;
  if (named(node, "VALUE.REFERENCE")) return CIMValue(valueReference(node));
  if (named(node, "VALUE.REFARRAY")) return referenceArray(node);
  if (type == CIMTYPE_REFERENCE) fail(node, "a reference value needs VALUE.REFERENCE");
  if (named(node, "VALUE")) return scalarValue(node, type);
  if (named(node, "VALUE.ARRAY")) return arrayValue(node, type);
  fail(node, std::string("expected a value element, found ") + node.name());
}

void CimXmlElementReader::addValueText(ValueBuilder& builder, const pugi::xml_node& node, CIMType type) const {
  const std::string content = text(node);
  if (!builder.add(content)) fail(node, quoted(content) + " is not a valid " + cimTypeToString(type) + " value");
}

CIMValue CimXmlElementReader::scalarValue(const pugi::xml_node& node, CIMType type) const {
  std::string content = text(node);
  CIMValue value;
  // Only a string is moved from, and a string is never refused, so `content` is whole for the message.
  if (!ValueBuilder::scalarFromText(type, std::move(content), value))
    fail(node, quoted(content) + " is not a valid " + cimTypeToString(type) + " value");
  return value;
}

CIMValue CimXmlElementReader::arrayValue(const pugi::xml_node& node, CIMType type) const {
  ValueBuilder builder(type);
  forEachElement(node, [&](const pugi::xml_node& child) {
    if (named(child, "VALUE.NULL")) {
      builder.addNullElement();
      return;
    }
    expectName(child, "VALUE");
    addValueText(builder, child, type);
  });
  return builder.array();
}

CIMValue CimXmlElementReader::referenceArray(const pugi::xml_node& node) const {
  ValueBuilder builder(CIMTYPE_REFERENCE);
  for (const pugi::xml_node& child : elements(node)) {
    if (named(child, "VALUE.NULL"))
      builder.addNullElement();
    else
      builder.addReference(valueReference(child));
  }
  return builder.array();
}

CIMInstance CimXmlElementReader::instance(const pugi::xml_node& node) const {
  expectName(node, "INSTANCE");
  CIMInstance result(name(node, "CLASSNAME"));
  const Uint32 number = ++instanceCount_;
  std::size_t children = 0;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) ++children;
  result.properties_.reserve(children);
  forEachElement(node, [&](const pugi::xml_node& child) {
    if (named(child, "QUALIFIER")) return;
    Uint32 foldedId = 0;
    CIMProperty property = this->property(child, foldedId);
    if (foldedId >= lastInstanceWith_.size()) lastInstanceWith_.resize(foldedId + 1, 0);
    if (lastInstanceWith_[foldedId] == number)
      fail(child, "duplicate property " + property.getName().getString().str());
    lastInstanceWith_[foldedId] = number;
    result.properties_.push_back(std::move(property));
  });
  return result;
}

CIMInstance CimXmlElementReader::namedInstance(const pugi::xml_node& node) const {
  expectName(node, "VALUE.NAMEDINSTANCE");
  pugi::xml_node parts[2];
  int count = 0;
  forEachElement(node, [&](const pugi::xml_node& child) {
    if (count < 2) parts[count] = child;
    ++count;
  });
  if (count != 2) fail(node, "expected INSTANCENAME and INSTANCE");
  CIMInstance result = instance(parts[1]);
  result.path_ = instanceName(parts[0]);
  return result;
}

// A property element's attributes in one pass over them; the first of a repeated name counts, as in a lookup.
CimXmlElementReader::PropertyAttributes CimXmlElementReader::propertyAttributes(const pugi::xml_node& node) {
  PropertyAttributes found;
  const std::pair<const char*, pugi::xml_attribute*> known[] = {{"NAME", &found.name},
                                                                {"TYPE", &found.type},
                                                                {"CLASSORIGIN", &found.classOrigin},
                                                                {"REFERENCECLASS", &found.referenceClass},
                                                                {"PROPAGATED", &found.propagated},
                                                                {"ARRAYSIZE", &found.arraySize}};
  for (pugi::xml_attribute attribute = node.first_attribute(); attribute; attribute = attribute.next_attribute()) {
    for (const auto& [name, slot] : known) {
      if (std::strcmp(attribute.name(), name) != 0) continue;
      if (!*slot) *slot = attribute;
      break;
    }
  }
  return found;
}

CIMProperty CimXmlElementReader::property(const pugi::xml_node& node, Uint32& foldedId) const {
  const bool scalar = named(node, "PROPERTY");
  const bool array = named(node, "PROPERTY.ARRAY");
  const bool reference = named(node, "PROPERTY.REFERENCE");
  if (!scalar && !array && !reference) fail(node, std::string("unexpected element ") + node.name());

  const PropertyAttributes attributes = propertyAttributes(node);
  const KnownName& known = knownName(node, attributes.name, "NAME");
  foldedId = known.foldedId;
  const CIMName classOrigin =
      attributes.classOrigin ? knownName(node, attributes.classOrigin, "CLASSORIGIN").name : CIMName();
  const CIMName referenceClass =
      attributes.referenceClass ? knownName(node, attributes.referenceClass, "REFERENCECLASS").name : CIMName();
  bool propagated = false;
  if (attributes.propagated) {
    const String text(attributes.propagated.value());
    if (!String::equalNoCase(text, "true") && !String::equalNoCase(text, "false"))
      fail(node, "PROPAGATED must be true or false");
    propagated = String::equalNoCase(text, "true");
  }
  Uint32 arraySize = 0;
  if (array && attributes.arraySize) {
    const std::string text = attributes.arraySize.value();
    KeyNumber number;
    if (!parseInteger(text, false, number) || !fitsIntegerType(number, CIMTYPE_UINT32))
      fail(node, "invalid ARRAYSIZE " + quoted(text));
    arraySize = static_cast<Uint32>(number.magnitude);
  }
  CIMType type = CIMTYPE_REFERENCE;
  if (!reference) {
    if (!attributes.type) fail(node, "missing attribute TYPE");
    if (!cimTypeFromString(attributes.type.value(), type))
      fail(node, "unknown type " + quoted(attributes.type.value()));
  }
  if (!reference && type == CIMTYPE_REFERENCE) fail(node, "a reference property must be PROPERTY.REFERENCE");

  const char* valueElement = reference ? "VALUE.REFERENCE" : array ? "VALUE.ARRAY" : "VALUE";
  CIMValue value(type, array);
  bool haveValue = false;
  forEachElement(node, [&](const pugi::xml_node& child) {
    if (named(child, "QUALIFIER")) return;
    expectName(child, valueElement);
    if (haveValue) fail(child, std::string("more than one ") + valueElement);
    value = this->value(child, type);
    haveValue = true;
  });
  shareRepeatedValue(foldedId, value);
  return CIMProperty(known.name, value, arraySize, referenceClass, classOrigin, propagated);
}

// Values are immutable and shared by their copies, so the columns of an enumeration that hold one value for
// every instance take no memory per instance. Only types whose equality is equality of text take part: real
// numbers (0 and -0) and references (names compared ignoring case) can be equal yet read differently.
void CimXmlElementReader::shareRepeatedValue(Uint32 foldedId, CIMValue& value) const {
  switch (value.getType()) {
    case CIMTYPE_REAL32:
    case CIMTYPE_REAL64:
    case CIMTYPE_REFERENCE:
      return;
    default:
      break;
  }
  if (foldedId >= lastValueOf_.size()) lastValueOf_.resize(foldedId + 1);
  CIMValue& last = lastValueOf_[foldedId];
  if (last == value)
    value = last;
  else
    last = value;
}

}  // namespace Pegasus
