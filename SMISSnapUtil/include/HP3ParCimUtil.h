// The 3PAR utility of the provisioning road. Over a connection its caller has connected (and disconnects),
// it lists an array's base volumes and pools for the inventory; creates, deletes and resizes a volume in
// pairs of a request builder (checks the array, the pool and the arguments, and prepares the action's
// argument vector) and an action (invokes the SMI-S method and follows its job); tells whether a volume is
// presented to given initiator ports, presents it and takes it away; and finds hosts, hardware IDs and the initiators
// that see a volume.
//
// A provider that refuses the login ("401") mid-operation makes the CIM layer's lookups answer with empty
// lists: every list and step here then counts as failed, never as "nothing there".
//
// The object keeps nothing between calls. Volumes are named by their whole ElementName, compared exactly:
// an empty name or part of another volume's name selects nothing. Which operations catch CIM faults and
// which pass them on to the caller is said beside each; the caller must catch what is passed on.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "HP3ParRecords.h"
#include "HP3ParResultCodes.h"
#include "Pegasus/Array.h"
#include "Pegasus/CIMName.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/String.h"
#include "TqCimUtil.h"

class SmisAction;
class TqCimConnection;

class HP3ParCimUtil : public virtual TqCimUtil {
 public:
  HP3ParCimUtil() = default;

  // ---- Inventory lists (trace and throw on; what was appended before a fault stays) ----------------
  // Appends the array's base volumes (VolumeType 1, SystemName holding the array name) and counts them.
  // False, with nothing appended, when the array is not found or the login was refused while listing.
  bool GetVolumeList(TqCimConnection& conn, std::string systemName, std::vector<HP3PAR::VolumeInfo_t>& volumes,
                     int& count);
  // Appends every pool of the provider with its capacities and the number of `volumes` in it.
  bool GetPoolList(TqCimConnection& conn, std::string systemName, std::vector<HP3PAR::PoolInfo_t>& pools,
                   std::vector<HP3PAR::VolumeInfo_t>& volumes, int& count);

  // ---- Volume creation, deletion and resizing (catch everything) -------------------------------------
  // Request: [0 SystemName, 1 volume name, 2 pool name ("null": none), 3 thin "1" or other, 4 size in bytes].
  // Prepared: create [system, volume, pool path, size, "1"|"0"]; delete [system, volume];
  // resize [system, volume, size, "1"|"0"]. Appended to `prepared`.
  SmisResultCode CreateStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                        std::vector<std::string>& prepared);
  SmisResultCode DeleteStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                        std::vector<std::string>& prepared);
  SmisResultCode ResizeStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                        std::vector<std::string>& prepared);
  // Act on a prepared vector; `elementPath` receives the method's element path (the new volume).
  SmisResultCode CreateStorageVolume(TqCimConnection& conn, std::vector<std::string>& args, std::string& elementPath);
  // Refuses a volume that still has masking views (kSmisHostMappingsFound).
  SmisResultCode DeleteStorageVolume(TqCimConnection& conn, std::vector<std::string>& args, std::string& elementPath);
  SmisResultCode ResizeStorageVolume(TqCimConnection& conn, std::vector<std::string>& args, std::string& elementPath);

  // ---- Mapping check (catch everything) --------------------------------------------------------------
  // The HP3ParMappingState of the named volume against the comma-separated initiators. `volumeUuid` given
  // empty is filled with the volume's Name, else used as it is.
  int IsVolumeMapped(TqCimConnection& conn, std::string systemName, std::string volumeName, std::string initiators,
                     std::string& volumeUuid);
  // [0 SystemName, 1 volume path or Name, 2 comma-separated ports]; "null" in 1 or 2 means absent.
  // 0 presented to the ports (without ports: presented at all), kSmisHostMappingsFound another host only,
  // kSmisMappingNotFound nobody, kSmisVolumeNotFound, kSmisTooFewArguments, kSmisObjectNotFound (array),
  // kSmisFailed after a caught fault.
  SmisResultCode IsVolumeMappedUtil(TqCimConnection& conn, std::vector<std::string>& args);

  // ---- Mapping and unmapping ------------------------------------------------------------------------
  // Request: [0 SystemName, 1 volume name, 2 pool name, 3 thin "1" or other, 4 size, 5 initiator ports
  // (comma-separated), 6 host name (map only)]. The array and the pool are checked as for a volume request
  // (catch everything). Prepared: map [system, volume, initiators, host name]; unmap [system, volume,
  // initiators].
  SmisResultCode MapStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                     std::vector<std::string>& prepared);
  SmisResultCode UnmapStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                       std::vector<std::string>& prepared);
  // Presents the volume to the host that holds the ports; ports no host holds are registered (each by its
  // own kind: iSCSI names begin "iqn.", "eui." or "naa.") with that host or, when none holds any, with a
  // definition "TQ_" + the first 20 characters of the host name + "_iscsi" or "_fc", made when missing.
  // 0 presented (or already so); kHP3ParHostUnusable for ports of several hosts, no ports, or ports that
  // cannot be registered; kSmisFailed otherwise. Faults of the CIM layer are passed on.
  SmisResultCode MapStorageVolume(TqCimConnection& conn, std::vector<std::string>& prepared, std::string& text);
  // Hides the volume from the ports and removes each host collection of those ports that sees nothing any
  // more (whatever its name). 0 hidden (or not presented to them); kSmisFailed otherwise. Faults of the
  // CIM layer before the volume is hidden are passed on; after it, a host that cannot be removed only
  // stays.
  SmisResultCode UnmapStorageVolume(TqCimConnection& conn, std::vector<std::string>& prepared, std::string& text);

  // ---- Hosts, hardware IDs and initiators ------------------------------------------------------------
  // Clears and fills: the distinct hosts holding the ports, and the ports no host holds. Traces and throws on.
  void GetHostInfo(TqCimConnection& conn, Pegasus::Array<Pegasus::String>& ports, std::vector<std::string>& hosts,
                   std::vector<std::string>& unassigned);
  // Appends, per port held by exactly one host, that host's name (repeats kept). Catches nothing.
  void GetHostList(TqCimConnection& conn, Pegasus::Array<Pegasus::String> ports,
                   Pegasus::Array<Pegasus::String>& hosts);
  // The number of volume paths the host sees (a volume seen twice counts twice). Catches nothing.
  int GetVolumeCountByHostPath(TqCimConnection& conn, Pegasus::String hostName);
  // The first instance whose property equals the value ignoring case; empty when none. Traces and throws
  // on every fault but not-found.
  Pegasus::CIMObjectPath GetStorageHardwareIDCollectionObjPathByProp(TqCimConnection& conn, Pegasus::String className,
                                                                     Pegasus::String propName, Pegasus::String value);
  // The first instance on the array whose property is exactly the value (whole text, case counts);
  // empty when none or when the value or the array name is blank. Traces and throws on.
  Pegasus::CIMObjectPath GetObjPathByPropElementName(TqCimConnection& conn, Pegasus::String& className,
                                                     std::string systemName, Pegasus::String propName,
                                                     Pegasus::String value);
  // [0 SystemName, 1 volume name]: appends one record per initiator path that sees the volume and
  // disconnects the connection. 0, or kSmisVolumeNotFound (nothing more asked) when there is no such
  // volume; kSmisFailed (nothing appended) when the login was refused on the way; kSmisTooFewArguments for
  // a short vector. Catches nothing.
  SmisResultCode GetVolumeInitiatorsUtil(TqCimConnection& conn, std::vector<std::string>& args,
                                         std::vector<MappedHBAInfoList_t>& initiators);
  // Before ports are added to the host definition `host`: a warning under the label when the definition
  // already holds a port that is not among `ports` (two hosts whose names share the part the definition
  // is named by end up in one definition). Traces and throws on.
  void WarnWhenHostHoldsOtherPorts(TqCimConnection& conn, const char* label, const std::string& host,
                                   Pegasus::Array<Pegasus::String>& ports);

 private:
  struct VolumeRequest;
  struct VolumeAction;
  SmisResultCode BuildVolumeRequest(TqCimConnection& conn, const VolumeRequest& kind, std::vector<std::string>& request,
                                    std::vector<std::string>& prepared);
  // Request positions 0 (array) and 2 (pool) checked as every volume request checks them: kSmisFailed for
  // an unknown array, a "null" pool or a pool that is not online; kSmisObjectNotFound for an unknown pool.
  // Faults are thrown on.
  SmisResultCode CheckRequestArrayAndPool(TqCimConnection& conn, const char* label, std::vector<std::string>& request,
                                          std::string& poolPath);
  SmisResultCode RunVolumeAction(TqCimConnection& conn, const VolumeAction& action, std::vector<std::string>& args,
                                 std::string& elementPath);
  SmisResultCode InvokeOnService(TqCimConnection& conn, const char* label, const char* method,
                                 const Pegasus::CIMObjectPath& service,
                                 const Pegasus::Array<Pegasus::CIMParamValue>& inParams, std::string& elementPath);
  Pegasus::CIMObjectPath FindArrayVolume(TqCimConnection& conn, const std::string& systemName,
                                         const std::string& volumeName);
  Pegasus::CIMObjectPath ResolveMappedVolume(TqCimConnection& conn, const std::string& volumeText);
  SmisResultCode AddPortsToHost(TqCimConnection& conn, SmisAction& action, const std::string& systemName,
                                const std::string& host, Pegasus::Array<Pegasus::String>& ports,
                                const std::vector<std::string>& unassigned);
  void RemoveHostsThatSeeNothing(TqCimConnection& conn, const Pegasus::CIMNamespaceName& nameSpace,
                                 Pegasus::Array<Pegasus::String>& hosts);
  void AppendInitiatorsOfView(TqCimConnection& conn, const Pegasus::CIMObjectPath& view,
                              std::vector<MappedHBAInfoList_t>& initiators);
};

// Appends the text unless the vector holds it already (exact comparison); first-seen order.
void AddUniqString(std::vector<std::string>& items, const char* text);
// The items joined by ","; with iscsi false each item without ':' and in upper case (a Fibre Channel WWN).
std::string ConvertListToString(std::list<std::string>& items, bool iscsi);
