// The provisioning handler: one operation on one volume of one 3PAR array for the provisioning entry
// points (create, delete, resize, map, unmap, and listing the initiators that see a volume), and the rule
// by which an array's CIMOM connection parameters are formed (also used by the inventory call).
//
// Each operation builds its own connection from the control host and login, connects, checks that the
// named pool exists on the array, hands a positional request to the 3PAR utility (a builder, then the
// action), disconnects after a successful connect on every path, and answers true or false. Failures are
// logged; the caller reports them on its LUN. No exception leaves an operation: a fault of the CIM layer
// is logged as the operation's failure, the connection is closed, and the answer is false.
//
// Connection parameters: namespace "root/tpd"; the port and HTTPS switch come from the registry keys
// "3PAR_SMIS_PORT" and "3PAR_SMIS_USE_HTTPS" under "~Corvane" when present (whatever their value), else
// from the array's settings, found through the host services by the host id of the control host's
// array-information text. HTTPS moves the port to 5989; a configured port (1 to 65535) then wins. A
// configured port outside that range is logged and the default kept.
//
// The handler holds no state; make one per operation.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "EvDebug.h"
#include "HP3ParRecords.h"
#include "TQOSUtil.h"
#include "TqCimConnection.h"

class HP3ParCimUtil;

class HP3ParHandler {
 public:
  HP3ParHandler() = default;

  // The volume operations. The request the utility receives is [system, volume, pool name, "1" thin or
  // "0" fully provisioned ("nHP3PAREnableFullyProvision"), size in bytes, extras...].
  bool CreateVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost, std::string login,
                    std::string password, std::string poolName, std::string volumeName, long sizeBytes,
                    unsigned long long jobId);
  bool DeleteVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost, std::string login,
                    std::string password, std::string poolName, std::string volumeName, long sizeBytes,
                    unsigned long long jobId);
  // The size is the new size.
  bool ResizeVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost, std::string login,
                    std::string password, std::string poolName, std::string volumeName, long sizeBytes,
                    unsigned long long jobId);
  // `initiators`: initiator port ids joined by ",".
  bool MapVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost, std::string login,
                 std::string password, std::string poolName, std::string volumeName, long sizeBytes,
                 std::string initiators, std::string hostName, unsigned long long jobId);
  bool UnmapVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost, std::string login,
                   std::string password, std::string poolName, std::string volumeName, long sizeBytes,
                   std::string initiators, unsigned long long jobId);
  // Appends one entry per initiator port that sees the volume; false (nothing appended) for an unknown
  // volume. The size is not used.
  bool GetVolumeInitiators(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost, std::string login,
                           std::string password, std::string poolName, std::string volumeName, long sizeBytes,
                           std::vector<MappedHBAInfoList_t>& initiators, unsigned long long jobId);

  // The array's connection, not connected.
  TqCimConnection InitArrayParams(TQSO::TQOSUtil* osUtil, std::string controlHost, std::string login,
                                  std::string password);

  // A registry integer under "~Corvane" (or "~Corvane/<section>"): true when the key is present.
  bool GetRegInt(const char* section, const char* key, int* value);
  // An integer setting of the control host's array: 1 when no host id could be found, else the host
  // services' result (-1 failure, 0 found, the value then set).
  int GetArrayConfigValueIntUtil(TQSO::TQOSUtil* osUtil, EvDebug& logger, std::string controlHost,
                                 const char* settingName, int& value);
  // True on FAILURE; false when the host id of the control host's array was set.
  bool GetControlHostId(TQSO::TQOSUtil* osUtil, EvDebug& logger, const char* controlHost, int& hostId);
  // The "hostid" value of an array-information text; true when found.
  bool ParseForControlHostId(const char* arrayInfo, std::string& hostId, EvDebug& logger);
  // A flat scan of "{key:value,...}": the key must follow "{" or "," exactly (case counts, blanks and
  // quotes are part of keys and values); the value runs to the next "," or, when there is none, to the
  // next "}". True when found.
  bool GetJsonVal(const std::string& text, const std::string& key, std::string& value);

  template <class Number>
  static std::string ToString(Number value) {
    std::ostringstream text;
    text << value;
    return text.str();
  }

 private:
  struct Operation;
  struct Request;
  bool RunVolumeOperation(const Operation& operation, const Request& request);
  // Connects and checks the pool; on success the connection is open and the caller must disconnect it.
  bool ConnectAndCheckPool(const Operation& operation, const Request& request, EvDebug& logger, TqCimConnection& conn,
                           HP3ParCimUtil& util);
  bool RunSteps(const Operation& operation, const Request& request, EvDebug& logger, TqCimConnection& conn,
                HP3ParCimUtil& util);
};
