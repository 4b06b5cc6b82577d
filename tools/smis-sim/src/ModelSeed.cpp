// Seeding the model from JSON and reading it back as JSON.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "smis-sim/Model.h"

using namespace Pegasus;

namespace smissim {

namespace {

std::string nameOf(const Json& item) { return item.isString() ? item.asString() : item.getString("name"); }

bool looksLikeIscsiName(const std::string& port) {
  std::string lower = lowerCase(port);
  return lower.rfind("iqn.", 0) == 0 || lower.rfind("eui.", 0) == 0 || lower.rfind("naa.", 0) == 0;
}

const Json& listOrEmpty(const Json& json, const char* key) {
  static const Json empty = Json::array();
  return json.has(key) ? json.get(key) : empty;
}

// A status list such as [2] (OK), [3] (degraded) or [6] (error).
void setOperationalStatus(CIMInstance* instance, const Json& json) {
  Array<Uint16> status;
  for (const Json& value : json.items()) status.append(static_cast<Uint16>(value.asUint64()));
  setProperty(*instance, "OperationalStatus", CIMValue(status));
}

// A seeded WWN is one the array could have made: 32 hex digits ending in its serial (empty: one is made).
std::string seededWwn(const StorageArray& array, const Json& volume) {
  const std::string wwn = volume.getString("wwn");
  const bool hex = std::all_of(wwn.begin(), wwn.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
  if (wwn.empty() || (wwn.size() == 32 && hex && sameNoCase(wwn.substr(26), array.serial))) return wwn;
  throw ModelError("volume " + volume.getString("name") + ": WWN \"" + wwn +
                   "\" is not 32 hex digits ending in the array's serial " + array.serial);
}

}  // namespace

void Model::seed(const Json& json) {
  Settings settings = settings_;
  InstanceStore store = store_;
  std::deque<StorageArray> arrays = arrays_;
  std::unordered_map<std::string, CIMObjectPath> volumesByWwn = volumesByWwn_;
  try {
    seedDocument(json);
  } catch (...) {
    settings_ = std::move(settings);
    store_ = std::move(store);
    arrays_ = std::move(arrays);
    volumesByWwn_ = std::move(volumesByWwn);
    throw;
  }
}

void Model::seedDocument(const Json& json) {
  if (!json.isObject()) throw JsonError("seed: expected an object");
  if (json.has("settings")) settings_.update(json.get("settings"));
  for (const Json& item : listOrEmpty(json, "arrays").items()) {
    const VendorProfile* family = profileOfFamily(item.getString("family", "3par"));
    if (!family) throw ModelError("unknown array family \"" + item.getString("family") + "\"");
    if (family->seed) {
      seedVendorArray(*this, *family, item);
      continue;
    }
    ArrayConfig config;
    config.serial = item.getString("serial", config.serial);
    config.firmware = item.getString("firmware", config.firmware);
    config.build = static_cast<Uint16>(item.getUint64("build", config.build));
    StorageArray* array = arrayBySerial(config.serial);
    if (!array) {
      array = &addArray(config);
    } else if (item.has("firmware") || item.has("build")) {
      setFirmware(*array, config.firmware, config.build);
    }
    seedArray(*array, item);
  }
}

void Model::seedArray(StorageArray& array, const Json& json) {
  if (json.has("remoteCopy")) setRemoteCopy(array, json.getBool("remoteCopy", true));
  for (const Json& serial : listOrEmpty(json, "remoteCopyTargets").items())
    array.remoteCopyTargets.push_back(serial.asString());
  for (const Json& cpg : listOrEmpty(json, "cpgs").items()) {
    CIMObjectPath pool = addCpg(array, nameOf(cpg));
    if (cpg.has("operationalStatus")) setOperationalStatus(store_.findMutable(pool), cpg.get("operationalStatus"));
    seedPoolSpace(pool, cpg);
  }
  for (const Json& item : listOrEmpty(json, "volumes").items()) {
    VolumeSpec spec;
    spec.name = item.getString("name");
    spec.cpg = item.getString("cpg");
    spec.sizeBytes = item.getUint64("sizeBytes", Uint64(10) << 30);
    spec.thin = item.getBool("thin", !spec.cpg.empty());
    spec.wwn = seededWwn(array, item);
    CIMObjectPath volume = addVolume(array, spec);
    if (item.has("operationalStatus")) setOperationalStatus(store_.findMutable(volume), item.get("operationalStatus"));
    if (item.has("volumeType"))
      setProperty(*store_.findMutable(volume), "VolumeType",
                  CIMValue(static_cast<Uint16>(item.getUint64("volumeType"))));
  }
  if (json.has("generate")) {
    const Json& generate = json.get("generate");
    std::string prefix = generate.getString("prefix", "vv");
    Uint64 count = generate.getUint64("count", 0);
    VolumeSpec spec;
    spec.cpg = generate.getString("cpg");
    spec.sizeBytes = generate.getUint64("sizeBytes", Uint64(1) << 30);
    spec.thin = generate.getBool("thin", !spec.cpg.empty());
    for (Uint64 i = 1; i <= count; ++i) {
      char suffix[24];
      std::snprintf(suffix, sizeof suffix, "%05llu", static_cast<unsigned long long>(i));
      spec.name = prefix + suffix;
      addVolume(array, spec);
    }
  }
  for (const Json& item : listOrEmpty(json, "snapshots").items()) {
    const CIMInstance* source = findVolumeByName(array, item.getString("source"));
    if (!source) throw ModelError("snapshot source " + item.getString("source") + " not found");
    CIMInstance copy = *source;
    addVirtualCopy(array, copy, item.getString("name"));
  }
  for (const Json& item : listOrEmpty(json, "hosts").items()) {
    std::string name = nameOf(item);
    const CIMInstance* existing = findHost(array, name);
    CIMObjectPath host = existing ? existing->getPath() : addHost(array, name);
    if (!item.isObject()) continue;
    for (const Json& port : listOrEmpty(item, "fc").items()) addHardwareIdToHost(array, host, false, port.asString());
    for (const Json& port : listOrEmpty(item, "iscsi").items()) addHardwareIdToHost(array, host, true, port.asString());
    for (const Json& port : listOrEmpty(item, "initiators").items())
      addHardwareIdToHost(array, host, looksLikeIscsiName(port.asString()), port.asString());
  }
  // Ports as they are, consistent or not: in no host, or in several.
  for (const Json& item : listOrEmpty(json, "hardwareIds").items()) {
    std::string port = item.getString("port");
    CIMObjectPath id = addHardwareId(array, item.getBool("iscsi", looksLikeIscsiName(port)), port);
    for (const Json& hostName : listOrEmpty(item, "hosts").items()) {
      const CIMInstance* host = findHost(array, hostName.asString());
      if (!host) throw ModelError("hardware ID " + port + ": no host " + hostName.asString());
      CIMObjectPath hostPath = host->getPath();
      joinHost(id, hostPath);
    }
  }
  for (const Json& item : listOrEmpty(json, "exports").items()) {
    const CIMInstance* volume = findVolumeByName(array, item.getString("volume"));
    const CIMInstance* host = findHost(array, item.getString("host"));
    if (!volume || !host)
      throw ModelError("export of " + item.getString("volume") + " to " + item.getString("host") +
                       ": volume or host not found");
    int lun = item.has("lun") ? static_cast<int>(item.getUint64("lun")) : -1;
    CIMObjectPath view = viewOf(host->getPath());
    if (lun >= 0 && !view.getClassName().isNull() && lunInUse(view, static_cast<unsigned>(lun)))
      throw ModelError("LUN " + std::to_string(lun) + " is in use on host " + item.getString("host"));
    CIMObjectPath hostPath = host->getPath();
    CIMObjectPath volumePath = volume->getPath();
    expose(array, hostPath, volumePath, lun, uint16Property(*volume, "Access", 3) == 1 ? 3 : 2);
  }
}

Json Model::volumeJson(const CIMInstance& volume) const {
  Json json = Json::object();
  json.set("name", stringProperty(volume, "ElementName"));
  json.set("wwn", stringProperty(volume, "Name"));
  json.set("cpg", stringProperty(volume, "UserDSPName"));
  json.set("sizeBytes", uint64Property(volume, "NumberOfBlocks") * uint64Property(volume, "BlockSize", 512));
  json.set("thin", booleanProperty(volume, "ThinlyProvisioned"));
  json.set("type", uint16Property(volume, "VolumeType") == 2 ? "snapshot" : "base");
  json.set("access", uint16Property(volume, "Access", 3) == 1 ? "ro" : "rw");
  for (const CIMInstance* sync : synchronizations(volume.getPath(), false)) {
    if (uint16Property(*sync, "ReplicaType") != 4) continue;
    if (const CIMInstance* parent = store_.find(referenceProperty(*sync, "SystemElement")))
      json.set("parent", stringProperty(*parent, "ElementName"));
  }
  return json;
}

Json Model::toJson() const {
  Json json = Json::object();
  json.set("settings", settings_.toJson());
  Json arrays = Json::array();
  for (const StorageArray& array : arrays_) {
    Json item = Json::object();
    item.set("serial", array.serial).set("systemName", array.systemName);
    item.set("firmware", array.firmware).set("build", static_cast<int>(array.build));
    Json cpgs = Json::array();
    for (const CIMInstance* pool : store_.enumerate("TPD_DynamicStoragePool"))
      if (identifiedWithArray(*pool, array)) cpgs.push(stringProperty(*pool, "ElementName"));
    item.set("cpgs", cpgs);
    Json volumes = Json::array();
    for (const CIMInstance* volume : store_.enumerate("TPD_StorageVolume"))
      if (stringProperty(*volume, "SystemName") == array.systemName) volumes.push(volumeJson(*volume));
    item.set("volumes", volumes);
    Json hosts = Json::array();
    for (const CIMInstance* host : store_.enumerate("TPD_StorageHardwareIDCollection")) {
      if (!identifiedWithArray(*host, array)) continue;
      Json hostJson = Json::object();
      hostJson.set("name", stringProperty(*host, "ElementName"));
      Json initiators = Json::array();
      for (const auto& member : store_.linksOf(host->getPath()))
        if (member.association->getClassName() == CIMName("TPD_MemberOfCollection"))
          if (const CIMInstance* id = store_.find(member.other)) initiators.push(stringProperty(*id, "StorageID"));
      hostJson.set("initiators", initiators);
      Json luns = Json::array();
      CIMObjectPath view = viewOf(host->getPath());
      if (!view.getClassName().isNull())
        for (const auto& unit : store_.linksOf(view))
          if (unit.association->getClassName() == CIMName("TPD_ControllerForUnit"))
            if (const CIMInstance* volume = store_.find(unit.other)) {
              Json lun = Json::object();
              lun.set("volume", stringProperty(*volume, "ElementName"));
              lun.set("wwn", stringProperty(*volume, "Name"));
              lun.set("lun", stringProperty(*unit.association, "DeviceNumber"));
              luns.push(lun);
            }
      hostJson.set("luns", luns);
      hosts.push(hostJson);
    }
    item.set("hosts", hosts);
    arrays.push(item);
  }
  json.set("arrays", arrays);

  Json syncs = Json::array();
  for (const CIMInstance* sync : store_.enumerate("CIM_StorageSynchronized")) {
    const CIMInstance* source = store_.find(referenceProperty(*sync, "SystemElement"));
    const CIMInstance* target = store_.find(referenceProperty(*sync, "SyncedElement"));
    Json item = Json::object();
    item.set("source", source ? stringProperty(*source, "ElementName") : "");
    item.set("target", target ? stringProperty(*target, "ElementName") : "");
    item.set("copyType", static_cast<int>(uint16Property(*sync, "CopyType")));
    item.set("replicaType", static_cast<int>(uint16Property(*sync, "ReplicaType")));
    item.set("syncState", static_cast<int>(uint16Property(*sync, "SyncState")));
    syncs.push(item);
  }
  json.set("synchronizations", syncs);

  Json jobs = Json::array();
  for (const CIMInstance* job : store_.enumerate("CIM_ConcreteJob")) {
    Json item = Json::object();
    item.set("id", stringProperty(*job, "InstanceID"));
    item.set("method", stringProperty(*job, "Name"));
    item.set("jobState", static_cast<int>(uint16Property(*job, "JobState")));
    jobs.push(item);
  }
  json.set("jobs", jobs);
  return json;
}

}  // namespace smissim
