// The control interface over HTTP: seeding, faults, counters, the call log, the model and the host view.
#include <gtest/gtest.h>
#include <httplib.h>

#include "support/SimClient.h"

using namespace Pegasus;
using namespace simtest;
using smissim::Json;

namespace {

Json getJson(httplib::Client& http, const std::string& path) {
  auto result = http.Get(path.c_str());
  EXPECT_TRUE(result);
  EXPECT_EQ(200, result ? result->status : 0) << path;
  return Json::parse(result ? result->body : "null");
}

int post(httplib::Client& http, const std::string& path, const std::string& body) {
  auto result = http.Post(path.c_str(), body, "application/json");
  return result ? result->status : 0;
}

TEST(ControlTest, SeedsInjectsAndReadsBackOverHttp) {
  smissim::TestServer server;
  httplib::Client http("127.0.0.1", server.port());
  ASSERT_EQ(200, post(http, "/control/reset", R"({"arrays":[{"serial":"00C0DE","cpgs":["CPGA"],
        "volumes":[{"name":"v1","cpg":"CPGA","sizeBytes":2147483648}],
        "hosts":[{"name":"h1","initiators":["21000024FF000001","iqn.2001-04.com.example:h1"]}],
        "exports":[{"volume":"v1","host":"h1","lun":7}]}]})"));
  ASSERT_EQ(200,
            post(http, "/control/seed", R"({"arrays":[{"serial":"00C0DE","volumes":[{"name":"v2","cpg":"CPGA"}]}]})"));

  Json model = getJson(http, "/control/model");
  const Json& array = model.get("arrays").items().at(0);
  EXPECT_EQ("2FF70002AC00C0DE", array.getString("systemName"));
  ASSERT_EQ(2u, array.get("volumes").items().size());
  EXPECT_EQ(2147483648u, array.get("volumes").items()[0].getUint64("sizeBytes"));

  Json seen = getJson(http, "/control/exposed?initiators=iqn.2001-04.com.example:h1");
  ASSERT_EQ(1u, seen.items().size());
  EXPECT_EQ("v1", seen.items()[0].getString("volume"));
  EXPECT_EQ(7u, seen.items()[0].getUint64("lun"));
  EXPECT_EQ(array.get("volumes").items()[0].getString("wwn"), seen.items()[0].getString("wwn"));

  ASSERT_EQ(200, post(http, "/control/faults", R"([{"operation":"GetInstance","action":"cimError","cimError":6},
        {"operation":"CreateReplica","action":"returnValue","returnValue":4,"count":3}])"));
  EXPECT_EQ(2u, getJson(http, "/control/faults").items().size());

  CIMClient client;
  connectTo(client, server);
  CIMObjectPath volume = client.enumerateInstanceNames(tpd(), "CIM_StorageVolume")[0];
  EXPECT_THROW(client.getInstance(tpd(), volume, false), CIMException);
  Array<CIMParamValue> in, out;
  in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
  in.append(CIMParamValue("SourceElement", CIMValue(volume)));
  in.append(CIMParamValue("TargetPool", CIMValue(CIMTYPE_REFERENCE, false)));
  EXPECT_EQ(4u, returnCode(client.invokeMethod(tpd(), firstName(client, "CIM_StorageConfigurationService"),
                                               "CreateReplica", in, out)));

  Json counts = getJson(http, "/control/counts");
  EXPECT_EQ(1u, counts.getUint64("GetInstance"));
  EXPECT_EQ(1u, counts.getUint64("CreateReplica"));
  Json calls = getJson(http, "/control/calls");
  ASSERT_EQ(1u, calls.items().size());
  const Json& pool = calls.items()[0].get("params").items().at(2);
  EXPECT_EQ("TargetPool", pool.getString("name"));
  EXPECT_EQ("reference", pool.getString("type"));
  EXPECT_TRUE(pool.getBool("null"));

  ASSERT_EQ(200, http.Delete("/control/faults")->status);
  EXPECT_EQ(0u, getJson(http, "/control/faults").items().size());
}

TEST(ControlTest, BadControlInputIsRefusedWithTheReason) {
  smissim::TestServer server;
  httplib::Client http("127.0.0.1", server.port());
  const std::string before = server->modelJson();
  struct Case {
    const char* what;
    const char* path;
    const char* body;
    int status;
  };
  const Case cases[] = {
      {"not JSON", "/control/seed", "{\"arrays\":[", 400},
      {"unknown fault action", "/control/faults", R"({"action":"explode"})", 400},
      {"job fault with a success state", "/control/faults", R"({"action":"jobFails","jobState":7})", 400},
      {"bad serial", "/control/seed", R"({"arrays":[{"serial":"xyz"}]})", 409},
      {"volume in a CPG that does not exist", "/control/seed",
       R"({"arrays":[{"serial":"001234","volumes":[{"name":"x","cpg":"NOPE"}]}]})", 409},
      {"document failing after a new array and volume", "/control/seed",
       R"({"arrays":[{"serial":"00BEEF","cpgs":["C"],"volumes":[{"name":"y","cpg":"C"}],
                        "exports":[{"volume":"y","host":"nobody"}]}]})",
       409},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto result = http.Post(c.path, c.body, "application/json");
    ASSERT_TRUE(result);
    EXPECT_EQ(c.status, result->status);
    EXPECT_FALSE(Json::parse(result->body).getString("error").empty());
  }
  EXPECT_EQ(before, server->modelJson());
  EXPECT_TRUE(server->pendingFaults().empty());
}

}  // namespace
