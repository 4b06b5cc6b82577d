// The engine's tuning: registry keys that win whenever present, per-array settings read only without
// them, the remote proxy host whose setting wins, and the defaults.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqEngineSettings.h"

namespace {

// A device with the given settings, and registry keys set (or hidden) for the life of the object.
class Configured {
 public:
  Configured(const std::vector<std::pair<const char*, std::optional<std::string>>>& registry,
             const std::vector<std::pair<const char*, std::string>>& settings) {
    for (const auto& key : registry) {
      if (key.second)
        overrides_.emplace_back(new TqConfigOverride("Corvane", key.first, *key.second));
      else
        overrides_.emplace_back(new TqConfigOverride("Corvane", key.first));
    }
    for (const auto& setting : settings) device.setSetting(setting.first, setting.second);
  }
  TQSO::SnapInfo device;

 private:
  std::vector<std::unique_ptr<TqConfigOverride>> overrides_;
};

const char kNoParallel[] = "3PAR_SNAP_NO_PARALLEL";
const char kParallel[] = "SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS";

TEST(EngineSettings, ParallelRulesOfPrepareAndSnap) {
  struct Case {
    std::optional<std::string> registry;
    std::optional<std::string> setting;
    bool prepareParallel;
    bool snapParallel;
  } cases[] = {
      {{}, {}, true, true},   {{}, "0", false, false}, {{}, "1", true, true},  {{}, "2", true, false},
      {"1", {}, false, true}, {"0", "0", true, false}, {"2", "1", true, true}, {"1", "1", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("registry " + c.registry.value_or("-") + " setting " + c.setting.value_or("-"));
    std::vector<std::pair<const char*, std::string>> settings;
    if (c.setting) settings.emplace_back(kParallel, *c.setting);
    Configured config({{kNoParallel, c.registry}}, settings);
    EXPECT_EQ(c.prepareParallel, tqengine::PrepareRunsInParallel(&config.device));
    EXPECT_EQ(c.snapParallel, tqengine::SnapRunsInParallel(&config.device));
  }
}

TEST(EngineSettings, CloneProvisioningAndDeviceGroup) {
  {
    Configured config({{"3PAR_CLONE_PROVISION_TYPE", std::nullopt}},
                      {{"SMCONFIG_NAME_ENABLE_THIN_PROVISIONING", "1"},
                       {"SMCONFIG_NAME_STORAGE_DEVICE_GROUP", std::string(2000, 'g')},
                       {"SMCONFIG_NAME_USE_DEVICES_ONLY_FROM_THIS_GROUP", "1"}});
    EXPECT_STREQ("Thin", tqengine::CloneProvisionName(tqengine::CloneProvisionType(&config.device)));
    EXPECT_EQ(std::string(2000, 'g'), tqengine::StorageDeviceGroup(&config.device)) << "never cut";
    EXPECT_TRUE(tqengine::DeviceGroupRequired(&config.device));
  }
  Configured config(
      {{"3PAR_CLONE_PROVISION_TYPE", std::string("0")}},
      {{"SMCONFIG_NAME_ENABLE_THIN_PROVISIONING", "1"}, {"SMCONFIG_NAME_USE_DEVICES_ONLY_FROM_THIS_GROUP", "2"}});
  EXPECT_STREQ("Full", tqengine::CloneProvisionName(tqengine::CloneProvisionType(&config.device)))
      << "the registry key wins, even with 0";
  EXPECT_EQ("", tqengine::StorageDeviceGroup(&config.device));
  EXPECT_FALSE(tqengine::DeviceGroupRequired(&config.device));
  EXPECT_EQ("", tqengine::StorageDeviceGroup(nullptr));
}

TEST(EngineSettings, MountWindowIsAtLeastThreeHundredWhenShort) {
  struct Case {
    std::optional<std::string> registry;
    std::optional<std::string> setting;
    int window;
  } cases[] = {
      {{}, {}, 300},     {{}, "600", 600},    {{}, "180", 300}, {{}, "181", 181},
      {"0", "600", 300}, {"900", "600", 900}, {"-5", {}, 300},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<const char*, std::string>> settings;
    if (c.setting) settings.emplace_back("SMCONFIG_NAME_MOUNT_RETRY_INTERVAL_IN_SEC", *c.setting);
    Configured config({{"nMountRetrySeconds", c.registry}}, settings);
    EXPECT_EQ(c.window, tqengine::MountRetrySeconds(&config.device))
        << c.registry.value_or("-") << " / " << c.setting.value_or("-");
  }
}

TEST(EngineSettings, SyncPollingDefaultsAndNegativeValues) {
  {
    Configured config({{"n3PARSyncWaitSeconds", std::nullopt}, {"n3PARSyncWaitRetryCount", std::nullopt}}, {});
    EXPECT_EQ(15, tqengine::SyncWaitSeconds());
    EXPECT_EQ(500, tqengine::SyncWaitRetryCount());
  }
  Configured config({{"n3PARSyncWaitSeconds", std::string("-3")}, {"n3PARSyncWaitRetryCount", std::string("7")}}, {});
  EXPECT_EQ(0, tqengine::SyncWaitSeconds());
  EXPECT_EQ(7, tqengine::SyncWaitRetryCount());
}

TEST(EngineSettings, RemoteProxySettingFirstThenRegistry) {
  using tqengine::ProxySource;
  struct Case {
    std::optional<std::string> registry;
    std::optional<std::string> setting;
    ProxySource source;
    const char* host;
  } cases[] = {
      {{}, {}, ProxySource::kNone, ""},
      {{}, "px-setting", ProxySource::kSetting, "px-setting"},
      {"px-registry", "px-setting", ProxySource::kSetting, "px-setting"},
      {"px-registry", "", ProxySource::kRegistry, "px-registry"},
      {" px-registry ", {}, ProxySource::kRegistry, " px-registry "},
      {"", {}, ProxySource::kNone, ""},
      {"   ", "", ProxySource::kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("registry '" + c.registry.value_or("-") + "' setting '" + c.setting.value_or("-") + "'");
    std::vector<std::pair<const char*, std::string>> settings;
    if (c.setting) settings.emplace_back("SMCONFIG_NAME_REMOTE_SNAP_PX", *c.setting);
    Configured config({{"3PARExcecuteRemotePX", c.registry}}, settings);
    std::string host;
    EXPECT_EQ(c.source, tqengine::ConfiguredRemoteProxy(&config.device, host));
    EXPECT_EQ(c.host, host);
  }
}

}  // namespace
