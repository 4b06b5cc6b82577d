// The host services' remote-proxy run: the engine's proxy entry point on copies of the device records,
// and the results carried back.
#include <exception>

#include "EvDebug.h"
#include "TQOSUtil.h"
#include "TqNumberParse.h"

namespace TQSO {

namespace {

const char kTag[] = "TQOSUtil::executeOnRemotePX";

// What the proxy changed on its copy goes back to the agent's record.
void carryBack(SnapInfo& agent, SnapInfo& proxy, size_t agentStatuses, size_t agentMessages) {
  const std::map<int, std::string> before = agent.metaData();
  const std::map<int, std::string> after = proxy.metaData();
  for (const auto& item : after) {
    const auto old = before.find(item.first);
    if (old == before.end() || old->second != item.second) agent.setMetaData(item.first, item.second.c_str());
  }
  for (const auto& item : before)
    if (after.count(item.first) == 0) agent.setMetaData(item.first, nullptr);

  const std::vector<SnapStatus> statuses = proxy.statusHistory();
  for (size_t i = agentStatuses; i < statuses.size(); ++i) agent.setStatus(statuses[i]);

  if (proxy.errorCode() != agent.errorCode() || proxy.errorText() != agent.errorText())
    agent.setError(proxy.errorCode(), proxy.errorText().c_str());
  if (proxy.snapDeviceName() != agent.snapDeviceName()) agent.setSnapDeviceName(proxy.snapDeviceName().c_str());
  if (proxy.hostDevicePath() != agent.hostDevicePath()) agent.setHostDevicePath(proxy.hostDevicePath().c_str());
  if (proxy.lunWWN() != agent.lunWWN()) agent.setLunWWN(proxy.lunWWN().c_str());
  if (proxy.arrayName() != agent.arrayName()) agent.setArrayName(proxy.arrayName().c_str());
  // The array the proxy selected for the device (its login and settings) is the device's array.
  const std::string selected = proxy.selectedArrayId();
  if (!selected.empty() && selected != agent.selectedArrayId()) agent.setArrayLogin(selected.c_str());

  const std::vector<JobMessage> messages = proxy.messages();
  for (size_t i = agentMessages; i < messages.size(); ++i) {
    const JobMessage& message = messages[i];
    const std::string text = message.tag.empty() ? message.text : message.tag + ": " + message.text;
    agent.logMessage(message.level, text.c_str());
  }
}

}  // namespace

bool TQOSUtil::proxyReachable(const std::string& host) const {
  if (tqhost::trimBlanks(host).empty()) return false;
  return reachableProxies_.empty() || reachableProxies_.count(host) > 0;
}

bool TQOSUtil::executeOnRemotePX(std::string& proxyHost) {
  ProxyEntryPoint entryPoint;
  std::vector<SnapInfo*> agentRecords;
  std::shared_ptr<TqHostPlatform> platform;
  unsigned long long jobId = 0;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!proxyEntryPoint_ || deviceList_.empty() || !proxyReachable(proxyHost)) {
      o_logger.DebugLvl(kTag, -1, "no proxy run for [%s]: no entry point, no device list or not reachable",
                        proxyHost.c_str());
      return false;
    }
    entryPoint = proxyEntryPoint_;
    agentRecords = deviceList_;
    platform = proxyPlatform_ ? proxyPlatform_ : platform_;
    jobId = jobId_;
    proxyRuns_.push_back(proxyHost);
  }

  std::vector<std::unique_ptr<SnapInfo>> copies;
  std::vector<SnapInfo*> copyPointers;
  std::vector<size_t> statusCounts;
  std::vector<size_t> messageCounts;
  for (SnapInfo* record : agentRecords) {
    copies.push_back(std::make_unique<SnapInfo>(record != nullptr ? *record : SnapInfo()));
    copyPointers.push_back(copies.back().get());
    statusCounts.push_back(copies.back()->statusHistory().size());
    messageCounts.push_back(copies.back()->messages().size());
  }

  TQOSUtil proxyServices(registry_, platform);
  proxyServices.setJobId(jobId);
  proxyServices.setLocalHostName(proxyHost);
  proxyServices.setDeviceList(copyPointers.data(), static_cast<short>(copyPointers.size()));

  int result = 0;
  try {
    result = entryPoint(copyPointers.data(), static_cast<short>(copyPointers.size()), &proxyServices);
  } catch (const std::exception& failure) {
    o_logger.DebugLvl(kTag, -1, "proxy run on [%s] threw: %s", proxyHost.c_str(), failure.what());
    return false;
  } catch (...) {
    o_logger.DebugLvl(kTag, -1, "proxy run on [%s] threw", proxyHost.c_str());
    return false;
  }
  o_logger.DebugLvl(kTag, 2, "proxy run on [%s] ended with %d", proxyHost.c_str(), result);

  for (size_t i = 0; i < agentRecords.size(); ++i)
    if (agentRecords[i] != nullptr) carryBack(*agentRecords[i], *copies[i], statusCounts[i], messageCounts[i]);
  return true;
}

}  // namespace TQSO
