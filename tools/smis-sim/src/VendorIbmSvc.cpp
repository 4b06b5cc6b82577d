// IBM SVC arrays: a cluster with nodes "<cluster>:<n>", volumes scoped to I/O group 0 ("<cluster>:0") with a
// concise volume each, and per host one storage hardware ID naming all its ports ("portWWN", "iSCSIName")
// that a privilege authorizes on the host's view.
#include "Properties.h"
#include "VendorArrayBuilder.h"

using namespace Pegasus;

namespace smissim {

namespace {

Array<String> texts(const std::vector<std::string>& items) {
  Array<String> out;
  for (const std::string& item : items) out.append(String(item));
  return out;
}

void addNodes(VendorArrayBuilder& builder, unsigned count) {
  for (unsigned n = 1; n <= count; ++n) {
    CIMInstance node{CIMName(builder.profile().node.c_str())};
    setProperty(node, "CreationClassName", CIMValue(String(builder.profile().node)));
    setProperty(node, "Name", CIMValue(String(builder.systemName() + ":" + std::to_string(n))));
    setProperty(node, "ElementName", CIMValue(String("node" + std::to_string(n))));
    builder.put(node, {"CreationClassName", "Name"});
  }
}

void addVolume(VendorArrayBuilder& builder, const Json& json, const std::string& name, const std::string& uuid) {
  const std::string cluster = builder.systemName();
  const std::string deviceId = std::to_string(builder.nextNumber());
  CIMObjectPath path = builder.addVolume(deviceId, name, uuid, {"IBMTSSVC_IOGroup", cluster + ":0"});
  setProperty(*builder.model().store().findMutable(path), "PreferredNode",
              CIMValue(String(std::to_string(json.getUint64("preferredNode", 1)))));
  CIMInstance concise{CIMName(builder.profile().conciseVolume.c_str())};
  setProperty(concise, "Cluster", CIMValue(String(cluster)));
  setProperty(concise, "DeviceID", CIMValue(String(deviceId)));
  setProperty(concise, "UniqueID", CIMValue(String(uuid)));
  setProperty(concise, "ElementName", CIMValue(String(name)));
  builder.put(concise, {"Cluster", "DeviceID", "UniqueID"});
}

CIMObjectPath addHost(VendorArrayBuilder& builder, const SeededHost& host) {
  const unsigned number = builder.nextNumber();
  CIMInstance id{CIMName(builder.profile().hardwareId.c_str())};
  setProperty(id, "InstanceID", CIMValue(String(builder.systemName() + ":host:" + std::to_string(number))));
  setProperty(id, "ElementName", CIMValue(String(host.name)));
  if (!host.fc.empty()) setProperty(id, "portWWN", CIMValue(texts(host.fc)));
  if (!host.iscsi.empty()) setProperty(id, "iSCSIName", CIMValue(texts(host.iscsi)));
  CIMObjectPath idPath = builder.put(id, {"InstanceID"});
  CIMObjectPath view = builder.addView(std::to_string(number), host.name);
  builder.addPrivilege(view, {idPath});
  return view;
}

}  // namespace

void seedIbmSvcArray(VendorArrayBuilder& builder, const Json& item) {
  addNodes(builder, static_cast<unsigned>(item.getUint64("nodes", 2)));
  seedVolumes(builder, item, [&](const Json& json, const std::string& name, const std::string& uuid) {
    addVolume(builder, json, name, uuid);
  });
  std::map<std::string, CIMObjectPath> views;
  for (const SeededHost& host : seededHosts(item)) views[host.name] = addHost(builder, host);
  seedExports(builder, item, views);
}

}  // namespace smissim
