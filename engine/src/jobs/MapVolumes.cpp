// Presenting a list of copies (or sources) to this host: the host's initiators and devices, each device
// mapped on the array (here or on the proxy host), then the wait for the copies to appear.
#include <unistd.h>

#include <cstdlib>
#include <list>
#include <string>
#include <vector>

#include "DeviceTexts.h"
#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqHostBus.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapshotSetup.h"

namespace {

const unsigned kMapMessage = 9;
const size_t kLocalHostNameCapacity = 256;

std::string LocalHostName() {
  std::vector<char> buffer(kLocalHostNameCapacity + 1, '\0');
  if (::gethostname(buffer.data(), kLocalHostNameCapacity) != 0) return std::string();
  return std::string(buffer.data());
}

class MapRun {
 public:
  MapRun(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool copies, bool isLocal)
      : list_(list),
        count_(count),
        services_(services),
        copies_(copies),
        isLocal_(isLocal),
        tag_(isLocal ? "3PAR-tqso_mapSnaps[Local]" : "3PAR-tqso_mapSnaps[Remote]") {}

  int Run(int deviceIndex) {
    o_logger.DebugLvl(tag_, 1, "Going to map [%d] snap/clone device(s) to the host [is local - %s]",
                      count_ > 0 ? count_ : 0, isLocal_ ? "Yes" : "No");
    if (tqengine::IsEmptyList(list_, count_)) return TQSO::RC_SUCCESS;
    if (!isLocal_) return HandleRemoteCallMapVolume(list_, count_, services_, deviceIndex);
    arrayId_ = getStorageArrayId(list_[0]);
    if (arrayId_.empty()) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] Couldn't get Array-ID from Meta Data");
      return TQSO::RC_FAIL;
    }
    remote_ = isRemoteCallEnabled(list_[0], arrayId_, proxyHost_);
    TQSO::SnapInfo* last = list_[count_ - 1];
    if (!getHostIdentifier(last, wait_.hostIdentifier, true)) {
      o_logger.DebugLvl(tag_, -1, "Failed to get host identifier");
      const std::string text = std::string(tag_) + ": Failed to get host identifier";
      setError(last, tqengine::kErrHostIdentifier, text.c_str());
      return TQSO::RC_FAIL;
    }
    const std::string masked = tqengine::MaskHostIdentifier(wait_.hostIdentifier);
    o_logger.DebugLvl(tag_, 1, "hostIdentifier [%s]", masked.c_str());
    if (!HostInitiatorsFound()) return TQSO::RC_FAIL;

    getDeviceList(wait_.devicesBefore, services_, wait_.hostIdentifier);
    int index = 0;
    for (const std::string& device : wait_.devicesBefore)
      o_logger.DebugLvl(tag_, 2, " Volume [%d] DeviceName [%s]", index++, device.c_str());
    // The revert worker presents sources again: whether their copies are visible does not matter then.
    if (copies_) IsMappedOnHost(list_, count_, services_);
    if (hostName_.empty()) {
      o_logger.DebugLvl(tag_, -1, "Unable to find hostName from %s.", masked.c_str());
      return TQSO::RC_FAIL;
    }
    for (short i = 0; i < count_; ++i)
      if (list_[i] != nullptr) MapDevice(i);
    o_logger.DebugLvl(tag_, 1, "Mapping has been completed, refrreshing System Bus now(%d)", wait_.mapped);
    wait_.copies = copies_;
    wait_.deviceIndex = deviceIndex;
    return WaitForMappedCopies(list_, count_, services_, wait_);
  }

 private:
  bool HostInitiatorsFound() {
    const std::string firstPath = tqengine::HostDevicePathOf(list_[0]);
    if (!tqengine::IsVmwarePath(firstPath)) {
      hostName_ = wait_.hostIdentifier;
      if (detectHbalist(services_, wait_.initiators, hostName_, arrayId_, iscsi_) && !wait_.initiators.empty())
        return true;
      o_logger.DebugLvl(tag_, -1, "Unable to detect initiator info.");
      return false;
    }
    getESXFromHostIdentifier(wait_.hostIdentifier, hostName_);
    o_logger.DebugLvl(tag_, 1, "hostName [%s]", hostName_.c_str());
    wait_.initiators.clear();
    std::string port;
    if (!detectHBA(port, iscsi_, arrayId_, services_, wait_.hostIdentifier) || port.empty()) {
      o_logger.DebugLvl(tag_, -1, " Unable to detect initiator info.");
      return false;
    }
    wait_.initiators.push_back(port);
    o_logger.DebugLvl(tag_, -1, "Attempting to get 3PAR OEM vendor name from host device path %s", firstPath.c_str());
    std::string vendor, product, arrayId, wwn;
    if (!getDevArrayInfo(firstPath.c_str(), vendor, product, arrayId, wwn, nullptr, nullptr)) {
      o_logger.DebugLvl(tag_, -1, "Failed to get 3PAR OEM vendor name from host device name[%s]", firstPath.c_str());
      return false;
    }
    return true;
  }

  void MapDevice(short index) {
    TQSO::SnapInfo* device = list_[index];
    const bool mapped = device->getStatus() == TQSO::SS_MAPPED;
    device->logMessage(
        2, mapped ? "tqso_isMapped found device mapped already" : "tqso_isMapped found device is  not mapped");
    const std::string path = tqengine::HostDevicePathOf(device);
    if (mapped) {
      ++wait_.mapped;
      return;
    }
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(tag_, -1, "Failed to get Metadata");
      return;
    }
    o_logger.DebugLvl(tag_, -1, "Source Device [%s] Snap Device[%s]", record.srcDev.c_str(), record.targetDev.c_str());
    std::string group = GetGroupName(hostName_.c_str(), iscsi_);
    std::string ports = convertHbaList(wait_.initiators, iscsi_);
    std::string localGroup, localPorts;
    bool localIscsi = false;
    const bool localKnown = tqengine::IsVmwarePath(path) && LocalHostGroup(localGroup, localPorts, localIscsi);
    if (remote_) return MapOnProxy(index, group, ports, localKnown, localGroup, localPorts, localIscsi);
    if (!ArrayOperarions_mapVolumes(device, services_, copies_, group, ports, iscsi_, localGroup, localPorts,
                                    localIscsi, path.c_str(), wait_.mapped))
      o_logger.DebugLvl(tag_, -1, "[ERROR] [local] Map-Snap operation has failed)");
  }

  bool LocalHostGroup(std::string& group, std::string& ports, bool& iscsi) {
    std::list<std::string> initiators;
    if (!detectHbalist(services_, initiators, "", arrayId_, iscsi) || initiators.empty()) {
      o_logger.DebugLvl(tag_, -1, "Unable to detect FC initiator info for local host.[initiators - %d]",
                        static_cast<int>(initiators.size()));
      iscsi = false;
      return false;
    }
    group = GetGroupName(LocalHostName().c_str(), iscsi);
    ports = convertHbaList(initiators, iscsi);
    return true;
  }

  void MapOnProxy(short index, std::string& group, std::string& ports, bool localKnown, std::string& localGroup,
                  std::string& localPorts, bool localIscsi) {
    TQSO::SnapInfo* device = list_[index];
    std::string parameter;
    GetRemoteMapParameter(ports, group, iscsi_, copies_, parameter);
    device->setMetaDataValue(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_INITIATOR_PORT_ID, parameter.c_str());
    // Old values must never pass for this call's: a second group of an earlier call, an earlier count.
    if (localKnown) {
      GetRemoteMapParameter(localPorts, localGroup, localIscsi, copies_, parameter);
      device->setMetaDataValue(TQSO::SM_MDT_3PAR_REMOTE_MAP_PARAMETER_2, parameter.c_str());
    } else {
      device->setMetaData(TQSO::SM_MDT_3PAR_REMOTE_MAP_PARAMETER_2, nullptr);
    }
    list_[0]->setMetaData(TQSO::SM_MDT_3PAR_REMOTE_MAP_COUNT, nullptr);
    o_logger.DebugLvl(tag_, 1, " Sending tp_Remote call to %s for Map-Snap operation ", proxyHost_.c_str());
    if (TP_InvokeRemotePXCall(list_, count_, services_, proxyHost_, kMapMessage, index) == TQSO::RC_FAIL) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] tp_Remote call to %s for Map-Snap operation has failed)",
                        proxyHost_.c_str());
      setError(device, tqengine::kErrMap, "Remote call failure");
      device->setStatus(TQSO::SS_MAP_FAILED);
      return;
    }
    std::string count;
    int added = 0;
    if (list_[0]->getMetaData(TQSO::SM_MDT_3PAR_REMOTE_MAP_COUNT, count) && RemoteNumber(count, added) && added >= 0) {
      wait_.mapped += added;
      o_logger.DebugLvl(tag_, 1, "[local]tp_Remote map-count (%d))", added);
      return;
    }
    o_logger.DebugLvl(tag_, -1, "[ERROR] getting tp_Remote call result  has failed)");
    setError(device, tqengine::kErrMap, "getting tp_Remote call result  has failed");
    device->setStatus(TQSO::SS_MAP_FAILED);
  }

  TQSO::SnapInfo** list_;
  short count_;
  TQSO::TQOSUtil* services_;
  bool copies_;
  bool isLocal_;
  const char* tag_;
  std::string arrayId_;
  std::string proxyHost_;
  bool remote_ = false;
  std::string hostName_;
  bool iscsi_ = false;
  MappedCopyWait wait_;
};

}  // namespace

int mapVolumes(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool copies, bool isLocal,
               int deviceIndex) {
  return MapRun(list, count, services, copies, isLocal).Run(deviceIndex);
}

int TP_mapSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal, int deviceIndex) {
  return mapVolumes(list, count, services, true, isLocal, deviceIndex);
}
