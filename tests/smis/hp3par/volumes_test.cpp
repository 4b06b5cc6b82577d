// Volume creation, deletion and resizing on the simulated 3PAR array: request builders (arguments, array,
// pool, pool state, sizes) and actions (method parameters, jobs, refusals).
#include <gtest/gtest.h>

#include "support/ProvisioningFixture.h"

using namespace Pegasus;
using namespace provtest;

namespace {

const std::string kOneGiB = "1073741824";

class VolumeProvisioningTest : public ProvisioningTest {
 protected:
  std::vector<std::string> Request(const std::string& name, const std::string& pool, const std::string& thin,
                                   const std::string& size) {
    return {array1_, name, pool, thin, size};
  }

  // Builds the create request and runs the action; the action's result, or the builder's when it failed.
  SmisResultCode Create(const std::string& name, const std::string& pool, const std::string& thin,
                        const std::string& size, std::string& element) {
    std::vector<std::string> request = Request(name, pool, thin, size), prepared;
    SmisResultCode built = util3par_.CreateStorageVolParams(conn_, request, prepared);
    if (built != kSmisSuccess) return built;
    return util3par_.CreateStorageVolume(conn_, prepared, element);
  }

  SmisResultCode Resize(const std::string& name, const std::string& thin, const std::string& size) {
    std::vector<std::string> request = Request(name, "FC_r5", thin, size), prepared;
    SmisResultCode built = util3par_.ResizeStorageVolParams(conn_, request, prepared);
    if (built != kSmisSuccess) return built;
    std::string element;
    return util3par_.ResizeStorageVolume(conn_, prepared, element);
  }

  SmisResultCode Delete(const std::string& name) {
    std::vector<std::string> request = Request(name, "FC_r5", "1", "0"), prepared;
    SmisResultCode built = util3par_.DeleteStorageVolParams(conn_, request, prepared);
    if (built != kSmisSuccess) return built;
    std::string element;
    return util3par_.DeleteStorageVolume(conn_, prepared, element);
  }

  std::string Param(const smissim::MethodCallRecord& call, const char* name) {
    const smissim::ParamRecord* param = call.param(name);
    if (!param) return "<absent>";
    return param->isNull ? "<null>" : param->value;
  }
};

TEST_F(VolumeProvisioningTest, CreatesThinAndFullVolumesInTheNamedPool) {
  struct Case {
    const char* name;
    const char* thinFlag;
    const char* elementType;
    bool thin;
  } cases[] = {{"thinvol", "1", "5", true}, {"fullvol", "0", "2", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim().clearLog();
    std::vector<std::string> request = Request(c.name, "fc_R5", c.thinFlag, kOneGiB), prepared;
    ASSERT_EQ(kSmisSuccess, util3par_.CreateStorageVolParams(conn_, request, prepared));  // pool name case ignored
    ASSERT_EQ(5u, prepared.size());
    EXPECT_NE(std::string::npos, prepared[2].find("FC_r5")) << prepared[2];
    EXPECT_EQ(c.thinFlag, prepared[4]);

    std::string element;
    ASSERT_EQ(kSmisSuccess, util3par_.CreateStorageVolume(conn_, prepared, element));
    EXPECT_NE(std::string::npos, element.find(WwnOf("0B0001", c.name))) << element;
    EXPECT_EQ(c.thin ? "TRUE" : "FALSE", VolumeProperty("0B0001", c.name, "ThinlyProvisioned"));
    EXPECT_EQ("FC_r5", VolumeProperty("0B0001", c.name, "UserDSPName"));

    auto calls = CallsOf("CreateOrModifyElementFromStoragePool");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(c.name, Param(calls[0], "ElementName"));
    EXPECT_EQ(c.elementType, Param(calls[0], "ElementType"));
    EXPECT_EQ(kOneGiB, Param(calls[0], "Size"));
    EXPECT_EQ("<null>", Param(calls[0], "Goal"));
  }
}

TEST_F(VolumeProvisioningTest, ACreateFollowsItsJobToTheEnd) {
  smissim::FaultRule job;
  job.operation = "CreateOrModifyElementFromStoragePool";
  job.action = smissim::FaultAction::AsJob;
  server_->injectFault(job);
  std::string element;
  EXPECT_EQ(kSmisSuccess, Create("jobvol", "FC_r5", "1", kOneGiB, element));
  EXPECT_TRUE(VolumeExists("0B0001", "jobvol"));

  job.action = smissim::FaultAction::JobFails;
  job.jobFinalState = 9;
  server_->injectFault(job);
  EXPECT_EQ(9u, Create("failvol", "FC_r5", "1", kOneGiB, element));  // the job's final state

  // A method that answers success without naming the element: success with an empty element path.
  smissim::FaultRule drop;
  drop.operation = "CreateOrModifyElementFromStoragePool";
  drop.action = smissim::FaultAction::DropOutput;
  drop.parameter = "TheElement";
  server_->injectFault(drop);
  element = "stale";
  EXPECT_EQ(kSmisSuccess, Create("quietvol", "FC_r5", "1", kOneGiB, element));
  EXPECT_EQ("", element);
}

// The throw-away create of a faulty environment: no name, size 0, no provisioning flag. The name goes as a
// typed null, the type defaults to thin, and the array creates nothing.
TEST_F(VolumeProvisioningTest, ACreateWithoutNameOrSizeCreatesNothing) {
  std::vector<std::string> request = Request("v", "FC_r5", "1", kOneGiB), prepared;
  ASSERT_EQ(kSmisSuccess, util3par_.CreateStorageVolParams(conn_, request, prepared));
  prepared[1] = "";
  prepared[3] = "0";
  prepared[4] = "null";
  const size_t volumesBefore =
      sim().withModel([](smissim::Model& model) { return model.store().enumerate("CIM_StorageVolume").size(); });
  sim().clearLog();
  std::string element = "untouched";
  EXPECT_NE(kSmisSuccess, util3par_.CreateStorageVolume(conn_, prepared, element));
  EXPECT_EQ("untouched", element);
  auto calls = CallsOf("CreateOrModifyElementFromStoragePool");
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("<null>", Param(calls[0], "ElementName"));
  EXPECT_EQ("string", calls[0].param("ElementName")->type);
  EXPECT_EQ("5", Param(calls[0], "ElementType"));
  EXPECT_EQ(volumesBefore,
            sim().withModel([](smissim::Model& model) { return model.store().enumerate("CIM_StorageVolume").size(); }));
}

// Sizes that are missing, zero, signed, not numbers or beyond 64 bits never reach the array.
TEST_F(VolumeProvisioningTest, BadSizesAreRefusedBeforeAnyRequest) {
  for (const char* size : {"", "0", "-5", "abc", "12abc", " 12", "99999999999999999999999"}) {
    SCOPED_TRACE(std::string("size [") + size + "]");
    sim().clearLog();
    std::vector<std::string> request = Request("badvol", "FC_r5", "1", size), prepared;
    EXPECT_EQ(kSmisInvalidParameter, util3par_.CreateStorageVolParams(conn_, request, prepared));
    request[1] = "vol1";
    EXPECT_EQ(kSmisInvalidParameter, util3par_.ResizeStorageVolParams(conn_, request, prepared));
    EXPECT_TRUE(prepared.empty());
    EXPECT_EQ(0u, TotalRequests(server_));
  }
  // The actions refuse what is no number too.
  std::vector<std::string> create = {array1_, "badvol", "x", "-5", "1"}, resize = {array1_, "vol1", "-5", "1"};
  std::string element;
  EXPECT_EQ(kSmisInvalidParameter, util3par_.CreateStorageVolume(conn_, create, element));
  EXPECT_EQ(kSmisInvalidParameter, util3par_.ResizeStorageVolume(conn_, resize, element));
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_FALSE(VolumeExists("0B0001", "badvol"));
}

TEST_F(VolumeProvisioningTest, BuildersCheckArgumentsArrayAndPool) {
  struct Case {
    const char* what;
    std::vector<std::string> request;
    SmisResultCode expected;
  } cases[] = {
      {"four positions", {array1_, "v", "FC_r5", "1"}, kSmisTooFewArguments},
      {"unknown array", {"2FF70002AC0FFFFF", "v", "FC_r5", "1", kOneGiB}, kSmisFailed},
      {"no pool", {array1_, "v", "null", "1", kOneGiB}, kSmisFailed},
      {"unknown pool", {array1_, "v", "Nowhere", "1", kOneGiB}, kSmisObjectNotFound},
      {"pool in error", {array1_, "v", "Broken", "1", kOneGiB}, kSmisFailed},
      {"degraded pool", {array1_, "v", "NL_r6", "1", kOneGiB}, kSmisSuccess},
  };
  using Builder =
      SmisResultCode (HP3ParCimUtil::*)(TqCimConnection&, std::vector<std::string>&, std::vector<std::string>&);
  for (Builder builder : {&HP3ParCimUtil::CreateStorageVolParams, &HP3ParCimUtil::DeleteStorageVolParams,
                          &HP3ParCimUtil::ResizeStorageVolParams}) {
    for (Case& c : cases) {
      SCOPED_TRACE(c.what);
      std::vector<std::string> prepared;
      EXPECT_EQ(c.expected, (util3par_.*builder)(conn_, c.request, prepared));
      EXPECT_EQ(c.expected == kSmisSuccess, !prepared.empty());
    }
  }
  EXPECT_EQ(3, CountMessages(record_, "is not online. Operational Status is [6"));

  // With the online check switched off the pool in error is taken.
  TqConfigOverride noPoolCheck("Corvane", "nHP3PARDisablePoolCheck", "1");
  std::vector<std::string> request = Request("v", "Broken", "0", kOneGiB), prepared;
  EXPECT_EQ(kSmisSuccess, util3par_.CreateStorageVolParams(conn_, request, prepared));
  EXPECT_EQ(1, CountMessages(record_, "Pool online check skipped due to registry override"));
}

TEST_F(VolumeProvisioningTest, ResizesAVolumeWithoutNamingItsPool) {
  const std::string twoGiB = "2147483648";
  ASSERT_EQ(kSmisSuccess, Resize("vol1", "0", twoGiB));
  EXPECT_EQ("4194304", VolumeProperty("0B0001", "vol1", "ConsumableBlocks"));
  auto calls = CallsOf("CreateOrModifyElementFromStoragePool");
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("2", Param(calls[0], "ElementType"));
  EXPECT_EQ(twoGiB, Param(calls[0], "Size"));
  EXPECT_EQ("<null>", Param(calls[0], "InPool"));
  EXPECT_EQ("<absent>", Param(calls[0], "ElementName"));
  EXPECT_NE(std::string::npos, Param(calls[0], "TheElement").find(WwnOf("0B0001", "vol1")));

  // Shrinking is the array's to refuse; its code comes back.
  EXPECT_EQ(4097u, Resize("vol1", "1", kOneGiB));
  EXPECT_EQ("4194304", VolumeProperty("0B0001", "vol1", "ConsumableBlocks"));
}

TEST_F(VolumeProvisioningTest, DeletesOnlyTheNamedUnmappedVolume) {
  ASSERT_EQ(kSmisSuccess, Delete("vol1"));
  EXPECT_FALSE(VolumeExists("0B0001", "vol1"));
  EXPECT_TRUE(VolumeExists("0B0001", "vol10"));
  EXPECT_TRUE(VolumeExists("0B0002", "vol1"));

  sim().clearLog();
  EXPECT_EQ(kSmisHostMappingsFound, Delete("shared"));  // exported to hostA
  EXPECT_EQ(1, CountMessages(record_, "Can not delete, Volume found 1 Host mappings"));
  EXPECT_TRUE(VolumeExists("0B0001", "shared"));
  // Names that select nothing: gone, a part of another volume's name, another case, empty.
  for (const char* name : {"vol1", "vol", "VOL10", ""}) {
    SCOPED_TRACE(name);
    std::vector<std::string> prepared = {array1_, name};
    std::string element;
    EXPECT_EQ(kSmisVolumeNotFound, util3par_.DeleteStorageVolume(conn_, prepared, element));
    prepared.insert(prepared.end(), {kOneGiB, "1"});
    EXPECT_EQ(kSmisVolumeNotFound, util3par_.ResizeStorageVolume(conn_, prepared, element));
  }
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());
  EXPECT_TRUE(CallsOf("CreateOrModifyElementFromStoragePool").empty());
  EXPECT_TRUE(VolumeExists("0B0001", "vol10"));
}

TEST_F(VolumeProvisioningTest, ActionsReportShortVectorsMissingServicesAndFaults) {
  std::string element;
  std::vector<std::string> four = {array1_, "v", "pool", kOneGiB}, one = {array1_}, three = {array1_, "vol1", kOneGiB};
  EXPECT_EQ(kSmisTooFewArguments, util3par_.CreateStorageVolume(conn_, four, element));
  EXPECT_EQ(kSmisTooFewArguments, util3par_.DeleteStorageVolume(conn_, one, element));
  EXPECT_EQ(kSmisTooFewArguments, util3par_.ResizeStorageVolume(conn_, three, element));

  std::vector<std::string> otherArray = {"2FF70002AC0FFFFF", "vol1"};
  EXPECT_EQ(kSmisObjectNotFound, util3par_.DeleteStorageVolume(conn_, otherArray, element));

  server_->injectFault(On("ReturnToStoragePool", CimErrorFault(CIM_ERR_FAILED, "array busy")));
  std::vector<std::string> unmapped = {array1_, "tiny"};
  EXPECT_EQ(kSmisFailed, util3par_.DeleteStorageVolume(conn_, unmapped, element));
  EXPECT_EQ(1, CountMessages(record_, "ReturnToStoragePool: HP3ParCimUtilVolumes.cpp"));
  EXPECT_TRUE(VolumeExists("0B0001", "tiny"));
}

}  // namespace
