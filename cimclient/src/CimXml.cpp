// CIM-XML codec entry points (being filled in).
#include "Pegasus/CimXml.h"

namespace Pegasus {
namespace CimXml {

ParamValue ParamValue::ofValue(const String& name, const CIMValue& value, bool typed)
{
    ParamValue p;
    p.name = name;
    p.value = value;
    p.typed = typed;
    return p;
}
ParamValue ParamValue::ofClassName(const String& name, const CIMName& className)
{
    ParamValue p;
    p.name = name;
    p.kind = CLASSNAME;
    p.className = className;
    return p;
}
ParamValue ParamValue::ofInstanceName(const String& name, const CIMObjectPath& path)
{
    ParamValue p;
    p.name = name;
    p.kind = INSTANCENAME;
    p.instanceName = path;
    return p;
}
ParamValue ParamValue::ofPropertyList(const String& name, const CIMPropertyList& list)
{
    ParamValue p;
    p.name = name;
    p.kind = PROPERTYLIST;
    p.propertyList = list;
    return p;
}
ParamValue ParamValue::ofInstance(const String& name, const CIMInstance& instance)
{
    ParamValue p;
    p.name = name;
    p.kind = INSTANCE;
    p.instance = instance;
    return p;
}
ParamValue ParamValue::ofNull(const String& name)
{
    ParamValue p;
    p.name = name;
    p.kind = NULLVALUE;
    return p;
}

const ParamValue* Request::find(const String& name) const
{
    for (const ParamValue& p : params)
        if (String::equalNoCase(p.name, name)) return &p;
    return nullptr;
}

String encodeRequest(const Request&) { throw CIMClientXmlException("not implemented yet"); }
Request decodeRequest(const String&) { throw CIMClientXmlException("not implemented yet"); }
String encodeResponse(const Response&) { throw CIMClientXmlException("not implemented yet"); }
Response decodeResponse(const String&) { throw CIMClientXmlException("not implemented yet"); }
String cimObjectHeader(const Request&) { return String(); }
String cimMethodHeader(const Request& request) { return request.methodName; }
String uriEncode(const String& text) { return text; }
String uriDecode(const String& text) { return text; }

}  // namespace CimXml
}  // namespace Pegasus
