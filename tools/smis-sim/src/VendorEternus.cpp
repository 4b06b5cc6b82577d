// ETERNUS arrays: device groups and thin-provisioning pools ("pools"), volumes of a pool typed Standard, SDV
// or TPV by their Purpose ("volumes"), replication pairs ("pairs"), and per host a view with a privilege for
// the host's ports, each port a storage hardware ID.
#include "EternusArray.h"
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "VendorArrayBuilder.h"

using namespace Pegasus;

namespace smissim {

namespace {

constexpr Uint64 kDefaultVolumeBytes = Uint64(1) << 30;
constexpr Uint16 kPortWwn = 2, kIscsiName = 5;
constexpr Uint16 kSnapshotSync = 7, kSynchronized = 6;

EternusVolumeType typeNamed(const std::string& text, bool thinPool) {
  if (text.empty()) return thinPool ? EternusVolumeType::kTpv : EternusVolumeType::kStandard;
  if (sameNoCase(text, "standard")) return EternusVolumeType::kStandard;
  if (sameNoCase(text, "sdv")) return EternusVolumeType::kSdv;
  if (sameNoCase(text, "tpv")) return EternusVolumeType::kTpv;
  throw ModelError("volume type must be standard, sdv or tpv: \"" + text + "\"");
}

void seedVolume(EternusArray& array, const Json& json) {
  EternusVolumeSpec spec;
  spec.name = json.getString("name");
  const std::string poolName = json.getString("pool");
  const CIMInstance* pool = poolName.empty() ? nullptr : array.findPool(poolName);
  if (!poolName.empty() && !pool) throw ModelError("volume " + spec.name + ": no pool " + poolName);
  if (pool) spec.pool = pool->getPath();
  spec.type = typeNamed(json.getString("type"), pool && array.isThinPool(*pool));
  const Uint64 bytes = json.getUint64("sizeBytes", kDefaultVolumeBytes);
  spec.blocks = (bytes + kBlockSize - 1) / kBlockSize;
  spec.uid = json.getString("uuid");
  spec.purpose = json.getString("purpose");
  for (const Json& property : seededList(json, "omit").items()) spec.omit.push_back(property.asString());
  array.addVolume(spec);
}

CIMObjectPath hardwareId(VendorArrayBuilder& builder, const std::string& host, const std::string& port, bool iscsi) {
  CIMInstance id{CIMName(builder.profile().hardwareId.c_str())};
  setProperty(id, "InstanceID", CIMValue(String(builder.systemName() + ":" + port)));
  setProperty(id, "StorageID", CIMValue(String(port)));
  setProperty(id, "IDType", CIMValue(iscsi ? kIscsiName : kPortWwn));
  setProperty(id, "ElementName", CIMValue(String(host)));
  return builder.put(id, {"InstanceID"});
}

std::map<std::string, CIMObjectPath> seedHostViews(VendorArrayBuilder& builder, const Json& item) {
  std::map<std::string, CIMObjectPath> views;
  for (const SeededHost& host : seededHosts(item)) {
    std::vector<CIMObjectPath> ids;
    for (const std::string& port : host.fc) ids.push_back(hardwareId(builder, host.name, port, false));
    for (const std::string& port : host.iscsi) ids.push_back(hardwareId(builder, host.name, port, true));
    CIMObjectPath view =
        builder.addView(builder.systemName() + ":view:" + std::to_string(builder.nextNumber()), host.name);
    builder.addPrivilege(view, ids);
    views[host.name] = view;
  }
  return views;
}

void seedPair(VendorArrayBuilder& builder, EternusArray& array, const Json& json) {
  const CIMInstance* source = builder.findVolume(json.getString("source"));
  const CIMInstance* target = builder.findVolume(json.getString("target"));
  if (!source || !target)
    throw ModelError("pair " + json.getString("source") + " -> " + json.getString("target") + ": volume not found");
  array.addPair(source->getPath(), target->getPath(), static_cast<Uint16>(json.getUint64("syncType", kSnapshotSync)),
                static_cast<Uint16>(json.getUint64("syncState", kSynchronized)));
}

}  // namespace

void seedEternusArray(VendorArrayBuilder& builder, const Json& item) {
  EternusArray array(builder.model(), builder.array());
  for (const Json& pool : seededList(item, "pools").items()) {
    if (pool.isString())
      array.addPool(pool.asString(), false);
    else
      array.addPool(pool.getString("name"), pool.getBool("thin", false));
  }
  for (const Json& volume : seededList(item, "volumes").items()) seedVolume(array, volume);
  seedExports(builder, item, seedHostViews(builder, item));
  for (const Json& pair : seededList(item, "pairs").items()) seedPair(builder, array, pair);
}

}  // namespace smissim
