// Preparing devices for a copy: each source is identified, found on its array and recorded in the device's
// metadata (status 1). Clones and remote-copy replicas get a worker that does the long array work.
#include <string>

#include "DeviceTexts.h"
#include "DeviceWorkers.h"
#include "EvDebug.h"
#include "FXString.h"
#include "ReplicaWorkers.h"
#include "TqDeviceInquiry.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqEngineSettings.h"
#include "TqHostBus.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapWorkers.h"
#include "TqSnapshotSetup.h"
#include "calls/EntryGuard.h"

namespace {

const int kPrepareMessage = 4;
const int kReplicationPrepareMessage = 13;

std::string PrepareTag(bool isLocal, bool replication) {
  std::string tag = "3PAR-TP_prepareDevices";
  tag += isLocal ? "[Local]" : "[Remote]";
  if (replication) tag += "[Replication-Snap]";
  return tag;
}

bool IsVirtualVolume(const std::string& product) { return product.find("VV") != std::string::npos; }

// A source identified for prepare.
struct SourceDevice {
  std::string path, wwn, arrayId, vendor, product;
};

class PrepareRun {
 public:
  PrepareRun(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal, bool replication)
      : list_(list),
        count_(count),
        osUtil_(osUtil),
        isLocal_(isLocal),
        replication_(replication),
        tagText_(PrepareTag(isLocal, replication)),
        tag_(tagText_.c_str()) {}

  int Run() {
    if (tqengine::IsEmptyList(list_, count_)) return TQSO::RC_SUCCESS;
    // The first device names the array of the whole list: without it nothing can be prepared.
    if (list_[0] == nullptr) {
      o_logger.DebugLvl(tag_, -1, "%s: [ERROR] the first device of the list is missing", tag_);
      return TQSO::RC_FAIL;
    }
    SourceDevice first;
    first.path = tqengine::HostDevicePathOf(list_[0]);
    if (!getDeviceInfo(list_[0], first.wwn, first.arrayId, first.vendor, first.product, isLocal_, replication_)) {
      list_[0]->logFormatted(2, tag_, " Failed to get 3PAR Array name from host device [%s]", first.path.c_str());
      list_[0]->setStatus(TQSO::SS_PREPARE_FAILED);
      return TQSO::RC_FAIL;
    }
    std::string proxyHost;
    if (isRemoteCallEnabled(list_[0], first.arrayId, proxyHost) && isLocal_) return PrepareOnProxy(proxyHost);
    return PrepareHere();
  }

 private:
  int PrepareOnProxy(std::string& proxyHost) {
    o_logger.DebugLvl(tag_, 1, "TP_prepareDevices: preparing remote for %s", proxyHost.c_str());
    if (!replication_)
      for (short i = 0; i < count_; ++i)
        if (list_[i] != nullptr) tqengine::GuardedCall(tag_, [&] { RecordWwnForProxy(list_[i]); });
    const int message = replication_ ? kReplicationPrepareMessage : kPrepareMessage;
    std::string command;
    if (!GetRemoteCommandParameter(message, -1, command)) {
      o_logger.DebugLvl(tag_, -1,
                        "TP_prepareDevices: [ERROR] remote-command preparation failed [remote PX - %s] [msgid - %d] [ "
                        "DeviceIndex - %d]",
                        proxyHost.c_str(), message, -1);
      return TQSO::RC_FAIL;
    }
    list_[0]->setMetaDataValue(TQSO::REMOTE_CALL_ID, command.c_str());
    const int result = ExecuteRemote(list_, count_, osUtil_, proxyHost);
    if (result == 0) {
      o_logger.DebugLvl(tag_, 1, "TP_prepareDevices: preparing remote for %s Succeeded ", proxyHost.c_str());
      return TQSO::RC_SUCCESS;
    }
    o_logger.DebugLvl(tag_, -1, "TP_prepareDevices: [ERROR] Failed preparing remote for %s", proxyHost.c_str());
    return result;
  }

  void RecordWwnForProxy(TQSO::SnapInfo* device) {
    SourceDevice source;
    source.path = tqengine::HostDevicePathOf(device);
    o_logger.DebugLvl(tag_, 1, "%s: Attempting to get array-WWN info for remote-call , from host device path %s", tag_,
                      source.path.c_str());
    if (!getDeviceInfo(device, source.wwn, source.arrayId, source.vendor, source.product, true, false)) {
      o_logger.DebugLvl(tag_, 1, "%s: Failed to get 3PAR Array name from host device name[%s]", tag_,
                        source.path.c_str());
      return;
    }
    if (!IsVirtualVolume(source.product)) return NotVirtualVolume(device, source);
    o_logger.DebugLvl(tag_, 1,
                      "%s: Remote-call preparation [device - %s] [arrayName - %s] [vendorId - %s] [productId - %s] "
                      "[uuidLun - %s] [Snap-ID - %u]",
                      tag_, source.path.c_str(), source.arrayId.c_str(), source.vendor.c_str(), source.product.c_str(),
                      source.wwn.c_str(), device->getSnapId());
    device->setMetaDataValue(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_WWN_ID, source.wwn.c_str());
  }

  void NotVirtualVolume(TQSO::SnapInfo* device, const SourceDevice& source) {
    const std::string text = FXString::Format(
        "%s: The device %s does not belong to 3PAR array. Vendor of the device is - %s and product line %s", tag_,
        source.path.c_str(), source.vendor.c_str(), source.product.c_str());
    setError(device, tqengine::kErrArrayInfo, text.c_str());
    device->setStatus(TQSO::SS_PREPARE_FAILED);
  }

  int PrepareHere() {
    tqengine::DeviceWorkers workers(tqengine::PrepareRunsInParallel(list_[0]), tag_);
    o_logger.DebugLvl(tag_, 1, "Starting to prepare snapshot/clone [%u devices].[%s]", static_cast<unsigned>(count_),
                      workers.parallel() ? "Using threads" : "");
    for (short i = 0; i < count_; ++i)
      if (list_[i] != nullptr) PrepareGuarded(list_[i], workers);
    workers.JoinAll();
    o_logger.DebugLvl(tag_, 1, " Snap/clone operation completed");
    o_logger.DebugLvl(tag_, 1, "Prepare snapshot/clone completed");
    return tqengine::CountResult(list_, count_, {TQSO::SS_PREPARED});
  }

  bool Identify(TQSO::SnapInfo* device, SourceDevice& source) {
    if (!replication_) {
      if (getDeviceInfo(device, source.wwn, source.arrayId, source.vendor, source.product, isLocal_, false))
        return true;
      o_logger.DebugLvl(tag_, 1, "%s: Failed to get 3PAR Array name from host device name[%s]", tag_,
                        source.path.c_str());
      return false;
    }
    std::string syncPath, sourceId;
    bool async = false;
    if (!GetRmoteCopyGroup(device, osUtil_, source.wwn, syncPath, sourceId, async)) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] GetRmoteReplicationCopyGroup has failed");
      return false;
    }
    async_ = async;
    if (!SetReplicationMetaData(device, source.wwn, syncPath, sourceId)) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] Set meta data has failed [%s] [%s]", source.wwn.c_str(), syncPath.c_str());
      return false;
    }
    bool is16Byte = false;
    GetArrayNameFromWWN(source.wwn, source.arrayId, is16Byte);
    source.product = "VV";
    source.vendor = "3PARdata [MT]";
    o_logger.DebugLvl(tag_, -1,
                      "Prepare for remote replication[WWN - %s] [Array-name - %s] [b16ByteID - %s] [SyncPath - %s]",
                      source.wwn.c_str(), source.arrayId.c_str(), is16Byte ? "Yes" : "No", syncPath.c_str());
    return true;
  }

  // The copy operation of the device's engine (0 when the device cannot be prepared).
  int CopyOperation(TQSO::SnapInfo* device, TQ_SMIS_SNAP::TqSnapParams& params) {
    const short engine = getSnapEngineType(device);
    o_logger.DebugLvl(tag_, 1, "[SNAP-EngineID - %d]", engine);
    if (engine == tqengine::kCloneEngine && replication_) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] Rmote Replication is not supported for 3PAR Clone");
      return 0;
    }
    if (engine == tqengine::kSnapshotEngine) return tqengine::kSnapshotOperation;
    if (engine != tqengine::kCloneEngine) {
      o_logger.DebugLvl(tag_, -1, "%s: Failed : prepareDevices recieved unknown snap operation [%d]", tag_, engine);
      return 0;
    }
    params.targetDG = tqengine::StorageDeviceGroup(device);
    o_logger.DebugLvl(tag_, 1, "Array Config [%s:%s]", "SMCONFIG_NAME_STORAGE_DEVICE_GROUP", params.targetDG.c_str());
    params.dgRequired = tqengine::DeviceGroupRequired(device);
    o_logger.DebugLvl(tag_, 1, "Array Config [%s:%s]", "SMCONFIG_NAME_USE_DEVICES_ONLY_FROM_THIS_GROUP",
                      params.dgRequired ? "1" : "0");
    if (params.dgRequired) o_logger.DebugLvl(tag_, 1, "%s: Device Group option selected", tag_);
    return tqengine::kCloneOperation;
  }

  void Fail(TQSO::SnapInfo* device) { device->setStatus(TQSO::SS_PREPARE_FAILED); }

  // One device's failure, an exception included, ends only that device's turn.
  void PrepareGuarded(TQSO::SnapInfo* device, tqengine::DeviceWorkers& workers) {
    if (!tqengine::GuardedCall(tag_, false, [&] {
          PrepareDevice(device, workers);
          return true;
        }))
      Fail(device);
  }

  void PrepareDevice(TQSO::SnapInfo* device, tqengine::DeviceWorkers& workers) {
    startedWithError_ = hasError(device);
    device->setStatus(TQSO::SS_RESET);
    SourceDevice source;
    source.path = tqengine::HostDevicePathOf(device);
    o_logger.DebugLvl(tag_, 1, "%s: Attempting to get array info from host device path %s", tag_, source.path.c_str());
    if (!Identify(device, source)) return Fail(device);
    o_logger.DebugLvl(tag_, 1, "%s: Device path [%s]", tag_, source.path.c_str());
    o_logger.DebugLvl(tag_, 1, "%s: [arrayName - %s] [vendorId - %s] [productId - %s] [uuidLun - %s]", tag_,
                      source.arrayId.c_str(), source.vendor.c_str(), source.product.c_str(), source.wwn.c_str());
    if (!IsVirtualVolume(source.product)) return NotVirtualVolume(device, source);

    Tq3PARSnapshot snapshot;
    snapshot.SetLogger(device);
    if (!initArrayParams(snapshot, device, osUtil_, source.arrayId, true)) {
      o_logger.DebugLvl(tag_, -1, "%s: Failed to initialize the Array parameters", tag_);
      return Fail(device);
    }
    std::string info;
    if (!tqengine::ReadDeviceArrayInfo(device, info)) {
      o_logger.DebugLvl(tag_, -1, "%s: Failed to get array info for array id [%s]", tag_, source.arrayId.c_str());
      setError(device, tqengine::kErrArrayInfo, tqengine::kTextArrayInfo);
      return Fail(device);
    }
    TQ_SMIS_SNAP::TqSnapParams params;
    params.snapOp = CopyOperation(device, params);
    if (params.snapOp == 0) return Fail(device);
    params.snapName = tqengine::SourceDeviceNameOf(device);
    params.sourceDev = source.wwn;
    snapshot.SetSnapInfo(params);
    snapshot.SetLogger(device);

    std::string version;
    unsigned short build = 0;
    if (snapshot.Get3PARVersionStrings(version, build) == 0)
      o_logger.DebugLvl(tag_, 1, "[%s] 3PAR Firmware [Version - %s] [Build - %u]", source.arrayId.c_str(),
                        version.c_str(), static_cast<unsigned>(build));
    else
      o_logger.DebugLvl(tag_, -1, "%s [ERROR] Failed to Get Array Firmware version", tag_);

    if (snapshot.PrepareSnap() == TQSO::SS_PREPARE_FAILED) {
      o_logger.DebugLvl(tag_, -1, "Prepare snapshot failed for the source device %s", source.path.c_str());
      return Fail(device);
    }
    WriteRecord(device, snapshot, source, params.snapOp);
    if (params.snapOp == tqengine::kSnapshotOperation && !replication_) return SnapshotPrepared(device, source);
    StartWorker(device, snapshot, params, source, workers);
  }

  void WriteRecord(TQSO::SnapInfo* device, Tq3PARSnapshot& snapshot, const SourceDevice& source, int operation) {
    _TQ3PAR_SnapMetadata record;
    record.arrayId = source.arrayId;
    record.snapOp = std::to_string(operation);
    record.snapServicePath = snapshot.m_ServicePath;
    record.targetDGpath = snapshot.m_TargetDGPath;
    record.srcDev = snapshot.GetSourceDev();
    record.srcDevPath = snapshot.GetSourceDevPath();
    record.targetDev = snapshot.GetSnapDevice();
    record.targetDevPath = snapshot.GetSnapDevPath();
    record.childdev = tqengine::kEmptyDev;
    record.childdevpath = tqengine::kEmptyPath;
    record.version = tqengine::kMetadataVersion;
    record.flags = replication_ ? tqengine::kMetadataReplicationFlag : 0;
    if (!setMetadataRecord(device, record))
      o_logger.DebugLvl(tag_, -1, "[Error]Setting TQSO_3PAR_UNIQUE_STR_TYPE_ID error ");
  }

  void Succeeded(TQSO::SnapInfo* device, const SourceDevice& source) {
    const std::string text =
        FXString::Format(" Prepare snapshot success for the source device %s", source.path.c_str());
    device->logMessage(0, text.c_str());
    device->setStatus(TQSO::SS_PREPARED);
    // An error a lower layer set on the way (a firmware read refused once) is not the outcome of a prepared
    // device; an error the device came with is kept.
    if (!startedWithError_) clearError(device);
  }

  void SnapshotPrepared(TQSO::SnapInfo* device, const SourceDevice& source) {
    o_logger.DebugLvl(tag_, 1, "Setting SM_MDT_3PAR_SRC_SNAP_UUID[%s] [snap-id - %u] ", source.wwn.c_str(),
                      device->getSnapId());
    if (device->setMetaData(TQSO::SM_MDT_3PAR_SRC_SNAP_UUID, source.wwn.c_str()) == 1)
      o_logger.DebugLvl(tag_, -1, "Failed to set SM_MDT_3PAR_SRC_SNAP_UUID metadata [id : %d]",
                        TQSO::SM_MDT_3PAR_SRC_SNAP_UUID);
    Succeeded(device, source);
  }

  void StartWorker(TQSO::SnapInfo* device, Tq3PARSnapshot& snapshot, TQ_SMIS_SNAP::TqSnapParams& params,
                   const SourceDevice& source, tqengine::DeviceWorkers& workers) {
    params.servicePath = snapshot.m_ServicePath;
    params.sourceDevPath = snapshot.GetSourceDevPath();
    params.targetDGPath = snapshot.m_TargetDGPath;
    params.dgRequired = false;
    o_logger.DebugLvl(tag_, -1, "%s: Device Group %s", tag_, params.targetDGPath.c_str());
    snapshot.SetSnapInfo(params);
    snapshot.SetLogger(device);
    const int provision = tqengine::CloneProvisionType(device);
    o_logger.DebugLvl(tag_, -1, "Creating %s provision for clone-volume", tqengine::CloneProvisionName(provision));
    snapshot.m_CloneProvisionType = static_cast<short>(provision);

    SnapThreadParam* param = workers.NewParam();
    param->device = device;
    param->logTag = tag_;
    param->osUtil = osUtil_;
    param->asyncReplication = async_;
    TqThread::ThreadFunction worker = &cloneDeviceThread;
    if (!replication_) {
      param->snapshot = snapshot;
    } else {
      worker = &SnapReplicationDeviceThread;
      if (!ReplicaSourceObject(device, *param)) {
        device->setStatus(TQSO::SS_RESET);
        return;
      }
    }
    // Prepared while the worker runs; the worker writes the final status.
    Succeeded(device, source);
    if (workers.Run(worker, param, "CloneDevice Thread created") == tqengine::DeviceWorkers::kNotStarted) {
      o_logger.DebugLvl(tag_, -1, "%s: Unable to create thread", tag_);
      device->setStatus(TQSO::SS_PREPARE_FAILED);
    }
  }

  // The source side's snapshot object of a replica; false when no source volume id was recorded.
  bool ReplicaSourceObject(TQSO::SnapInfo* device, SnapThreadParam& param) {
    std::string sourceId;
    if (!device->getMetaData(TQSO::SM_MDT_3PAR_SRC_SNAP_UUID, sourceId)) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] unable to get source volume ID");
      return false;
    }
    if (sourceId.empty()) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] Source Volume-ID not found");
      return false;
    }
    std::string arrayName;
    if (!GetSnapshotObjectForReplication(device, sourceId, osUtil_, param.snapshot, arrayName))
      o_logger.DebugLvl(tag_, -1, "%s: [ERROR]Unable to Get SnapSHot object for replication", tag_);
    return true;
  }

  TQSO::SnapInfo** list_;
  short count_;
  TQSO::TQOSUtil* osUtil_;
  bool isLocal_;
  bool replication_;
  const std::string tagText_;
  const char* tag_;
  bool async_ = false;
  bool startedWithError_ = false;  // the device in hand had an error when its turn began
};

}  // namespace

int TP_prepareDevices(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal, bool replication) {
  return PrepareRun(list, count, osUtil, isLocal, replication).Run();
}
