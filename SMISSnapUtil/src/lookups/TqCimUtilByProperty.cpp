// Object paths of the instances of a class whose property or key holds a given value.
#include "CimUtilHandlers.h"
#include "Pegasus/CIMPropertyList.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::Contains;
using tqcimutil::NoneWhenNotFound;
using tqcimutil::TracedRethrow;

namespace {

CIMPropertyList OnlyProperty(const String& propName) {
  Array<CIMName> names;
  names.append(CIMName(propName));
  return CIMPropertyList(names);
}

// The property's value as a string: a null value reads as "", a value of another type throws.
bool ReadStringProperty(const CIMInstance& instance, const String& propName, String& value) {
  Uint32 index = instance.findProperty(CIMName(propName));
  if (index == PEG_NOT_FOUND) return false;
  value = String();
  instance.getProperty(index).getValue().get(value);
  return true;
}

CIMObjectPath WithNameSpace(const CIMInstance& instance, const CIMNamespaceName& nameSpace) {
  CIMObjectPath path = instance.getPath();
  path.setNameSpace(nameSpace);
  return path;
}

bool PropertyMatches(const String& actual, const String& sought, bool exact) {
  if (String::equalNoCase(actual, sought)) return true;
  return !exact && actual.find(sought) != PEG_NOT_FOUND;
}

// The instances of the class with only `propName` read, their number traced under the lookup's label.
Array<CIMInstance> InstancesWithOnly(TqCimUtil& util, TqCimConnection& conn, const char* label, const String& className,
                                     const String& propName) {
  Array<CIMInstance> instances = conn.GetInstances(className, OnlyProperty(propName));
  util.DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instances", className.str().c_str(),
                          static_cast<int>(instances.size()));
  return instances;
}

// The path, in the connection's namespace, of the first instance of the class whose path `owned` accepts
// and whose `propName` (read only for such instances) `matches`; an empty path when there is none.
template <class Owned, class Matches>
CIMObjectPath FirstInstanceMatching(TqCimUtil& util, TqCimConnection& conn, const char* label, const String& className,
                                    const String& propName, Owned owned, Matches matches) {
  CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
  Array<CIMInstance> instances = InstancesWithOnly(util, conn, label, className, propName);
  for (Uint32 i = 0; i < instances.size(); ++i) {
    String actual;
    if (owned(instances[i].getPath()) && ReadStringProperty(instances[i], propName, actual) && matches(actual))
      return WithNameSpace(instances[i], nameSpace);
  }
  return CIMObjectPath();
}

}  // namespace

CIMObjectPath TqCimUtil::GetObjPathByPropName(TqCimConnection& conn, String& className, String propName, String value) {
  const char* label = "SMIS::GetObjPathByPropName";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() -> CIMObjectPath {
    if (tqcimutil::IsBlankName(value.str())) return CIMObjectPath();
    return FirstInstanceMatching(
        *this, conn, label, className, propName, [](const CIMObjectPath&) { return true; },
        [&](const String& actual) { return String::equalNoCase(actual, value); });
  });
}

CIMObjectPath TqCimUtil::GetObjPathByPropName(TqCimConnection& conn, std::string arrayName, String className,
                                              String propName, String value, bool exact) {
  const char* label = "SMIS::GetObjPathByPropName";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() -> CIMObjectPath {
    // An empty name would be contained in every value.
    if (tqcimutil::IsBlankName(value.str())) return CIMObjectPath();
    auto owned = [&](CIMObjectPath path) {
      std::string owner = GetPropByObjPath(path, "SystemName");
      if (owner.empty()) owner = GetPropByObjPath(path, "InstanceID");
      return Contains(owner, arrayName);
    };
    return FirstInstanceMatching(*this, conn, label, className, propName, owned,
                                 [&](const String& actual) { return PropertyMatches(actual, value, exact); });
  });
}

CIMObjectPath TqCimUtil::GetObjPathByPropNamev2(TqCimConnection& conn, std::string arrayName, String className,
                                                String propName, String value) {
  return GetObjPathByPropName(conn, arrayName, className, propName, value, true);
}

Array<CIMObjectPath> TqCimUtil::GetObjPathListByPropNameList(TqCimConnection& conn, String className, String propName,
                                                             Array<String>& values, std::string arrayName) {
  const char* label = "SMIS::GetObjPathListByPropNameList";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    Array<CIMObjectPath> result;
    CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
    Array<CIMInstance> instances = InstancesWithOnly(*this, conn, label, className, propName);
    for (Uint32 i = 0; i < instances.size(); ++i) {
      CIMObjectPath path = instances[i].getPath();
      if (!Contains(GetPropByObjPath(path, "SystemName"), arrayName)) continue;
      String actual;
      if (!ReadStringProperty(instances[i], propName, actual)) continue;
      for (Uint32 v = 0; v < values.size(); ++v)
        if (actual == values[v] && !tqcimutil::IsBlankName(values[v].str()))
          result.append(WithNameSpace(instances[i], nameSpace));
    }
    return result;
  });
}

Array<CIMObjectPath> TqCimUtil::GetObjPathListByPropNameList(TqCimConnection& conn, String className, String propName,
                                                             std::vector<std::string>& values, std::string arrayName) {
  return TracedRethrow(*this, "SMIS::GetObjPathListByPropNameList", TQ_HANDLER_SITE, [&]() {
    Array<String> texts = StrVectorToStrArray(values);
    return GetObjPathListByPropNameList(conn, className, propName, texts, arrayName);
  });
}

CIMObjectPath TqCimUtil::GetObjPathByProp(TqCimConnection& conn, String className, String keyName, std::string value,
                                          std::string arrayName) {
  const char* label = "SMIS::GetObjPathByProp";
  auto lookup = [&]() -> CIMObjectPath {
    Array<CIMObjectPath> names = conn.GetInstanceNames(className);
    DEBUG_TRACE_NORMAL(label, "Class <%s> got %d instance names", className.str().c_str(),
                       static_cast<int>(names.size()));
    for (Uint32 i = 0; i < names.size(); ++i) {
      // An empty value asks for the first instance of the class.
      if (value.empty()) return names[i];
      if (GetPropByObjPath(names[i], keyName) != value) continue;
      if (!arrayName.empty() && !Contains(GetPropByObjPath(names[i], "SystemName"), arrayName)) continue;
      return names[i];
    }
    return CIMObjectPath();
  };
  auto traceNotFound = [&]() {
    DEBUG_TRACE(label, "%s instance for property %s = %s not found", className.str().c_str(), keyName.str().c_str(),
                value.c_str());
  };
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() { return NoneWhenNotFound(lookup, traceNotFound); });
}
