#include "MethodSignatures.h"

#include "ClassHierarchy.h"
#include "NoCase.h"

using namespace Pegasus;

namespace smissim {

namespace {
ParameterSignature in(const char* name, CIMType type, bool isArray = false, const char* refClass = "") {
  return ParameterSignature{name, type, isArray, true, false, refClass, false};
}
// An in-parameter that every call must carry (a null value still counts as carried).
ParameterSignature required(const char* name, CIMType type, bool isArray = false, const char* refClass = "") {
  return ParameterSignature{name, type, isArray, true, false, refClass, true};
}
ParameterSignature out(const char* name, CIMType type, bool isArray = false, const char* refClass = "") {
  return ParameterSignature{name, type, isArray, false, true, refClass, false};
}
ParameterSignature inOut(const char* name, CIMType type, bool isArray = false, const char* refClass = "") {
  return ParameterSignature{name, type, isArray, true, true, refClass, false};
}
// CreateOrModifyElementFromStoragePool, offered by the storage configuration services of every family.
std::vector<ParameterSignature> createOrModifyParameters() {
  return {in("ElementName", CIMTYPE_STRING),
          in("ElementType", CIMTYPE_UINT16),
          out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
          in("Goal", CIMTYPE_REFERENCE, false, "CIM_ManagedElement"),
          inOut("Size", CIMTYPE_UINT64),
          in("InPool", CIMTYPE_REFERENCE, false, "CIM_StoragePool"),
          inOut("TheElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement")};
}
}  // namespace

const std::vector<MethodSignature>& methodSignatures() {
  static const std::vector<MethodSignature> signatures = {
      {"TPD_StorageConfigurationService",
       "CreateReplica",
       {in("ElementName", CIMTYPE_STRING), out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("SourceElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        out("TargetElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        in("TargetSettingGoal", CIMTYPE_REFERENCE, false, "CIM_SettingData"),
        in("TargetPool", CIMTYPE_REFERENCE, false, "CIM_StoragePool"), required("CopyType", CIMTYPE_UINT16)}},
      {"CIM_ReplicationService",
       "GetServiceAccessPoints",
       {required("System", CIMTYPE_REFERENCE, false, "CIM_System"), in("Requirements", CIMTYPE_UINT16, true),
        out("ServiceAccessPoints", CIMTYPE_REFERENCE, true, "CIM_ServiceAccessPoint")}},
      {"CIM_ReplicationService",
       "CreateGroupReplicaFromElements",
       {required("SyncType", CIMTYPE_UINT16), in("Mode", CIMTYPE_UINT16), in("SourceGroupName", CIMTYPE_STRING),
        required("SourceElements", CIMTYPE_REFERENCE, true, "CIM_ManagedElement"),
        in("TargetAccessPoint", CIMTYPE_REFERENCE, false, "CIM_ManagedElement"),
        in("TargetPool", CIMTYPE_REFERENCE, false, "CIM_StoragePool"),
        out("Synchronization", CIMTYPE_REFERENCE, false, "CIM_ManagedElement"),
        out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob")}},
      {"CIM_ReplicationService",
       "CreateElementReplica",
       {in("ElementName", CIMTYPE_STRING), out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("SyncType", CIMTYPE_UINT16), in("Mode", CIMTYPE_UINT16),
        required("SourceElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        inOut("TargetElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        in("TargetSettingGoal", CIMTYPE_REFERENCE, false, "CIM_SettingData"),
        in("TargetPool", CIMTYPE_REFERENCE, false, "CIM_StoragePool"), in("WaitForCopyState", CIMTYPE_UINT16)}},
      {"CIM_ReplicationService",
       "ModifyReplicaSynchronization",
       {required("Operation", CIMTYPE_UINT16), out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("Synchronization", CIMTYPE_REFERENCE, false, "CIM_Synchronized"), in("Force", CIMTYPE_BOOLEAN),
        in("WaitForCopyState", CIMTYPE_UINT16),
        in("ReplicationSettingData", CIMTYPE_REFERENCE, false, "CIM_SettingData")}},
      {"CIM_ReplicationService",
       "ModifyListSynchronization",
       {required("Operation", CIMTYPE_UINT16), out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("Synchronization", CIMTYPE_REFERENCE, true, "CIM_Synchronized"), in("Force", CIMTYPE_BOOLEAN),
        in("WaitForCopyState", CIMTYPE_UINT16)}},
      {"CIM_ReplicationService",
       "CreateSynchronizationAspect",
       {in("Name", CIMTYPE_STRING), required("SyncType", CIMTYPE_UINT16), in("Mode", CIMTYPE_UINT16),
        in("SourceElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        in("SourceGroup", CIMTYPE_REFERENCE, false, "CIM_ReplicationGroup"), in("Consistency", CIMTYPE_UINT16),
        in("ServiceAccessPoint", CIMTYPE_REFERENCE, false, "CIM_ServiceAccessPoint"),
        out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob")}},
      {"CIM_ReplicationService",
       "CreateListSynchronizationAspect",
       {in("Names", CIMTYPE_STRING, true), required("SyncType", CIMTYPE_UINT16), in("Mode", CIMTYPE_UINT16),
        in("SourceElements", CIMTYPE_REFERENCE, true, "CIM_LogicalElement"), in("Consistency", CIMTYPE_UINT16),
        in("ServiceAccessPoint", CIMTYPE_REFERENCE, false, "CIM_ServiceAccessPoint"),
        out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob")}},
      {"CIM_ReplicationService",
       "ModifySettingsDefineState",
       {required("Operation", CIMTYPE_UINT16),
        required("SettingsState", CIMTYPE_REFERENCE, false, "CIM_SettingsDefineState"),
        in("TargetElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"), in("WaitForCopyState", CIMTYPE_UINT16),
        out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob")}},
      {"CIM_ReplicationService",
       "ModifyListSettingsDefineState",
       {required("Operation", CIMTYPE_UINT16),
        required("SettingsStates", CIMTYPE_REFERENCE, true, "CIM_SettingsDefineState"),
        in("TargetElements", CIMTYPE_REFERENCE, true, "CIM_LogicalElement"), in("WaitForCopyState", CIMTYPE_UINT16),
        in("ElementNames", CIMTYPE_STRING, true), out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob")}},
      {"TPD_StorageConfigurationService", "CreateOrModifyElementFromStoragePool", createOrModifyParameters()},
      {"CIM_StorageConfigurationService", "CreateOrModifyElementFromStoragePool", createOrModifyParameters()},
      {"TPD_StorageConfigurationService",
       "AttachOrModifyReplica",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("SourceElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        required("TargetElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"), required("CopyType", CIMTYPE_UINT16),
        in("Goal", CIMTYPE_STRING), in("ReplicationPipe", CIMTYPE_REFERENCE, false, "CIM_ManagedElement")}},
      {"TPD_StorageConfigurationService",
       "AttachReplica",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("SourceElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        required("TargetElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement"),
        required("CopyType", CIMTYPE_UINT16)}},
      {"TPD_StorageConfigurationService",
       "ModifySynchronization",
       {required("Operation", CIMTYPE_UINT16), out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("Synchronization", CIMTYPE_REFERENCE, false, "CIM_StorageSynchronized")}},
      {"TPD_StorageConfigurationService",
       "ReturnToStoragePool",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"),
        required("TheElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement")}},
      {"TPD_StorageHardwareIDManagementService",
       "CreateHardwareIDCollection",
       {required("ElementName", CIMTYPE_STRING), in("HardwareIDs", CIMTYPE_STRING, true),
        out("Collection", CIMTYPE_REFERENCE, false, "CIM_StorageHardwareIDCollection")}},
      {"TPD_StorageHardwareIDManagementService",
       "AddHardwareIDsToCollection",
       {required("HardwareIDs", CIMTYPE_STRING, true),
        required("Collection", CIMTYPE_REFERENCE, false, "CIM_StorageHardwareIDCollection")}},
      {"TPD_ControllerConfigurationService",
       "ExposeLUsToStorageHardwareIDCollection",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"), required("LUNames", CIMTYPE_STRING, true),
        required("HostNames", CIMTYPE_STRING, true), in("TargetPortLPIDs", CIMTYPE_STRING, true),
        in("TargetPortIDs", CIMTYPE_STRING, true), in("DeviceNumbers", CIMTYPE_STRING, true),
        required("DeviceAccesses", CIMTYPE_UINT16, true),
        in("ProtocolControllers", CIMTYPE_REFERENCE, true, "CIM_SCSIProtocolController"),
        in("Override", CIMTYPE_BOOLEAN), in("NoVCN", CIMTYPE_BOOLEAN),
        out("ResultDescriptions", CIMTYPE_STRING, true)}},
      {"TPD_ControllerConfigurationService",
       "ExposePaths",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"), required("LUNames", CIMTYPE_STRING, true),
        in("InitiatorPortIDs", CIMTYPE_STRING, true), in("TargetPortIDs", CIMTYPE_STRING, true),
        in("DeviceNumbers", CIMTYPE_STRING, true), in("DeviceAccesses", CIMTYPE_UINT16, true),
        inOut("ProtocolControllers", CIMTYPE_REFERENCE, true, "CIM_SCSIProtocolController")}},
      {"TPD_ControllerConfigurationService",
       "HidePaths",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"), required("LUNames", CIMTYPE_STRING, true),
        in("InitiatorPortIDs", CIMTYPE_STRING, true), in("TargetPortIDs", CIMTYPE_STRING, true),
        in("DeviceNumbers", CIMTYPE_STRING, true),
        inOut("ProtocolControllers", CIMTYPE_REFERENCE, true, "CIM_SCSIProtocolController"),
        in("NoVCN", CIMTYPE_BOOLEAN), out("ResultDescriptions", CIMTYPE_STRING, true)}},
      {"TPD_ControllerConfigurationService",
       "HideLUsFromStorageHardwareIDCollection",
       {out("Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob"), required("LUNames", CIMTYPE_STRING, true),
        in("InitiatorPortIDs", CIMTYPE_STRING, true), in("TargetPortIDs", CIMTYPE_STRING, true),
        in("DeviceNumbers", CIMTYPE_STRING, true),
        required("ProtocolControllers", CIMTYPE_REFERENCE, true, "CIM_SCSIProtocolController"),
        in("NoVCN", CIMTYPE_BOOLEAN), out("ResultDescriptions", CIMTYPE_STRING, true)}},
  };
  return signatures;
}

const MethodSignature* findMethod(const std::string& className, const std::string& methodName) {
  const ClassHierarchy& hierarchy = ClassHierarchy::instance();
  for (const MethodSignature& method : methodSignatures())
    if (sameNoCase(method.name, methodName) &&
        (hierarchy.isA(method.className, className) || hierarchy.isA(className, method.className)))
      return &method;
  return nullptr;
}

const ParameterSignature* findParameter(const MethodSignature& method, const std::string& name) {
  for (const ParameterSignature& parameter : method.parameters)
    if (sameNoCase(parameter.name, name)) return &parameter;
  return nullptr;
}

}  // namespace smissim
