#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "TQPlatformInfo.h"
#include "TqCimom.h"

namespace {

// Hides the layer's keys, then sets the given ones for the life of the object.
class Configuration {
 public:
  Configuration()
      : timeout_("Corvane", "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC"), faultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY") {}
  void Set(const char* key, const char* value) { set_.emplace_back(new TqConfigOverride("Corvane", key, value)); }

 private:
  TqConfigOverride timeout_;
  TqConfigOverride faultRetry_;
  std::vector<std::unique_ptr<TqConfigOverride>> set_;
};

TEST(CimomDescriptorTest, DefaultsWithoutConfiguration) {
  Configuration none;
  TqCimomParams params;
  EXPECT_EQ(params.m_Port, 5988);
  EXPECT_EQ(params.m_TimeoutSecs, 300);
  EXPECT_EQ(params.m_MaxRetries, 5);
  EXPECT_FALSE(params.m_UseSSL);
  EXPECT_TRUE(params.m_Address.empty() && params.m_NameSpace.empty() && params.m_User.empty() &&
              params.m_Password.empty() && params.m_Text.empty());

  TqCimom cimom;
  EXPECT_EQ(cimom.GetPort(), "5988");
  EXPECT_EQ(cimom.GetTimeoutSecs(), 300);
  EXPECT_EQ(cimom.GetMaxRetries(), 5);
  EXPECT_EQ(cimom.GetConnState(), TQ_CIM_DISCONNECTED);
  EXPECT_FALSE(cimom.GetUseSSL());
}

struct TimeoutCase {
  const char* configured;
  short expected;
};

// Test output names the case, not its bytes.
void PrintTo(const TimeoutCase& c, std::ostream* os) { *os << "timeout " << c.configured; }

class ConfiguredTimeoutTest : public ::testing::TestWithParam<TimeoutCase> {};

TEST_P(ConfiguredTimeoutTest, IsKeptBetween300And32767Seconds) {
  Configuration config;
  config.Set("TQ_SMIS_CLIENT_TIMEOUT_IN_SEC", GetParam().configured);
  EXPECT_EQ(TqCimomParams().m_TimeoutSecs, GetParam().expected);
  EXPECT_EQ(TqCimom().GetTimeoutSecs(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ConfiguredTimeoutTest,
                         ::testing::Values(TimeoutCase{"0", 300}, TimeoutCase{"120", 300}, TimeoutCase{"300", 300},
                                           TimeoutCase{"600", 600}, TimeoutCase{"32767", 32767},
                                           TimeoutCase{"40000", 32767}, TimeoutCase{"4295000000", 32767},
                                           TimeoutCase{"not a number", 300}));

TEST(CimomDescriptorTest, FaultRetrySwitchRaisesTheDefaultLimitUntilParametersAreSet) {
  Configuration config;
  config.Set("TQ_PEGASUS_FAULT_RETRY", "1");
  TqCimom cimom;
  EXPECT_EQ(cimom.GetMaxRetries(), 15);
  TqCimomParams params;
  cimom.SetCimom(params);
  EXPECT_EQ(cimom.GetMaxRetries(), 5);
}

TEST(CimomDescriptorTest, SetCimomTakesTheParametersAndKeepsTheConnectionState) {
  Configuration none;
  TqCimomParams params;
  params.m_Address = "array1";
  params.m_NameSpace = "root/tpd";
  params.m_User = "user";
  params.m_Password = "secret";
  params.m_TimeoutSecs = 20;
  params.m_MaxRetries = 2;
  params.m_UseSSL = true;
  TqCimom cimom;
  cimom.SetConnState(TQ_CIM_CONNECTED);
  cimom.SetCimom(params);
  EXPECT_EQ(cimom.GetAddress(), "array1");
  EXPECT_EQ(cimom.GetNameSpace(), "root/tpd");
  EXPECT_EQ(cimom.GetUserName(), "user");
  EXPECT_EQ(cimom.GetPassword(), "secret");
  EXPECT_EQ(cimom.GetTimeoutSecs(), 20);
  EXPECT_EQ(cimom.GetMaxRetries(), 2);
  EXPECT_TRUE(cimom.GetUseSSL());
  EXPECT_EQ(cimom.GetConnState(), TQ_CIM_CONNECTED);
}

struct PortCase {
  int port;
  const char* expectedText;
};

// Test output names the case, not its bytes.
void PrintTo(const PortCase& c, std::ostream* os) { *os << "port " << c.port; }

class SetCimomPortTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(SetCimomPortTest, TakesOnlyPositivePorts) {
  Configuration none;
  TqCimomParams params;
  params.m_Port = GetParam().port;
  TqCimom cimom;
  cimom.SetCimom(params);
  EXPECT_EQ(cimom.GetPort(), GetParam().expectedText);
}

INSTANTIATE_TEST_SUITE_P(Ports, SetCimomPortTest,
                         ::testing::Values(PortCase{0, "5988"}, PortCase{-1, "5988"}, PortCase{5989, "5989"},
                                           PortCase{40000, "40000"}, PortCase{65535, "65535"}));

}  // namespace
