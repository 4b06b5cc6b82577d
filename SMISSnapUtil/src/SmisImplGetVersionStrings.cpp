// The firmware version text and build number of the array, from the provider's software identities.
#include "SmisCall.h"
#include "SmisVolumeParams.h"
#include "TqCimConnection.h"

using namespace Pegasus;

std::uint32_t SmisAction::GetVersionStrings(TqCimConnection& conn, const char* instanceId, std::string& versionString,
                                            std::uint16_t& buildNumber) {
  versionString.clear();
  Array<CIMName> names;
  names.append(CIMName("VersionString"));
  names.append(CIMName("BuildNumber"));
  names.append(CIMName("InstanceID"));
  const char* identityClass = "CIM_SoftwareIdentity";
  Array<CIMInstance> identities = conn.GetInstances(String(identityClass), CIMPropertyList(names));
  DEBUG_TRACE("SMIS::GetVersionStrings", "Class [%s] got %d instances", identityClass,
              static_cast<int>(identities.size()));
  std::string version;
  Uint64 build = 0;
  for (Uint32 i = 0; i < identities.size(); ++i) {
    std::string id;
    if (!smisvolume::ReadString(identities[i], "InstanceID", id) || id != (instanceId ? instanceId : "")) continue;
    smisvolume::ReadString(identities[i], "VersionString", version);
    smisvolume::ReadUint64(identities[i], "BuildNumber", build);
    versionString = version;
    buildNumber = static_cast<std::uint16_t>(build);
  }
  return 0;
}
