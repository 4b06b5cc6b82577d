// The remote-proxy protocol: a whole job run through a proxy host giving the statuses of the local job.
#include <gtest/gtest.h>

#include <string>

#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

class ProxyJob : public enginejob::EngineJobTest {
 protected:
  void UseProxy(const std::string& proxy) {
    TQSO::ArrayEntry entry = *registry_->find(enginejob::kArrayId);
    entry.settings["SMCONFIG_NAME_REMOTE_SNAP_PX"] = proxy;
    registry_->put(entry);
    services_.setProxyEntryPoint([](TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services) {
      return tqso_execSnapEngineOp(list, count, services);
    });
    services_.setDeviceList(list_.data(), Count());
  }
};

TEST_F(ProxyJob, AWholeJobThroughTheProxyGivesTheLocalStatuses) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1", "vol2"});
  UseProxy("proxyhost");
  const struct {
    TQSO::ResultCode (*call)(TQSO::SnapInfo**, short, TQSO::TQOSUtil*);
    TQSO::SnapStatus status;
  } steps[] = {
      {&tqso_prepareDevices, TQSO::SS_PREPARED},      {&tqso_snapDevices, TQSO::SS_SNAPSHOT_CREATED},
      {&tqso_mapSnaps, TQSO::SS_SEEN_AS_HOST_DEVICE}, {&tqso_unmapSnaps, TQSO::SS_UNMAPPED},
      {&tqso_deleteSnaps, TQSO::SS_DELETED},          {&tqso_reconcileSnaps, TQSO::SS_GONE_FROM_ARRAY},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.status);
    EXPECT_EQ(TQSO::RC_SUCCESS, step.call(list_.data(), Count(), &services_));
    for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(step.status, Device(i).getStatus());
  }
  EXPECT_GE(services_.proxyRuns().size(), 6u);
  for (const std::string& proxy : services_.proxyRuns()) EXPECT_EQ("proxyhost", proxy);
}

TEST_F(ProxyJob, AProxyThatCannotBeReachedOrLeavesNoResultFails) {
  JobOf({"vol1"});
  UseProxy("proxyhost");
  services_.setReachableProxies({"otherhost"});
  EXPECT_EQ(TQSO::RC_FAIL, tqso_prepareDevices(list_.data(), Count(), &services_));

  // A result of an earlier call left on the record never passes for this call's.
  services_.setReachableProxies({});
  services_.setProxyEntryPoint([](TQSO::SnapInfo**, short, TQSO::TQOSUtil*) { return 0; });
  Device(0).setMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT, "0");
  Device(0).setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, "2FF70002AC00ABCD*4*s*d*p*g*t*tp*c*cp*1*0");
  EXPECT_EQ(TQSO::RC_FAIL, tqso_reconcileSnaps(list_.data(), Count(), &services_));
}

}  // namespace
