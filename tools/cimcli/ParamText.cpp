#include "ParamText.h"

#include <vector>

#include "CliOptions.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMType.h"
#include "Pegasus/Exception.h"
#include "ValueText.h"

using namespace Pegasus;

namespace cimcli {

namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    if (text.empty())
        return parts;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

void addElement(ValueBuilder& builder, CIMType type, const std::string& element, const std::string& param)
{
    if (type == CIMTYPE_REFERENCE) {
        try {
            builder.addReference(CIMObjectPath(String(element)));
        } catch (const Exception& e) {
            throw UsageError("parameter " + param + ": " + e.getMessage().str());
        }
        return;
    }
    if (!builder.add(element))
        throw UsageError("parameter " + param + ": \"" + element + "\" is not a valid " + cimTypeToString(type));
}

CIMValue buildValue(CIMType type, bool isArray, const std::string& valueText, const std::string& param)
{
    ValueBuilder builder(type);
    if (!isArray) {
        addElement(builder, type, valueText, param);
        return builder.scalar();
    }
    for (const std::string& element : split(valueText, type == CIMTYPE_REFERENCE ? ';' : ','))
        addElement(builder, type, element, param);
    return builder.array();
}

}  // namespace

CIMParamValue parseParam(const std::string& text)
{
    const std::string::size_type equals = text.find('=');
    const std::string head = text.substr(0, equals);
    const std::string::size_type colon = head.find(':');
    const std::string name = head.substr(0, colon);
    if (name.empty())
        throw UsageError("parameter without a name: " + text);
    if (colon == std::string::npos) {
        if (equals == std::string::npos)
            throw UsageError("parameter " + name + " needs =value or :type");
        return CIMParamValue(String(name), CIMValue(String(text.substr(equals + 1))));
    }

    std::string typeName = head.substr(colon + 1);
    const bool isArray = typeName.size() > 2 && typeName.compare(typeName.size() - 2, 2, "[]") == 0;
    if (isArray)
        typeName.resize(typeName.size() - 2);
    CIMType type;
    if (!cimTypeFromString(typeName.c_str(), type) || type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE)
        throw UsageError("parameter " + name + ": unknown type " + typeName);

    if (equals == std::string::npos) {
        CIMValue null;
        null.setNullValue(type, isArray);
        return CIMParamValue(String(name), null);
    }
    return CIMParamValue(String(name), buildValue(type, isArray, text.substr(equals + 1), name));
}

}  // namespace cimcli
