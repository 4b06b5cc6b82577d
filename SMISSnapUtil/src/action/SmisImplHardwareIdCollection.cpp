// Hardware-ID collections (a host as the provider models it): adding initiator IDs to the host's
// collection, created on first use, and creating an empty one.
#include "SmisCall.h"
#include "SmisMasking.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using smismasking::IsNone;
using smismasking::kHardwareIdService;

namespace {

// The answer of a hardware-ID method: 4096 means an invalid hardware ID here, never a job.
SmisOutcomeRule HardwareIdRule(const char* failedLine) {
  SmisOutcomeRule rule;
  rule.job = SmisJobRule::kStartedIsFailure;
  rule.failedLine = failedLine;
  return rule;
}

}  // namespace

std::uint32_t SmisAction::AddPortsToHardwareIDCollection(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::AddPortsToHardwareIDCollection", "AddHardwareIDsToCollection");
  const char* label = call.Label();
  if (args.size() < 3) {
    DEBUG_TRACE(label, "Invalid parameter count (%d)...Method failed", static_cast<int>(args.size()));
    return kSmisTooFewArguments;
  }
  const std::string& systemName = args[0];
  const std::string& collectionName = args[1];
  DEBUG_TRACE_NORMAL(label, "[Collection - %s] [ ports - %s]", collectionName.c_str(), args[2].c_str());
  Array<String> ports = InputToStringArray(args[2], ',');
  if (ports.size() == 0) {
    DEBUG_TRACE(label, "initPortList count (0)...Nothing todo");
    return kSmisTooFewArguments;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath collection = GetHardwareIdCollectionPath(conn, collectionName);
    if (IsNone(collection)) {
      DEBUG_TRACE(label, " GetHardwareIdCollection object (%s) not found Creating new one...", collectionName.c_str());
      if (CreateStorageHardwareIDCollection(conn, systemName.c_str(), collectionName.c_str()) != kSmisSuccess) {
        DEBUG_TRACE(label, " Create HardwareIdCollection Failed (%s)", collectionName.c_str());
        return kSmisFailed;
      }
      collection = GetHardwareIdCollectionPath(conn, collectionName);
      if (IsNone(collection)) {
        DEBUG_TRACE(label, " Create HardwareIdCollection2 Failed (%s)", collectionName.c_str());
        return kSmisFailed;
      }
    }
    if (!call.FindService(systemName, kHardwareIdService)) return kSmisObjectNotFound;
    DEBUG_TRACE_NORMAL(label, "[ Service: %s ] [ object - %s ] [Ports - %d]",
                       GetObjectPathString(call.Service()).c_str(), GetObjectPathString(collection).c_str(),
                       static_cast<int>(ports.size()));
    Array<CIMParamValue> in;
    in.append(CIMParamValue("Collection", CIMValue(collection)));
    in.append(CIMParamValue("HardwareIDs", CIMValue(ports)));
    SmisMethod method;
    method.name = "AddHardwareIDsToCollection";
    method.retValLine = SmisMethod::kMethodRetVal;
    return call.Finish(call.Invoke(method, in), HardwareIdRule("Method, Failed..."));
  });
}

std::uint32_t SmisAction::CreateStorageHardwareIDCollection(TqCimConnection& conn, const char* systemName,
                                                            const char* collectionName) {
  SmisCall call(*this, conn, "SMIS::CreateStorageHardwareIDCollection", "CreateHardwareIDCollection");
  const std::string system = systemName ? systemName : "";
  const std::string name = collectionName ? collectionName : "";
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    if (!call.FindService(system, kHardwareIdService)) return kSmisObjectNotFound;
    const char* label = call.Label();
    DEBUG_TRACE_NORMAL(label, "Service: %s", GetObjectPathString(call.Service()).c_str());
    DEBUG_TRACE_NORMAL(label, "CreateStorageHardwareIDCollection Parameters");
    DEBUG_TRACE_NORMAL(label, "ElementName   - %s:", name.c_str());
    // The collection is made empty: the IDs are added by AddHardwareIDsToCollection.
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", CIMValue(String(name))));
    in.append(CIMParamValue("HardwareIDs", MakeCimNullVal(CIMTYPE_STRING, true)));
    SmisMethod method;
    method.name = "CreateHardwareIDCollection";
    method.retValFormat = "%s: Method , retVal = %u (0x%x)";
    return call.Finish(call.Invoke(method, in), HardwareIdRule("Method , Failed..."));
  });
}

std::uint32_t SmisAction::DeleteHardwareIDCollection(TqCimConnection&, const char*, const char*) {
  return kSmisSuccess;
}
