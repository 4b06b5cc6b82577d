// The model's hosts, hardware IDs, views and what initiators see.
#include "smis-sim/Model.h"

#include <algorithm>

#include "ClassHierarchy.h"
#include "ModelHelpers.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

CIMObjectPath Model::addHost(StorageArray& array, const std::string& name) {
  requireNewName("host", name, findHost(array, name) != nullptr);
  CIMInstance host{CIMName("TPD_StorageHardwareIDCollection")};
  setProperty(host, "InstanceID", CIMValue(String(nextId(array, "HostCollection"))));
  setProperty(host, "ElementName", CIMValue(String(name)));
  host.setPath(pathFromKeys(host, {"InstanceID"}));
  store_.put(host);
  return host.getPath();
}

const CIMInstance* Model::findHost(StorageArray& array, const std::string& name) {
  return findNamed(array, "TPD_StorageHardwareIDCollection", name);
}

const CIMInstance* Model::findHardwareId(StorageArray& array, const std::string& port) {
  std::string wanted = normalizedPort(port);
  for (const CIMInstance* id : store_.enumerate("TPD_StorageHardwareID"))
    if (normalizedPort(stringProperty(*id, "StorageID")) == wanted &&
        stringProperty(*id, "SystemName", array.systemName) == array.systemName)
      return id;
  return nullptr;
}

CIMObjectPath Model::addHardwareId(StorageArray& array, bool iscsi, const std::string& port) {
  if (const CIMInstance* existing = findHardwareId(array, port)) return existing->getPath();
  std::string storageId = iscsi ? port : normalizedPort(port);
  CIMInstance id{CIMName("TPD_StorageHardwareID")};
  setProperty(id, "InstanceID", CIMValue(String(array.prefix() + (iscsi ? "iSCSI-" : "FC-") + storageId)));
  setProperty(id, "StorageID", CIMValue(String(storageId)));
  setProperty(id, "IDType", CIMValue(Uint16(iscsi ? 5 : 2)));
  setProperty(id, "ElementName", CIMValue(""));
  setProperty(id, "SystemName", CIMValue(String(array.systemName)));
  id.setPath(pathFromKeys(id, {"InstanceID"}));
  store_.put(id);
  return id.getPath();
}

CIMObjectPath Model::addHardwareIdToHost(StorageArray& array, const CIMObjectPath& hostPath, bool iscsi,
                                         const std::string& port) {
  const CIMInstance* host = store_.find(hostPath);
  if (!host) throw ModelError("no such host");
  std::string hostName = stringProperty(*host, "ElementName");
  if (const CIMInstance* existing = findHardwareId(array, port)) {
    std::string owner = stringProperty(*existing, "ElementName");
    if (!owner.empty() && owner != hostName) throw ModelError("port " + port + " belongs to host " + owner);
  }
  CIMObjectPath idPath = addHardwareId(array, iscsi, port);
  joinHost(idPath, hostPath);
  return idPath;
}

void Model::joinHost(const CIMObjectPath& idPath, const CIMObjectPath& hostPath) {
  const CIMInstance* host = store_.find(hostPath);
  CIMInstance* id = store_.findMutable(idPath);
  if (!host || !id) throw ModelError("no such host or hardware ID");
  if (stringProperty(*id, "ElementName").empty())
    setProperty(*id, "ElementName", CIMValue(String(stringProperty(*host, "ElementName"))));
  link("TPD_MemberOfCollection", "Collection", hostPath, "Member", idPath);
  CIMObjectPath view = viewOf(hostPath);
  if (!view.getClassName().isNull())
    link("TPD_AuthorizedSubject", "Privilege", privilegeOf(view), "PrivilegedElement", idPath);
}

CIMObjectPath Model::viewOf(const CIMObjectPath& host) const {
  for (const auto& subject : store_.linksOf(host)) {
    if (subject.association->getClassName() != CIMName("TPD_AuthorizedSubject")) continue;
    if (const auto target = firstLinkOf(subject.other, "TPD_AuthorizedTarget")) return target->other;
  }
  return CIMObjectPath();
}

CIMObjectPath Model::privilegeOf(const CIMObjectPath& view) const {
  const auto target = firstLinkOf(view, "TPD_AuthorizedTarget");
  return target ? target->other : CIMObjectPath();
}

CIMObjectPath Model::hostOfView(const CIMObjectPath& view) const {
  CIMObjectPath privilege = privilegeOf(view);
  for (const auto& link : store_.linksOf(privilege))
    if (link.association->getClassName() == CIMName("TPD_AuthorizedSubject") &&
        link.other.getClassName() == CIMName("TPD_StorageHardwareIDCollection"))
      return link.other;
  return CIMObjectPath();
}

bool Model::lunInUse(const CIMObjectPath& view, unsigned lun) const {
  for (const auto& link : store_.linksOf(view))
    if (link.association->getClassName() == CIMName("TPD_ControllerForUnit") &&
        stringProperty(*link.association, "DeviceNumber") == std::to_string(lun))
      return true;
  return false;
}

bool Model::viewHoldsVolume(const CIMObjectPath& view, const CIMObjectPath& volume) const {
  std::string wanted = identityOf(volume);
  for (const auto& link : store_.linksOf(view))
    if (link.association->getClassName() == CIMName("TPD_ControllerForUnit") && identityOf(link.other) == wanted)
      return true;
  return false;
}

unsigned Model::expose(StorageArray& array, const CIMObjectPath& hostPath, const CIMObjectPath& volume, int lun,
                       Uint16 access) {
  const CIMInstance* host = store_.find(hostPath);
  if (!host) throw ModelError("no such host");
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
    while (lunInUse(view, chosen)) ++chosen;
  }
  link("TPD_ControllerForUnit", "Antecedent", view, "Dependent", volume,
       {{"DeviceNumber", CIMValue(String(std::to_string(chosen)))}, {"DeviceAccess", CIMValue(access)}});
  return chosen;
}

void Model::hide(const CIMObjectPath& view, const CIMObjectPath& volume) {
  std::string wanted = identityOf(volume);
  for (const auto& link : store_.linksOf(view)) {
    if (link.association->getClassName() == CIMName("TPD_ControllerForUnit") && identityOf(link.other) == wanted) {
      CIMObjectPath unit = link.association->getPath();
      store_.remove(unit);
      break;
    }
  }
  if (firstLinkOf(view, "TPD_ControllerForUnit")) return;
  CIMObjectPath privilege = privilegeOf(view);
  store_.remove(privilege);
  store_.remove(view);
}

std::vector<ExposedLun> Model::exposedTo(const std::vector<std::string>& initiatorPorts) const {
  std::vector<ExposedLun> result;
  std::vector<std::string> seenViews;
  for (const std::string& port : initiatorPorts) {
    std::string wanted = normalizedPort(port);
    for (const CIMInstance* id : store_.enumerate("TPD_StorageHardwareID")) {
      if (normalizedPort(stringProperty(*id, "StorageID")) != wanted) continue;
      for (const auto& member : store_.linksOf(id->getPath())) {
        if (member.association->getClassName() != CIMName("TPD_MemberOfCollection")) continue;
        CIMObjectPath view = viewOf(member.other);
        if (view.getClassName().isNull()) continue;
        std::string viewId = identityOf(view);
        if (std::find(seenViews.begin(), seenViews.end(), viewId) != seenViews.end()) continue;
        seenViews.push_back(viewId);
        const CIMInstance* controller = store_.find(view);
        for (const auto& unit : store_.linksOf(view)) {
          if (unit.association->getClassName() != CIMName("TPD_ControllerForUnit")) continue;
          const CIMInstance* volume = store_.find(unit.other);
          if (!volume) continue;
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

}  // namespace smissim
