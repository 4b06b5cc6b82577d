// Presenting LUNs to the hosts of their map-information documents, and withdrawing them. Both calls count
// host entries: a LUN fails (error 70003, the loop ends) at its first problem, and host entries done
// before stay done.
#include <list>
#include <new>
#include <vector>

#include "HP3ParHandler.h"
#include "TqsoEntryPoints.h"
#include "provisioning/MapInfoDocument.h"
#include "provisioning/ProvisioningLun.h"

using tqengine::GuardedCall;
using tqengine::LunRequest;

namespace {

// What tells map and unmap apart.
struct MapCall {
  const char* tag;
  int beforeState;
  int afterState;
  bool map;
  const char* noDocument;  // the host could not give the document
  const char* noBuffer;    // no room for the document
  const char* unreadable;  // the document cannot be read or names no host
  const char* badEntry;    // a host entry's protocol, names or endpoints
  const char* unknownOs;   // a host entry's OS names no known family
  const char* handlerFailed;
};

const MapCall kMap = {"TQProvEngine3PAR::tqso_mapLUNs",
                      TQSO::LUN_MAPPING,
                      TQSO::LUN_MAPPED,
                      true,
                      "Unable to get the Host List",
                      "Empty Hosts List",
                      "Unable to Parse the hosts list",
                      "Incorrect paramteres in the map info structure",
                      "Required parameters in initiator list or protocoltype or ostype or mount host name is missing.",
                      "Failed to map the volume"};
const MapCall kUnmap = {"TQProvEngine3PAR::tqso_unmapLUNs",
                        TQSO::LUN_UNMAPPING,
                        TQSO::LUN_UNMAPPED,
                        false,
                        "Unable to get the host information.",
                        "Invalid host list",
                        "Unable to Parse the host list.",
                        "Incorrect paramteres in the map info structure.",
                        "Required parameters initiator list or protocoltype or ostype or mount host name is missing.",
                        "Failed to unmap the volume"};

const short kFirstDocumentCapacity = 4096;
const int kDocumentRequests = 3;

// The document buffer of one call, kept from LUN to LUN and grown when the host says it is too small.
class DocumentBuffer {
 public:
  // 0 read; else the failure text of the call.
  const char* Read(const MapCall& call, TQSO::LUNInfo* lun, std::string& document) {
    int result = TQSO::LUNInfo::kBufferTooSmall;
    for (int request = 0; request < kDocumentRequests && result == TQSO::LUNInfo::kBufferTooSmall; ++request) {
      if (request > 0 && !Grow(needed_)) return call.noDocument;
      short length = capacity_;
      result = lun->getMapInfo(buffer_.data(), &length);
      needed_ = length;
    }
    if (result != TQSO::LUNInfo::kOk) return call.noDocument;
    buffer_.back() = '\0';
    document = buffer_.data();
    return nullptr;
  }

 private:
  // A size the host cannot mean (none, or one that a 16-bit length turned negative) is a failure.
  bool Grow(short needed) {
    if (needed <= 0) return false;
    capacity_ = needed;
    buffer_.assign(static_cast<size_t>(needed) + 1, '\0');
    return true;
  }

  short capacity_ = kFirstDocumentCapacity;
  short needed_ = 0;
  std::vector<char> buffer_ = std::vector<char>(kFirstDocumentCapacity + 1, '\0');
};

const char* OrEmpty(const std::string& text) { return text.empty() ? "EMPTY" : text.c_str(); }

// One host entry: checked, then handed to the handler. Null when done, else the LUN's failure text.
const char* RunHostEntry(const MapCall& call, const mapInfo& host, const LunRequest& r, TQSO::TQOSUtil* osUtil,
                         unsigned long long jobId) {
  if ((host.protocol != tqengine::kProtocolIscsi && host.protocol != tqengine::kProtocolFc) || host.hostname.empty() ||
      host.hostos.empty() || host.endpoints.empty())
    return call.badEntry;
  o_logger.DebugLvl(call.tag, 0, jobId, "Host [%s]", host.hostname.c_str());
  o_logger.DebugLvl(call.tag, 0, jobId, "OS [%s]", host.hostos.c_str());
  o_logger.DebugLvl(call.tag, 0, jobId, "End Points [%d]", static_cast<int>(host.endpoints.size()));
  o_logger.DebugLvl(call.tag, 0, jobId, "Protocol [%d]", host.protocol);
  std::string os = host.hostos;
  xlateOsType(os);
  if (os.empty()) {
    o_logger.DebugLvl(call.tag, -1, jobId,
                      "Required parameters initiator list [%d] or protocoltype [%d] or ostype [%s] or mount host name "
                      "[%s] is missing.",
                      static_cast<int>(host.endpoints.size()), host.protocol, OrEmpty(os), OrEmpty(host.hostname));
    return call.unknownOs;
  }
  std::list<std::string> endpoints(host.endpoints.begin(), host.endpoints.end());
  const std::string initiators = ConvertInitiatorList(endpoints, host.protocol == tqengine::kProtocolIscsi);
  const bool done = GuardedCall(call.tag, false, [&] {
    HP3ParHandler handler;
    return call.map ? handler.MapVolume(osUtil, r.arrayName, r.controlHost, r.login, r.password, r.poolName,
                                        r.volumeName, r.sizeBytes, initiators, host.hostname, jobId)
                    : handler.UnmapVolume(osUtil, r.arrayName, r.controlHost, r.login, r.password, r.poolName,
                                          r.volumeName, r.sizeBytes, initiators, jobId);
  });
  return done ? nullptr : call.handlerFailed;
}

// One LUN: the document, the request, each host entry. Null when every entry was done, else the LUN's
// failure text; `doneEntries` counts the entries done.
const char* RunLun(const MapCall& call, TQSO::LUNInfo* lun, DocumentBuffer& buffer, TQSO::TQOSUtil* osUtil,
                   int& doneEntries) {
  lun->setState(call.beforeState);
  const unsigned long long jobId = lun->getJobId();
  std::string document;
  if (const char* failure = buffer.Read(call, lun, document)) return failure;
  o_logger.DebugLvl(call.tag, 0, jobId, "Parsing [%s]", document.c_str());
  std::vector<mapInfo> hosts;
  if (!ParseMapInfo(document.c_str(), jobId, hosts) || hosts.empty()) return call.unreadable;
  LunRequest request;
  if (!GetCredentialsAndLunInfo(lun, request, jobId)) return tqengine::kTextDecryptFailed;
  o_logger.DebugLvl(call.tag, 0, jobId, "Successfully decrypted the password!");
  for (const mapInfo& host : hosts) {
    if (const char* failure = RunHostEntry(call, host, request, osUtil, jobId)) return failure;
    if (call.map) {
      o_logger.DebugLvl(call.tag, 0, jobId, "Mapped the volume size [%llu] successfully",
                        static_cast<unsigned long long>(request.sizeBytes));
      lun->setState(call.afterState);
    } else {
      lun->setState(call.afterState);
      o_logger.DebugLvl(call.tag, 0, jobId, "Unmapped volume size [%llu] successfully",
                        static_cast<unsigned long long>(request.sizeBytes));
    }
    ++doneEntries;
  }
  return nullptr;
}

TQSO::ResultCode RunMapCall(const MapCall& call, TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  if (tqengine::IsEmptyList(luns, count)) return TQSO::RC_FAIL;
  DocumentBuffer buffer;
  int doneEntries = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::LUNInfo* lun = luns[i];
    if (lun == nullptr) continue;
    const char* failure = GuardedCall(call.tag, call.handlerFailed, [&]() -> const char* {
      try {
        return RunLun(call, lun, buffer, osUtil, doneEntries);
      } catch (const std::bad_alloc&) {
        o_logger.DebugLvl(call.tag, -1, lun->getJobId(), "%s", call.map ? "Invalid Hosts list" : call.noBuffer);
        return call.noBuffer;
      }
    });
    if (failure != nullptr) {
      const unsigned long long jobId = lun->getJobId();
      if (failure != call.noBuffer) o_logger.DebugLvl(call.tag, -1, jobId, "%s", failure);
      lun->setError(tqengine::kLunError, failure);
      return doneEntries > 0 ? TQSO::RC_FAIL_PARTIAL : TQSO::RC_FAIL;
    }
  }
  return doneEntries > 0 ? TQSO::RC_SUCCESS : TQSO::RC_FAIL;
}

}  // namespace

TQSO::ResultCode tqso_mapLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  return GuardedCall(kMap.tag, TQSO::RC_FAIL, [&] { return RunMapCall(kMap, luns, count, osUtil); });
}

TQSO::ResultCode tqso_unmapLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil) {
  return GuardedCall(kUnmap.tag, TQSO::RC_FAIL, [&] { return RunMapCall(kUnmap, luns, count, osUtil); });
}
