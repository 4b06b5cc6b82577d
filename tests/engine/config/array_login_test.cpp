// The connection parameters of an array: login from the array-info text, port and HTTPS from the
// registry (which wins whenever its key is present) or the array's settings, and the failures.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQPlatformInfo.h"
#include "TqArrayLogin.h"
#include "TqEngineErrors.h"

namespace {

const char kArray[] = "2FF70002AC001234";
const char kLogin[] = "{hostName:10.1.1.5,hostUserName:dom\\\\admin,hostPassword:pw,engineId:25}";

class ArrayLoginTest : public ::testing::Test {
 protected:
  ArrayLoginTest()
      : registry_(std::make_shared<TQSO::ArrayRegistry>()),
        hidePort_("~Corvane", "3PAR_SMIS_PORT"),
        hideHttps_("~Corvane", "3PAR_SMIS_USE_HTTPS") {
    PutArray(kLogin, {});
    device_.setArrayRegistry(registry_);
  }

  void PutArray(const std::string& info, std::map<std::string, std::string> settings) {
    registry_->put(TQSO::ArrayEntry{kArray, info, "ctl", 3, std::move(settings)});
  }

  std::shared_ptr<TQSO::ArrayRegistry> registry_;
  TqConfigOverride hidePort_;
  TqConfigOverride hideHttps_;
  TQSO::SnapInfo device_;
};

TEST_F(ArrayLoginTest, BuildsTheParametersFromTheDevicesArray) {
  tqengine::TqArrayLogin login;
  ASSERT_TRUE(tqengine::ReadArrayParams(&device_, nullptr, kArray, true, login));
  EXPECT_EQ(kArray, device_.selectedArrayId());
  EXPECT_EQ("10.1.1.5", login.cimom.m_Address);
  EXPECT_EQ("dom\\admin", login.cimom.m_User) << "a doubled backslash after the domain becomes one";
  EXPECT_EQ("pw", login.cimom.m_Password);
  EXPECT_EQ("root/tpd", login.cimom.m_NameSpace);
  EXPECT_EQ(kArray, login.systemName);
  EXPECT_EQ(5988, login.cimom.m_Port);
  EXPECT_FALSE(login.cimom.m_UseSSL);
  EXPECT_GE(login.cimom.m_TimeoutSecs, 300);
}

TEST_F(ArrayLoginTest, ByIdReadsTheTextFromTheHostServices) {
  TQSO::TQOSUtil services(registry_, nullptr);
  TQSO::SnapInfo other;  // no array selected
  tqengine::TqArrayLogin login;
  ASSERT_TRUE(tqengine::ReadArrayParams(&other, &services, kArray, false, login));
  EXPECT_EQ("10.1.1.5", login.cimom.m_Address);
  EXPECT_EQ("", other.selectedArrayId());
}

TEST_F(ArrayLoginTest, ByIdPortAndHttpsAreThatArraysOwnByItsHostId) {
  // The device has another array selected, with settings of its own that must not be taken.
  registry_->put(TQSO::ArrayEntry{
      "2FF70002AC00BEEF",
      "{hostName:t,hostUserName:u,hostPassword:p,hostid:7}",
      "ctl2",
      7,
      {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "9000"}, {"SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER", "0"}}});
  ASSERT_EQ(0, device_.setArrayLogin("2FF70002AC00BEEF"));
  TQSO::TQOSUtil services(registry_, nullptr);
  const std::map<std::string, std::string> ownSettings = {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "7000"},
                                                          {"SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER", "1"}};
  struct Case {
    const char* name;
    std::string info;
    std::map<std::string, std::string> settings;
    int port;
    bool https;
  } cases[] = {
      {"its own settings", "{hostName:h,hostUserName:u,hostPassword:p,hostid:3}", ownSettings, 7000, true},
      {"no settings of its own", "{hostName:h,hostUserName:u,hostPassword:p,hostid:3}", {}, 5988, false},
      {"no host id: no settings", "{hostName:h,hostUserName:u,hostPassword:p}", ownSettings, 5988, false},
      {"a host id that is no number", "{hostName:h,hostUserName:u,hostPassword:p,hostid:x3}", ownSettings, 5988, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PutArray(c.info, c.settings);
    tqengine::TqArrayLogin login;
    ASSERT_TRUE(tqengine::ReadArrayParams(&device_, &services, kArray, false, login));
    EXPECT_EQ("h", login.cimom.m_Address);
    EXPECT_EQ(c.port, login.cimom.m_Port);
    EXPECT_EQ(c.https, login.cimom.m_UseSSL);
  }
  TqConfigOverride registryPort("~Corvane", "3PAR_SMIS_PORT", "6000");
  tqengine::TqArrayLogin login;
  ASSERT_TRUE(tqengine::ReadArrayParams(&device_, &services, kArray, false, login));
  EXPECT_EQ(6000, login.cimom.m_Port) << "a registry key still wins";
}

TEST_F(ArrayLoginTest, FailuresAndTheErrorsTheySet) {
  tqengine::TqArrayLogin login;
  // An array the host does not know: no error of its own.
  EXPECT_FALSE(tqengine::ReadArrayParams(&device_, nullptr, "2FF70002AC009999", true, login));
  EXPECT_EQ(0, device_.errorCode());

  // A text without a login key: silent.
  PutArray("{hostName:h,hostUserName:u,engineId:25}", {});
  EXPECT_FALSE(tqengine::ReadArrayParams(&device_, nullptr, kArray, true, login));
  EXPECT_EQ(0, device_.errorCode());

  // No text for the array id: 62005.
  TQSO::TQOSUtil services(std::make_shared<TQSO::ArrayRegistry>(), nullptr);
  EXPECT_FALSE(tqengine::ReadArrayParams(&device_, &services, kArray, false, login));
  EXPECT_EQ(tqengine::kErrArrayInfo, device_.errorCode());
  EXPECT_EQ("Failed to get array info", device_.errorText());
}

struct PortCase {
  const char* name;
  std::optional<const char*> registryPort;
  std::optional<const char*> registryHttps;
  std::optional<const char*> settingPort;
  std::optional<const char*> settingHttps;
  int port;
  bool https;
};

const PortCase kPortCases[] = {
    {"defaults", {}, {}, {}, {}, 5988, false},
    {"registry https", {}, "1", {}, {}, 5989, true},
    {"registry https and port", "6000", "1", {}, {}, 6000, true},
    {"registry port without https", "6000", {}, {}, {}, 6000, false},
    {"setting port and https", {}, {}, "7000", "1", 7000, true},
    {"setting https other than 1 still switches", {}, {}, {}, "2", 5989, true},
    {"registry 0 port wins over the setting", "0", {}, "7000", {}, 5988, false},
    {"registry 0 https wins over the setting", {}, "0", {}, "1", 5988, false},
    {"port above 32767 is carried whole", "40000", {}, {}, {}, 40000, false},
    {"port above 65535 keeps the default", "70000", "1", {}, {}, 5989, true},
    {"negative setting keeps the default", {}, {}, "-5", {}, 5988, false},
};

class SmisPortRules : public ArrayLoginTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(SmisPortRules, RegistryWinsWhenPresentAndPortsAreRangeChecked) {
  const PortCase& c = GetParam();
  std::optional<TqConfigOverride> port, https;
  if (c.registryPort) port.emplace("~Corvane", "3PAR_SMIS_PORT", *c.registryPort);
  if (c.registryHttps) https.emplace("~Corvane", "3PAR_SMIS_USE_HTTPS", *c.registryHttps);
  std::map<std::string, std::string> settings;
  if (c.settingPort) settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = *c.settingPort;
  if (c.settingHttps) settings["SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER"] = *c.settingHttps;
  PutArray(kLogin, settings);

  tqengine::TqArrayLogin login;
  ASSERT_TRUE(tqengine::ReadArrayParams(&device_, nullptr, kArray, true, login));
  EXPECT_EQ(c.port, login.cimom.m_Port);
  EXPECT_EQ(c.https, login.cimom.m_UseSSL);
}

INSTANTIATE_TEST_SUITE_P(Cases, SmisPortRules, ::testing::ValuesIn(kPortCases),
                         [](const ::testing::TestParamInfo<PortCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST_F(ArrayLoginTest, LoggedParametersNeverShowThePassword) {
  PutArray("{hostName:h,hostUserName:u,hostPassword:TopSecret1,engineId:25}", {});
  EvDebugCapture log;
  tqengine::TqArrayLogin login;
  ASSERT_TRUE(tqengine::ReadArrayParams(&device_, nullptr, kArray, true, login));
  EXPECT_TRUE(log.contains(" Array params 2FF70002AC001234 h u 5988"));
  EXPECT_EQ(0u, log.countContaining("TopSecret1"));
}

TEST(DomainUser, OnlyTheBackslashAfterTheFirstIsDropped) {
  const std::pair<const char*, const char*> cases[] = {
      {"dom\\\\user", "dom\\user"}, {"dom\\user", "dom\\user"}, {"user", "user"}, {"a\\b\\c", "a\\bc"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(c.second, tqengine::CollapseDomainBackslash(c.first)) << c.first;
}

}  // namespace
