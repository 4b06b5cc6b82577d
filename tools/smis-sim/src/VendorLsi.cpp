// LSI-family arrays (LSI, DCIM, NetApp): per port one storage hardware ID ("StorageID", "HostID" naming its
// host's controller ID, "ClusterID" naming its host group's or the Default Group's), member of its host's
// collection and of its host group's; a view per host and per group, named like it, with a privilege for the
// member ports; a cluster instance per host group.
#include <cstdio>

#include "Properties.h"
#include "VendorArrayBuilder.h"

using namespace Pegasus;

namespace smissim {

namespace {

const char* const kDefaultGroupId = "0000000000000000000000000000000000000000";

// Controller IDs are 40 digits wide, so that one is never part of another.
std::string controllerId(unsigned number) {
  char text[48];
  std::snprintf(text, sizeof text, "6%039u", number);
  return text;
}

class LsiArraySeeder {
 public:
  explicit LsiArraySeeder(VendorArrayBuilder& builder) : builder_(builder), system_(builder.systemName()) {}

  void addHost(const SeededHost& host) {
    const std::string controller = controllerId(builder_.nextNumber());
    CIMInstance collection = named(builder_.profile().collection, host.name);
    setProperty(collection, "InstanceID", CIMValue(String(system_ + ":host:" + host.name)));
    setProperty(collection, "SystemName", CIMValue(String(system_)));
    CIMObjectPath collectionPath = builder_.put(collection, {"InstanceID", "SystemName"});
    std::vector<CIMObjectPath>& ids = portsOfHost_[host.name];
    for (const std::vector<std::string>* ports : {&host.fc, &host.iscsi}) {
      for (const std::string& port : *ports) {
        CIMInstance id = named(builder_.profile().hardwareId, host.name);
        setProperty(id, "InstanceID", CIMValue(String(system_ + ":" + port)));
        setProperty(id, "StorageID", CIMValue(String(port)));
        setProperty(id, "HostID", CIMValue(String(system_ + ":host:" + controller)));
        setProperty(id, "ClusterID", CIMValue(String(system_ + ":cluster:" + kDefaultGroupId)));
        ids.push_back(builder_.put(id, {"InstanceID"}));
        builder_.link(builder_.profile().memberOfCollection, "Collection", collectionPath, "Member", ids.back());
      }
    }
    views_[host.name] = addView(controller, host.name, ids);
  }

  // A host group: a collection of its hosts' ports (scoped by its InstanceID only) and a cluster instance.
  void addGroup(const Json& json) {
    const std::string name = json.getString("name");
    const std::string controller = controllerId(builder_.nextNumber());
    CIMInstance cluster = named(builder_.profile().cluster, name);
    setProperty(cluster, "SystemName", CIMValue(String(system_)));
    setProperty(cluster, "InstanceID", CIMValue(String(system_ + ":cluster:" + name)));
    builder_.put(cluster, {"SystemName", "InstanceID"});
    CIMInstance collection = named(builder_.profile().collection, name);
    setProperty(collection, "InstanceID", CIMValue(String(system_ + ":group:" + name)));
    CIMObjectPath collectionPath = builder_.put(collection, {"InstanceID"});
    std::vector<CIMObjectPath> members;
    for (const Json& host : seededList(json, "hosts").items()) {
      auto ports = portsOfHost_.find(host.asString());
      if (ports == portsOfHost_.end()) throw ModelError("host group " + name + ": no host " + host.asString());
      for (const CIMObjectPath& id : ports->second) {
        builder_.link(builder_.profile().memberOfCollection, "Collection", collectionPath, "Member", id);
        setProperty(*builder_.model().store().findMutable(id), "ClusterID",
                    CIMValue(String(system_ + ":cluster:" + controller)));
        members.push_back(id);
      }
    }
    views_[name] = addView(controller, name, members);
  }

  const std::map<std::string, CIMObjectPath>& views() const { return views_; }

 private:
  CIMInstance named(const std::string& className, const std::string& name) {
    CIMInstance instance{CIMName(className.c_str())};
    setProperty(instance, "ElementName", CIMValue(String(name)));
    return instance;
  }

  CIMObjectPath addView(const std::string& controller, const std::string& name,
                        const std::vector<CIMObjectPath>& members) {
    CIMObjectPath view = builder_.addView(system_ + ":" + controller, name);
    builder_.addPrivilege(view, members);
    return view;
  }

  VendorArrayBuilder& builder_;
  std::string system_;
  std::map<std::string, std::vector<CIMObjectPath>> portsOfHost_;
  std::map<std::string, CIMObjectPath> views_;
};

}  // namespace

void seedLsiFamilyArray(VendorArrayBuilder& builder, const Json& item) {
  seedVolumes(builder, item, [&](const Json&, const std::string& name, const std::string& uuid) {
    builder.addVolume(std::to_string(builder.nextNumber()), name, uuid);
  });
  LsiArraySeeder seeder(builder);
  for (const SeededHost& host : seededHosts(item)) seeder.addHost(host);
  for (const Json& group : seededList(item, "hostGroups").items()) seeder.addGroup(group);
  seedExports(builder, item, seeder.views());
}

}  // namespace smissim
