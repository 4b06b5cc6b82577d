// The array's firmware version, read from the provider's software identities.
#include "SmisCall.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kSoftwareIdentity = "CIM_SoftwareIdentity";
const char* const k3PARFirmwareIds[] = {"3PAR:InForm OS Version", "HP_3PAR:InForm OS Version"};

// The property's value into `value` when the instance has it; a null value leaves `value` as it was.
template <class T>
void TakeIfPresent(const CIMInstance& instance, const char* name, T& value) {
  Uint32 index = instance.findProperty(CIMName(name));
  if (index != PEG_NOT_FOUND) instance.getProperty(index).getValue().get(value);
}

}  // namespace

std::uint32_t SmisAction::GetVersionStrings(TqCimConnection& conn, const char* instanceId, std::string& versionString,
                                            std::uint16_t& buildNumber) {
  SmisCall call(*this, conn, "SMIS::GetVersionStrings", "GetVersionStrings");
  call.UsePlainUnknownText();
  versionString.clear();
  // A failure keeps what an earlier match stored: the result is 0 all the same.
  call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    Array<CIMName> names;
    names.append(CIMName("VersionString"));
    names.append(CIMName("BuildNumber"));
    names.append(CIMName("InstanceID"));
    Array<CIMInstance> instances = conn.GetInstances(String(kSoftwareIdentity), CIMPropertyList(names));
    DEBUG_TRACE(call.Label(), "Class [%s] got %d instances", kSoftwareIdentity, static_cast<int>(instances.size()));
    // The taken values carry over: a match without one property reports an earlier match's value.
    String version;
    Uint16 build = 0;
    for (Uint32 i = 0; i < instances.size(); ++i) {
      String id;
      Uint32 index = instances[i].findProperty(CIMName("InstanceID"));
      if (index == PEG_NOT_FOUND) continue;
      instances[i].getProperty(index).getValue().get(id);
      if (id.str() != instanceId) continue;
      TakeIfPresent(instances[i], "VersionString", version);
      TakeIfPresent(instances[i], "BuildNumber", build);
      versionString = version.str();
      buildNumber = build;
    }
    return kSmisSuccess;
  });
  return kSmisSuccess;
}

bool SmisAction::Get3PARFirmware(TqCimConnection& conn, std::string& versionString, std::uint16_t& buildNumber) {
  for (const char* id : k3PARFirmwareIds) {
    buildNumber = 0;
    GetVersionStrings(conn, id, versionString, buildNumber);
    if (!versionString.empty() && buildNumber != 0) return true;
  }
  return false;
}
