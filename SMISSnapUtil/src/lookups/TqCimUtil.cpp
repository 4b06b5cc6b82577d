#include "TqCimUtil.h"

#include <cctype>

#include "CimUtilHandlers.h"

TqCriticalSection TqCimUtil::m_CimUtilLock;

TqCimUtil::TqCimUtil() : TqSmisTracer(), m_ErrorTexts(nullptr) {}

namespace tqcimutil {

// Two spellings on purpose: each lookup keeps the text its traces have always carried.
const char* const kUnknownException = "Caught unknown Exception";
const char* const kUnknownExceptionLower = "Caught unknown exception";

bool IsBlankName(const std::string& name) {
  for (char c : name)
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  return true;
}

bool ParseInstancePath(const std::string& text, Pegasus::CIMObjectPath& path) {
  try {
    Pegasus::CIMObjectPath parsed{Pegasus::String(text)};
    if (parsed.getKeyBindings().size() == 0) return false;
    path = parsed;
    return true;
  } catch (const Pegasus::Exception& e) {
    if (!Contains(e.getMessage().str(), "malformed")) throw;
    return false;
  }
}

}  // namespace tqcimutil
