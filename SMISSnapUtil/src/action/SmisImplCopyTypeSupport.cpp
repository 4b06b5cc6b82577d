// Whether the array's provider offers a copy type: the synchronization types its replication capabilities
// declare, each read as the copy type it stands for.
#include "Pegasus/CIMPropertyList.h"
#include "SmisCall.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kCapabilitiesClass = "CIM_StorageReplicationCapabilities";
const char* const kSupportedType = "SupportedSynchronizationType";

// The copy type of each SupportedSynchronizationType value; values beyond the table stand for none.
const int kCopyTypeOfSyncType[] = {0, 0, 2, 2, 3, 3, 4, 4, 5, 6};
const std::size_t kSyncTypes = sizeof(kCopyTypeOfSyncType) / sizeof(kCopyTypeOfSyncType[0]);

bool Offers(const CIMInstance& capabilities, int copyType) {
  const CIMProperty& property = capabilities.getProperty(capabilities.findProperty(CIMName(kSupportedType)));
  Uint16 syncType = 0;
  property.getValue().get(syncType);
  return syncType < kSyncTypes && kCopyTypeOfSyncType[syncType] == copyType;
}

}  // namespace

SmisResultCode SmisAction::IsCopyTypeSupported(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::IsCopyTypeSupported", "chkcopysup");
  if (!call.HasArgs(args, 2, "SystemName CopyType")) return kSmisTooFewArguments;
  call.UsePlainUnknownText();
  const char* label = call.Label();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    int copyType = SmisCall::Decimal(args[1]);
    const std::string& system = args[0];
    if (GetSystemObjPathByNameProp(conn, system).getClassName().isNull()) {
      DEBUG_TRACE(label, "SystemName <%s> not found", system.c_str());
      return kSmisObjectNotFound;
    }
    Array<CIMName> only;
    only.append(CIMName(kSupportedType));
    Array<CIMInstance> capabilities = conn.GetInstances(String(kCapabilitiesClass), CIMPropertyList(only));
    DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instances", kCapabilitiesClass, static_cast<int>(capabilities.size()));
    for (Uint32 i = 0; i < capabilities.size(); ++i) {
      if (Offers(capabilities[i], copyType)) {
        DEBUG_TRACE(label, "Copy type <%d> is supported by the system <%s>", copyType, system.c_str());
        return kSmisSuccess;
      }
    }
    DEBUG_TRACE(label, "Copy type <%d> is not supported by the system <%s>", copyType, system.c_str());
    return kSmisFailed;
  });
}
