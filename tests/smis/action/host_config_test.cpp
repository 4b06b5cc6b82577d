// Host keys and per-array settings the actions read: presets stand for absent values, the host key wins
// over the array setting where both decide.
#include <gtest/gtest.h>

#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "action/SmisHostConfig.h"

namespace {

struct Probe : TqSmisTracer {};

TEST(HostConfigTest, SnapshotAllocationFollowsHostKeyThenArraySetting) {
  struct Case {
    const char* hostKey;  // nullptr: absent
    const char* setting;  // nullptr: absent
    const char* suffix;
  };
  const Case cases[] = {
      {nullptr, nullptr, "FULLY_ALLOCATED"}, {nullptr, "0", "FULLY_ALLOCATED"},
      {nullptr, "1", "ON_DEMAND"},           {"0", "0", "ON_DEMAND"},
      {"1", "1", "FULLY_ALLOCATED"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.hostKey ? c.hostKey : "-") + "/" + (c.setting ? c.setting : "-"));
    TqConfigOverride key = c.hostKey ? TqConfigOverride("Corvane", smisconfig::kHpEvaSnapshotAllocation, c.hostKey)
                                     : TqConfigOverride("Corvane", smisconfig::kHpEvaSnapshotAllocation);
    TQSO::SnapInfo record;
    if (c.setting) record.setSetting(smisconfig::kOnDemandSnapshotAllocation, c.setting);
    Probe tracer;
    tracer.m_SnapInfo = &record;
    EXPECT_STREQ(c.suffix, smisconfig::EvaSnapshotAllocationSuffix(tracer, "SMIS::CreateReplica"));
  }
}

TEST(HostConfigTest, PresetsStandForAbsentValuesAndMissingSink) {
  TqConfigOverride hidden("Corvane", smisconfig::kHpEvaNoStorageSetting);
  EXPECT_EQ(7ul, smisconfig::Number(smisconfig::kHpEvaNoStorageSetting, 7));
  TqConfigOverride set("Corvane", smisconfig::kHpEvaNoStorageSetting, "3");
  EXPECT_EQ(3ul, smisconfig::Number(smisconfig::kHpEvaNoStorageSetting, 7));

  Probe noSink;
  noSink.m_SnapInfo = nullptr;
  EXPECT_EQ(9, smisconfig::ArrayInt(noSink, smisconfig::kOnDemandSnapshotAllocation, 9));
  EXPECT_EQ("", smisconfig::ArrayText(noSink, "SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", 1024));
  smisconfig::SetDeviceError(noSink, 5, "ignored");

  TQSO::SnapInfo record;
  record.setSetting("SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", "ACME");
  Probe withSink;
  withSink.m_SnapInfo = &record;
  EXPECT_EQ("ACME", smisconfig::ArrayText(withSink, "SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", 1024));
  smisconfig::SetDeviceError(withSink, 5, "bad");
  EXPECT_EQ(5, record.errorCode());
}

}  // namespace
