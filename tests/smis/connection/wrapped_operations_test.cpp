#include <gtest/gtest.h>
#include "TqErrorCodes.h"

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "SimFaults.h"
#include "SnapInfo.h"
#include "TqCimConnection.h"
#include "smis-sim/TestServer.h"
#include "support/ConnectionFixture.h"

namespace smistest {
namespace {

enum class Read { Instance, Instances, InstanceNames, AssociatorNames };

const char* NameOf(Read read) {
  switch (read) {
    case Read::Instance:
      return "GetInstance";
    case Read::Instances:
      return "GetInstances";
    case Read::InstanceNames:
      return "GetInstanceNames";
    case Read::AssociatorNames:
      return "GetAssociatorNames";
  }
  return "";
}

// The CIM method each read asks of the CIMOM.
const char* MethodOf(Read read) {
  switch (read) {
    case Read::Instance:
      return "GetInstance";
    case Read::Instances:
      return "EnumerateInstances";
    case Read::InstanceNames:
      return "EnumerateInstanceNames";
    case Read::AssociatorNames:
      return "AssociatorNames";
  }
  return "";
}

// Number of things the read gave back; `volume` names an existing volume.
size_t RunRead(TqCimConnection& connection, Read read, const Pegasus::CIMObjectPath& volume) {
  switch (read) {
    case Read::Instance:
      return connection.GetInstance(volume).getPropertyCount();
    case Read::Instances:
      return connection.GetInstances("CIM_StorageVolume", Pegasus::CIMPropertyList()).size();
    case Read::InstanceNames:
      return connection.GetInstanceNames("CIM_StorageVolume").size();
    case Read::AssociatorNames:
      return connection.GetAssociatorNames(volume, "CIM_SystemDevice", "CIM_ComputerSystem", "", "").size();
  }
  return 0;
}

const int kNoThrow = -2;     // the read returned
const int kPlainFault = -1;  // a Pegasus::Exception that is not a CIMException was thrown

struct ReadCase {
  const char* name;
  Read read;
  std::optional<smissim::FaultRule> fault;  // for as many answers as the rule says
  bool faultRetry;
  short maxRetries;
  bool expectedAnswer;  // a non-empty result
  int expectedThrow;    // kNoThrow, kPlainFault or the CIM status code
  int expectedRequests;
  int expectedRebuilds;
  int expectedError;  // on the job record
};

// Test output names the case, not its bytes.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class WrappedReadTest : public ConnectionTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(WrappedReadTest, ResultRetriesAndFault) {
  const ReadCase& c = GetParam();
  std::optional<TqConfigOverride> faultRetry;
  if (c.faultRetry) faultRetry.emplace("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  const Pegasus::CIMObjectPath volume = connection->GetInstanceNames("CIM_StorageVolume")[0];
  TqCimomParams params = ParamsFor(cimom);
  params.m_MaxRetries = c.maxRetries;
  connection->m_Cimom.SetCimom(params);
  cimom->clearLog();
  if (c.fault) cimom->injectFault(*c.fault);

  int thrown = kNoThrow;
  size_t size = 0;
  try {
    size = RunRead(*connection, c.read, volume);
  } catch (const Pegasus::CIMException& e) {
    thrown = e.getCode();
  } catch (const Pegasus::Exception&) {
    thrown = kPlainFault;
  }
  EXPECT_EQ(thrown, c.expectedThrow);
  EXPECT_EQ(size > 0, c.expectedAnswer);
  EXPECT_EQ(cimom->requestCount(MethodOf(c.read)), static_cast<std::uint64_t>(c.expectedRequests));
  EXPECT_EQ(CountMessages(record, "going to disconnect connection"), c.expectedRebuilds);
  EXPECT_EQ(record.errorCode(), c.expectedError);
  EXPECT_EQ(connection->m_AuthFailure, c.expectedError == kTqErrorAuthFailure);
  const std::string label = std::string("TqCimConnection::") + NameOf(c.read) + ": ";
  // A fault thrown on is traced twice on its way out.
  const int outTraces = thrown == kNoThrow ? 0 : 1;
  EXPECT_EQ(CountMessages(record, label + "Client Timed out Exception "), outTraces);
  EXPECT_EQ(CountMessages(record, "Caught unknown Exception"), outTraces);
}

const smissim::FaultRule k401 = HttpStatusFault(401, kLasting);
const smissim::FaultRule k500 = HttpStatusFault(500, kLasting);
const smissim::FaultRule k500Once = HttpStatusFault(500, 1);
const smissim::FaultRule kGarbage = MalformedFault(kLasting);
const smissim::FaultRule kNotFound = CimErrorFault(Pegasus::CIM_ERR_NOT_FOUND, "no such object", kLasting);
const smissim::FaultRule kInvalidClass = CimErrorFault(Pegasus::CIM_ERR_INVALID_CLASS, "no such class", kLasting);
const smissim::FaultRule kFailed = CimErrorFault(Pegasus::CIM_ERR_FAILED, "provider failure", kLasting);
const smissim::FaultRule kTimedOut =
    CimErrorFault(Pegasus::CIM_ERR_FAILED, "request timed out in the provider", kLasting);
const smissim::FaultRule kTimedOutOnce = CimErrorFault(Pegasus::CIM_ERR_FAILED, "request timed out", 1);
const smissim::FaultRule kDenied401 = CimErrorFault(Pegasus::CIM_ERR_ACCESS_DENIED, "denied: 401", kLasting);
const std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Answers, WrappedReadTest,
    ::testing::Values(
        ReadCase{"InstanceAnswered", Read::Instance, kNone, false, 5, true, kNoThrow, 1, 0, 0},
        ReadCase{"InstancesAnswered", Read::Instances, kNone, false, 5, true, kNoThrow, 1, 0, 0},
        ReadCase{"NamesAnswered", Read::InstanceNames, kNone, false, 5, true, kNoThrow, 1, 0, 0},
        ReadCase{"AssociatorsAnswered", Read::AssociatorNames, kNone, false, 5, true, kNoThrow, 1, 0, 0},
        // A refused login is the device's error and an empty result, asked once.
        ReadCase{"Instance401", Read::Instance, k401, false, 5, false, kNoThrow, 1, 0, kTqErrorAuthFailure},
        ReadCase{"Instances401", Read::Instances, k401, false, 5, false, kNoThrow, 1, 0, kTqErrorAuthFailure},
        ReadCase{"Names401", Read::InstanceNames, k401, false, 5, false, kNoThrow, 1, 0, kTqErrorAuthFailure},
        ReadCase{"Associators401", Read::AssociatorNames, k401, false, 5, false, kNoThrow, 1, 0, kTqErrorAuthFailure},
        // With the fault-retry switch a 401 is retried like any HTTP fault; the fourth fault rebuilds.
        ReadCase{"Instance401FaultRetry", Read::Instance, k401, true, 5, false, kPlainFault, 5, 1, 0},
        ReadCase{"Instance401WithoutHttpFaultRetry", Read::Instance, kDenied401, true, 5, false,
                 Pegasus::CIM_ERR_ACCESS_DENIED, 1, 0, 0},
        ReadCase{"AssociatorsNotFound", Read::AssociatorNames, kNotFound, false, 5, false, kNoThrow, 1, 0, 0},
        ReadCase{"AssociatorsInvalidClass", Read::AssociatorNames, kInvalidClass, false, 5, false, kNoThrow, 1, 0, 0},
        ReadCase{"InstancesNotFound", Read::Instances, kNotFound, false, 5, false, Pegasus::CIM_ERR_NOT_FOUND, 1, 0, 0},
        ReadCase{"InstanceFailed", Read::Instance, kFailed, false, 5, false, Pegasus::CIM_ERR_FAILED, 1, 0, 0},
        ReadCase{"InstanceGarbage", Read::Instance, kGarbage, false, 5, false, kPlainFault, 1, 0, 0},
        // Faults that keep coming: names give up quietly one call early, the others throw.
        ReadCase{"NamesKeepTimingOut", Read::InstanceNames, kTimedOut, false, 5, false, kNoThrow, 4, 4, 0},
        ReadCase{"InstanceKeepsTimingOut", Read::Instance, kTimedOut, false, 5, false, Pegasus::CIM_ERR_FAILED, 5, 4,
                 0},
        ReadCase{"AssociatorsKeepTimingOut", Read::AssociatorNames, kTimedOut, false, 5, false, Pegasus::CIM_ERR_FAILED,
                 5, 4, 0},
        ReadCase{"InstanceKeepsFailingHttp", Read::Instance, k500, false, 5, false, kPlainFault, 5, 4, 0},
        ReadCase{"InstanceRecoversAfterOneHttpFault", Read::Instance, k500Once, false, 5, true, kNoThrow, 2, 1, 0},
        ReadCase{"InstancesRecoverAfterOneTimeout", Read::Instances, kTimedOutOnce, false, 5, true, kNoThrow, 2, 1, 0},
        // Retry limits that leave no call.
        ReadCase{"InstanceWithNoRetries", Read::Instance, kNone, false, 0, false, kNoThrow, 0, 0, 0},
        ReadCase{"NamesWithOneRetry", Read::InstanceNames, kNone, false, 1, false, kNoThrow, 0, 0, 0},
        ReadCase{"InstanceWithOneRetry", Read::Instance, kNone, false, 1, true, kNoThrow, 1, 0, 0}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, AssociatorsNotFoundNamesTheClasses) {
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  const Pegasus::CIMObjectPath volume = connection->GetInstanceNames("CIM_StorageVolume")[0];
  cimom->injectFault(CimErrorFault(Pegasus::CIM_ERR_NOT_FOUND, "none"));
  EXPECT_EQ(RunRead(*connection, Read::AssociatorNames, volume), 0u);
  EXPECT_EQ(CountMessages(record,
                          "TqCimConnection::GetAssociatorNames: Objects or Assns do not exist: "
                          "CIM_SystemDevice, CIM_ComputerSystem"),
            1);
}

TEST_F(ConnectionTest, UnauthorizedWithFaultRetryIsTracedBeforeEachRetry) {
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  smissim::TestServer cimom(SimOver(false));
  cimom->injectFault(HttpStatusFault(401));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  EXPECT_GT(connection->GetInstanceNames("CIM_StorageVolume").size(), 0u);
  EXPECT_EQ(CountMessages(record,
                          "Unauthorized Exception [HTTP Error (401 Unauthorized).], continue with retry  "
                          "as PEGASUS retry regkey present"),
            1);
  EXPECT_EQ(record.errorCode(), 0);
  EXPECT_FALSE(connection->m_AuthFailure);
}

TEST_F(ConnectionTest, WrongPasswordFailsAtTheFirstOperationWithTheAuthenticationError) {
  smissim::TestServer cimom(SimOver(true));
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom);
  params.m_Password = "wrong";
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  EXPECT_EQ(connection->GetInstanceNames("CIM_StorageVolume").size(), 0u);
  EXPECT_EQ(record.errorCode(), kTqErrorAuthFailure);
  EXPECT_NE(record.errorText().find("401"), std::string::npos);
  EXPECT_TRUE(connection->m_AuthFailure);
  TqCimConnection copy(*connection);
  EXPECT_TRUE(copy.m_AuthFailure);
}

// The host definition of the default array that presents no volume, which the provider lets go.
Pegasus::CIMObjectPath UnusedHostDefinition(TqCimConnection& connection) {
  for (const Pegasus::CIMInstance& host :
       connection.GetInstances("CIM_StorageHardwareIDCollection", Pegasus::CIMPropertyList())) {
    const Pegasus::Uint32 name = host.findProperty("ElementName");
    if (name != Pegasus::PEG_NOT_FOUND && host.getProperty(name).getValue().toString() == "backup01")
      return host.getPath();
  }
  throw std::runtime_error("no host definition backup01");
}

struct DeleteCase {
  const char* name;
  bool deletable;  // delete the unused host definition, else a volume (the provider refuses)
  std::optional<smissim::FaultRule> fault;
  int expectedResult;
  const char* expectedTrace;
  int expectedError;
};

// Test output names the case, not its bytes.
void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteInstanceTest : public ConnectionTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteInstanceTest, ReportsWithoutThrowing) {
  const DeleteCase& c = GetParam();
  smissim::TestServer cimom(SimOver(false));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  const Pegasus::CIMObjectPath target =
      c.deletable ? UnusedHostDefinition(*connection) : connection->GetInstanceNames("CIM_StorageVolume")[0];
  if (c.fault) cimom->injectFault(*c.fault);
  record.clearMessages();

  int result = -1;
  EXPECT_NO_THROW(result = connection->DeleteInstance(Pegasus::CIMNamespaceName("root/tpd"), target));
  EXPECT_EQ(result, c.expectedResult);
  EXPECT_EQ(cimom->requestCount("DeleteInstance"), 1u);
  EXPECT_EQ(CountMessages(record, c.expectedTrace), std::string(c.expectedTrace).empty() ? 0 : 1);
  if (std::string(c.expectedTrace).empty()) {
    EXPECT_TRUE(record.messages().empty());
  }
  EXPECT_EQ(record.errorCode(), c.expectedError);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DeleteInstanceTest,
    ::testing::Values(DeleteCase{"Deleted", true, std::nullopt, 0, "", 0},
                      DeleteCase{"RefusedByProvider", false, std::nullopt, 1,
                                 "Caught CIMException: CIM_ERR_NOT_SUPPORTED: ", 0},
                      DeleteCase{"NotFound", true, CimErrorFault(Pegasus::CIM_ERR_NOT_FOUND, "gone"), 1,
                                 "Caught CIMException: CIM_ERR_NOT_FOUND: ", 0},
                      DeleteCase{"ServerError", true, HttpStatusFault(500), 1, "Caught Exception: HTTP Error (500", 0},
                      DeleteCase{"Unauthorized", true, HttpStatusFault(401), 1, "Caught Exception: HTTP Error (401",
                                 kTqErrorAuthFailure},
                      DeleteCase{"TimedOutIsNotRetried", true, CimErrorFault(Pegasus::CIM_ERR_FAILED, "timed out"), 1,
                                 "Caught CIMException: CIM_ERR_FAILED: ", 0}),
    [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, DeleteWithoutClientIsQuiet) {
  TQSO::SnapInfo record;
  TqCimConnection connection;
  connection.m_SnapInfo = &record;
  EXPECT_EQ(connection.DeleteInstance(Pegasus::CIMNamespaceName("root/tpd"),
                                      Pegasus::CIMObjectPath("TPD_StorageVolume.DeviceID=\"v\"")),
            1);
  EXPECT_TRUE(record.messages().empty());
}

}  // namespace
}  // namespace smistest
