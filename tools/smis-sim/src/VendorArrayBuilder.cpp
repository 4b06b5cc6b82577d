#include "VendorArrayBuilder.h"

#include <cstdio>

#include "NoCase.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

VendorArrayBuilder::VendorArrayBuilder(Model& model, const VendorProfile& profile, const std::string& systemName)
    : model_(model), profile_(profile) {
  if (systemName.empty()) throw ModelError(profile.family + " array: a \"name\" is needed");
  if (model.arrayBySystemName(systemName)) throw ModelError("array " + systemName + " exists already");
  model.arrays().emplace_back();
  array_ = &model.arrays().back();
  array_->systemName = systemName;
  array_->profile = &profile;

  CIMInstance system{CIMName(profile.system.c_str())};
  setProperty(system, "CreationClassName", CIMValue(String(profile.system)));
  setProperty(system, "Name", CIMValue(String(systemName)));
  setProperty(system, "ElementName", CIMValue(String(systemName)));
  setProperty(system, "OperationalStatus", CIMValue(Array<Uint16>{2}));
  array_->system = put(system, {"CreationClassName", "Name"});
  array_->configService = addService(profile.configService, "StorageConfigurationService");
  array_->controllerService = addService(profile.controllerService, "ControllerConfigurationService");
  array_->hardwareIdService = addService(profile.hardwareIdService, "StorageHardwareIDManagementService");
  array_->replicationService = addService(profile.replicationService, "ReplicationService");
}

CIMObjectPath VendorArrayBuilder::put(CIMInstance& instance, std::initializer_list<const char*> keys) {
  instance.setPath(pathFromKeys(instance, keys));
  model_.store().put(instance);
  return instance.getPath();
}

CIMObjectPath linkObjects(Model& model, const std::string& nameSpace, const std::string& associationClass,
                          const char* roleA, const CIMObjectPath& a, const char* roleB, const CIMObjectPath& b,
                          std::vector<std::pair<const char*, CIMValue>> extra) {
  const std::string& host = model.settings().hostName;
  CIMInstance association{CIMName(associationClass.c_str())};
  setProperty(association, roleA, CIMValue(qualified(a, host, nameSpace)));
  setProperty(association, roleB, CIMValue(qualified(b, host, nameSpace)));
  for (auto& property : extra) setProperty(association, property.first, property.second);
  association.setPath(pathFromKeys(association, {roleA, roleB}));
  model.store().put(association);
  return association.getPath();
}

void VendorArrayBuilder::link(const std::string& associationClass, const char* roleA, const CIMObjectPath& a,
                              const char* roleB, const CIMObjectPath& b,
                              std::vector<std::pair<const char*, CIMValue>> extra) {
  linkObjects(model_, profile_.nameSpace, associationClass, roleA, a, roleB, b, std::move(extra));
}

CIMObjectPath VendorArrayBuilder::addService(const std::string& className, const char* name) {
  CIMInstance service{CIMName(className.c_str())};
  setProperty(service, "SystemCreationClassName", CIMValue(String(profile_.system)));
  setProperty(service, "SystemName", CIMValue(String(array_->systemName)));
  setProperty(service, "CreationClassName", CIMValue(String(className)));
  setProperty(service, "Name", CIMValue(name));
  setProperty(service, "ElementName", CIMValue(name));
  CIMObjectPath path = put(service, {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"});
  link(profile_.hostedService, "Antecedent", array_->system, "Dependent", path);
  return path;
}

CIMObjectPath VendorArrayBuilder::addVolume(const std::string& deviceId, const std::string& name,
                                            const std::string& uuid,
                                            const std::pair<std::string, std::string>& system) {
  if (findVolume(name)) throw ModelError("volume " + name + " exists already on " + array_->systemName);
  CIMInstance volume{CIMName(profile_.volume.c_str())};
  const bool ownSystem = system.first.empty();
  setProperty(volume, "SystemCreationClassName", CIMValue(String(ownSystem ? profile_.system : system.first)));
  setProperty(volume, "SystemName", CIMValue(String(ownSystem ? array_->systemName : system.second)));
  setProperty(volume, "CreationClassName", CIMValue(String(profile_.volume)));
  setProperty(volume, "DeviceID", CIMValue(String(deviceId)));
  setProperty(volume, "Name", CIMValue(String(uuid)));
  setProperty(volume, "ElementName", CIMValue(String(name)));
  setProperty(volume, "BlockSize", CIMValue(Uint64(512)));
  setProperty(volume, "NumberOfBlocks", CIMValue(Uint64(2097152)));
  setProperty(volume, "OperationalStatus", CIMValue(Array<Uint16>{2}));
  CIMObjectPath path = put(volume, {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"});
  array_->volumeWwnByName[name] = uuid;
  link(profile_.systemDevice, "GroupComponent", array_->system, "PartComponent", path);
  return path;
}

const CIMInstance* VendorArrayBuilder::findVolume(const std::string& name) const {
  for (const CIMInstance* volume : model_.store().enumerate(profile_.volume))
    if (stringProperty(*volume, "ElementName") == name && array_->volumeWwnByName.count(name) &&
        stringProperty(*volume, "Name") == array_->volumeWwnByName.at(name))
      return volume;
  return nullptr;
}

CIMObjectPath VendorArrayBuilder::addView(const std::string& deviceId, const std::string& elementName,
                                          std::vector<std::pair<const char*, CIMValue>> extra) {
  CIMInstance view{CIMName(profile_.view.c_str())};
  setProperty(view, "SystemCreationClassName", CIMValue(String(profile_.system)));
  setProperty(view, "SystemName", CIMValue(String(array_->systemName)));
  setProperty(view, "CreationClassName", CIMValue(String(profile_.view)));
  setProperty(view, "DeviceID", CIMValue(String(deviceId)));
  setProperty(view, "ElementName", CIMValue(String(elementName)));
  for (auto& property : extra) setProperty(view, property.first, property.second);
  CIMObjectPath path = put(view, {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"});
  link(profile_.systemDevice, "GroupComponent", array_->system, "PartComponent", path);
  return path;
}

CIMObjectPath VendorArrayBuilder::addPrivilege(const CIMObjectPath& view, const std::vector<CIMObjectPath>& subjects) {
  CIMInstance privilege{CIMName(profile_.privilege.c_str())};
  setProperty(privilege, "InstanceID",
              CIMValue(String(array_->systemName + ":privilege:" + std::to_string(nextNumber()))));
  setProperty(privilege, "Activities", CIMValue(Array<Uint16>{5, 6}));
  CIMObjectPath path = put(privilege, {"InstanceID"});
  link(profile_.authorizedTarget, "Privilege", path, "TargetElement", view);
  for (const CIMObjectPath& subject : subjects)
    link(profile_.authorizedSubject, "Privilege", path, "PrivilegedElement", subject);
  return path;
}

void VendorArrayBuilder::expose(const CIMObjectPath& view, const CIMObjectPath& volume, unsigned lun) {
  char number[8];
  std::snprintf(number, sizeof number, "%u", lun);
  link(profile_.viewForUnit, "Antecedent", view, "Dependent", volume, {{"DeviceNumber", CIMValue(String(number))}});
}

const Json& seededList(const Json& item, const char* key) {
  static const Json empty = Json::array();
  return item.has(key) ? item.get(key) : empty;
}

std::vector<SeededHost> seededHosts(const Json& item) {
  std::vector<SeededHost> hosts;
  for (const Json& json : seededList(item, "hosts").items()) {
    SeededHost host;
    host.name = json.getString("name");
    if (host.name.empty()) throw ModelError("a seeded host needs a \"name\"");
    for (const Json& port : seededList(json, "fc").items()) host.fc.push_back(port.asString());
    for (const Json& port : seededList(json, "iscsi").items()) host.iscsi.push_back(port.asString());
    hosts.push_back(host);
  }
  return hosts;
}

void seedVolumes(VendorArrayBuilder& builder, const Json& item,
                 const std::function<void(const Json& volume, const std::string& name, const std::string& uuid)>& add) {
  for (const Json& volume : seededList(item, "volumes").items()) {
    std::string name = volume.getString("name");
    if (name.empty()) throw ModelError("a seeded volume needs a \"name\"");
    char made[40];
    std::snprintf(made, sizeof made, "6005076800%022u", builder.nextNumber());
    add(volume, name, volume.getString("uuid", made));
  }
}

void seedExports(VendorArrayBuilder& builder, const Json& item, const std::map<std::string, CIMObjectPath>& views) {
  unsigned nextLun = 0;
  for (const Json& json : seededList(item, "exports").items()) {
    std::string volumeName = json.getString("volume");
    std::string viewName = json.has("group") ? json.getString("group") : json.getString("host");
    const CIMInstance* volume = builder.findVolume(volumeName);
    auto view = views.find(viewName);
    if (!volume || view == views.end())
      throw ModelError("export of " + volumeName + " to " + viewName + ": volume or host not found");
    unsigned lun = static_cast<unsigned>(json.getUint64("lun", nextLun));
    nextLun = lun + 1;
    builder.expose(view->second, volume->getPath(), lun);
  }
}

void seedVendorArray(Model& model, const VendorProfile& profile, const Json& item) {
  if (!profile.seed) throw ModelError("family " + profile.family + " is seeded as a 3PAR array");
  VendorArrayBuilder builder(model, profile, item.getString("name"));
  profile.seed(builder, item);
}

}  // namespace smissim
