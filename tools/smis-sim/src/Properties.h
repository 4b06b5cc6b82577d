// Small helpers to read and write instance properties by name.
#pragma once
#include <string>

#include "Pegasus/CIMInstance.h"

namespace smissim {

// Sets the property, replacing one of the same name (ignoring case).
void setProperty(Pegasus::CIMInstance& instance, const char* name, const Pegasus::CIMValue& value);
// The property's value, or a null value when absent.
Pegasus::CIMValue propertyValue(const Pegasus::CIMInstance& instance, const char* name);
// Typed readers: the fallback when absent, null or of another type.
std::string stringProperty(const Pegasus::CIMInstance& instance, const char* name, const std::string& fallback = "");
Pegasus::Uint64 uint64Property(const Pegasus::CIMInstance& instance, const char* name, Pegasus::Uint64 fallback = 0);
Pegasus::Uint16 uint16Property(const Pegasus::CIMInstance& instance, const char* name, Pegasus::Uint16 fallback = 0);
bool booleanProperty(const Pegasus::CIMInstance& instance, const char* name, bool fallback = false);

// A path with its keys taken from the instance's properties, in the given order.
Pegasus::CIMObjectPath pathFromKeys(const Pegasus::CIMInstance& instance, std::initializer_list<const char*> keyNames);
// The same path with host and namespace set, as association and method answers carry them.
Pegasus::CIMObjectPath qualified(const Pegasus::CIMObjectPath& path, const std::string& host,
                                 const std::string& nameSpace);

}  // namespace smissim
