#include "CannedAnswer.h"

#include "Pegasus/CimXml.h"

using namespace Pegasus;

namespace bench {

namespace {

CIMInstance storageVolume(int index) {
  const std::string id = std::to_string(index);
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("CreationClassName", "TPD_StorageVolume", CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("DeviceID", String(id), CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("SystemCreationClassName", "TPD_StorageSystem", CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("SystemName", "CLUSTER1-1234567", CIMKeyBinding::STRING));

  CIMInstance volume(CIMName("TPD_StorageVolume"));
  for (const CIMKeyBinding& key : keys) volume.addProperty(CIMProperty(key.getName(), CIMValue(key.getValue())));
  volume.addProperty(CIMProperty("ElementName", CIMValue(String("vol-" + id))));
  volume.addProperty(CIMProperty("Name", CIMValue(String("60002AC00000000000000" + id + "00001234"))));
  volume.addProperty(CIMProperty("NameFormat", CIMValue(Uint16(2))));
  volume.addProperty(CIMProperty("BlockSize", CIMValue(Uint64(512))));
  volume.addProperty(CIMProperty("NumberOfBlocks", CIMValue(Uint64(2097152 + index))));
  volume.addProperty(CIMProperty("ConsumableBlocks", CIMValue(Uint64(2097152))));
  volume.addProperty(CIMProperty("OperationalStatus", CIMValue(Array<Uint16>({2}))));
  volume.addProperty(CIMProperty("StatusDescriptions", CIMValue(Array<String>({"OK"}))));
  volume.addProperty(CIMProperty("HealthState", CIMValue(Uint16(5))));
  volume.addProperty(CIMProperty("ThinlyProvisioned", CIMValue(index % 2 == 0)));
  volume.addProperty(CIMProperty("Primordial", CIMValue(false)));
  volume.addProperty(CIMProperty("Caption", CIMValue(String("Virtual volume <" + id + "> & copy"))));
  volume.setPath(CIMObjectPath(String(), CIMNamespaceName(), volume.getClassName(), keys));
  return volume;
}

}  // namespace

std::string enumerateVolumesResponse(int volumeCount, const std::string& messageId) {
  CimXml::Response response;
  response.messageId = String(messageId);
  response.methodName = "EnumerateInstances";
  response.returnKind = CimXml::Response::NAMED_INSTANCES;
  response.instances.reserve(volumeCount);
  for (int i = 0; i < volumeCount; ++i) response.instances.push_back(storageVolume(i));
  return CimXml::encodeResponse(response).str();
}

}  // namespace bench
