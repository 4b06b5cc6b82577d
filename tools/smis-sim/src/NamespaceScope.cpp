#include "NamespaceScope.h"

#include <algorithm>

#include "NoCase.h"
#include "smis-sim/VendorProfile.h"

using namespace Pegasus;

namespace smissim {

namespace {

// Classes of no family (CIM_ classes) are served everywhere.
bool servedIn(const CIMName& className, const std::string& nameSpace) {
  const VendorProfile* profile = profileOfClass(className.getString().str());
  return !profile || sameNoCase(profile->nameSpace, nameSpace);
}

void renameSpace(CIMObjectPath& path, const CIMNamespaceName& nameSpace) {
  if (!path.getNameSpace().isNull()) path.setNameSpace(nameSpace);
}

}  // namespace

void scopeToNamespace(CimXml::Response& response, const CIMNamespaceName& nameSpace) {
  const std::string space = nameSpace.getString().str();
  auto& paths = response.paths;
  paths.erase(std::remove_if(paths.begin(), paths.end(),
                             [&](const CIMObjectPath& path) { return !servedIn(path.getClassName(), space); }),
              paths.end());
  for (CIMObjectPath& path : paths) renameSpace(path, nameSpace);
  auto& instances = response.instances;
  const size_t before = instances.size();
  instances.erase(
      std::remove_if(instances.begin(), instances.end(),
                     [&](const CIMInstance& instance) { return !servedIn(instance.getClassName(), space); }),
      instances.end());
  if (response.returnKind == CimXml::Response::INSTANCE && instances.size() < before)
    throw CIMException(CIM_ERR_NOT_FOUND, String("no such object in namespace " + space));
  for (CIMInstance& instance : instances) {
    CIMObjectPath path = instance.getPath();
    renameSpace(path, nameSpace);
    instance.setPath(path);
  }
}

void scopeToNamespace(std::vector<const CIMInstance*>& instances, const CIMNamespaceName& nameSpace) {
  const std::string space = nameSpace.getString().str();
  instances.erase(
      std::remove_if(instances.begin(), instances.end(),
                     [&](const CIMInstance* instance) { return !servedIn(instance->getClassName(), space); }),
      instances.end());
}

}  // namespace smissim
