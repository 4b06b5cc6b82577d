// The provisioning handler's rules that the LUN calls do not show on their own: how an array's connection
// parameters are formed (registry, array settings, HTTPS, port range), the host id scan of an
// array-information text, and a host that keeps asking for a larger buffer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HP3ParHandler.h"
#include "TQPlatformInfo.h"

namespace {

class InitArrayParamsTest : public ::testing::Test {
 protected:
  InitArrayParamsTest()
      : hidePort_("~Corvane", "3PAR_SMIS_PORT"),
        hideHttps_("~Corvane", "3PAR_SMIS_USE_HTTPS"),
        registry_(std::make_shared<TQSO::ArrayRegistry>()),
        os_(registry_, nullptr) {}

  void PutSettings(std::map<std::string, std::string> settings) {
    registry_->put(TQSO::ArrayEntry{"A1", "{hostid:17,hostName:ctl}", "ctl", 17, std::move(settings)});
  }

  TqConfigOverride hidePort_, hideHttps_;
  std::shared_ptr<TQSO::ArrayRegistry> registry_;
  TQSO::TQOSUtil os_;
};

TEST_F(InitArrayParamsTest, PortAndHttpsComeFromTheRegistryWhenPresentElseFromTheArraysSettings) {
  struct Case {
    const char* what;
    const char* registryPort;   // null: absent
    const char* registryHttps;  // null: absent
    std::map<std::string, std::string> settings;
    const char* port;
    bool https;
  } cases[] = {
      {"defaults", nullptr, nullptr, {}, "5988", false},
      {"array port", nullptr, nullptr, {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "6000"}}, "6000", false},
      {"array https", nullptr, nullptr, {{"SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER", "2"}}, "5989", true},
      {"registry https and port", "7000", "1", {}, "7000", true},
      {"registry 0 hides the array's port", "0", nullptr, {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "6000"}}, "5988", false},
      {"registry 0 hides the array's https",
       nullptr,
       "0",
       {{"SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER", "1"}},
       "5988",
       false},
      {"port above 32767 carried whole", "40000", nullptr, {}, "40000", false},
      {"port out of range keeps the default",
       nullptr,
       "1",
       {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "70000"}},
       "5989",
       true},
      {"negative port keeps the default", "-5", nullptr, {}, "5988", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PutSettings(c.settings);
    std::unique_ptr<TqConfigOverride> port, https;
    if (c.registryPort) port = std::make_unique<TqConfigOverride>("~Corvane", "3PAR_SMIS_PORT", c.registryPort);
    if (c.registryHttps) https = std::make_unique<TqConfigOverride>("~Corvane", "3PAR_SMIS_USE_HTTPS", c.registryHttps);
    TqCimConnection conn = HP3ParHandler().InitArrayParams(&os_, "ctl", "user", "pw");
    EXPECT_EQ(c.port, conn.m_Cimom.GetPort());
    EXPECT_EQ(c.https, conn.m_Cimom.GetUseSSL());
    EXPECT_EQ("root/tpd", conn.m_Cimom.GetNameSpace());
    EXPECT_EQ("ctl", conn.m_Cimom.GetAddress());
    EXPECT_EQ("user", conn.m_Cimom.GetUserName());
    EXPECT_EQ(nullptr, conn.m_Client) << "not connected";
  }
}

TEST(HandlerHostId, ScansTheFlatArrayInformationText) {
  struct Case {
    const char* text;
    bool found;
    const char* value;
  } cases[] = {
      {"{hostid:17,hostName:ctl}", true, "17"},
      {"{hostName:ctl,hostid:17}", true, "17"},
      {"{hostName:ctl,hostid:17", false, ""},
      {"{ hostid:17}", false, ""},
      {"{myhostid:17,x:1}", false, ""},
      {"{a:1,hostid:,b:2}", true, ""},
      {"{HOSTID:17}", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string value;
    EXPECT_EQ(c.found, HP3ParHandler().GetJsonVal(c.text, "hostid", value));
    EXPECT_EQ(c.value, value);
  }
}

// Host services that answer every array-information request with a larger size.
class EverGrowingHost : public TQSO::TQOSUtil {
 public:
  short getArrayInfoByHost(const char*, char*, short* length) override {
    lengths.push_back(*length);
    return static_cast<short>(*length + 100);
  }
  std::vector<short> lengths;
};

class ScriptedHost : public TQSO::TQOSUtil {
 public:
  explicit ScriptedHost(std::string text) : text_(std::move(text)) {}
  short getArrayInfoByHost(const char*, char* buffer, short* length) override {
    const short needed = static_cast<short>(text_.size() + 1);
    if (*length < needed) return needed;
    text_.copy(buffer, text_.size());
    buffer[text_.size()] = '\0';
    return 0;
  }

 private:
  std::string text_;
};

TEST(HandlerHostId, AHostThatKeepsAskingForMoreIsGivenUpOnAndATooSmallBufferIsGrown) {
  EvDebug logger;
  EverGrowingHost growing;
  int hostId = -1;
  EXPECT_TRUE(HP3ParHandler().GetControlHostId(&growing, logger, "ctl", hostId)) << "true means failure";
  EXPECT_EQ((std::vector<short>{4096, 4196, 4296}), growing.lengths);
  EXPECT_EQ(-1, hostId);

  ScriptedHost large("{" + std::string(5000, 'x') + ":1,hostid:23}");
  EXPECT_FALSE(HP3ParHandler().GetControlHostId(&large, logger, "ctl", hostId));
  EXPECT_EQ(23, hostId);

  ScriptedHost noDigits("{hostid:abc}");
  EXPECT_FALSE(HP3ParHandler().GetControlHostId(&noDigits, logger, "ctl", hostId));
  EXPECT_EQ(0, hostId);
  EXPECT_TRUE(HP3ParHandler().GetControlHostId(nullptr, logger, "ctl", hostId));
}

}  // namespace
