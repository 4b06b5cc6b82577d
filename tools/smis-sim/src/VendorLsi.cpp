// LSI-family arrays (LSI, DCIM, NetApp): per port one storage hardware ID ("StorageID", "HostID" naming its
// host's controller ID, "ClusterID" naming its host group's or the Default Group's), member of its host's
// collection and of its host group's; a view per host and per group, named like it, with a privilege for the
// member ports; a cluster instance per host group; point-in-time views of volumes, alone or in consistency
// groups.
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

CIMInstance named(const std::string& className, const std::string& name) {
  CIMInstance instance{CIMName(className.c_str())};
  setProperty(instance, "ElementName", CIMValue(String(name)));
  return instance;
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

// Point-in-time views ("pitViews"): each is a volume of its own, with a DeviceID that begins with
// "Snapshot" as the family's snapshot volumes do, tied to its source by the family's PiTViewSynchronized
// ("syncClass" spells that class as the provider answers it; class names ignore case). A view with a
// "group" is also an ordered member of that consistency group's view, which the group's first view's source
// is tied to by a CGPiTViewSynchronized.
void seedPointInTimeViews(VendorArrayBuilder& builder, const Json& item) {
  const VendorProfile& profile = builder.profile();
  const std::vector<std::pair<const char*, CIMValue>> synchronized = {{"SyncType", CIMValue(Uint16(7))},
                                                                      {"SyncState", CIMValue(Uint16(6))}};
  std::map<std::string, CIMObjectPath> groups;
  for (const Json& json : seededList(item, "pitViews").items()) {
    const std::string name = json.getString("name");
    const CIMInstance* sourceVolume = builder.findVolume(json.getString("source"));
    if (name.empty() || !sourceVolume)
      throw ModelError("point-in-time view " + name + ": a \"name\" and a seeded \"source\" are needed");
    const CIMObjectPath source = sourceVolume->getPath();
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "600A0B8000%022u", builder.nextNumber());
    const CIMObjectPath view =
        builder.addVolume("Snapshot" + std::to_string(builder.nextNumber()), name, json.getString("uuid", uuid));
    builder.link(json.getString("syncClass", profile.pitViewSynchronized), "SystemElement", source, "SyncedElement",
                 view, synchronized);
    if (!json.has("group")) continue;
    const std::string groupName = json.getString("group");
    auto group = groups.find(groupName);
    if (group == groups.end()) {
      CIMInstance instance = named(profile.consistencyGroupPitView, groupName);
      setProperty(instance, "InstanceID", CIMValue(String(builder.systemName() + ":cgpitview:" + groupName)));
      group = groups.emplace(groupName, builder.put(instance, {"InstanceID"})).first;
      builder.link(profile.cgPitViewSynchronized, "SystemElement", source, "SyncedElement", group->second,
                   synchronized);
    }
    builder.link(profile.orderedMemberOfCollection, "Collection", group->second, "Member", view);
  }
}

}  // namespace

void seedLsiFamilyArray(VendorArrayBuilder& builder, const Json& item) {
  seedVolumes(builder, item, [&](const Json&, const std::string& name, const std::string& uuid) {
    builder.addVolume(std::to_string(builder.nextNumber()), name, uuid);
  });
  seedPointInTimeViews(builder, item);
  LsiArraySeeder seeder(builder);
  for (const SeededHost& host : seededHosts(item)) seeder.addHost(host);
  for (const Json& group : seededList(item, "hostGroups").items()) seeder.addGroup(group);
  seedExports(builder, item, seeder.views());
}

}  // namespace smissim
