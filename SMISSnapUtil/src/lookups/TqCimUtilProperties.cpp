// Reading keys and properties as text, several at once, and changing one property on the CIMOM.
#include <cstdlib>

#include "CimUtilHandlers.h"
#include "Pegasus/CIMClient.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::TracedOr;

namespace {

// Index of the first property named exactly `name` (case counts), or PEG_NOT_FOUND.
Uint32 ExactPropertyIndex(const CIMInstance& instance, const String& name) {
  for (Uint32 i = 0; i < instance.getPropertyCount(); ++i)
    if (instance.getProperty(i).getName().getString() == name) return i;
  return PEG_NOT_FOUND;
}

// The property named exactly `name` as text into `text`; false, leaving `text` alone, when there is none.
bool ExactPropertyText(const CIMInstance& instance, const String& name, std::string& text) {
  Uint32 index = ExactPropertyIndex(instance, name);
  if (index == PEG_NOT_FOUND) return false;
  text = instance.getProperty(index).getValue().toString().str();
  return true;
}

// The new value of a property of the given type from its text; false for a type that is not handled.
bool ValueFromText(CIMType type, const std::string& text, CIMValue& value) {
  switch (type) {
    case CIMTYPE_STRING:
      value = CIMValue(String(text));
      return true;
    case CIMTYPE_UINT8:
      value = CIMValue(static_cast<Uint8>(std::atoi(text.c_str())));
      return true;
    case CIMTYPE_UINT16:
      value = CIMValue(static_cast<Uint16>(std::atoi(text.c_str())));
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string TqCimUtil::GetPropByObjPath(CIMObjectPath& path, String keyName) {
  const Array<CIMKeyBinding>& keys = path.getKeyBindings();
  for (Uint32 i = 0; i < keys.size(); ++i)
    if (keys[i].getName().getString() == keyName) return keys[i].getValue().str();
  return "";
}

std::string TqCimUtil::GetCIMProp(CIMInstance& instance, String propName) {
  return TracedOr(*this, "SMIS::GetCIMProp", TQ_HANDLER_SITE, std::string(), [&]() -> std::string {
    std::string text;
    ExactPropertyText(instance, propName, text);
    return text;
  });
}

std::string TqCimUtil::GetCIMProp(TqCimConnection& conn, std::string& pathText, String propName) {
  return TracedOr(*this, "SMIS::GetCIMProp", TQ_HANDLER_SITE, std::string(), [&]() -> std::string {
    CIMObjectPath path{String(pathText)};
    CIMInstance instance = conn.GetInstance(path);
    std::string text;
    ExactPropertyText(instance, propName, text);
    return text;
  });
}

std::string TqCimUtil::GetCIMProp(TqCimConnection& conn, CIMObjectPath& path, String propName) {
  std::string text = path.toString().str();
  return GetCIMProp(conn, text, propName);
}

std::string TqCimUtil::GetInstanceProp(TqCimConnection&, CIMInstance& instance, String propName, bool& found) {
  return TracedOr(*this, "SMIS::GetInstanceProp", TQ_HANDLER_SITE, std::string(), [&]() -> std::string {
    std::string text;
    if (ExactPropertyText(instance, propName, text)) found = true;
    return text;
  });
}

bool TqCimUtil::GetCIMPropList(TqCimConnection& conn, const std::string& pathText,
                               std::map<std::string, std::string>& props) {
  return TracedOr(*this, "GetCIMPropList", TQ_HANDLER_SITE, false, [&]() {
    if (props.empty()) {
      DEBUG_TRACE("GetCIMPropList", "Empty property list passed in. Nothing to process.");
      return false;
    }
    CIMObjectPath path{String(pathText)};
    CIMInstance instance = conn.GetInstance(path);
    size_t found = 0;
    for (auto& entry : props) {
      Uint32 index = instance.findProperty(CIMName(String(entry.first)));
      if (index == PEG_NOT_FOUND) continue;
      entry.second = instance.getProperty(index).getValue().toString().str();
      ++found;
    }
    return found == props.size();
  });
}

bool TqCimUtil::GetCIMPropList(TqCimConnection& conn, CIMObjectPath& path, std::map<std::string, std::string>& props) {
  return GetCIMPropList(conn, path.toString().str(), props);
}

bool TqCimUtil::UpdateInstanceProp(TqCimConnection& conn, std::string pathText, std::string propName,
                                   std::string value) {
  const char* label = "SMIS::UpdateInstanceProp";
  try {
    CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
    CIMObjectPath path{String(pathText)};
    CIMInstance instance = conn.Client().getInstance(nameSpace, path, false, true, true, CIMPropertyList());

    bool found = false;
    GetInstanceProp(conn, instance, String(propName), found);
    if (!found) {
      DEBUG_TRACE(label, "Did not find prop %s\n", propName.c_str());
      return false;
    }
    Uint32 index = ExactPropertyIndex(instance, String(propName));
    CIMProperty old = instance.getProperty(index);
    CIMValue newValue;
    if (!ValueFromText(old.getType(), value, newValue)) {
      DEBUG_TRACE(label, "UpdateInstanceProp: Unimplemented datatype %d\n", static_cast<int>(old.getType()));
      return false;
    }
    instance.removeProperty(index);
    instance.addProperty(CIMProperty(old.getName(), newValue, 0, old.getReferenceClassName(), old.getClassOrigin(),
                                     old.getPropagated()));
    instance.setPath(path);
    Array<CIMName> onlyThisProperty;
    onlyThisProperty.append(CIMName(String(propName)));
    conn.Client().modifyInstance(nameSpace, instance, true, CIMPropertyList(onlyThisProperty));

    // A secret's value never reaches the trace.
    if (propName == "Secret")
      DEBUG_TRACE_NORMAL(label, "Updated the Property [%s]", propName.c_str());
    else
      DEBUG_TRACE_NORMAL(label, "Updated the Property [%s] to [%s]", propName.c_str(), value.c_str());
    return true;
  } catch (const CIMException& e) {
    DEBUG_TRACE(label, "%d: Caught CIMException: %s: %s\n", __LINE__, tqcimutil::StatusText(e).c_str(),
                e.getMessage().str().c_str());
  } catch (const Exception& e) {
    DEBUG_TRACE(label, "%d: Caught Exception: %s\n", __LINE__, e.getMessage().str().c_str());
  } catch (...) {
    DEBUG_TRACE(label, "Caught unknown exception\n");
  }
  return false;
}
