#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "ConnectionFixture.h"
#include "LoopbackCimom.h"
#include "SnapInfo.h"
#include "TqCimConnection.h"

namespace smistest {
namespace {

enum class Read { Instance, Instances, InstanceNames, AssociatorNames };

const char* NameOf(Read read)
{
  switch (read) {
    case Read::Instance: return "GetInstance";
    case Read::Instances: return "GetInstances";
    case Read::InstanceNames: return "GetInstanceNames";
    case Read::AssociatorNames: return "GetAssociatorNames";
  }
  return "";
}

// The CIM method each read asks of the CIMOM.
const char* MethodOf(Read read)
{
  switch (read) {
    case Read::Instance: return "GetInstance";
    case Read::Instances: return "EnumerateInstances";
    case Read::InstanceNames: return "EnumerateInstanceNames";
    case Read::AssociatorNames: return "AssociatorNames";
  }
  return "";
}

// Number of things the read gave back.
size_t RunRead(TqCimConnection& connection, Read read)
{
  const Pegasus::CIMObjectPath volume("TPD_StorageVolume.DeviceID=\"vol-1\"");
  switch (read) {
    case Read::Instance: return connection.GetInstance(volume).getPropertyCount();
    case Read::Instances: return connection.GetInstances("TPD_StorageVolume", Pegasus::CIMPropertyList()).size();
    case Read::InstanceNames: return connection.GetInstanceNames("TPD_StorageVolume").size();
    case Read::AssociatorNames:
      return connection.GetAssociatorNames(volume, "CIM_ProtocolControllerForUnit", "CIM_SCSIProtocolController", "",
                                            "")
          .size();
  }
  return 0;
}

const int kNoThrow = -2;       // the read returned
const int kPlainFault = -1;    // a Pegasus::Exception that is not a CIMException was thrown

struct ReadCase {
  const char* name;
  Read read;
  std::optional<Fault> lasting;  // every answer suffers it
  std::optional<Fault> once;     // only the first answer suffers it
  bool faultRetry;
  short maxRetries;
  size_t expectedSize;
  int expectedThrow;  // kNoThrow, kPlainFault or the CIM status code
  int expectedRequests;
  int expectedRebuilds;
  int expectedError;  // on the job record
};

class WrappedReadTest : public ConnectionTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(WrappedReadTest, ResultRetriesAndFault)
{
  const ReadCase& c = GetParam();
  std::optional<TqConfigOverride> faultRetry;
  if (c.faultRetry)
    faultRetry.emplace("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  LoopbackCimom cimom;
  if (c.once)
    cimom.QueueFault(*c.once);
  cimom.SetLastingFault(c.lasting);
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom.port());
  params.m_MaxRetries = c.maxRetries;
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);

  int thrown = kNoThrow;
  size_t size = 0;
  try {
    size = RunRead(*connection, c.read);
  } catch (const Pegasus::CIMException& e) {
    thrown = e.getCode();
  } catch (const Pegasus::Exception&) {
    thrown = kPlainFault;
  }
  EXPECT_EQ(thrown, c.expectedThrow);
  EXPECT_EQ(size, c.expectedSize);
  EXPECT_EQ(cimom.RequestCount(MethodOf(c.read)), c.expectedRequests);
  EXPECT_EQ(CountMessages(record, "going to disconnect connection"), c.expectedRebuilds);
  EXPECT_EQ(record.errorCode(), c.expectedError);
  EXPECT_EQ(connection->m_AuthFailure, c.expectedError == 60555);
  const std::string label = std::string("TqCimConnection::") + NameOf(c.read) + ": ";
  // A fault thrown on is traced twice on its way out.
  const int outTraces = thrown == kNoThrow ? 0 : 1;
  EXPECT_EQ(CountMessages(record, label + "Client Timed out Exception "), outTraces);
  EXPECT_EQ(CountMessages(record, "Caught unknown Exception"), outTraces);
}

const Fault k401 = Fault::of(FaultKind::Unauthorized);
const Fault k500 = Fault::of(FaultKind::ServerError);
const Fault kGarbage = Fault::of(FaultKind::Garbage);
const Fault kNotFound = Fault::cimError(Pegasus::CIM_ERR_NOT_FOUND, "no such object");
const Fault kInvalidClass = Fault::cimError(Pegasus::CIM_ERR_INVALID_CLASS, "no such class");
const Fault kFailed = Fault::cimError(Pegasus::CIM_ERR_FAILED, "provider failure");
const Fault kTimedOutText = Fault::cimError(Pegasus::CIM_ERR_FAILED, "request timed out in the provider");
const Fault kDenied401 = Fault::cimError(Pegasus::CIM_ERR_ACCESS_DENIED, "denied: 401");
const std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Answers, WrappedReadTest,
    ::testing::Values(
        ReadCase{"InstanceAnswered", Read::Instance, kNone, kNone, false, 5, 1, kNoThrow, 1, 0, 0},
        ReadCase{"InstancesAnswered", Read::Instances, kNone, kNone, false, 5, 2, kNoThrow, 1, 0, 0},
        ReadCase{"NamesAnswered", Read::InstanceNames, kNone, kNone, false, 5, 2, kNoThrow, 1, 0, 0},
        ReadCase{"AssociatorsAnswered", Read::AssociatorNames, kNone, kNone, false, 5, 1, kNoThrow, 1, 0, 0},
        // A refused login is the device's error and an empty result, asked once.
        ReadCase{"Instance401", Read::Instance, k401, kNone, false, 5, 0, kNoThrow, 1, 0, 60555},
        ReadCase{"Instances401", Read::Instances, k401, kNone, false, 5, 0, kNoThrow, 1, 0, 60555},
        ReadCase{"Names401", Read::InstanceNames, k401, kNone, false, 5, 0, kNoThrow, 1, 0, 60555},
        ReadCase{"Associators401", Read::AssociatorNames, k401, kNone, false, 5, 0, kNoThrow, 1, 0, 60555},
        // With the fault-retry switch a 401 is retried like any HTTP fault; the fourth fault rebuilds.
        ReadCase{"Instance401FaultRetry", Read::Instance, k401, kNone, true, 5, 0, kPlainFault, 5, 1, 0},
        ReadCase{"Instance401WithoutHttpFaultRetry", Read::Instance, kDenied401, kNone, true, 5, 0,
                 Pegasus::CIM_ERR_ACCESS_DENIED, 1, 0, 0},
        ReadCase{"AssociatorsNotFound", Read::AssociatorNames, kNotFound, kNone, false, 5, 0, kNoThrow, 1, 0, 0},
        ReadCase{"AssociatorsInvalidClass", Read::AssociatorNames, kInvalidClass, kNone, false, 5, 0, kNoThrow, 1,
                 0, 0},
        ReadCase{"InstancesNotFound", Read::Instances, kNotFound, kNone, false, 5, 0, Pegasus::CIM_ERR_NOT_FOUND,
                 1, 0, 0},
        ReadCase{"InstanceFailed", Read::Instance, kFailed, kNone, false, 5, 0, Pegasus::CIM_ERR_FAILED, 1, 0, 0},
        ReadCase{"InstanceGarbage", Read::Instance, kGarbage, kNone, false, 5, 0, kPlainFault, 1, 0, 0},
        // Faults that keep coming: names give up quietly one call early, the others throw.
        ReadCase{"NamesKeepTimingOut", Read::InstanceNames, kTimedOutText, kNone, false, 5, 0, kNoThrow, 4, 4, 0},
        ReadCase{"InstanceKeepsTimingOut", Read::Instance, kTimedOutText, kNone, false, 5, 0,
                 Pegasus::CIM_ERR_FAILED, 5, 4, 0},
        ReadCase{"AssociatorsKeepTimingOut", Read::AssociatorNames, kTimedOutText, kNone, false, 5, 0,
                 Pegasus::CIM_ERR_FAILED, 5, 4, 0},
        ReadCase{"InstanceKeepsFailingHttp", Read::Instance, k500, kNone, false, 5, 0, kPlainFault, 5, 4, 0},
        ReadCase{"InstanceRecoversAfterOneHttpFault", Read::Instance, kNone, k500, false, 5, 1, kNoThrow, 2, 1, 0},
        ReadCase{"InstancesRecoverAfterOneTimeout", Read::Instances, kNone, kTimedOutText, false, 5, 2, kNoThrow, 2,
                 1, 0},
        // Retry limits that leave no call.
        ReadCase{"InstanceWithNoRetries", Read::Instance, kNone, kNone, false, 0, 0, kNoThrow, 0, 0, 0},
        ReadCase{"NamesWithOneRetry", Read::InstanceNames, kNone, kNone, false, 1, 0, kNoThrow, 0, 0, 0},
        ReadCase{"InstanceWithOneRetry", Read::Instance, kNone, kNone, false, 1, 1, kNoThrow, 1, 0, 0}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, AssociatorsNotFoundNamesTheClasses)
{
  LoopbackCimom cimom;
  cimom.SetLastingFault(Fault::cimError(Pegasus::CIM_ERR_NOT_FOUND, "none"));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom.port()), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  EXPECT_EQ(RunRead(*connection, Read::AssociatorNames), 0u);
  EXPECT_EQ(CountMessages(record, "TqCimConnection::GetAssociatorNames: Objects or Assns do not exist: "
                                  "CIM_ProtocolControllerForUnit, CIM_SCSIProtocolController"),
            1);
}

TEST_F(ConnectionTest, UnauthorizedWithFaultRetryIsTracedBeforeEachRetry)
{
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  LoopbackCimom cimom;
  cimom.QueueFault(Fault::of(FaultKind::Unauthorized));
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom.port()), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  EXPECT_EQ(RunRead(*connection, Read::InstanceNames), 2u);
  EXPECT_EQ(CountMessages(record, "Unauthorized Exception [HTTP Error (401 Unauthorized).], continue with retry  "
                                  "as PEGASUS retry regkey present"),
            1);
  EXPECT_EQ(record.errorCode(), 0);
  EXPECT_FALSE(connection->m_AuthFailure);
}

TEST_F(ConnectionTest, WrongPasswordFailsAtTheFirstOperationWithTheAuthenticationError)
{
  LoopbackCimom cimom;
  TQSO::SnapInfo record;
  TqCimomParams params = ParamsFor(cimom.port());
  params.m_Password = "wrong";
  auto connection = ConnectionTo(params, record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  EXPECT_EQ(RunRead(*connection, Read::InstanceNames), 0u);
  EXPECT_EQ(record.errorCode(), 60555);
  EXPECT_NE(record.errorText().find("401"), std::string::npos);
  EXPECT_TRUE(connection->m_AuthFailure);
  TqCimConnection copy(*connection);
  EXPECT_TRUE(copy.m_AuthFailure);
}

struct DeleteCase {
  const char* name;
  std::optional<Fault> fault;
  int expectedResult;
  const char* expectedTrace;
  int expectedError;
};

class DeleteInstanceTest : public ConnectionTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteInstanceTest, ReportsWithoutThrowing)
{
  const DeleteCase& c = GetParam();
  LoopbackCimom cimom;
  cimom.SetLastingFault(c.fault);
  TQSO::SnapInfo record;
  auto connection = ConnectionTo(ParamsFor(cimom.port()), record);
  ASSERT_EQ(connection->ConnectCimom(), 0);
  record.clearMessages();

  int result = -1;
  EXPECT_NO_THROW(result = connection->DeleteInstance(Pegasus::CIMNamespaceName("root/tpd"),
                                                      Pegasus::CIMObjectPath("TPD_StorageVolume.DeviceID=\"v\"")));
  EXPECT_EQ(result, c.expectedResult);
  EXPECT_EQ(cimom.RequestCount("DeleteInstance"), 1);
  EXPECT_EQ(CountMessages(record, c.expectedTrace), std::string(c.expectedTrace).empty() ? 0 : 1);
  if (std::string(c.expectedTrace).empty()) {
    EXPECT_TRUE(record.messages().empty());
  }
  EXPECT_EQ(record.errorCode(), c.expectedError);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DeleteInstanceTest,
    ::testing::Values(DeleteCase{"Deleted", std::nullopt, 0, "", 0},
                      DeleteCase{"NotFound", Fault::cimError(Pegasus::CIM_ERR_NOT_FOUND, "gone"), 1,
                                 "Caught CIMException: CIM_ERR_NOT_FOUND: gone", 0},
                      DeleteCase{"ServerError", Fault::of(FaultKind::ServerError), 1,
                                 "Caught Exception: HTTP Error (500", 0},
                      DeleteCase{"Unauthorized", Fault::of(FaultKind::Unauthorized), 1,
                                 "Caught Exception: HTTP Error (401", 60555},
                      DeleteCase{"TimedOutIsNotRetried", Fault::cimError(Pegasus::CIM_ERR_FAILED, "timed out"), 1,
                                 "Caught CIMException: CIM_ERR_FAILED: timed out", 0}),
    [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, DeleteWithoutClientIsQuiet)
{
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
