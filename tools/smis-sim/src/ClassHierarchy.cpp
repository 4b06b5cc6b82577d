#include "ClassHierarchy.h"

#include "NoCase.h"
#include "VendorClasses.h"

namespace smissim {

namespace {
const std::vector<std::string> kSystemKeys = {"CreationClassName", "Name"};
const std::vector<std::string> kSystemScopedKeys = {"SystemCreationClassName", "SystemName", "CreationClassName",
                                                    "Name"};
const std::vector<std::string> kDeviceKeys = {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"};
const std::vector<std::string> kInstanceIdKey = {"InstanceID"};

ClassInfo plain(const char* name, const char* super, std::vector<std::string> keys = {}) {
  return ClassInfo{name, super, std::move(keys), "", ""};
}

ClassInfo association(const char* name, const char* super, const char* roleA, const char* roleB) {
  return ClassInfo{name, super, {roleA, roleB}, roleA, roleB};
}
}  // namespace

ClassHierarchy::ClassHierarchy() {
  // Abstract CIM classes.
  add(plain("CIM_ManagedElement", ""));
  add(plain("CIM_ManagedSystemElement", "CIM_ManagedElement"));
  add(plain("CIM_LogicalElement", "CIM_ManagedSystemElement"));
  add(plain("CIM_EnabledLogicalElement", "CIM_LogicalElement"));
  add(plain("CIM_System", "CIM_EnabledLogicalElement", kSystemKeys));
  add(plain("CIM_ComputerSystem", "CIM_System", kSystemKeys));
  add(plain("CIM_Service", "CIM_EnabledLogicalElement", kSystemScopedKeys));
  add(plain("CIM_StorageConfigurationService", "CIM_Service", kSystemScopedKeys));
  add(plain("CIM_ControllerConfigurationService", "CIM_Service", kSystemScopedKeys));
  add(plain("CIM_StorageHardwareIDManagementService", "CIM_Service", kSystemScopedKeys));
  add(plain("CIM_ReplicationService", "CIM_Service", kSystemScopedKeys));
  add(plain("SNIA_ReplicationService", "CIM_ReplicationService", kSystemScopedKeys));
  add(plain("CIM_LogicalDevice", "CIM_EnabledLogicalElement", kDeviceKeys));
  add(plain("CIM_StorageExtent", "CIM_LogicalDevice", kDeviceKeys));
  add(plain("CIM_StorageVolume", "CIM_StorageExtent", kDeviceKeys));
  add(plain("CIM_Controller", "CIM_LogicalDevice", kDeviceKeys));
  add(plain("CIM_ProtocolController", "CIM_LogicalDevice", kDeviceKeys));
  add(plain("CIM_SCSIProtocolController", "CIM_ProtocolController", kDeviceKeys));
  add(plain("CIM_StoragePool", "CIM_LogicalElement", kInstanceIdKey));
  add(plain("CIM_Job", "CIM_LogicalElement", kInstanceIdKey));
  add(plain("CIM_ConcreteJob", "CIM_Job", kInstanceIdKey));
  add(plain("CIM_SoftwareIdentity", "CIM_LogicalElement", kInstanceIdKey));
  add(plain("CIM_Collection", "CIM_ManagedElement", kInstanceIdKey));
  add(plain("CIM_SystemSpecificCollection", "CIM_Collection", kInstanceIdKey));
  add(plain("CIM_StorageHardwareIDCollection", "CIM_SystemSpecificCollection", kInstanceIdKey));
  add(plain("CIM_Identity", "CIM_ManagedElement", kInstanceIdKey));
  add(plain("CIM_StorageHardwareID", "CIM_Identity", kInstanceIdKey));
  add(plain("CIM_Privilege", "CIM_ManagedElement", kInstanceIdKey));
  add(plain("CIM_AuthorizedPrivilege", "CIM_Privilege", kInstanceIdKey));
  add(plain("CIM_SettingData", "CIM_ManagedElement", kInstanceIdKey));
  add(plain("CIM_StorageSetting", "CIM_SettingData", kInstanceIdKey));
  add(plain("CIM_Capabilities", "CIM_ManagedElement", kInstanceIdKey));
  add(plain("CIM_StorageReplicationCapabilities", "CIM_Capabilities", kInstanceIdKey));
  add(plain("CIM_SynchronizationAspect", "CIM_SettingData", kInstanceIdKey));
  add(plain("CIM_ReplicationGroup", "CIM_SystemSpecificCollection", kInstanceIdKey));

  // Abstract CIM associations.
  add(association("CIM_Dependency", "", "Antecedent", "Dependent"));
  add(association("CIM_HostedDependency", "CIM_Dependency", "Antecedent", "Dependent"));
  add(association("CIM_HostedService", "CIM_HostedDependency", "Antecedent", "Dependent"));
  add(association("CIM_Component", "", "GroupComponent", "PartComponent"));
  add(association("CIM_SystemComponent", "CIM_Component", "GroupComponent", "PartComponent"));
  add(association("CIM_HostedStoragePool", "CIM_SystemComponent", "GroupComponent", "PartComponent"));
  add(association("CIM_SystemDevice", "CIM_SystemComponent", "GroupComponent", "PartComponent"));
  add(association("CIM_AllocatedFromStoragePool", "CIM_Dependency", "Antecedent", "Dependent"));
  add(association("CIM_ProtocolControllerForDevice", "CIM_Dependency", "Antecedent", "Dependent"));
  add(association("CIM_ProtocolControllerForUnit", "CIM_ProtocolControllerForDevice", "Antecedent", "Dependent"));
  add(association("CIM_Synchronized", "", "SystemElement", "SyncedElement"));
  add(association("CIM_StorageSynchronized", "CIM_Synchronized", "SystemElement", "SyncedElement"));
  add(association("CIM_MemberOfCollection", "", "Collection", "Member"));
  add(association("CIM_OrderedMemberOfCollection", "CIM_MemberOfCollection", "Collection", "Member"));
  add(association("CIM_AuthorizedSubject", "", "Privilege", "PrivilegedElement"));
  add(association("CIM_AuthorizedTarget", "", "Privilege", "TargetElement"));
  add(association("CIM_OwningJobElement", "", "OwningElement", "OwnedElement"));
  add(association("CIM_AffectedJobElement", "", "AffectedElement", "AffectingElement"));
  add(association("CIM_ElementSettingData", "", "ManagedElement", "SettingData"));
  add(association("CIM_ElementCapabilities", "", "ManagedElement", "Capabilities"));
  add(association("CIM_SettingsDefineState", "", "ManagedElement", "SettingData"));
  add(association("CIM_ElementSoftwareIdentity", "CIM_Dependency", "Antecedent", "Dependent"));

  // The array's own classes; the system is declared first so it leads every CIM_ComputerSystem answer.
  add(plain("TPD_StorageSystem", "CIM_ComputerSystem", kSystemKeys));
  add(plain("TPD_StorageConfigurationService", "CIM_StorageConfigurationService", kSystemScopedKeys));
  add(plain("TPD_ControllerConfigurationService", "CIM_ControllerConfigurationService", kSystemScopedKeys));
  add(plain("TPD_StorageHardwareIDManagementService", "CIM_StorageHardwareIDManagementService", kSystemScopedKeys));
  add(plain("TPD_ReplicationService", "SNIA_ReplicationService", kSystemScopedKeys));
  add(plain("TPD_SoftwareIdentity", "CIM_SoftwareIdentity", kInstanceIdKey));
  add(plain("TPD_StorageReplicationCapabilities", "CIM_StorageReplicationCapabilities", kInstanceIdKey));
  add(plain("TPD_PrimordialStoragePool", "CIM_StoragePool", kInstanceIdKey));
  add(plain("TPD_ConcreteStoragePool", "CIM_StoragePool", kInstanceIdKey));
  add(plain("TPD_DynamicStoragePool", "CIM_StoragePool", kInstanceIdKey));
  add(plain("TPD_DeltaReplicaStoragePool", "CIM_StoragePool", kInstanceIdKey));
  add(plain("TPD_StorageSetting", "CIM_StorageSetting", kInstanceIdKey));
  add(plain("TPD_StorageVolume", "CIM_StorageVolume", kDeviceKeys));
  add(plain("TPD_StorageHardwareIDCollection", "CIM_StorageHardwareIDCollection", kInstanceIdKey));
  add(plain("TPD_StorageHardwareID", "CIM_StorageHardwareID", kInstanceIdKey));
  add(plain("TPD_SCSIController", "CIM_SCSIProtocolController", kDeviceKeys));
  add(plain("TPD_AuthorizedPrivilege", "CIM_AuthorizedPrivilege", kInstanceIdKey));
  add(plain("TPD_ConcreteJob", "CIM_ConcreteJob", kInstanceIdKey));
  add(plain("TPD_SynchronizationAspect", "CIM_SynchronizationAspect", kInstanceIdKey));

  add(association("TPD_HostedService", "CIM_HostedService", "Antecedent", "Dependent"));
  add(association("TPD_HostedStoragePool", "CIM_HostedStoragePool", "GroupComponent", "PartComponent"));
  add(association("TPD_SystemDevice", "CIM_SystemDevice", "GroupComponent", "PartComponent"));
  add(association("TPD_AllocatedFromStoragePool", "CIM_AllocatedFromStoragePool", "Antecedent", "Dependent"));
  add(association("TPD_ReplicaPoolForStorage", "CIM_Dependency", "Antecedent", "Dependent"));
  add(association("TPD_ControllerForUnit", "CIM_ProtocolControllerForUnit", "Antecedent", "Dependent"));
  add(association("TPD_StorageSynchronized", "CIM_StorageSynchronized", "SystemElement", "SyncedElement"));
  add(association("TPD_MemberOfCollection", "CIM_MemberOfCollection", "Collection", "Member"));
  // Remote copy.
  add(plain("TPD_ReplicationServiceCapabilities", "CIM_Capabilities", kInstanceIdKey));
  add(plain("TPD_RemoteReplicationGroup", "CIM_SystemSpecificCollection", kInstanceIdKey));
  add(plain("TPD_ReplicationEntity", "CIM_ManagedElement", kInstanceIdKey));
  add(plain("TPD_RemoteServiceAccessPoint", "CIM_EnabledLogicalElement", kSystemScopedKeys));
  add(association("TPD_OrderedMemberOfRemoteReplicationGroup", "CIM_MemberOfCollection", "Collection", "Member"));
  add(association("TPD_RemoteGroupSynchronized", "CIM_Synchronized", "SystemElement", "SyncedElement"));
  add(association("TPD_RemoteStorageSynchronized", "CIM_Synchronized", "SystemElement", "SyncedElement"));
  add(association("TPD_AuthorizedSubject", "CIM_AuthorizedSubject", "Privilege", "PrivilegedElement"));
  add(association("TPD_AuthorizedTarget", "CIM_AuthorizedTarget", "Privilege", "TargetElement"));
  add(association("TPD_OwningJobElement", "CIM_OwningJobElement", "OwningElement", "OwnedElement"));
  add(association("TPD_AffectedJobElement", "CIM_AffectedJobElement", "AffectedElement", "AffectingElement"));
  add(association("TPD_ElementSettingData", "CIM_ElementSettingData", "ManagedElement", "SettingData"));
  add(association("TPD_ElementCapabilities", "CIM_ElementCapabilities", "ManagedElement", "Capabilities"));
  add(association("TPD_SettingsDefineState", "CIM_SettingsDefineState", "ManagedElement", "SettingData"));
  add(association("TPD_ElementSoftwareIdentity", "CIM_ElementSoftwareIdentity", "Antecedent", "Dependent"));

  // The other families' classes.
  for (ClassInfo& info : vendorProfileClasses()) add(std::move(info));

  lowerNamesUnder_.resize(classes_.size());
  for (std::size_t ancestor = 0; ancestor < classes_.size(); ++ancestor)
    for (const ClassInfo& info : classes_)
      if (isA(info.name, classes_[ancestor].name)) lowerNamesUnder_[ancestor].push_back(lowerCase(info.name));
}

const std::vector<std::string>& ClassHierarchy::lowerNamesUnder(const std::string& ancestor) const {
  static const std::vector<std::string> none;
  auto it = byLowerName_.find(lowerCase(ancestor));
  return it == byLowerName_.end() ? none : lowerNamesUnder_[it->second];
}

void ClassHierarchy::add(ClassInfo info) {
  byLowerName_[lowerCase(info.name)] = classes_.size();
  classes_.push_back(std::move(info));
}

const ClassHierarchy& ClassHierarchy::instance() {
  static const ClassHierarchy hierarchy;
  return hierarchy;
}

const ClassInfo* ClassHierarchy::find(const std::string& name) const {
  auto it = byLowerName_.find(lowerCase(name));
  return it == byLowerName_.end() ? nullptr : &classes_[it->second];
}

bool ClassHierarchy::isA(const std::string& cls, const std::string& ancestor) const {
  const ClassInfo* info = find(cls);
  const ClassInfo* target = find(ancestor);
  if (!info || !target) return false;
  for (int depth = 0; info && depth < 32; ++depth) {
    if (info == target) return true;
    info = info->superClass.empty() ? nullptr : find(info->superClass);
  }
  return false;
}

}  // namespace smissim
