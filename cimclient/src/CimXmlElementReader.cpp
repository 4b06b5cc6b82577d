// CIM-XML element reading: names, paths, key bindings, values, properties and instances.
#include "CimXmlElementReader.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include "NumberText.h"
#include "ValueText.h"

namespace Pegasus {

namespace {

bool isBlank(const char* text)
{
    for (; *text; ++text)
        if (!std::strchr(" \t\r\n", *text)) return false;
    return true;
}

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A value text for an error message, shortened when long.
std::string quoted(const std::string& text)
{
    const size_t limit = 64;
    return "\"" + (text.size() > limit ? text.substr(0, limit) + "..." : text) + "\"";
}

bool named(const pugi::xml_node& node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

// An IPv6 address without brackets (more than one ':') gets them, so the path's text form reads back.
std::string hostText(const std::string& host)
{
    if (host.empty() || host[0] == '[' || std::count(host.begin(), host.end(), ':') < 2) return host;
    return "[" + host + "]";
}

// The kind of a key whose KEYVALUE names its CIM type but not its VALUETYPE.
const char* valueTypeOf(const std::string& cimType)
{
    if (String::equalNoCase(cimType, "boolean")) return "boolean";
    for (const char* number : {"uint8", "sint8", "uint16", "sint16", "uint32", "sint32", "uint64", "sint64"})
        if (String::equalNoCase(cimType, number)) return "numeric";
    return "string";
}

}  // namespace

void CimXmlElementReader::load(pugi::xml_document& document) const
{
    const pugi::xml_parse_result result = document.load_buffer(
        text_.data(), text_.size(), pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_auto);
    if (!result) {
        const size_t offset = std::min(static_cast<size_t>(std::max<ptrdiff_t>(result.offset, 0)), text_.size());
        const auto line = 1 + std::count(text_.begin(), text_.begin() + offset, '\n');
        throw CIMClientXmlException("XML parse error on line " + std::to_string(line) + ": " +
                                    result.description());
    }
}

unsigned CimXmlElementReader::lineOf(const pugi::xml_node& node) const
{
    const ptrdiff_t offset = node.offset_debug();
    if (offset < 0 || static_cast<size_t>(offset) > text_.size()) return 0;
    return 1 + static_cast<unsigned>(std::count(text_.begin(), text_.begin() + offset, '\n'));
}

void CimXmlElementReader::fail(const pugi::xml_node& at, const std::string& what) const
{
    std::string where = "Validation error";
    const unsigned line = at ? lineOf(at) : 0;
    if (line > 0) where += ": on line " + std::to_string(line);
    if (at && at.type() == pugi::node_element) where += std::string(" in ") + at.name();
    throw CIMClientXmlException(where + ": " + what);
}

std::vector<pugi::xml_node> CimXmlElementReader::elements(const pugi::xml_node& node) const
{
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            children.push_back(child);
        else if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) && !isBlank(child.value()))
            fail(node, "unexpected text " + quoted(child.value()));
    }
    return children;
}

pugi::xml_node CimXmlElementReader::onlyChild(const pugi::xml_node& node, const char* name) const
{
    const std::vector<pugi::xml_node> children = elements(node);
    if (children.size() != 1) fail(node, std::string("expected one ") + name + " element");
    expectName(children[0], name);
    return children[0];
}

void CimXmlElementReader::expectName(const pugi::xml_node& node, const char* name) const
{
    if (!named(node, name)) fail(node, std::string("expected ") + name + " element, found " + node.name());
}

void CimXmlElementReader::expectNoChildren(const pugi::xml_node& node) const
{
    if (!elements(node).empty()) fail(node, "unexpected child element " + std::string(elements(node)[0].name()));
}

std::string CimXmlElementReader::required(const pugi::xml_node& node, const char* attribute) const
{
    const pugi::xml_attribute found = node.attribute(attribute);
    if (!found) fail(node, std::string("missing attribute ") + attribute);
    return found.value();
}

bool CimXmlElementReader::optional(const pugi::xml_node& node, const char* attribute, std::string& value) const
{
    const pugi::xml_attribute found = node.attribute(attribute);
    value = found ? found.value() : "";
    return static_cast<bool>(found);
}

CIMName CimXmlElementReader::name(const pugi::xml_node& node, const char* attribute) const
{
    const std::string text = required(node, attribute);
    if (!CIMName::legal(text)) fail(node, std::string(attribute) + " " + quoted(text) + " is not a legal CIM name");
    return CIMName(String(text));
}

std::string CimXmlElementReader::text(const pugi::xml_node& node) const
{
    std::string value;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) fail(node, std::string("unexpected element ") + child.name());
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) value += child.value();
    }
    return value;
}

CIMNamespaceName CimXmlElementReader::localNamespacePath(const pugi::xml_node& node) const
{
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

CIMObjectPath CimXmlElementReader::instanceName(const pugi::xml_node& node) const
{
    expectName(node, "INSTANCENAME");
    CIMObjectPath path;
    path.setClassName(name(node, "CLASSNAME"));
    Array<CIMKeyBinding> keys;
    for (const pugi::xml_node& child : elements(node)) {
        if (!named(child, "KEYBINDING")) fail(child, "expected KEYBINDING element (unnamed keys are not supported)");
        keys.append(keyBinding(child));
    }
    path.setKeyBindings(keys);
    return path;
}

CIMKeyBinding CimXmlElementReader::keyBinding(const pugi::xml_node& node) const
{
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
    const std::string value = text(child);
    if (valueType == "string") return CIMKeyBinding(keyName, String(value), CIMKeyBinding::STRING);
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

CIMObjectPath CimXmlElementReader::instancePath(const pugi::xml_node& node) const
{
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

CIMObjectPath CimXmlElementReader::localInstancePath(const pugi::xml_node& node) const
{
    expectName(node, "LOCALINSTANCEPATH");
    const std::vector<pugi::xml_node> children = elements(node);
    if (children.size() != 2) fail(node, "expected LOCALNAMESPACEPATH and INSTANCENAME");
    CIMObjectPath path = instanceName(children[1]);
    path.setNameSpace(localNamespacePath(children[0]));
    return path;
}

CIMObjectPath CimXmlElementReader::classPath(const pugi::xml_node& node) const
{
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

CIMObjectPath CimXmlElementReader::anyPath(const pugi::xml_node& node) const
{
    if (named(node, "INSTANCEPATH")) return instancePath(node);
    if (named(node, "LOCALINSTANCEPATH")) return localInstancePath(node);
    if (named(node, "INSTANCENAME")) return instanceName(node);
    if (named(node, "CLASSPATH") || named(node, "LOCALCLASSPATH") || named(node, "CLASSNAME")) return classPath(node);
    fail(node, std::string("expected an object path, found ") + node.name());
}

CIMObjectPath CimXmlElementReader::valueReference(const pugi::xml_node& node) const
{
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

bool CimXmlElementReader::isValueElement(const pugi::xml_node& node) const
{
    return named(node, "VALUE") || named(node, "VALUE.ARRAY") || named(node, "VALUE.REFERENCE") ||
           named(node, "VALUE.REFARRAY");
}

CIMType CimXmlElementReader::typeNamed(const pugi::xml_node& at, const std::string& name) const
{
    CIMType type = CIMTYPE_STRING;
    if (!cimTypeFromString(name.c_str(), type)) fail(at, "unknown type " + quoted(name));
    return type;
}

CIMValue CimXmlElementReader::value(const pugi::xml_node& node, CIMType type) const
{
    // Embedded objects travel as their XML text.
    if (type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE) type = CIMTYPE_STRING;
    if (named(node, "VALUE.REFERENCE")) return CIMValue(valueReference(node));
    if (named(node, "VALUE.REFARRAY")) return referenceArray(node);
    if (type == CIMTYPE_REFERENCE) fail(node, "a reference value needs VALUE.REFERENCE");
    if (named(node, "VALUE")) return scalarValue(node, type);
    if (named(node, "VALUE.ARRAY")) return arrayValue(node, type);
    fail(node, std::string("expected a value element, found ") + node.name());
}

void CimXmlElementReader::addValueText(ValueBuilder& builder, const pugi::xml_node& node, CIMType type) const
{
    const std::string content = text(node);
    if (!builder.add(content)) fail(node, quoted(content) + " is not a valid " + cimTypeToString(type) + " value");
}

CIMValue CimXmlElementReader::scalarValue(const pugi::xml_node& node, CIMType type) const
{
    ValueBuilder builder(type);
    addValueText(builder, node, type);
    return builder.scalar();
}

CIMValue CimXmlElementReader::arrayValue(const pugi::xml_node& node, CIMType type) const
{
    ValueBuilder builder(type);
    for (const pugi::xml_node& child : elements(node)) {
        if (named(child, "VALUE.NULL")) {
            builder.addNullElement();
            continue;
        }
        expectName(child, "VALUE");
        addValueText(builder, child, type);
    }
    return builder.array();
}

CIMValue CimXmlElementReader::referenceArray(const pugi::xml_node& node) const
{
    ValueBuilder builder(CIMTYPE_REFERENCE);
    for (const pugi::xml_node& child : elements(node)) {
        if (named(child, "VALUE.NULL"))
            builder.addNullElement();
        else
            builder.addReference(valueReference(child));
    }
    return builder.array();
}

CIMInstance CimXmlElementReader::instance(const pugi::xml_node& node) const
{
    expectName(node, "INSTANCE");
    CIMInstance result(name(node, "CLASSNAME"));
    for (const pugi::xml_node& child : elements(node)) {
        if (named(child, "QUALIFIER")) continue;
        const CIMProperty property = this->property(child);
        try {
            result.addProperty(property);
        } catch (const AlreadyExistsException&) {
            fail(child, "duplicate property " + property.getName().getString().str());
        }
    }
    return result;
}

CIMInstance CimXmlElementReader::namedInstance(const pugi::xml_node& node) const
{
    expectName(node, "VALUE.NAMEDINSTANCE");
    const std::vector<pugi::xml_node> children = elements(node);
    if (children.size() != 2) fail(node, "expected INSTANCENAME and INSTANCE");
    CIMInstance result = instance(children[1]);
    result.setPath(instanceName(children[0]));
    return result;
}

CIMProperty CimXmlElementReader::property(const pugi::xml_node& node) const
{
    const bool scalar = named(node, "PROPERTY");
    const bool array = named(node, "PROPERTY.ARRAY");
    const bool reference = named(node, "PROPERTY.REFERENCE");
    if (!scalar && !array && !reference) fail(node, std::string("unexpected element ") + node.name());

    const CIMName propertyName = name(node, "NAME");
    std::string attribute;
    const CIMName classOrigin = optional(node, "CLASSORIGIN", attribute) ? name(node, "CLASSORIGIN") : CIMName();
    const CIMName referenceClass = optional(node, "REFERENCECLASS", attribute) ? name(node, "REFERENCECLASS") : CIMName();
    bool propagated = false;
    if (optional(node, "PROPAGATED", attribute)) {
        if (!String::equalNoCase(attribute, "true") && !String::equalNoCase(attribute, "false"))
            fail(node, "PROPAGATED must be true or false");
        propagated = String::equalNoCase(attribute, "true");
    }
    Uint32 arraySize = 0;
    if (array && optional(node, "ARRAYSIZE", attribute)) {
        KeyNumber number;
        if (!parseInteger(attribute, false, number) || !fitsIntegerType(number, CIMTYPE_UINT32))
            fail(node, "invalid ARRAYSIZE " + quoted(attribute));
        arraySize = static_cast<Uint32>(number.magnitude);
    }
    const CIMType type = reference ? CIMTYPE_REFERENCE : typeNamed(node, required(node, "TYPE"));
    if (!reference && type == CIMTYPE_REFERENCE) fail(node, "a reference property must be PROPERTY.REFERENCE");

    const char* valueElement = reference ? "VALUE.REFERENCE" : array ? "VALUE.ARRAY" : "VALUE";
    CIMValue value(type, array);
    bool haveValue = false;
    for (const pugi::xml_node& child : elements(node)) {
        if (named(child, "QUALIFIER")) continue;
        expectName(child, valueElement);
        if (haveValue) fail(child, std::string("more than one ") + valueElement);
        value = this->value(child, type);
        haveValue = true;
    }
    return CIMProperty(propertyName, value, arraySize, referenceClass, classOrigin, propagated);
}

}  // namespace Pegasus
