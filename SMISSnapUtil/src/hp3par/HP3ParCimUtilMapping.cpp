// Whether a 3PAR volume is presented to given initiator ports, to another host only, or to nobody.
#include <string>

#include "HP3ParCimUtil.h"
#include "HP3ParCimUtilSupport.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::TracedOr;

namespace {

enum CheckPosition { kSystem, kVolumeText, kPorts, kCheckPositions };

std::string Traced(const Array<String>& items) {
  std::vector<std::string> texts;
  for (Uint32 i = 0; i < items.size(); ++i) texts.push_back(items[i].str());
  return hp3par::BlankJoined(texts);
}

}  // namespace

int HP3ParCimUtil::IsVolumeMapped(TqCimConnection& conn, std::string systemName, std::string volumeName,
                                  std::string initiators, std::string& volumeUuid) {
  const char* label = "HP3ParCimUtil::IsVolumeMapped";
  if (systemName.empty() || volumeName.empty() || initiators.empty()) {
    DEBUG_TRACE(label, "Invalid Parameters\n");
    return kHP3ParMappingError;
  }
  return TracedOr(*this, label, TQ_HANDLER_SITE, static_cast<int>(kHP3ParMappingError), [&]() -> int {
    CIMObjectPath volume = FindArrayVolume(conn, systemName, volumeName);
    DEBUG_TRACE_NORMAL(label, "Volume Path %s\n", GetObjectPathString(volume).c_str());
    if (hp3par::LoginRefused(*this, conn, label)) return kHP3ParMappingError;
    if (volume.getClassName().isNull()) return kHP3ParVolumeNameNotFound;
    if (volumeUuid.empty()) volumeUuid = GetCIMProp(conn, volume, "Name");
    DEBUG_TRACE_NORMAL(label, "Volume UUID %s\n", volumeUuid.c_str());

    std::vector<std::string> args = {systemName, volumeUuid, initiators};
    SmisResultCode result = IsVolumeMappedUtil(conn, args);
    std::string text;
    switch (result) {
      case kSmisSuccess:
        return kHP3ParMappedToPorts;
      case kSmisMappingNotFound:
        DEBUG_TRACE(label, "Volume %s mapping not found\n", volumeName.c_str());
        return kHP3ParNotMapped;
      case kSmisHostMappingsFound:
        DEBUG_TRACE_NORMAL(label, "Volume %s mapped to another host", volumeName.c_str());
        return kHP3ParMappedToOtherHost;
      case kSmisVolumeNotFound:
        text = std::string(label) + ": Volume " + volumeName + " not found";
        DEBUG_SET_ERROR(static_cast<int>(kSmisVolumeNotFound), text.c_str());
        return kHP3ParMappingError;
      default:
        // A failure, a missing array or any unexpected code: never read as "mapped".
        text = std::string(label) + ":SMIS API failure";
        DEBUG_SET_ERROR(3, text.c_str());
        return kHP3ParMappingError;
    }
  });
}

SmisResultCode HP3ParCimUtil::IsVolumeMappedUtil(TqCimConnection& conn, std::vector<std::string>& args) {
  const char* label = "HP3ParCimUtil::IsVolumeMappedUtil";
  if (args.size() < kCheckPositions) {
    DEBUG_TRACE(label, "chkvolmap: Insufficient params specified");
    DEBUG_TRACE(label, "    need: SystemName volName initiatorPortsList");
    DEBUG_TRACE(label, "\t List is comma delimited");
    return kSmisTooFewArguments;
  }
  return TracedOr(*this, label, TQ_HANDLER_SITE, kSmisFailed, [&]() -> SmisResultCode {
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, args[kSystem]);
    if (GetObjectPathString(system).empty()) {
      DEBUG_TRACE(label, "SystemName <%s> not found", args[kSystem].c_str());
      return kSmisObjectNotFound;
    }
    Array<String> volumes;
    if (!hp3par::IsAbsent(args[kVolumeText])) volumes.append(String(args[kVolumeText]));
    Array<String> ports;
    if (!hp3par::IsAbsent(args[kPorts])) ports = InputToStringArray(args[kPorts], ',');

    std::string volumeName;
    if (volumes.size() > 0) {
      CIMObjectPath volume = ResolveMappedVolume(conn, args[kVolumeText]);
      std::string volumeText = GetObjectPathString(volume);
      if (volumeText.empty()) {
        DEBUG_TRACE(label, "Storage Volume <%s> not found", args[kVolumeText].c_str());
        return kSmisVolumeNotFound;
      }
      CIMInstance instance = conn.GetInstance(volume);
      if (instance.findProperty(CIMName("ElementName")) != PEG_NOT_FOUND)
        volumeName = GetCIMProp(instance, "ElementName");
      DEBUG_TRACE_NORMAL(label, "vols : %s", Traced(volumes).c_str());
      DEBUG_TRACE_NORMAL(label, "HBA ports : %s", Traced(ports).c_str());
      volumes[0] = String(volumeText);  // the views are asked for the volume found, by its path
    }

    Array<CIMObjectPath> allViews = GetCtlrPathList(conn, system, volumes, Array<String>());
    Array<CIMObjectPath> portViews;
    if (ports.size() > 0) portViews = GetCtlrPathList(conn, system, volumes, ports);
    // Views that could not be listed are no answer: never read that as "not mapped".
    if (hp3par::LoginRefused(*this, conn, label)) return kSmisFailed;
    if (ports.size() == 0) {
      if (allViews.size() == 0) {
        DEBUG_TRACE_NORMAL(label, "No mapping found for StorageVolume <%s>", volumeName.c_str());
        return kSmisMappingNotFound;
      }
    } else {
      if (allViews.size() == 0 && portViews.size() == 0) {
        DEBUG_TRACE_NORMAL(label, "Storage Volume <%s> not mapped to any host", volumeName.c_str());
        return kSmisMappingNotFound;
      }
      if (portViews.size() == 0) {
        DEBUG_TRACE(label, "Storage Volume <%s> mapped to another host", volumeName.c_str());
        return kSmisHostMappingsFound;
      }
    }
    DEBUG_TRACE_NORMAL(label, "Storage Volume <%s> found mappings for the Host", volumeName.c_str());
    return kSmisSuccess;
  });
}

// An instance path as it is; any other text (a WWN is never a path) as the volume's Name.
CIMObjectPath HP3ParCimUtil::ResolveMappedVolume(TqCimConnection& conn, const std::string& volumeText) {
  try {
    CIMObjectPath path{String(volumeText)};
    if (path.getKeyBindings().size() > 0) return path;
  } catch (const Exception&) {
  }
  DEBUG_TRACE_NORMAL("HP3ParCimUtil::IsVolumeMappedUtil",
                     "Supplied source volume is not a object path, assuming UUID(Name)");
  String volumeClass = "CIM_StorageVolume";
  return GetObjPathByPropName(conn, volumeClass, "Name", String(volumeText));
}
