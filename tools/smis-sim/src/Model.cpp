#include "smis-sim/Model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "ClassHierarchy.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

namespace {

constexpr Uint64 kBlockSize = 512;
constexpr Uint64 kPoolCapacity = Uint64(1) << 50;   // 1 PiB: a CPG without a growth limit

bool isHexSerial(const std::string& serial)
{
    return serial.size() == 6 &&
           std::all_of(serial.begin(), serial.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string upperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

CIMValue uint16Array(std::initializer_list<Uint16> values)
{
    Array<Uint16> array;
    for (Uint16 v : values)
        array.append(v);
    return CIMValue(array);
}

// Initiator ports compare without colons and ignoring case.
std::string normalizedPort(const std::string& port)
{
    std::string out;
    for (char c : port)
        if (c != ':')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string StorageArray::prefix() const
{
    return firmware > std::string("3.1.1") ? "HP_3PAR:" : "3PAR:";
}

// ----- settings -----

void Settings::update(const Json& json)
{
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
}

Json Settings::toJson() const
{
    Json json = Json::object();
    json.set("jobPolls", static_cast<std::uint64_t>(jobPolls)).set("strictReturnCodes", strictReturnCodes);
    json.set("maxSnapshotsPerBase", static_cast<std::uint64_t>(maxSnapshotsPerBase));
    json.set("maxReadWriteCopiesPerReadOnly", static_cast<std::uint64_t>(maxReadWriteCopiesPerReadOnly));
    json.set("keepPairAfterDetach", keepPairAfterDetach).set("jobsVanishWhenDone", jobsVanishWhenDone);
    json.set("checkHardwareIdPrefix", checkHardwareIdPrefix).set("sizeRoundingBytes", sizeRoundingBytes);
    json.set("hostName", hostName);
    return json;
}

// ----- arrays -----

Model::Model() = default;

void Model::clear()
{
    store_.clear();
    arrays_.clear();
    volumesByWwn_.clear();
    jobs_.clear();
}

std::string Model::nextId(StorageArray& array, const char* kind)
{
    return array.prefix() + kind + ":" + array.serial + ":" + std::to_string(array.nextObjectNumber++);
}

std::string Model::newWwn(StorageArray& array)
{
    for (;;) {
        char number[32];
        std::snprintf(number, sizeof number, "%018llX",
                      static_cast<unsigned long long>(array.nextVolumeNumber++));
        std::string wwn = "60002AC0" + std::string(number) + upperCase(array.serial);
        if (!volumesByWwn_.count(wwn))
            return wwn;
    }
}

CIMInstance Model::systemScoped(const StorageArray& array, const char* className, const std::string& name)
{
    CIMInstance instance{CIMName(className)};
    setProperty(instance, "SystemCreationClassName", CIMValue("TPD_StorageSystem"));
    setProperty(instance, "SystemName", CIMValue(String(array.systemName)));
    setProperty(instance, "CreationClassName", CIMValue(className));
    setProperty(instance, "Name", CIMValue(String(name)));
    return instance;
}

void Model::link(const char* associationClass, const char* roleA, const CIMObjectPath& a, const char* roleB,
                 const CIMObjectPath& b, std::vector<std::pair<const char*, CIMValue>> extra)
{
    CIMInstance association{CIMName(associationClass)};
    setProperty(association, roleA, CIMValue(qualified(a, settings_.hostName, kNamespace)));
    setProperty(association, roleB, CIMValue(qualified(b, settings_.hostName, kNamespace)));
    for (auto& property : extra)
        setProperty(association, property.first, property.second);
    association.setPath(pathFromKeys(association, {roleA, roleB}));
    store_.put(association);
}

CIMObjectPath Model::addService(StorageArray& array, const char* className, const char* name)
{
    CIMInstance service = systemScoped(array, className, name);
    setProperty(service, "ElementName", CIMValue(name));
    setProperty(service, "EnabledState", CIMValue(Uint16(2)));
    service.setPath(pathFromKeys(service, {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}));
    store_.put(service);
    link("TPD_HostedService", "Antecedent", array.system, "Dependent", service.getPath());
    return service.getPath();
}

StorageArray& Model::addArray(const ArrayConfig& config)
{
    if (!isHexSerial(config.serial))
        throw ModelError("array serial must be six hex digits: \"" + config.serial + "\"");
    if (arrayBySerial(config.serial))
        throw ModelError("array " + config.serial + " exists already");
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
    array.controllerService =
        addService(array, "TPD_ControllerConfigurationService", "ControllerConfigurationService");
    array.hardwareIdService =
        addService(array, "TPD_StorageHardwareIDManagementService", "StorageHardwareIDManagementService");
    array.replicationService = addService(array, "TPD_ReplicationService", "ReplicationService");
    addArrayFixtures(array);
    return array;
}

// Objects whose identity depends on the firmware: concrete pool, software identity, copy capabilities.
void Model::addArrayFixtures(StorageArray& array)
{
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

    std::vector<Uint16> types = array.firmware.compare(0, 2, "2.") == 0 ? std::vector<Uint16>{4, 5, 6}
                                                                         : std::vector<Uint16>{5, 6};
    for (Uint16 type : types) {
        CIMInstance capabilities{CIMName("TPD_StorageReplicationCapabilities")};
        setProperty(capabilities, "InstanceID",
                    CIMValue(String(array.prefix() + "ReplicationCapabilities:" + array.serial + ":" +
                                    std::to_string(type))));
        setProperty(capabilities, "SupportedSynchronizationType", CIMValue(type));
        setProperty(capabilities, "ElementName", CIMValue("Replication capabilities"));
        capabilities.setPath(pathFromKeys(capabilities, {"InstanceID"}));
        store_.put(capabilities);
        link("TPD_ElementCapabilities", "ManagedElement", array.replicationService, "Capabilities",
             capabilities.getPath());
    }
}

void Model::setFirmware(StorageArray& array, const std::string& version, Uint16 build)
{
    store_.remove(array.concretePool);
    store_.remove(array.softwareIdentity);
    for (const CIMInstance* capabilities : store_.enumerate("TPD_StorageReplicationCapabilities")) {
        if (stringProperty(*capabilities, "InstanceID").find(":" + array.serial + ":") != std::string::npos) {
            CIMObjectPath path = capabilities->getPath();
            store_.remove(path);
        }
    }
    array.firmware = version;
    array.build = build;
    addArrayFixtures(array);
}

StorageArray* Model::arrayBySerial(const std::string& serial)
{
    for (StorageArray& array : arrays_)
        if (lowerCase(array.serial) == lowerCase(serial))
            return &array;
    return nullptr;
}

StorageArray* Model::arrayBySystemName(const std::string& systemName)
{
    for (StorageArray& array : arrays_)
        if (lowerCase(array.systemName) == lowerCase(systemName))
            return &array;
    return nullptr;
}

StorageArray* Model::arrayOf(const CIMObjectPath& path)
{
    for (const CIMKeyBinding& key : path.getKeyBindings()) {
        std::string name = lowerCase(key.getName().getString().str());
        if (name == "systemname" || (name == "name" && ClassHierarchy::instance().isA(
                                                           path.getClassName().getString().str(), "CIM_System")))
            return arrayBySystemName(key.getValue().str());
    }
    return nullptr;
}

// ----- pools -----

CIMObjectPath Model::addCpg(StorageArray& array, const std::string& name)
{
    if (name.empty() || name.size() > 31)
        throw ModelError("CPG name must have 1 to 31 characters: \"" + name + "\"");
    if (findCpg(array, name))
        throw ModelError("CPG " + name + " exists already");
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
        if (!store_.find(setting.getPath()))
            store_.put(setting);
    }
    return pool.getPath();
}

void Model::adjustPoolSpace(const CIMObjectPath& poolPath, Uint64 bytes, bool allocate)
{
    CIMInstance* pool = store_.findMutable(poolPath);
    if (!pool || bytes == 0)
        return;
    auto change = [&](const char* name, bool grows) {
        Uint64 value = uint64Property(*pool, name);
        setProperty(*pool, name, CIMValue(grows ? value + bytes : (value > bytes ? value - bytes : Uint64(0))));
    };
    change("TotalManagedSpace", allocate);
    change("RemainingManagedSpace", !allocate);
    if (pool->getClassName() == CIMName("TPD_DynamicStoragePool"))
        change("CurrentSpaceConsumed", allocate);
}

const CIMInstance* Model::findCpg(StorageArray& array, const std::string& name)
{
    for (const CIMInstance* pool : store_.enumerate("TPD_DynamicStoragePool"))
        if (String::equalNoCase(String(stringProperty(*pool, "ElementName")), String(name)) &&
            stringProperty(*pool, "InstanceID").find(":" + array.serial + ":") != std::string::npos)
            return pool;
    return nullptr;
}

CIMObjectPath Model::poolOf(const CIMObjectPath& volume) const
{
    for (const auto& link : store_.linksOf(volume))
        if (link.role == "Dependent" &&
            ClassHierarchy::instance().isA(link.association->getClassName().getString().str(),
                                           "CIM_AllocatedFromStoragePool"))
            return link.other;
    return CIMObjectPath();
}

CIMObjectPath Model::deltaPoolFor(StorageArray& array, const CIMInstance& baseVolume)
{
    for (const auto& link : store_.linksOf(baseVolume.getPath()))
        if (link.association->getClassName() == CIMName("TPD_ReplicaPoolForStorage"))
            return link.other;
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

// ----- volumes -----

CIMObjectPath Model::addVolume(StorageArray& array, const VolumeSpec& spec)
{
    return createVolume(array, spec, true);
}

CIMObjectPath Model::createVolume(StorageArray& array, const VolumeSpec& spec, bool roundSize)
{
    if (spec.name.empty() || spec.name.size() > 31)
        throw ModelError("volume name must have 1 to 31 characters: \"" + spec.name + "\"");
    if (array.volumeWwnByName.count(spec.name))
        throw ModelError("volume " + spec.name + " exists already");
    CIMObjectPath pool = array.concretePool;
    if (!spec.cpg.empty()) {
        const CIMInstance* cpg = findCpg(array, spec.cpg);
        if (!cpg)
            throw ModelError("no CPG " + spec.cpg + " on array " + array.serial);
        pool = cpg->getPath();
    } else if (spec.thin) {
        throw ModelError("a thin volume needs a CPG");
    }
    std::string wwn = spec.wwn.empty() ? newWwn(array) : upperCase(spec.wwn);
    if (volumesByWwn_.count(wwn))
        throw ModelError("WWN " + wwn + " is in use");
    Uint64 size = spec.sizeBytes;
    if (roundSize && settings_.sizeRoundingBytes > 0)
        size = (size + settings_.sizeRoundingBytes - 1) / settings_.sizeRoundingBytes * settings_.sizeRoundingBytes;
    Uint64 blocks = (size + kBlockSize - 1) / kBlockSize;

    CIMInstance volume{CIMName("TPD_StorageVolume")};
    setProperty(volume, "SystemCreationClassName", CIMValue("TPD_StorageSystem"));
    setProperty(volume, "SystemName", CIMValue(String(array.systemName)));
    setProperty(volume, "CreationClassName", CIMValue("TPD_StorageVolume"));
    setProperty(volume, "DeviceID", CIMValue(String(wwn)));
    setProperty(volume, "Name", CIMValue(String(wwn)));
    setProperty(volume, "ElementName", CIMValue(String(spec.name)));
    setProperty(volume, "Caption", CIMValue(String(spec.name)));
    setProperty(volume, "BlockSize", CIMValue(kBlockSize));
    setProperty(volume, "NumberOfBlocks", CIMValue(blocks));
    setProperty(volume, "ConsumableBlocks", CIMValue(blocks));
    setProperty(volume, "ProvisionedConsumableBlocks", CIMValue(spec.thin ? Uint64(0) : blocks));
    setProperty(volume, "ThinlyProvisioned", CIMValue(spec.thin));
    setProperty(volume, "UserDSPName", CIMValue(String(spec.cpg)));
    setProperty(volume, "VolumeType", CIMValue(Uint16(1)));
    setProperty(volume, "Access", CIMValue(Uint16(3)));
    setProperty(volume, "NameFormat", CIMValue(Uint16(2)));
    setProperty(volume, "OperationalStatus", uint16Array({2}));
    volume.setPath(pathFromKeys(volume, {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"}));
    store_.put(volume);
    Uint64 consumed = spec.thin ? Uint64(0) : blocks * kBlockSize;
    link("TPD_AllocatedFromStoragePool", "Antecedent", pool, "Dependent", volume.getPath(),
         {{"SpaceConsumed", CIMValue(consumed)}});
    adjustPoolSpace(pool, consumed, true);
    link("TPD_SystemDevice", "GroupComponent", array.system, "PartComponent", volume.getPath());
    array.volumeWwnByName[spec.name] = wwn;
    volumesByWwn_[wwn] = volume.getPath();
    return volume.getPath();
}

const CIMInstance* Model::findVolumeByName(StorageArray& array, const std::string& name)
{
    auto it = array.volumeWwnByName.find(name);
    return it == array.volumeWwnByName.end() ? nullptr : findVolumeByWwn(it->second);
}

const CIMInstance* Model::findVolumeByWwn(const std::string& wwn) const
{
    auto it = volumesByWwn_.find(upperCase(wwn));
    return it == volumesByWwn_.end() ? nullptr : store_.find(it->second);
}

CIMObjectPath Model::volumePath(const std::string& wwn) const
{
    auto it = volumesByWwn_.find(upperCase(wwn));
    return it == volumesByWwn_.end() ? CIMObjectPath() : it->second;
}

void Model::removeVolume(StorageArray& array, const CIMObjectPath& volumePath)
{
    const CIMInstance* volume = store_.find(volumePath);
    if (!volume)
        return;
    std::string wwn = stringProperty(*volume, "Name");
    array.volumeWwnByName.erase(stringProperty(*volume, "ElementName"));
    CIMObjectPath path = volume->getPath();
    for (const auto& link : store_.linksOf(path))
        if (link.association->getClassName() == CIMName("TPD_AllocatedFromStoragePool") &&
            link.role == "Dependent")
            adjustPoolSpace(link.other, uint64Property(*link.association, "SpaceConsumed"), false);
    for (const auto& link : store_.linksOf(path))
        if (link.association->getClassName() == CIMName("TPD_ReplicaPoolForStorage")) {
            CIMObjectPath deltaPool = link.other;
            store_.remove(deltaPool);
            break;
        }
    store_.remove(path);
    volumesByWwn_.erase(wwn);
}

std::vector<const CIMInstance*> Model::synchronizations(const CIMObjectPath& volume, bool asSource) const
{
    std::vector<const CIMInstance*> result;
    for (const auto& link : store_.linksOf(volume))
        if (ClassHierarchy::instance().isA(link.association->getClassName().getString().str(),
                                           "CIM_StorageSynchronized") &&
            (link.role == "SystemElement") == asSource)
            result.push_back(link.association);
    return result;
}

CIMObjectPath Model::addSynchronization(const CIMObjectPath& source, const CIMObjectPath& target, Uint16 copyType,
                                        Uint16 replicaType, Uint16 syncState)
{
    link("TPD_StorageSynchronized", "SystemElement", source, "SyncedElement", target,
         {{"CopyType", CIMValue(copyType)},
          {"ReplicaType", CIMValue(replicaType)},
          {"SyncState", CIMValue(syncState)},
          {"SyncMaintained", CIMValue(false)}});
    CIMInstance probe{CIMName("TPD_StorageSynchronized")};
    setProperty(probe, "SystemElement", CIMValue(qualified(source, settings_.hostName, kNamespace)));
    setProperty(probe, "SyncedElement", CIMValue(qualified(target, settings_.hostName, kNamespace)));
    return pathFromKeys(probe, {"SystemElement", "SyncedElement"});
}

CIMObjectPath Model::familyBase(const CIMObjectPath& volume) const
{
    CIMObjectPath current = volume;
    for (int depth = 0; depth < 1000; ++depth) {
        CIMObjectPath parent;
        for (const CIMInstance* sync : synchronizations(current, false))
            if (uint16Property(*sync, "ReplicaType") == 4)
                parent = referenceProperty(*sync, "SystemElement");
        if (parent.getClassName().isNull())
            break;
        current = parent;
    }
    return current;
}

unsigned Model::familyCopyCount(const CIMObjectPath& base) const
{
    unsigned count = 0;
    std::vector<CIMObjectPath> pending{base};
    while (!pending.empty()) {
        CIMObjectPath current = pending.back();
        pending.pop_back();
        for (const CIMInstance* sync : synchronizations(current, true)) {
            if (uint16Property(*sync, "ReplicaType") != 4)
                continue;
            ++count;
            pending.push_back(referenceProperty(*sync, "SyncedElement"));
        }
    }
    return count;
}

CIMObjectPath Model::addVirtualCopy(StorageArray& array, const CIMInstance& source, const std::string& name)
{
    CIMObjectPath base = familyBase(source.getPath());
    const CIMInstance* baseVolume = store_.find(base);
    CIMObjectPath deltaPool = deltaPoolFor(array, baseVolume ? *baseVolume : source);
    bool sourceReadOnly = uint16Property(source, "Access", 3) == 1;

    VolumeSpec spec;
    spec.name = name;
    spec.cpg = stringProperty(source, "UserDSPName");
    if (spec.cpg.empty() || !findCpg(array, spec.cpg))
        spec.cpg.clear();
    spec.sizeBytes = uint64Property(source, "NumberOfBlocks") * kBlockSize;
    spec.thin = !spec.cpg.empty();
    CIMObjectPath copyPath = createVolume(array, spec, false);

    CIMInstance* copy = store_.findMutable(copyPath);
    setProperty(*copy, "VolumeType", CIMValue(Uint16(2)));
    setProperty(*copy, "Access", CIMValue(Uint16(sourceReadOnly ? 3 : 1)));
    setProperty(*copy, "ThinlyProvisioned", CIMValue(true));
    setProperty(*copy, "ProvisionedConsumableBlocks", CIMValue(Uint64(0)));
    // A copy is allocated from its family's snapshot space, not from the CPG.
    for (const auto& link : store_.linksOf(copyPath))
        if (link.association->getClassName() == CIMName("TPD_AllocatedFromStoragePool")) {
            CIMObjectPath allocation = link.association->getPath();
            store_.remove(allocation);
            break;
        }
    link("TPD_AllocatedFromStoragePool", "Antecedent", deltaPool, "Dependent", copyPath,
         {{"SpaceConsumed", CIMValue(Uint64(0))}});
    addSynchronization(source.getPath(), copyPath, 4, 4, 11);
    return copyPath;
}

bool Model::isExposed(const CIMObjectPath& volume) const
{
    for (const auto& link : store_.linksOf(volume))
        if (link.role == "Dependent" &&
            ClassHierarchy::instance().isA(link.association->getClassName().getString().str(),
                                           "CIM_ProtocolControllerForUnit"))
            return true;
    return false;
}

// ----- hosts, hardware IDs, views -----

CIMObjectPath Model::addHost(StorageArray& array, const std::string& name)
{
    if (name.empty() || name.size() > 31)
        throw ModelError("host name must have 1 to 31 characters: \"" + name + "\"");
    if (findHost(array, name))
        throw ModelError("host " + name + " exists already");
    CIMInstance host{CIMName("TPD_StorageHardwareIDCollection")};
    setProperty(host, "InstanceID", CIMValue(String(nextId(array, "HostCollection"))));
    setProperty(host, "ElementName", CIMValue(String(name)));
    host.setPath(pathFromKeys(host, {"InstanceID"}));
    store_.put(host);
    return host.getPath();
}

const CIMInstance* Model::findHost(StorageArray& array, const std::string& name)
{
    for (const CIMInstance* host : store_.enumerate("TPD_StorageHardwareIDCollection"))
        if (String::equalNoCase(String(stringProperty(*host, "ElementName")), String(name)) &&
            stringProperty(*host, "InstanceID").find(":" + array.serial + ":") != std::string::npos)
            return host;
    return nullptr;
}

const CIMInstance* Model::findHardwareId(StorageArray& array, const std::string& port)
{
    std::string wanted = normalizedPort(port);
    for (const CIMInstance* id : store_.enumerate("TPD_StorageHardwareID"))
        if (normalizedPort(stringProperty(*id, "StorageID")) == wanted &&
            stringProperty(*id, "SystemName", array.systemName) == array.systemName)
            return id;
    return nullptr;
}

CIMObjectPath Model::addHardwareIdToHost(StorageArray& array, const CIMObjectPath& hostPath, bool iscsi,
                                         const std::string& port)
{
    const CIMInstance* host = store_.find(hostPath);
    if (!host)
        throw ModelError("no such host");
    std::string hostName = stringProperty(*host, "ElementName");
    CIMObjectPath idPath;
    if (const CIMInstance* existing = findHardwareId(array, port)) {
        std::string owner = stringProperty(*existing, "ElementName");
        if (!owner.empty() && owner != hostName)
            throw ModelError("port " + port + " belongs to host " + owner);
        idPath = existing->getPath();
    } else {
        std::string storageId = iscsi ? port : normalizedPort(port);
        CIMInstance id{CIMName("TPD_StorageHardwareID")};
        setProperty(id, "InstanceID",
                    CIMValue(String(array.prefix() + (iscsi ? "iSCSI-" : "FC-") + storageId)));
        setProperty(id, "StorageID", CIMValue(String(storageId)));
        setProperty(id, "IDType", CIMValue(Uint16(iscsi ? 5 : 2)));
        setProperty(id, "SystemName", CIMValue(String(array.systemName)));
        id.setPath(pathFromKeys(id, {"InstanceID"}));
        store_.put(id);
        idPath = id.getPath();
    }
    CIMInstance* id = store_.findMutable(idPath);
    setProperty(*id, "ElementName", CIMValue(String(hostName)));
    link("TPD_MemberOfCollection", "Collection", hostPath, "Member", idPath);
    CIMObjectPath view = viewOf(hostPath);
    if (!view.getClassName().isNull())
        link("TPD_AuthorizedSubject", "Privilege", privilegeOf(view), "PrivilegedElement", idPath);
    return idPath;
}

CIMObjectPath Model::viewOf(const CIMObjectPath& host) const
{
    for (const auto& subject : store_.linksOf(host)) {
        if (subject.association->getClassName() != CIMName("TPD_AuthorizedSubject"))
            continue;
        for (const auto& target : store_.linksOf(subject.other))
            if (target.association->getClassName() == CIMName("TPD_AuthorizedTarget"))
                return target.other;
    }
    return CIMObjectPath();
}

CIMObjectPath Model::privilegeOf(const CIMObjectPath& view) const
{
    for (const auto& link : store_.linksOf(view))
        if (link.association->getClassName() == CIMName("TPD_AuthorizedTarget"))
            return link.other;
    return CIMObjectPath();
}

CIMObjectPath Model::hostOfView(const CIMObjectPath& view) const
{
    CIMObjectPath privilege = privilegeOf(view);
    for (const auto& link : store_.linksOf(privilege))
        if (link.association->getClassName() == CIMName("TPD_AuthorizedSubject") &&
            link.other.getClassName() == CIMName("TPD_StorageHardwareIDCollection"))
            return link.other;
    return CIMObjectPath();
}

bool Model::lunInUse(const CIMObjectPath& view, unsigned lun) const
{
    for (const auto& link : store_.linksOf(view))
        if (link.association->getClassName() == CIMName("TPD_ControllerForUnit") &&
            stringProperty(*link.association, "DeviceNumber") == std::to_string(lun))
            return true;
    return false;
}

bool Model::viewHoldsVolume(const CIMObjectPath& view, const CIMObjectPath& volume) const
{
    std::string wanted = identityOf(volume);
    for (const auto& link : store_.linksOf(view))
        if (link.association->getClassName() == CIMName("TPD_ControllerForUnit") && identityOf(link.other) == wanted)
            return true;
    return false;
}

unsigned Model::expose(StorageArray& array, const CIMObjectPath& hostPath, const CIMObjectPath& volume, int lun,
                       Uint16 access)
{
    const CIMInstance* host = store_.find(hostPath);
    if (!host)
        throw ModelError("no such host");
    CIMObjectPath view = viewOf(hostPath);
    if (view.getClassName().isNull()) {
        std::string hostName = stringProperty(*host, "ElementName");
        CIMInstance controller{CIMName("TPD_SCSIController")};
        setProperty(controller, "SystemCreationClassName", CIMValue("TPD_StorageSystem"));
        setProperty(controller, "SystemName", CIMValue(String(array.systemName)));
        setProperty(controller, "CreationClassName", CIMValue("TPD_SCSIController"));
        setProperty(controller, "DeviceID", CIMValue(String(nextId(array, "SPC"))));
        setProperty(controller, "ElementName", CIMValue(String(hostName)));
        setProperty(controller, "OperationalStatus", uint16Array({2}));
        controller.setPath(
            pathFromKeys(controller, {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"}));
        store_.put(controller);
        view = controller.getPath();
        link("TPD_SystemDevice", "GroupComponent", array.system, "PartComponent", view);

        CIMInstance privilege{CIMName("TPD_AuthorizedPrivilege")};
        setProperty(privilege, "InstanceID", CIMValue(String(nextId(array, "Privilege"))));
        setProperty(privilege, "ElementName", CIMValue(String(hostName)));
        setProperty(privilege, "PrivilegeGranted", CIMValue(true));
        setProperty(privilege, "Activities", uint16Array({5, 6}));
        privilege.setPath(pathFromKeys(privilege, {"InstanceID"}));
        store_.put(privilege);
        link("TPD_AuthorizedTarget", "Privilege", privilege.getPath(), "TargetElement", view);
        link("TPD_AuthorizedSubject", "Privilege", privilege.getPath(), "PrivilegedElement", hostPath);
        for (const auto& member : store_.linksOf(hostPath))
            if (member.association->getClassName() == CIMName("TPD_MemberOfCollection"))
                link("TPD_AuthorizedSubject", "Privilege", privilege.getPath(), "PrivilegedElement", member.other);
    }
    unsigned chosen = 0;
    if (lun >= 0) {
        chosen = static_cast<unsigned>(lun);
    } else {
        while (lunInUse(view, chosen))
            ++chosen;
    }
    link("TPD_ControllerForUnit", "Antecedent", view, "Dependent", volume,
         {{"DeviceNumber", CIMValue(String(std::to_string(chosen)))}, {"DeviceAccess", CIMValue(access)}});
    return chosen;
}

void Model::hide(const CIMObjectPath& view, const CIMObjectPath& volume)
{
    std::string wanted = identityOf(volume);
    for (const auto& link : store_.linksOf(view)) {
        if (link.association->getClassName() == CIMName("TPD_ControllerForUnit") && identityOf(link.other) == wanted) {
            CIMObjectPath unit = link.association->getPath();
            store_.remove(unit);
            break;
        }
    }
    for (const auto& link : store_.linksOf(view))
        if (link.association->getClassName() == CIMName("TPD_ControllerForUnit"))
            return;
    CIMObjectPath privilege = privilegeOf(view);
    store_.remove(privilege);
    store_.remove(view);
}

std::vector<ExposedLun> Model::exposedTo(const std::vector<std::string>& initiatorPorts) const
{
    std::vector<ExposedLun> result;
    std::vector<std::string> seenViews;
    for (const std::string& port : initiatorPorts) {
        std::string wanted = normalizedPort(port);
        for (const CIMInstance* id : store_.enumerate("TPD_StorageHardwareID")) {
            if (normalizedPort(stringProperty(*id, "StorageID")) != wanted)
                continue;
            for (const auto& member : store_.linksOf(id->getPath())) {
                if (member.association->getClassName() != CIMName("TPD_MemberOfCollection"))
                    continue;
                CIMObjectPath view = viewOf(member.other);
                if (view.getClassName().isNull())
                    continue;
                std::string viewId = identityOf(view);
                if (std::find(seenViews.begin(), seenViews.end(), viewId) != seenViews.end())
                    continue;
                seenViews.push_back(viewId);
                const CIMInstance* controller = store_.find(view);
                for (const auto& unit : store_.linksOf(view)) {
                    if (unit.association->getClassName() != CIMName("TPD_ControllerForUnit"))
                        continue;
                    const CIMInstance* volume = store_.find(unit.other);
                    if (!volume)
                        continue;
                    ExposedLun lun;
                    lun.array = stringProperty(*volume, "SystemName");
                    lun.host = controller ? stringProperty(*controller, "ElementName") : "";
                    lun.volume = stringProperty(*volume, "ElementName");
                    lun.wwn = stringProperty(*volume, "Name");
                    lun.lun = static_cast<unsigned>(std::stoul("0" + stringProperty(*unit.association, "DeviceNumber")));
                    lun.access = uint16Property(*unit.association, "DeviceAccess", 2);
                    result.push_back(lun);
                }
            }
        }
    }
    std::sort(result.begin(), result.end(), [](const ExposedLun& a, const ExposedLun& b) {
        return a.host != b.host ? a.host < b.host : a.lun < b.lun;
    });
    return result;
}

// ----- jobs -----

CIMObjectPath Model::startJob(StorageArray& array, const std::string& method, const JobPlan& plan,
                              const std::vector<CIMObjectPath>& affected, std::function<void(Model&, bool)> onEnd)
{
    std::string id = nextId(array, "Job");
    CIMInstance job{CIMName("TPD_ConcreteJob")};
    setProperty(job, "InstanceID", CIMValue(String(id)));
    setProperty(job, "Name", CIMValue(String(method)));
    setProperty(job, "ElementName", CIMValue(String(method)));
    setProperty(job, "JobState", CIMValue(Uint16(4)));
    setProperty(job, "JobStatus", CIMValue("Running"));
    setProperty(job, "PercentComplete", CIMValue(Uint16(0)));
    setProperty(job, "OperationalStatus", uint16Array({2}));
    setProperty(job, "DeleteOnCompletion", CIMValue(false));
    job.setPath(pathFromKeys(job, {"InstanceID"}));
    store_.put(job);
    link("TPD_OwningJobElement", "OwningElement", array.configService, "OwnedElement", job.getPath());
    for (const CIMObjectPath& element : affected)
        link("TPD_AffectedJobElement", "AffectedElement", element, "AffectingElement", job.getPath());
    jobs_[id] = JobRun{plan, 0, false, std::move(onEnd)};
    return job.getPath();
}

bool Model::isJob(const CIMObjectPath& path) const
{
    const CIMInstance* instance = store_.find(path);
    return instance && ClassHierarchy::instance().isA(instance->getClassName().getString().str(), "CIM_ConcreteJob");
}

bool Model::removeJob(const CIMObjectPath& job)
{
    const CIMInstance* instance = store_.find(job);
    if (!instance)
        return false;
    jobs_.erase(stringProperty(*instance, "InstanceID"));
    CIMObjectPath path = instance->getPath();
    return store_.remove(path);
}

bool Model::pollJob(const CIMObjectPath& jobPath)
{
    CIMInstance* job = store_.findMutable(jobPath);
    if (!job)
        return false;
    auto run = jobs_.find(stringProperty(*job, "InstanceID"));
    if (run == jobs_.end())
        return true;
    JobRun& state = run->second;
    if (state.ended) {
        if (settings_.jobsVanishWhenDone) {
            removeJob(jobPath);
            return false;
        }
        return true;
    }
    if (state.plan.neverEnds || state.polled < state.plan.polls) {
        ++state.polled;
        unsigned span = state.plan.neverEnds ? state.polled + 1 : state.plan.polls + 1;
        setProperty(*job, "PercentComplete", CIMValue(Uint16(std::min(99u, 100 * state.polled / span))));
        return true;
    }
    state.ended = true;
    bool succeeded = state.plan.finalState == 7;
    setProperty(*job, "JobState", CIMValue(state.plan.finalState));
    setProperty(*job, "PercentComplete", CIMValue(Uint16(succeeded ? 100 : state.polled)));
    setProperty(*job, "JobStatus", CIMValue(succeeded ? "Completed" : "Failed"));
    if (!succeeded) {
        setProperty(*job, "Status", CIMValue("Error"));
        setProperty(*job, "OperationalStatus", uint16Array({6}));
        Array<String> descriptions;
        descriptions.append("Operation has failed");
        setProperty(*job, "StatusDescriptions", CIMValue(descriptions));
        setProperty(*job, "ErrorDescription", CIMValue("Operation has failed"));
    }
    auto onEnd = std::move(state.onEnd);
    bool vanishes = state.plan.vanishes;
    if (onEnd)
        onEnd(*this, succeeded);
    if (vanishes) {
        removeJob(jobPath);
        return false;
    }
    return true;
}

}  // namespace smissim
