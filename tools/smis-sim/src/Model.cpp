#include "smis-sim/Model.h"

#include <algorithm>
#include <cstdio>

#include "ClassHierarchy.h"
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

std::string StorageArray::prefix() const { return firmware > std::string("3.1.1") ? "HP_3PAR:" : "3PAR:"; }

std::string StorageArray::nameSpace() const { return profile ? profile->nameSpace : kNamespace; }

// ----- settings -----

void Settings::update(const Json& json) {
  jobPolls = static_cast<unsigned>(json.getUint64("jobPolls", jobPolls));
  strictReturnCodes = json.getBool("strictReturnCodes", strictReturnCodes);
  maxSnapshotsPerBase = static_cast<unsigned>(json.getUint64("maxSnapshotsPerBase", maxSnapshotsPerBase));
  maxReadWriteCopiesPerReadOnly =
      static_cast<unsigned>(json.getUint64("maxReadWriteCopiesPerReadOnly", maxReadWriteCopiesPerReadOnly));
  keepPairAfterDetach = json.getBool("keepPairAfterDetach", keepPairAfterDetach);
  jobsVanishWhenDone = json.getBool("jobsVanishWhenDone", jobsVanishWhenDone);
  checkHardwareIdPrefix = json.getBool("checkHardwareIdPrefix", checkHardwareIdPrefix);
  sizeRoundingBytes = json.getUint64("sizeRoundingBytes", sizeRoundingBytes);
  hostName = json.getString("hostName", hostName);
  remoteCopyPolls = static_cast<unsigned>(json.getUint64("remoteCopyPolls", remoteCopyPolls));
  remoteCopyNeverSyncs = json.getBool("remoteCopyNeverSyncs", remoteCopyNeverSyncs);
  singleAccessPoint = json.getBool("singleAccessPoint", singleAccessPoint);
  abstractSyncNames = json.getBool("abstractSyncNames", abstractSyncNames);
}

Json Settings::toJson() const {
  Json json = Json::object();
  json.set("jobPolls", static_cast<std::uint64_t>(jobPolls)).set("strictReturnCodes", strictReturnCodes);
  json.set("maxSnapshotsPerBase", static_cast<std::uint64_t>(maxSnapshotsPerBase));
  json.set("maxReadWriteCopiesPerReadOnly", static_cast<std::uint64_t>(maxReadWriteCopiesPerReadOnly));
  json.set("keepPairAfterDetach", keepPairAfterDetach).set("jobsVanishWhenDone", jobsVanishWhenDone);
  json.set("checkHardwareIdPrefix", checkHardwareIdPrefix).set("sizeRoundingBytes", sizeRoundingBytes);
  json.set("hostName", hostName);
  json.set("remoteCopyPolls", static_cast<std::uint64_t>(remoteCopyPolls))
      .set("remoteCopyNeverSyncs", remoteCopyNeverSyncs)
      .set("singleAccessPoint", singleAccessPoint);
  json.set("abstractSyncNames", abstractSyncNames);
  return json;
}

// ----- arrays -----

Model::Model() = default;

void Model::clear() {
  store_.clear();
  arrays_.clear();
  volumesByWwn_.clear();
  jobs_.clear();
}

std::string Model::nextId(StorageArray& array, const char* kind) {
  // Arrays of other families have no serial: their system name keeps their ids apart.
  if (array.profile) return array.systemName + ":" + kind + ":" + std::to_string(array.nextObjectNumber++);
  return array.prefix() + kind + ":" + array.serial + ":" + std::to_string(array.nextObjectNumber++);
}

std::string Model::newWwn(StorageArray& array) {
  for (;;) {
    char number[32];
    std::snprintf(number, sizeof number, "%018llX", static_cast<unsigned long long>(array.nextVolumeNumber++));
    std::string wwn = "60002AC0" + std::string(number) + upperCase(array.serial);
    if (!volumesByWwn_.count(wwn)) return wwn;
  }
}

CIMInstance Model::systemScoped(const StorageArray& array, const char* className, const std::string& name) {
  CIMInstance instance{CIMName(className)};
  setProperty(instance, "SystemCreationClassName", CIMValue("TPD_StorageSystem"));
  setProperty(instance, "SystemName", CIMValue(String(array.systemName)));
  setProperty(instance, "CreationClassName", CIMValue(className));
  setProperty(instance, "Name", CIMValue(String(name)));
  return instance;
}

CIMObjectPath Model::link(const char* associationClass, const char* roleA, const CIMObjectPath& a, const char* roleB,
                          const CIMObjectPath& b, std::vector<std::pair<const char*, CIMValue>> extra,
                          const std::string& nameSpace) {
  CIMInstance association{CIMName(associationClass)};
  setProperty(association, roleA, CIMValue(qualified(a, settings_.hostName, nameSpace)));
  setProperty(association, roleB, CIMValue(qualified(b, settings_.hostName, nameSpace)));
  for (auto& property : extra) setProperty(association, property.first, property.second);
  association.setPath(pathFromKeys(association, {roleA, roleB}));
  store_.put(association);
  return association.getPath();
}

CIMObjectPath Model::addService(StorageArray& array, const char* className, const char* name) {
  CIMInstance service = systemScoped(array, className, name);
  setProperty(service, "ElementName", CIMValue(name));
  setProperty(service, "EnabledState", CIMValue(Uint16(2)));
  service.setPath(pathFromKeys(service, {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}));
  store_.put(service);
  link("TPD_HostedService", "Antecedent", array.system, "Dependent", service.getPath());
  return service.getPath();
}

StorageArray& Model::addArray(const ArrayConfig& config) {
  if (!isHexSerial(config.serial)) throw ModelError("array serial must be six hex digits: \"" + config.serial + "\"");
  if (arrayBySerial(config.serial)) throw ModelError("array " + config.serial + " exists already");
  arrays_.emplace_back();
  StorageArray& array = arrays_.back();
  array.serial = upperCase(config.serial);
  array.systemName = "2FF70002AC" + array.serial;
  array.firmware = config.firmware;
  array.build = config.build;

  CIMInstance system{CIMName("TPD_StorageSystem")};
  setProperty(system, "CreationClassName", CIMValue("TPD_StorageSystem"));
  setProperty(system, "Name", CIMValue(String(array.systemName)));
  setProperty(system, "ElementName", CIMValue(String("s" + array.serial)));
  setProperty(system, "Caption", CIMValue(String("3PAR InServ " + array.serial)));
  setProperty(system, "SerialNumber", CIMValue(String(array.serial)));
  setProperty(system, "OperationalStatus", uint16Array({2}));
  system.setPath(pathFromKeys(system, {"CreationClassName", "Name"}));
  store_.put(system);
  array.system = system.getPath();

  array.configService = addService(array, "TPD_StorageConfigurationService", "StorageConfigurationService");
  array.controllerService = addService(array, "TPD_ControllerConfigurationService", "ControllerConfigurationService");
  array.hardwareIdService =
      addService(array, "TPD_StorageHardwareIDManagementService", "StorageHardwareIDManagementService");
  array.replicationService = addService(array, "TPD_ReplicationService", "ReplicationService");
  addArrayFixtures(array);
  addRemoteCopyFixtures(array);
  return array;
}

// Objects whose identity depends on the firmware: concrete pool, software identity, copy capabilities.
void Model::addArrayFixtures(StorageArray& array) {
  CIMInstance pool{CIMName("TPD_ConcreteStoragePool")};
  setProperty(pool, "InstanceID", CIMValue(String(array.prefix() + "all-FC:" + array.serial)));
  setProperty(pool, "ElementName", CIMValue("all-FC"));
  setProperty(pool, "PoolID", CIMValue("all-FC"));
  setProperty(pool, "Primordial", CIMValue(false));
  setProperty(pool, "TotalManagedSpace", CIMValue(kPoolCapacity));
  setProperty(pool, "RemainingManagedSpace", CIMValue(kPoolCapacity));
  setProperty(pool, "OperationalStatus", uint16Array({2}));
  pool.setPath(pathFromKeys(pool, {"InstanceID"}));
  store_.put(pool);
  array.concretePool = pool.getPath();
  link("TPD_HostedStoragePool", "GroupComponent", array.system, "PartComponent", pool.getPath());

  // Only one software identity can carry the plain id; a second array on the same provider gets its serial.
  std::string softwareId = array.prefix() + "InForm OS Version";
  CIMInstance software{CIMName("TPD_SoftwareIdentity")};
  setProperty(software, "InstanceID", CIMValue(String(softwareId)));
  if (store_.find(pathFromKeys(software, {"InstanceID"})))
    setProperty(software, "InstanceID", CIMValue(String(softwareId + ":" + array.serial)));
  setProperty(software, "ElementName", CIMValue("InForm OS"));
  setProperty(software, "VersionString", CIMValue(String(array.firmware)));
  setProperty(software, "BuildNumber", CIMValue(array.build));
  setProperty(software, "Manufacturer", CIMValue("3PAR"));
  software.setPath(pathFromKeys(software, {"InstanceID"}));
  store_.put(software);
  array.softwareIdentity = software.getPath();
  link("TPD_ElementSoftwareIdentity", "Antecedent", software.getPath(), "Dependent", array.system);

  std::vector<Uint16> types =
      array.firmware.compare(0, 2, "2.") == 0 ? std::vector<Uint16>{4, 5, 6} : std::vector<Uint16>{5, 6};
  for (Uint16 type : types) {
    CIMInstance capabilities{CIMName("TPD_StorageReplicationCapabilities")};
    setProperty(
        capabilities, "InstanceID",
        CIMValue(String(array.prefix() + "ReplicationCapabilities:" + array.serial + ":" + std::to_string(type))));
    setProperty(capabilities, "SupportedSynchronizationType", CIMValue(type));
    setProperty(capabilities, "ElementName", CIMValue("Replication capabilities"));
    capabilities.setPath(pathFromKeys(capabilities, {"InstanceID"}));
    store_.put(capabilities);
    link("TPD_ElementCapabilities", "ManagedElement", array.replicationService, "Capabilities", capabilities.getPath());
  }
}

void Model::setFirmware(StorageArray& array, const std::string& version, Uint16 build) {
  store_.remove(array.concretePool);
  store_.remove(array.softwareIdentity);
  for (const CIMInstance* capabilities : store_.enumerate("TPD_StorageReplicationCapabilities")) {
    if (identifiedWithArray(*capabilities, array)) {
      CIMObjectPath path = capabilities->getPath();
      store_.remove(path);
    }
  }
  array.firmware = version;
  array.build = build;
  addArrayFixtures(array);
}

StorageArray* Model::arrayBySerial(const std::string& serial) {
  for (StorageArray& array : arrays_)
    if (sameNoCase(array.serial, serial)) return &array;
  return nullptr;
}

StorageArray* Model::arrayBySystemName(const std::string& systemName) {
  for (StorageArray& array : arrays_)
    if (sameNoCase(array.systemName, systemName)) return &array;
  return nullptr;
}

StorageArray* Model::arrayOf(const CIMObjectPath& path) {
  for (const CIMKeyBinding& key : path.getKeyBindings()) {
    std::string name = lowerCase(key.getName().getString().str());
    if (name == "systemname" ||
        (name == "name" && ClassHierarchy::instance().isA(path.getClassName().getString().str(), "CIM_System")))
      return arrayBySystemName(key.getValue().str());
  }
  return nullptr;
}

// ----- pools -----

CIMObjectPath Model::addCpg(StorageArray& array, const std::string& name) {
  requireNewName("CPG", name, findCpg(array, name) != nullptr);
  CIMInstance pool{CIMName("TPD_DynamicStoragePool")};
  setProperty(pool, "InstanceID", CIMValue(String(array.prefix() + "DynamicStoragePool:" + array.serial + ":" + name)));
  setProperty(pool, "ElementName", CIMValue(String(name)));
  setProperty(pool, "PoolID", CIMValue(String(name)));
  setProperty(pool, "UUID", CIMValue(String("CPG-" + array.serial + "-" + std::to_string(array.nextObjectNumber++))));
  setProperty(pool, "Primordial", CIMValue(false));
  setProperty(pool, "TotalManagedSpace", CIMValue(Uint64(0)));
  setProperty(pool, "RemainingManagedSpace", CIMValue(kPoolCapacity));
  setProperty(pool, "SpaceLimit", CIMValue(kPoolCapacity));
  setProperty(pool, "CurrentSpaceConsumed", CIMValue(Uint64(0)));
  setProperty(pool, "UsedSnapAdminSpace", CIMValue(Uint64(0)));
  setProperty(pool, "OperationalStatus", uint16Array({2}));
  pool.setPath(pathFromKeys(pool, {"InstanceID"}));
  store_.put(pool);
  link("TPD_HostedStoragePool", "GroupComponent", array.system, "PartComponent", pool.getPath());

  // The provisioning settings a client names as the Goal of a volume creation. Arrays on one provider share
  // them by CPG name.
  for (const char* kind : {"ThinProvisionedVolumeSetting", "FullyProvisionedVolumeSetting"}) {
    CIMInstance setting{CIMName("TPD_StorageSetting")};
    setProperty(setting, "InstanceID",
                CIMValue(String(std::string("3PAR:") + kind + " from DynamicStoragePool " + name)));
    setProperty(setting, "ElementName", CIMValue(String(std::string(kind) + " " + name)));
    setProperty(setting, "ThinProvisioned", CIMValue(std::string(kind).rfind("Thin", 0) == 0));
    setting.setPath(pathFromKeys(setting, {"InstanceID"}));
    if (!store_.find(setting.getPath())) store_.put(setting);
  }
  return pool.getPath();
}

void Model::adjustPoolSpace(const CIMObjectPath& poolPath, Uint64 bytes, bool allocate) {
  CIMInstance* pool = store_.findMutable(poolPath);
  if (!pool || bytes == 0) return;
  auto change = [&](const char* name, bool grows) {
    Uint64 value = uint64Property(*pool, name);
    setProperty(*pool, name, CIMValue(grows ? value + bytes : (value > bytes ? value - bytes : Uint64(0))));
  };
  change("TotalManagedSpace", allocate);
  change("RemainingManagedSpace", !allocate);
  if (pool->getClassName() == CIMName("TPD_DynamicStoragePool")) change("CurrentSpaceConsumed", allocate);
}

const CIMInstance* Model::findCpg(StorageArray& array, const std::string& name) {
  return findNamed(array, "TPD_DynamicStoragePool", name);
}

const CIMInstance* Model::findNamed(const StorageArray& array, const char* className, const std::string& name) const {
  for (const CIMInstance* instance : store_.enumerate(className))
    if (String::equalNoCase(String(stringProperty(*instance, "ElementName")), String(name)) &&
        identifiedWithArray(*instance, array))
      return instance;
  return nullptr;
}

std::optional<InstanceStore::Link> Model::firstLinkOf(const CIMObjectPath& path, const char* associationClass) const {
  for (const auto& link : store_.linksOf(path))
    if (link.association->getClassName() == CIMName(associationClass)) return link;
  return std::nullopt;
}

std::optional<CIMObjectPath> Model::antecedentOf(const CIMObjectPath& dependent, const char* associationClass) const {
  for (const auto& link : store_.linksOf(dependent))
    if (link.role == "Dependent" &&
        ClassHierarchy::instance().isA(link.association->getClassName().getString().str(), associationClass))
      return link.other;
  return std::nullopt;
}

CIMObjectPath Model::poolOf(const CIMObjectPath& volume) const {
  return antecedentOf(volume, "CIM_AllocatedFromStoragePool").value_or(CIMObjectPath());
}

CIMObjectPath Model::deltaPoolFor(StorageArray& array, const CIMInstance& baseVolume) {
  if (const auto existing = firstLinkOf(baseVolume.getPath(), "TPD_ReplicaPoolForStorage")) return existing->other;
  std::string wwn = stringProperty(baseVolume, "Name");
  CIMInstance pool{CIMName("TPD_DeltaReplicaStoragePool")};
  setProperty(pool, "InstanceID", CIMValue(String(array.prefix() + "DeltaReplicaStoragePool:" + wwn)));
  setProperty(pool, "ElementName", CIMValue(String(stringProperty(baseVolume, "ElementName") + " snapshot space")));
  setProperty(pool, "Primordial", CIMValue(false));
  setProperty(pool, "TotalManagedSpace", CIMValue(Uint64(0)));
  setProperty(pool, "OperationalStatus", uint16Array({2}));
  pool.setPath(pathFromKeys(pool, {"InstanceID"}));
  store_.put(pool);
  link("TPD_ReplicaPoolForStorage", "Antecedent", pool.getPath(), "Dependent", baseVolume.getPath());
  CIMObjectPath snapCpg = poolOf(baseVolume.getPath());
  if (!snapCpg.getClassName().isNull())
    link("TPD_AllocatedFromStoragePool", "Antecedent", snapCpg, "Dependent", pool.getPath());
  return pool.getPath();
}

}  // namespace smissim
