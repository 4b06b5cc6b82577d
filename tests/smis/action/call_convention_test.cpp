// The call convention shared by the operations (SmisCall), against the simulated 3PAR array: services and
// volumes by name, the guard, the shared lock, and the rules that turn answers and jobs into results.
#include <stdexcept>

#include "action/SmisCall.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

class CallConventionTest : public SmisActionTest {
 protected:
  SmisCall NewCall() { return SmisCall(action_, conn_, "SMIS::Probe", "probe"); }

  // The in-parameters of a snapshot of base1 named `name`.
  Pegasus::Array<Pegasus::CIMParamValue> SnapshotParams(const std::string& name) {
    Pegasus::Array<Pegasus::CIMParamValue> in;
    in.append(Pegasus::CIMParamValue("ElementName", Pegasus::CIMValue(Pegasus::String(name))));
    in.append(Pegasus::CIMParamValue("CopyType", Pegasus::CIMValue(Pegasus::Uint16(4))));
    in.append(Pegasus::CIMParamValue("SourceElement", Pegasus::CIMValue(VolumePath(kOneArraySerial, "base1"))));
    return in;
  }
};

TEST_F(CallConventionTest, ShortArgumentsTraceTheUsage) {
  SmisCall call = NewCall();
  SmisArgs args = {"one"};
  EXPECT_TRUE(call.HasArgs(args, 1, "SystemName"));
  EXPECT_FALSE(call.HasArgs(args, 2, "SystemName VolumeID"));
  EXPECT_EQ(1, CountMessages(record_, "probe: Insufficient params specified"));
  EXPECT_EQ(1, CountMessages(record_, "    need: SystemName VolumeID"));
  EXPECT_TRUE(SmisCall::IsGiven({"a", "x"}, 1));
  EXPECT_FALSE(SmisCall::IsGiven({"a", "anullpath"}, 1));
  EXPECT_FALSE(SmisCall::IsGiven({"a"}, 1));
}

TEST_F(CallConventionTest, ServiceIsFoundOnTheNamedArrayOnly) {
  SmisCall call = NewCall();
  ASSERT_TRUE(call.FindConfigService(SystemName()));
  EXPECT_EQ(TQ_VENDOR_HP_3PAR, call.Vendor());
  EXPECT_TRUE(
      Pegasus::refersToSameObject(call.Service(), Pegasus::CIMObjectPath(Pegasus::String(ConfigServiceText()))));
  SmisCall other = NewCall();
  EXPECT_FALSE(other.FindConfigService("2FF70002ACFFFFFF"));
  EXPECT_FALSE(other.FindConfigService("  "));
  EXPECT_EQ(2, CountMessages(record_, "SMIS::Probe: Class CIM_StorageConfigurationService for system"));
}

TEST_F(CallConventionTest, VolumeByPathOrByName) {
  const std::string wwn = WwnOf(kOneArraySerial, "base2");
  struct Case {
    std::string text;
    bool found;
  };
  const Case cases[] = {
      {VolumeText("base2"), true},
      {wwn, true},
      {"60002AC0000000000000000000FFFFFF", false},  // a WWN no volume has
      {"", false},
      {"   ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SmisCall call = NewCall();
    Pegasus::CIMObjectPath path;
    EXPECT_EQ(c.found, call.FindVolume(c.text, "source volume", path));
    if (c.found) {
      EXPECT_TRUE(Pegasus::refersToSameObject(path, VolumePath(kOneArraySerial, "base2")));
    }
  }
  EXPECT_EQ(3, CountMessages(record_, "probe: CIM_StorageVolume source volume"));
}

TEST_F(CallConventionTest, GuardTurnsEveryExceptionIntoOne) {
  SmisCall call = NewCall();
  EXPECT_EQ(kSmisFailed, call.Guarded(TQ_HANDLER_SITE, []() -> SmisResultCode {
    throw Pegasus::CIMException(Pegasus::CIM_ERR_NOT_FOUND, "gone");
  }));
  EXPECT_EQ(kSmisFailed, call.Guarded(TQ_HANDLER_SITE, []() -> SmisResultCode { throw Pegasus::Exception("broken"); }));
  EXPECT_EQ(kSmisFailed, call.Guarded(TQ_HANDLER_SITE, []() -> SmisResultCode { throw std::runtime_error("other"); }));
  EXPECT_EQ(7u, call.Guarded(TQ_HANDLER_SITE, []() -> SmisResultCode { return 7; }));
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException: CIM_ERR_NOT_FOUND: gone"));
  EXPECT_EQ(1, CountMessages(record_, "Caught Exception: broken"));
  EXPECT_EQ(1, CountMessages(record_, "probe: Caught unknown Exception"));
  call.UsePlainUnknownText();
  call.Guarded(TQ_HANDLER_SITE, []() -> SmisResultCode { throw 3; });
  EXPECT_EQ(2, CountMessages(record_, "Caught unknown Exception"));
}

// The shared lock is held around the call on LSI, DCIM and NetApp providers and released when it throws.
TEST_F(CallConventionTest, SharedLockIsReleasedWhenTheCallThrows) {
  SmisCall call = NewCall();
  call.UseService(Pegasus::CIMObjectPath(Pegasus::String(
      "LSISSI_StorageConfigurationService.CreationClassName=\"LSISSI_StorageConfigurationService\",Name=\"svc\"")));
  ASSERT_EQ(TQ_VENDOR_LSI, call.Vendor());
  SmisMethod method;
  method.name = "CreateReplica";
  method.serialize = true;
  EXPECT_THROW(call.Invoke(method, SnapshotParams("lsi")), Pegasus::CIMException);
  ASSERT_EQ(1, SmisAction::m_Lock.enter(false));
  SmisAction::m_Lock.leave();
}

// What each job rule makes of the same answers.
TEST_F(CallConventionTest, JobRulesAndAnswersGiveTheirResults) {
  struct Case {
    const char* what;
    FaultAction action;
    std::uint16_t finalState;
    SmisJobRule rule;
    SmisResultCode result;
    bool readOut;
  };
  const Case cases[] = {
      {"failed job as one", FaultAction::JobFails, 9, SmisJobRule::kFailedIsOne, kSmisFailed, false},
      {"failed job as its state", FaultAction::JobFails, 9, SmisJobRule::kFailedIsState, 9, false},
      {"job not watched", FaultAction::AsJob, 7, SmisJobRule::kNotWatched, kSmisJobStarted, false},
      {"method value passed through", FaultAction::ForceReturnValue, 7, SmisJobRule::kFailedIsOne, 4, false},
      {"no job: out-parameters read", FaultAction::Delay, 7, SmisJobRule::kFailedIsOne, kSmisSuccess, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FaultOnMethod("CreateReplica", c.action, c.finalState);
    SmisCall call = NewCall();
    ASSERT_TRUE(call.FindConfigService(SystemName()));
    SmisMethod method;
    method.name = "CreateReplica";
    method.traceIn = true;
    SmisOutcomeRule rule;
    rule.job = c.rule;
    rule.tries = 5;
    rule.seconds = 1;
    bool read = false;
    rule.readOut = [&read](Pegasus::Array<Pegasus::CIMParamValue>&) { read = true; };
    EXPECT_EQ(c.result, call.Finish(call.Invoke(method, SnapshotParams("rule" + std::to_string(n++))), rule));
    EXPECT_EQ(c.readOut, read);
  }
  EXPECT_EQ(1, CountMessages(record_, "probe: Method failed, retVal = 4 (0x4)"));
  EXPECT_EQ(3, CountMessages(record_, "probe: Job started"));
}

// An IBM SVC refusal reaches the device's job record with the provider's text; other vendors' do not.
TEST_F(CallConventionTest, SvcRefusalBecomesTheDeviceError) {
  static const SmisErrorText_t kTexts[] = {{32773, "Name in use"}, {0, nullptr}};
  action_.SetErrorTextTable(kTexts);
  const struct {
    const char* service;
    int deviceError;
  } cases[] = {{"IBMTSSVC_StorageConfigurationService.Name=\"svc\"", 32773},
               {"TPD_StorageConfigurationService.Name=\"svc\"", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.service);
    record_.setError(0, nullptr);
    SmisCall call = NewCall();
    call.UseService(Pegasus::CIMObjectPath(Pegasus::String(c.service)));
    EXPECT_EQ(32773u, call.Failed(32773));
    int code = -1;
    char text[64] = {0};
    std::uint16_t length = sizeof text;
    record_.getError(&code, text, &length);
    EXPECT_EQ(c.deviceError, code);
    if (c.deviceError) {
      EXPECT_STREQ("Name in use", text);
    }
  }
  EXPECT_EQ(1, CountMessages(record_, "Error: Name in use"));
}

}  // namespace
}  // namespace smisactiontest
