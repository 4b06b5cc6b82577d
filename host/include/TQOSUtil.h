// The host-services object of one call, shared by the call's worker threads (every operation is
// thread-safe).
//
// What it offers the engine: the known arrays (array-info texts by array id and by control host,
// per-array settings by host id), the job id, the host's initiator ports, its device list, bus rescans
// (through a host platform: the Linux host or the simulated one) and running the engine on a remote
// proxy host. The harness and tests fill it through the second block.
//
// Other hosts: the local host is the one a null or empty host name, or the local host name, stands for;
// its work goes to the platform. Any other host (an ESX server, a proxy) is known only by what was
// registered for it with setRemoteHost. For a "vmware" device the engine names the host by the whole
// host identifier text the job record gave it ("...,esxname:<ESX host>,...,password:..."): a host name
// that is not registered as it stands but holds ",esxname:" stands for the ESX host named after it (up
// to the next ',' or '}', or the end).
//
// Remote proxy: executeOnRemotePX runs the proxy entry point in this process on deep copies of the
// call's device records, with a host-services object of its own whose local host is the proxy, then
// carries back to the agent's records what the run changed: metadata, statuses (each new one, in
// order), error, device names, LUN WWN, array name, the array selected for the device and new job messages.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "ArrayRegistry.h"
#include "SnapInfo.h"
#include "TqHostPlatform.h"

namespace TQSO {

class TQOSUtil;

// The engine's proxy-side entry point: (device list, count, host services) -> result code.
typedef std::function<int(SnapInfo** list, short count, TQOSUtil* osUtil)> ProxyEntryPoint;

class TQOSUtil {
 public:
  static constexpr int kDetected = 1;  // detectHbalist / detectHostHBA success

  // An empty registry and the Linux host at "/" unless given.
  TQOSUtil();
  explicit TQOSUtil(std::shared_ptr<ArrayRegistry> registry, std::shared_ptr<TqHostPlatform> platform = nullptr);
  virtual ~TQOSUtil();
  TQOSUtil(const TQOSUtil&) = delete;
  TQOSUtil& operator=(const TQOSUtil&) = delete;

  // ---- Operations the engine calls -------------------------------------------------------------
  // The host's initiator ports: names joined by ',' (with a NUL) and one kind byte per name (0 Fibre
  // Channel, 1 iSCSI). With null buffers or lengths too small: the lengths needed go out, result 0.
  // With room: the buffers are filled, the lengths say what was written, result 1. No ports: both
  // lengths 0, result 0. third is set to 0. The array id is accepted and not used.
  virtual int detectHbalist(const char* host, const char* arrayId, char* names, uint16_t* namesLength,
                            unsigned char* kinds, uint16_t* kindsLength, uint16_t* third);
  // The first initiator port of a host. 1 when it is in the buffer (*iscsi set); otherwise 0 and
  // *length is the size needed (0 when the host has no port or is unknown).
  virtual int detectHostHBA(const char* host, const char* arrayId, char* buffer, uint16_t* length, bool* iscsi);
  // The host's devices whose INQUIRY vendor starts with the filter (every device for a null or empty
  // filter), each followed by the separator. 0 when written (with a NUL); the size needed when the
  // buffer is too small; -1 when the host cannot be read.
  virtual int listDevices(const char* host, const char* filter, char separator, uint32_t size, char* buffer);
  // Deletes the devices of the second list, then rescans the buses; both lists end with a null pointer
  // and may be null. 0 when done, -1 when some step failed.
  virtual int rescanBus(const char* host, const char** initiators, const char** devicesToDelete);
  // Array-info text of an array. 0 copied; 1 unknown array; 2 buffer too small.
  virtual int getArrayInfoById(const char* arrayId, char* buffer, uint16_t length);
  // The integer setting of the array with this host id. 0 found (value set); -1 otherwise.
  virtual short getArrayConfigInt(int hostId, int reserved, const char* name, int& value);
  // Array-info text of the array with this control host. 0 copied; the size needed when the buffer is too
  // small; -1 unknown host.
  virtual short getArrayInfoByHost(const char* controlHost, char* buffer, short* length);
  virtual unsigned long long getJobId();
  // True when the engine ran on the proxy for this call's device list and the results came back; false
  // when no entry point or device list is set, the proxy name is blank or not reachable, or the run threw.
  virtual bool executeOnRemotePX(std::string& proxyHost);

  // ---- The host's side --------------------------------------------------------------------------
  std::shared_ptr<ArrayRegistry> registry() const { return registry_; }
  std::shared_ptr<TqHostPlatform> platform() const { return platform_; }
  void setJobId(unsigned long long jobId);
  // Defaults to the machine's host name, which is the name the engine gives its own host (it asks the
  // system for it): a harness that drives the engine on this machine keeps the default.
  void setLocalHostName(const std::string& name);
  std::string localHostName() const;
  // What another host offers: its initiator ports and its device list text (entries each followed by '*').
  void setRemoteHost(const std::string& host, const std::vector<HostInitiator>& initiators,
                     const std::string& deviceListText);
  // The device list of the current call (the records stay the caller's).
  void setDeviceList(SnapInfo** list, short count);
  void setProxyEntryPoint(ProxyEntryPoint entryPoint);
  // The proxy hosts that can be reached; when none is named, every non-blank name can.
  void setReachableProxies(const std::set<std::string>& hosts);
  // The platform the proxy run uses; the agent's own when not set.
  void setProxyPlatform(std::shared_ptr<TqHostPlatform> platform);

  struct RescanRecord {
    std::string host;  // empty for the local host; the ESX host for a host identifier text
    std::vector<std::string> initiators;
    std::vector<std::string> devicesToDelete;
  };
  std::vector<RescanRecord> rescans() const;
  std::vector<std::string> proxyRuns() const;  // the proxy host of every run, in order

 private:
  struct RemoteHost {
    std::vector<HostInitiator> initiators;
    std::string deviceListText;
  };

  bool isLocal(const char* host) const;
  // The registered name a non-local host name stands for.
  std::string remoteHostName(const std::string& host) const;
  bool initiatorsOf(const char* host, std::vector<HostInitiator>& out);
  bool proxyReachable(const std::string& host) const;

  const std::shared_ptr<ArrayRegistry> registry_;
  const std::shared_ptr<TqHostPlatform> platform_;
  mutable std::mutex mutex_;
  unsigned long long jobId_ = 0;
  std::string localHostName_;
  std::map<std::string, RemoteHost> remoteHosts_;
  std::vector<SnapInfo*> deviceList_;
  ProxyEntryPoint proxyEntryPoint_;
  std::set<std::string> reachableProxies_;
  std::shared_ptr<TqHostPlatform> proxyPlatform_;
  std::vector<RescanRecord> rescans_;
  std::vector<std::string> proxyRuns_;
};

}  // namespace TQSO
