// The family table: namespaces, prefixes and class names by role, and the class declarations they make.
#include "EternusArray.h"
#include "NoCase.h"
#include "VendorArrayBuilder.h"
#include "VendorClasses.h"
#include "smis-sim/VendorProfile.h"

namespace smissim {

namespace {

// The roles every family other than 3PAR fills the same way: prefix + "_" + the role's usual name.
VendorProfile withCommonClasses(const char* family, const char* nameSpace, const char* prefix) {
  VendorProfile profile;
  profile.family = family;
  profile.nameSpace = nameSpace;
  profile.prefix = prefix;
  const std::string p = std::string(prefix) + "_";
  profile.system = p + "StorageSystem";
  profile.volume = p + "StorageVolume";
  profile.view = p + "SCSIProtocolController";
  profile.privilege = p + "AuthorizedPrivilege";
  profile.hardwareId = p + "StorageHardwareID";
  profile.collection = p + "HostCollection";
  profile.systemDevice = p + "SystemDevice";
  profile.viewForUnit = p + "ProtocolControllerForUnit";
  profile.memberOfCollection = p + "MemberOfCollection";
  profile.authorizedSubject = p + "AuthorizedSubject";
  profile.authorizedTarget = p + "AuthorizedTarget";
  profile.hostedService = p + "HostedService";
  profile.configService = p + "StorageConfigurationService";
  profile.controllerService = p + "ControllerConfigurationService";
  profile.hardwareIdService = p + "StorageHardwareIDManagementService";
  profile.replicationService = p + "ReplicationService";
  return profile;
}

VendorProfile ibmSvc() {
  VendorProfile profile = withCommonClasses("ibmsvc", "root/ibm", "IBMTSSVC");
  profile.system = "IBMTSSVC_Cluster";
  profile.view = "IBMTSSVC_ProtocolController";
  profile.collection.clear();
  profile.memberOfCollection.clear();
  profile.node = "IBMTSSVC_Node";
  profile.conciseVolume = "IBMTSSVC_ConciseVolume";
  profile.seed = seedIbmSvcArray;
  return profile;
}

VendorProfile hpEva() {
  VendorProfile profile = withCommonClasses("hpeva", "root/eva", "HPEVA");
  profile.view = "HPEVA_ViewProtocolController";
  profile.seed = seedHpEvaArray;
  return profile;
}

VendorProfile lsiFamily(const char* family, const char* nameSpace, const char* prefix) {
  VendorProfile profile = withCommonClasses(family, nameSpace, prefix);
  profile.cluster = std::string(prefix) + "_Cluster";
  profile.pitViewSynchronized = std::string(prefix) + "_PiTViewSynchronized";
  profile.consistencyGroupPitView = std::string(prefix) + "_ConsistencyGroupPiTView";
  profile.orderedMemberOfCollection = std::string(prefix) + "_OrderedMemberOfCollection";
  profile.cgPitViewSynchronized = std::string(prefix) + "_CGPiTViewSynchronized";
  profile.seed = seedLsiFamilyArray;
  return profile;
}

// ETERNUS: device groups and thin-provisioning pools, volumes typed by their Purpose, replication pairs and
// jobs of its own classes; volume creation and element replicas are its own methods.
VendorProfile eternus() {
  VendorProfile profile = withCommonClasses("eternus", "root/eternus", "FUJITSU");
  profile.system = "FUJITSU_StorageComputerSystem";
  profile.collection.clear();
  profile.memberOfCollection.clear();
  profile.pool = "FUJITSU_RAIDStoragePool";
  profile.thinPool = "FUJITSU_ThinProvisioningPool";
  profile.hostedPool = "FUJITSU_HostedStoragePool";
  profile.allocatedFromPool = "FUJITSU_AllocatedFromStoragePool";
  profile.synchronized = "FUJITSU_StorageSynchronized";
  profile.job = "FUJITSU_ConcreteJob";
  profile.owningJobElement = "FUJITSU_OwningJobElement";
  profile.affectedJobElement = "FUJITSU_AffectedJobElement";
  profile.seed = seedEternusArray;
  profile.runMethod = runEternusMethod;
  return profile;
}

VendorProfile threePar() {
  VendorProfile profile;
  profile.family = "3par";
  profile.nameSpace = "root/tpd";
  profile.prefix = "TPD";
  return profile;
}

const std::vector<std::string> kSystemKeys = {"CreationClassName", "Name"};
const std::vector<std::string> kSystemScopedKeys = {"SystemCreationClassName", "SystemName", "CreationClassName",
                                                    "Name"};
const std::vector<std::string> kDeviceKeys = {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"};
const std::vector<std::string> kInstanceIdKey = {"InstanceID"};

void declare(std::vector<ClassInfo>& out, const std::string& name, const char* super, std::vector<std::string> keys) {
  if (!name.empty()) out.push_back(ClassInfo{name, super, std::move(keys), "", ""});
}

void declareAssociation(std::vector<ClassInfo>& out, const std::string& name, const char* super, const char* roleA,
                        const char* roleB) {
  if (!name.empty()) out.push_back(ClassInfo{name, super, {roleA, roleB}, roleA, roleB});
}

}  // namespace

const std::vector<VendorProfile>& vendorProfiles() {
  static const std::vector<VendorProfile> profiles = {
      threePar(),
      ibmSvc(),
      hpEva(),
      lsiFamily("lsi", "root/LsiArray13", "LSISSI"),
      lsiFamily("dcim", "root/DCIM/MDStorageArray13", "DCIM"),
      lsiFamily("netapp", "root/netapp/santricity", "NETAPP"),
      eternus(),
  };
  return profiles;
}

const VendorProfile* profileOfFamily(const std::string& family) {
  for (const VendorProfile& profile : vendorProfiles())
    if (sameNoCase(profile.family, family)) return &profile;
  return nullptr;
}

const VendorProfile* profileOfClass(const std::string& className) {
  const std::string lower = lowerCase(className);
  for (const VendorProfile& profile : vendorProfiles())
    if (lower.rfind(lowerCase(profile.prefix) + "_", 0) == 0) return &profile;
  return nullptr;
}

bool servesNamespace(const std::string& nameSpace) {
  for (const VendorProfile& profile : vendorProfiles())
    if (sameNoCase(profile.nameSpace, nameSpace)) return true;
  return false;
}

std::vector<ClassInfo> vendorProfileClasses() {
  std::vector<ClassInfo> classes;
  for (const VendorProfile& p : vendorProfiles()) {
    // The system leads the family's CIM_ComputerSystem answers; its nodes follow.
    declare(classes, p.system, "CIM_ComputerSystem", kSystemKeys);
    declare(classes, p.node, "CIM_ComputerSystem", kSystemKeys);
    declare(classes, p.configService, "CIM_StorageConfigurationService", kSystemScopedKeys);
    declare(classes, p.controllerService, "CIM_ControllerConfigurationService", kSystemScopedKeys);
    declare(classes, p.hardwareIdService, "CIM_StorageHardwareIDManagementService", kSystemScopedKeys);
    declare(classes, p.replicationService, "SNIA_ReplicationService", kSystemScopedKeys);
    declare(classes, p.volume, "CIM_StorageVolume", kDeviceKeys);
    declare(classes, p.conciseVolume, "CIM_ManagedElement", {"Cluster", "DeviceID", "UniqueID"});
    declare(classes, p.view, "CIM_SCSIProtocolController", kDeviceKeys);
    declare(classes, p.privilege, "CIM_AuthorizedPrivilege", kInstanceIdKey);
    declare(classes, p.hardwareId, "CIM_StorageHardwareID", kInstanceIdKey);
    declare(classes, p.collection, "CIM_SystemSpecificCollection", kInstanceIdKey);
    declare(classes, p.cluster, "CIM_Collection", {"SystemName", "InstanceID"});
    declare(classes, p.pool, "CIM_StoragePool", kInstanceIdKey);
    declare(classes, p.thinPool, "CIM_StoragePool", kInstanceIdKey);
    declare(classes, p.job, "CIM_ConcreteJob", kInstanceIdKey);
    declare(classes, p.consistencyGroupPitView, "CIM_SystemSpecificCollection", kInstanceIdKey);
    declareAssociation(classes, p.hostedService, "CIM_HostedService", "Antecedent", "Dependent");
    declareAssociation(classes, p.systemDevice, "CIM_SystemDevice", "GroupComponent", "PartComponent");
    declareAssociation(classes, p.viewForUnit, "CIM_ProtocolControllerForUnit", "Antecedent", "Dependent");
    declareAssociation(classes, p.memberOfCollection, "CIM_MemberOfCollection", "Collection", "Member");
    declareAssociation(classes, p.authorizedSubject, "CIM_AuthorizedSubject", "Privilege", "PrivilegedElement");
    declareAssociation(classes, p.authorizedTarget, "CIM_AuthorizedTarget", "Privilege", "TargetElement");
    declareAssociation(classes, p.hostedPool, "CIM_HostedStoragePool", "GroupComponent", "PartComponent");
    declareAssociation(classes, p.allocatedFromPool, "CIM_AllocatedFromStoragePool", "Antecedent", "Dependent");
    declareAssociation(classes, p.synchronized, "CIM_StorageSynchronized", "SystemElement", "SyncedElement");
    declareAssociation(classes, p.pitViewSynchronized, "CIM_StorageSynchronized", "SystemElement", "SyncedElement");
    declareAssociation(classes, p.cgPitViewSynchronized, "CIM_StorageSynchronized", "SystemElement", "SyncedElement");
    declareAssociation(classes, p.orderedMemberOfCollection, "CIM_OrderedMemberOfCollection", "Collection", "Member");
    declareAssociation(classes, p.owningJobElement, "CIM_OwningJobElement", "OwningElement", "OwnedElement");
    declareAssociation(classes, p.affectedJobElement, "CIM_AffectedJobElement", "AffectedElement", "AffectingElement");
  }
  return classes;
}

}  // namespace smissim
