// CIMKeyBinding and CIMObjectPath (being filled in).
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMValue.h"

namespace Pegasus {

CIMKeyBinding::CIMKeyBinding(const CIMName& name, const String& value, Type type)
    : name_(name), value_(value), type_(type) {}
CIMKeyBinding::CIMKeyBinding(const CIMName& name, const CIMValue& value) : name_(name), value_(value.toString()) {}
Boolean operator==(const CIMKeyBinding& a, const CIMKeyBinding& b)
{
    return a.name_ == b.name_ && a.value_ == b.value_;
}
CIMObjectPath::CIMObjectPath(const String& text) { set(text); }
CIMObjectPath::CIMObjectPath(const char* text) { set(String(text)); }
CIMObjectPath::CIMObjectPath(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                             const Array<CIMKeyBinding>& keyBindings)
{
    set(host, nameSpace, className, keyBindings);
}
void CIMObjectPath::set(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                        const Array<CIMKeyBinding>& keyBindings)
{
    host_ = host;
    nameSpace_ = nameSpace;
    className_ = className;
    keyBindings_ = keyBindings;
}
void CIMObjectPath::set(const String& text) { className_ = CIMName(text); }
void CIMObjectPath::clear() { *this = CIMObjectPath(); }
String CIMObjectPath::toString() const { return className_.getString(); }
Boolean operator==(const CIMObjectPath& a, const CIMObjectPath& b) { return a.toString() == b.toString(); }
Boolean refersToSameObject(const CIMObjectPath& a, const CIMObjectPath& b) { return a == b; }

}  // namespace Pegasus
