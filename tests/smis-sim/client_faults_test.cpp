// Injected faults reach the project's client as the errors it promises its callers.
#include <gtest/gtest.h>

#include <functional>

#include "support/SmallArrayTest.h"

using namespace Pegasus;
using namespace simtest;

namespace {

// The message of what enumerateInstanceNames(CIM_StorageVolume) throws, "" when it succeeds.
std::string enumerateError(CIMClient& client, CIMStatusCode* code = nullptr) {
  try {
    client.enumerateInstanceNames(tpd(), "CIM_StorageVolume");
    return "";
  } catch (const CIMException& e) {
    if (code) *code = e.getCode();
    return "CIMException: " + e.getMessage().str();
  } catch (const Exception& e) {
    return e.getMessage().str();
  }
}

class FaultsTest : public SmallArrayTest {
 protected:
  // CreateReplica of a virtual copy of base1 named `name`; its return value.
  Uint32 copyBase1(const char* name, Array<CIMParamValue>& out) {
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", CIMValue(name)));
    in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
    in.append(CIMParamValue("SourceElement", CIMValue(volumeNamed(client, "base1").getPath())));
    return returnCode(
        client.invokeMethod(tpd(), firstName(client, "CIM_StorageConfigurationService"), "CreateReplica", in, out));
  }
};

TEST_F(FaultsTest, EachFaultGivesTheClientErrorItPromises) {
  struct Case {
    const char* what;
    const char* fault;
    std::vector<std::string> messageParts;
  };
  const Case cases[] = {
      {"dropped connection", R"({"action":"drop"})", {"closed"}},
      {"answer later than the client waits", R"({"action":"delay","delayMs":1200})", {"timed out"}},
      {"HTTP 401", R"({"action":"http","httpStatus":401})", {"HTTP", "401"}},
      {"HTTP 500", R"({"action":"http","httpStatus":500})", {"HTTP", "500"}},
      {"malformed XML", R"({"action":"malformedXml"})", {"XML"}},
      {"CIM error", R"({"action":"cimError","cimError":27,"description":"busy"})", {"CIMException", "busy"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server->clearFaults();
    smissim::FaultRule rule = smissim::FaultRule::fromJson(smissim::Json::parse(c.fault));
    rule.operation = "EnumerateInstanceNames";
    server->injectFault(rule);
    CIMClient client;
    client.setTimeout(300);
    connectTo(client, server);
    std::string message = enumerateError(client);
    for (const std::string& part : c.messageParts) EXPECT_NE(std::string::npos, message.find(part)) << message;
    EXPECT_EQ("", enumerateError(client)) << "the fault hit one request only";
  }
}

TEST_F(FaultsTest, FaultsMatchOperationClassAndCount) {
  smissim::FaultRule rule;
  rule.operation = "enumerateinstancenames";
  rule.className = "CIM_StorageExtent";  // matches requests for volumes, a subclass
  rule.action = smissim::FaultAction::CimError;
  rule.cimErrorCode = CIM_ERR_FAILED;
  rule.count = 2;
  server->injectFault(rule);

  EXPECT_EQ(1u, client.enumerateInstanceNames(tpd(), "CIM_ComputerSystem").size()) << "another class";
  CIMStatusCode code = CIM_ERR_SUCCESS;
  EXPECT_NE("", enumerateError(client, &code));
  EXPECT_EQ(CIM_ERR_FAILED, code);
  EXPECT_NE("", enumerateError(client));
  EXPECT_EQ("", enumerateError(client)) << "two uses only";
  EXPECT_EQ(4u, server->requestCount("EnumerateInstanceNames"));
}

TEST_F(FaultsTest, ForcedReturnValueLeavesTheModelAlone) {
  server->injectFault(smissim::FaultRule::fromJson(
      smissim::Json::parse(R"({"operation":"CreateReplica","action":"returnValue","returnValue":32775})")));
  std::string before = server->modelJson();
  Array<CIMParamValue> out;
  EXPECT_EQ(32775u, copyBase1("snapF", out));
  EXPECT_EQ(before, server->modelJson());

  std::vector<smissim::MethodCallRecord> calls = server->methodCalls();
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("CreateReplica", calls[0].method);
  EXPECT_EQ(32775, calls[0].returnValue);
  ASSERT_NE(nullptr, calls[0].param("CopyType"));
  EXPECT_EQ("uint16", calls[0].param("CopyType")->type);
  EXPECT_EQ("4", calls[0].param("copytype")->value);
}

TEST_F(FaultsTest, SkipReachesTheNthCallAndDropOutputHidesAnOutParameter) {
  server->injectFault(smissim::FaultRule::fromJson(
      smissim::Json::parse(R"({"operation":"EnumerateInstanceNames","action":"cimError","cimError":1,"skip":1})")));
  EXPECT_EQ("", enumerateError(client));
  EXPECT_NE("", enumerateError(client)) << "the second call fails";
  EXPECT_EQ("", enumerateError(client));

  server->injectFault(smissim::FaultRule::fromJson(
      smissim::Json::parse(R"({"operation":"CreateReplica","action":"dropOutput","parameter":"TargetElement"})")));
  Array<CIMParamValue> out;
  EXPECT_EQ(0u, copyBase1("snapD", out));
  EXPECT_TRUE(outParam(out, "TargetElement").isNull());
  EXPECT_NO_THROW(volumeNamed(client, "snapD")) << "the copy was made all the same";
}

// With afterRunning the method runs and only its answer is lost, late or spoiled: the copy exists although
// the client saw a failure. Without it the method never runs (a plain delay runs it late, so it is left out).
TEST_F(FaultsTest, AnswerFaultsAfterRunningLeaveTheMethodsWorkDone) {
  const struct {
    const char* fault;
    bool afterRunning;
  } cases[] = {
      {R"({"action":"drop"})", false},
      {R"({"action":"malformedXml"})", false},
      {R"({"action":"cimError"})", false},
      {R"({"action":"drop"})", true},
      {R"({"action":"malformedXml"})", true},
      {R"({"action":"cimError"})", true},
      {R"({"action":"delay","delayMs":1200})", true},
  };
  int made = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fault) + (c.afterRunning ? " after running" : " before running"));
    smissim::FaultRule rule = smissim::FaultRule::fromJson(smissim::Json::parse(c.fault));
    rule.operation = "CreateReplica";
    rule.afterRunning = c.afterRunning;
    server->injectFault(rule);
    CIMClient faulty;
    faulty.setTimeout(300);
    connectTo(faulty, server);
    const std::string name = "snapA" + std::to_string(made++);
    Array<CIMParamValue> in, out;
    in.append(CIMParamValue("ElementName", CIMValue(name.c_str())));
    in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
    in.append(CIMParamValue("SourceElement", CIMValue(volumeNamed(client, "base1").getPath())));
    EXPECT_ANY_THROW(
        faulty.invokeMethod(tpd(), firstName(client, "CIM_StorageConfigurationService"), "CreateReplica", in, out));
    EXPECT_EQ(c.afterRunning, server->modelJson().find("\"" + name + "\"") != std::string::npos);
  }
}

TEST(AccountRights, BrowseUserReadsButMayNotInvokeOrChange) {
  smissim::SimulatorOptions options = smallArray();
  options.browseUser = "monitor";
  options.browsePassword = "look";
  smissim::TestServer server(options);
  CIMClient browser;
  connectTo(browser, server, "monitor", "look");
  const CIMInstance base = volumeNamed(browser, "base1");
  const std::string before = server->modelJson();

  Array<CIMParamValue> in, out;
  in.append(CIMParamValue("ElementName", CIMValue("snapR")));
  in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
  in.append(CIMParamValue("SourceElement", CIMValue(base.getPath())));
  const CIMObjectPath service = firstName(browser, "CIM_StorageConfigurationService");
  const std::function<void()> changes[] = {
      [&] { browser.invokeMethod(tpd(), service, "CreateReplica", in, out); },
      [&] { browser.modifyInstance(tpd(), base); },
      [&] { browser.deleteInstance(tpd(), base.getPath()); },
  };
  for (const auto& change : changes) {
    try {
      change();
      ADD_FAILURE() << "a browse user changed the array";
    } catch (const CIMException& e) {
      EXPECT_EQ(CIM_ERR_ACCESS_DENIED, e.getCode()) << e.getMessage();
    }
  }
  EXPECT_EQ(before, server->modelJson());
}

TEST_F(FaultsTest, WrongCredentialsAndClosedPortGiveTheirErrors) {
  CIMClient intruder;
  connectTo(intruder, server, "admin", "wrong");
  std::string message = enumerateError(intruder);
  EXPECT_NE(std::string::npos, message.find("401")) << message;

  int port = server.port();
  server->stop();
  CIMClient late;
  std::string refused;
  try {
    late.connect("127.0.0.1", static_cast<Uint32>(port), "admin", "secret");
    late.enumerateInstanceNames(tpd(), "CIM_ComputerSystem");
  } catch (const Exception& e) {
    refused = e.getMessage().str();
  }
  EXPECT_NE(std::string::npos, refused.find("Connection failed")) << refused;
}

}  // namespace
