// Parser of the object path text form "//host/ns:Class.key=value,...".
#pragma once
#include <string>
#include "Pegasus/CIMObjectPath.h"

namespace Pegasus {

struct ParsedPath {
  std::string host;
  std::string nameSpace;
  std::string className;
  Array<CIMKeyBinding> keys;  // in text order
};

// Throws MalformedObjectNameException "malformed object name: <text>, reason:"<why>"".
ParsedPath parseObjectPath(const std::string& text);

}  // namespace Pegasus
