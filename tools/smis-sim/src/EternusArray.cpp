#include "EternusArray.h"

#include <algorithm>
#include <cstdio>

#include "ClassHierarchy.h"
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "VendorArrayBuilder.h"

using namespace Pegasus;

namespace smissim {

namespace {

const char* purposeOf(EternusVolumeType type) {
  switch (type) {
    case EternusVolumeType::kSdv:
      return "SDV+0x03";
    case EternusVolumeType::kTpv:
      return "TPV+0x06";
    case EternusVolumeType::kStandard:
      break;
  }
  return "Standard+0x00";
}

bool omitted(const EternusVolumeSpec& spec, const char* property) {
  return std::any_of(spec.omit.begin(), spec.omit.end(),
                     [&](const std::string& name) { return sameNoCase(name, property); });
}

}  // namespace

EternusArray::EternusArray(Model& model, StorageArray& array)
    : model_(model), array_(array), profile_(*array.profile) {}

CIMObjectPath EternusArray::put(CIMInstance& instance, std::initializer_list<const char*> keys) {
  instance.setPath(pathFromKeys(instance, keys));
  model_.store().put(instance);
  return instance.getPath();
}

CIMObjectPath EternusArray::addPool(const std::string& name, bool thin) {
  requireNewName("pool", name, findPool(name) != nullptr);
  const std::string& cls = thin ? profile_.thinPool : profile_.pool;
  CIMInstance pool{CIMName(cls.c_str())};
  setProperty(pool, "InstanceID", CIMValue(String(array_.systemName + ":pool:" + name)));
  setProperty(pool, "ElementName", CIMValue(String(name)));
  setProperty(pool, "Primordial", CIMValue(false));
  setProperty(pool, "OperationalStatus", uint16Array({2}));
  CIMObjectPath path = put(pool, {"InstanceID"});
  linkObjects(model_, profile_.nameSpace, profile_.hostedPool, "GroupComponent", array_.system, "PartComponent", path);
  return path;
}

const CIMInstance* EternusArray::findPool(const std::string& name) const {
  for (const std::string* cls : {&profile_.pool, &profile_.thinPool})
    for (const CIMInstance* pool : model_.store().enumerate(*cls))
      if (sameNoCase(stringProperty(*pool, "ElementName"), name) &&
          stringProperty(*pool, "InstanceID").rfind(array_.systemName + ":", 0) == 0)
        return pool;
  return nullptr;
}

const CIMInstance* EternusArray::pool(const CIMObjectPath& path) const {
  const CIMInstance* found = model_.store().find(path);
  if (!found) return nullptr;
  const std::string cls = found->getClassName().getString().str();
  if (!sameNoCase(cls, profile_.pool) && !sameNoCase(cls, profile_.thinPool)) return nullptr;
  return stringProperty(*found, "InstanceID").rfind(array_.systemName + ":", 0) == 0 ? found : nullptr;
}

bool EternusArray::isThinPool(const CIMInstance& pool) const {
  return sameNoCase(pool.getClassName().getString().str(), profile_.thinPool);
}

std::string EternusArray::newUid() {
  std::size_t ordinal = 0;
  for (const StorageArray& each : model_.arrays()) {
    if (&each == &array_) break;
    ++ordinal;
  }
  for (;;) {
    char text[40];
    std::snprintf(text, sizeof text, "600000E00D%06zX%016llX", ordinal,
                  static_cast<unsigned long long>(array_.nextVolumeNumber++));
    const std::vector<const CIMInstance*> volumes = model_.store().enumerate(profile_.volume);
    if (std::none_of(volumes.begin(), volumes.end(),
                     [&](const CIMInstance* v) { return stringProperty(*v, "Name") == text; }))
      return text;
  }
}

CIMObjectPath EternusArray::addVolume(const EternusVolumeSpec& spec) {
  requireNewName("volume", spec.name, array_.volumeWwnByName.count(spec.name) != 0);
  const std::string uid = spec.uid.empty() ? newUid() : spec.uid;
  char deviceId[24];
  std::snprintf(deviceId, sizeof deviceId, "%05llX", static_cast<unsigned long long>(array_.nextObjectNumber++));

  CIMInstance volume{CIMName(profile_.volume.c_str())};
  setProperty(volume, "SystemCreationClassName", CIMValue(String(profile_.system)));
  setProperty(volume, "SystemName", CIMValue(String(array_.systemName)));
  setProperty(volume, "CreationClassName", CIMValue(String(profile_.volume)));
  setProperty(volume, "DeviceID", CIMValue(String(deviceId)));
  const std::pair<const char*, CIMValue> properties[] = {
      {"Name", CIMValue(String(uid))},
      {"ElementName", CIMValue(String(spec.name))},
      {"BlockSize", CIMValue(kBlockSize)},
      {"NumberOfBlocks", CIMValue(spec.blocks)},
      {"Purpose", CIMValue(String(spec.purpose.empty() ? purposeOf(spec.type) : spec.purpose))},
      {"OperationalStatus", uint16Array({2})},
  };
  for (const auto& property : properties)
    if (!omitted(spec, property.first)) setProperty(volume, property.first, property.second);
  CIMObjectPath path = put(volume, {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"});
  array_.volumeWwnByName[spec.name] = omitted(spec, "Name") ? "" : uid;
  linkObjects(model_, profile_.nameSpace, profile_.systemDevice, "GroupComponent", array_.system, "PartComponent",
              path);
  if (!spec.pool.getClassName().isNull())
    linkObjects(model_, profile_.nameSpace, profile_.allocatedFromPool, "Antecedent", spec.pool, "Dependent", path);
  return path;
}

const CIMInstance* EternusArray::volume(const CIMObjectPath& path) const {
  const CIMInstance* found = model_.store().find(path);
  if (!found || !sameNoCase(found->getClassName().getString().str(), profile_.volume)) return nullptr;
  return stringProperty(*found, "SystemName") == array_.systemName ? found : nullptr;
}

void EternusArray::removeVolume(const CIMObjectPath& path) {
  const CIMInstance* found = volume(path);
  if (!found) return;
  array_.volumeWwnByName.erase(stringProperty(*found, "ElementName"));
  CIMObjectPath key = found->getPath();
  model_.store().remove(key);
}

std::optional<EternusVolumeType> EternusArray::typeOf(const CIMInstance& volume) {
  const std::string purpose = stringProperty(volume, "Purpose");
  if (purpose.find("+0x00") != std::string::npos) return EternusVolumeType::kStandard;
  if (purpose.find("+0x03") != std::string::npos) return EternusVolumeType::kSdv;
  if (purpose.find("+0x06") != std::string::npos) return EternusVolumeType::kTpv;
  return std::nullopt;
}

CIMObjectPath EternusArray::addPair(const CIMObjectPath& source, const CIMObjectPath& target, Uint16 syncType,
                                    Uint16 syncState) {
  return linkObjects(model_, profile_.nameSpace, profile_.synchronized, "SystemElement", source, "SyncedElement",
                     target, {{"SyncType", CIMValue(syncType)}, {"SyncState", CIMValue(syncState)}});
}

std::vector<const CIMInstance*> EternusArray::pairsOf(const CIMObjectPath& volume) const {
  std::vector<const CIMInstance*> pairs;
  for (const auto& link : model_.store().linksOf(volume))
    if (ClassHierarchy::instance().isA(link.association->getClassName().getString().str(), "CIM_StorageSynchronized"))
      pairs.push_back(link.association);
  return pairs;
}

}  // namespace smissim
