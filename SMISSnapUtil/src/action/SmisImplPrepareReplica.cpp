// Preparing a replica: the names a snapshot request holds (array, source volume, optional setting and pool)
// resolved into the argument vector of CreateReplica. Only looks things up.
#include "SmisCall.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kConfigService = "CIM_StorageConfigurationService";
const char* const kStorageSetting = "CIM_StorageSetting";
const char* const kStoragePool = "CIM_StoragePool";
const char* const kNull = "null";

// An optional position: present, not empty and not holding "null".
bool Present(const SmisArgs& args, std::size_t index) { return SmisCall::IsGiven(args, index) && !args[index].empty(); }

bool NeedsNameSpaceOnService(TQ_PROVIDER_VENDOR vendor) {
  return vendor == TQ_VENDOR_LSI || vendor == TQ_VENDOR_DCIM || vendor == TQ_VENDOR_NETAPP;
}

}  // namespace

bool SmisAction::ValidateCreateReplica(TqCimConnection& conn, SmisArgs& args, CIMObjectPath& servicePath) {
  const char* label = "SMIS::ValidateCreateReplica";
  if (args.size() < 4) {
    DEBUG_TRACE(label, "create: insufficient params specified");
    DEBUG_TRACE(label, "\tneed: systemName NewElementName CopyType(2-5) SourceVolume [TargetSettingId] [TargetPoolId]");
    return false;
  }
  if (ValidateSystemName(conn, args[0], String(kConfigService), servicePath)) return true;
  DEBUG_TRACE(label, "Class %s for system %s not found", kConfigService, args[0].c_str());
  return false;
}

bool SmisAction::PrepareCreateReplica(TqCimConnection& conn, SmisArgs& args, std::vector<std::string>& out) {
  SmisCall call(*this, conn, "SMIS::PrepareCreateReplica", "PrepareCreateReplica");
  call.UsePlainUnknownText();
  const char* label = call.Label();
  SmisResultCode prepared = call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath service;
    if (!ValidateCreateReplica(conn, args, service)) return kSmisFailed;
    call.UseService(service);

    CIMObjectPath source;
    if (!call.FindLun(args[3], "source volume", source)) {
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "SrcVol: %s", GetObjectPathString(source).c_str());

    std::string setting = kNull;
    if (Present(args, 4)) {
      CIMObjectPath path = GetObjPathByProp(conn, String(kStorageSetting), String("InstanceID"), args[4], "");
      if (path.getClassName().isNull()) {
        DEBUG_TRACE(label, "Class %s: InstanceID %s not found", kStorageSetting, args[4].c_str());
        return kSmisObjectNotFound;
      }
      setting = GetObjectPathString(path);
      DEBUG_TRACE_NORMAL(label, "Target Setting: %s", setting.c_str());
    }

    std::string pool = kNull;
    if (Present(args, 5)) {
      String poolClass(kStoragePool);
      // 3PAR and IBM SVC pool names are unique on the provider; elsewhere only the array's own pools count.
      CIMObjectPath path =
          call.Vendor() == TQ_VENDOR_HP_3PAR || call.Vendor() == TQ_VENDOR_IBM_SVC
              ? GetObjPathByPropName(conn, poolClass, String("ElementName"), String(args[5]))
              : GetObjPathByPropName(conn, args[0], poolClass, String("ElementName"), String(args[5]), false);
      if (path.getClassName().isNull()) {
        DEBUG_TRACE(label, "Class %s: name %s not found", kStoragePool, args[5].c_str());
        return kSmisObjectNotFound;
      }
      pool = GetObjectPathString(path);
      DEBUG_TRACE_NORMAL(label, "Storage Pool: %s", pool.c_str());
    } else {
      CIMObjectPath path = GetObjPathByAssnProp(conn, source, String(kStoragePool),
                                                String("CIM_AllocatedFromStoragePool"), String("InstanceID"), "");
      if (path.getClassName().isNull())
        DEBUG_TRACE(label, "Pool %s: not found for Storage Volume %s", kStoragePool,
                    GetObjectPathString(source).c_str());
      else
        pool = GetObjectPathString(path);
    }

    if (NeedsNameSpaceOnService(call.Vendor())) service.setNameSpace(call.NameSpace());
    out.insert(out.end(), {GetObjectPathString(service), args[1], args[2], GetObjectPathString(source), setting, pool});
    return kSmisSuccess;
  });
  return prepared == kSmisSuccess;
}
