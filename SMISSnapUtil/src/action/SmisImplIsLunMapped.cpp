// Whether a volume is presented to a host's initiator ports, only to other hosts, or to nobody. Reads
// the volume's views; changes nothing on the array.
#include "SmisCall.h"
#include "SmisMasking.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using smismasking::Blanked;
using smismasking::IsNone;

SmisResultCode SmisAction::IsLunMapped(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::IsLunMapped", "chklunmap");
  const char* label = call.Label();
  if (!call.HasArgs(args, 3, "SystemName volName initiatorPortsList")) {
    DEBUG_TRACE(label, "\t List is comma delimited");
    return kSmisTooFewArguments;
  }
  call.UsePlainUnknownText();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, args[0]);
    if (IsNone(system)) {
      DEBUG_TRACE(label, "SystemName <%s> not found", args[0].c_str());
      return kSmisObjectNotFound;
    }
    // The volume position is one text, never split: a path holds commas of its own.
    Array<String> volumes;
    if (SmisCall::IsGiven(args, 1)) volumes.append(String(args[1]));
    Array<String> ports;
    if (SmisCall::IsGiven(args, 2)) ports = InputToStringArray(args[2], ',');

    std::string displayName;
    if (volumes.size() > 0) {
      CIMObjectPath volume;
      if (!call.FindVolume(args[1], "source volume", volume)) {
        DEBUG_TRACE(label, "Storage Volume <%s> not found", args[1].c_str());
        return kSmisVolumeNotFound;
      }
      CIMInstance instance = conn.GetInstance(volume);
      bool found = false;
      displayName = GetInstanceProp(conn, instance, "ElementName", found);
      DEBUG_TRACE_NORMAL(label, "vols : %s", Blanked(volumes).c_str());
      DEBUG_TRACE_NORMAL(label, "HBA ports : %s", Blanked(ports).c_str());
      volumes[0] = String(GetObjectPathString(volume));
    }
    const char* name = displayName.c_str();
    Array<CIMObjectPath> anyViews = GetCtlrPathList(conn, system, volumes, Array<String>());
    if (ports.size() == 0) {
      if (anyViews.size() == 0) {
        DEBUG_TRACE_NORMAL(label, "No mapping found for StorageVolume <%s>", name);
        return kSmisMappingNotFound;
      }
    } else {
      Array<CIMObjectPath> hostViews = GetCtlrPathList(conn, system, volumes, ports);
      if (hostViews.size() == 0 && anyViews.size() == 0) {
        DEBUG_TRACE_NORMAL(label, "Storage Volume <%s> not mapped to any host", name);
        return kSmisMappingNotFound;
      }
      if (hostViews.size() == 0) {
        DEBUG_TRACE(label, "Storage Volume <%s> mapped to another host", name);
        return kSmisHostMappingsFound;
      }
    }
    DEBUG_TRACE_NORMAL(label, "Storage Volume <%s> found mappings for the Host", name);
    return kSmisSuccess;
  });
}
