// A CIM-XML client nobody here wrote (sblim wbemcli) against the simulator, over HTTP and HTTPS.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "smis-sim/TestServer.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string output;  // stdout and stderr
};

ToolRun wbemcli(const std::string& arguments) {
  ToolRun run;
  std::string command = std::string(SMIS_SIM_WBEMCLI) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  std::size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class WbemcliTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (std::string(SMIS_SIM_WBEMCLI).empty())
      GTEST_SKIP() << "wbemcli (Debian package sblim-wbemcli) is not installed; install it to run this test";
    smissim::SimulatorOptions options;
    options.https = GetParam();
    server = std::make_unique<smissim::TestServer>(options);
  }

  // "'<scheme>://admin:secret@127.0.0.1:<port>/root/tpd:<object>'" with the options wbemcli needs.
  std::string target(const std::string& object) const {
    std::string scheme = GetParam() ? "-noverify 'https" : "'http";
    return scheme + "://admin:secret@127.0.0.1:" + std::to_string(server->port()) + "/root/tpd:" + object + "'";
  }

  std::string volumePath(const std::string& name) {
    return server->simulator().withModel([&](smissim::Model& model) {
      std::string path = model.findVolumeByName(*model.arrayBySerial("001234"), name)->getPath().toString().str();
      return path;
    });
  }

  std::unique_ptr<smissim::TestServer> server;
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_P(WbemcliTest, EnumeratesGetsAndFollowsAssociations) {
  ToolRun names = wbemcli("ein " + target("CIM_ComputerSystem"));
  ASSERT_EQ(0, names.status) << names.output;
  EXPECT_EQ(0u, names.output.find("127.0.0.1:" + std::to_string(server->port()) +
                                  "/root/tpd:TPD_StorageSystem.CreationClassName=\"TPD_StorageSystem\","
                                  "Name=\"2FF70002AC001234\""))
      << names.output;

  ToolRun volumes = wbemcli("ei " + target("CIM_StorageVolume"));
  ASSERT_EQ(0, volumes.status) << volumes.output;
  EXPECT_TRUE(contains(volumes.output, "ElementName=\"oradata01\"")) << volumes.output;
  EXPECT_TRUE(contains(volumes.output, "BlockSize=512"));

  std::string volume = volumePath("oralog01");
  ToolRun instance = wbemcli("gi " + target(volume));
  ASSERT_EQ(0, instance.status) << instance.output;
  EXPECT_TRUE(contains(instance.output, "ElementName=\"oralog01\",Caption=\"oralog01\"")) << instance.output;

  ToolRun pools = wbemcli("ain -ac CIM_AllocatedFromStoragePool -arc CIM_StoragePool " + target(volume));
  ASSERT_EQ(0, pools.status) << pools.output;
  EXPECT_TRUE(contains(pools.output, "TPD_DynamicStoragePool.InstanceID=\"HP_3PAR:DynamicStoragePool:001234:FC_r1\""))
      << pools.output;

  ToolRun missing = wbemcli("gi " + target("TPD_StorageVolume.SystemCreationClassName=\"TPD_StorageSystem\","
                                           "SystemName=\"2FF70002AC001234\",CreationClassName=\"TPD_StorageVolume\","
                                           "DeviceID=\"60002AC000000000000000000000BEEF\""));
  EXPECT_NE(0, missing.status);
  EXPECT_TRUE(contains(missing.output, "CIM_ERR_NOT_FOUND")) << missing.output;
}

// A general client's first look at a namespace: the class names, at one level or all below a class.
TEST_P(WbemcliTest, EnumeratesClassNamesAndClasses) {
  ToolRun roots = wbemcli("ecn " + target(""));
  ASSERT_EQ(0, roots.status) << roots.output;
  EXPECT_TRUE(contains(roots.output, "/root/tpd:CIM_ManagedElement\n")) << roots.output;

  ToolRun below = wbemcli("ecn " + target("CIM_StorageVolume"));
  ASSERT_EQ(0, below.status) << below.output;
  EXPECT_TRUE(contains(below.output, "/root/tpd:TPD_StorageVolume")) << below.output;
  EXPECT_FALSE(contains(below.output, "TPD_StorageSystem")) << below.output;

  ToolRun classes = wbemcli("ec " + target("CIM_StorageVolume"));
  ASSERT_EQ(0, classes.status) << classes.output;
  EXPECT_TRUE(contains(classes.output, "TPD_StorageVolume")) << classes.output;

  ToolRun unknown = wbemcli("ecn " + target("CIM_NoSuchClass"));
  EXPECT_NE(0, unknown.status);
  EXPECT_TRUE(contains(unknown.output, "CIM_ERR_INVALID_CLASS")) << unknown.output;
}

TEST_P(WbemcliTest, InvokesCreateReplica) {
  std::string service =
      "TPD_StorageConfigurationService.SystemCreationClassName=\"TPD_StorageSystem\","
      "SystemName=\"2FF70002AC001234\",CreationClassName=\"TPD_StorageConfigurationService\","
      "Name=\"StorageConfigurationService\"";
  std::string arguments = "'CreateReplica.ElementName=\"oradata01.snap\",CopyType=4,SourceElement=127.0.0.1/root/tpd:" +
                          volumePath("oradata01") + "'";
  ToolRun call = wbemcli("cm " + target(service) + " " + arguments);
  ASSERT_EQ(0, call.status) << call.output;
  EXPECT_TRUE(contains(call.output, "CreateReplica: 0, TargetElement (reference): ")) << call.output;

  std::string model = server->simulator().modelJson();
  EXPECT_TRUE(contains(model, "\"name\":\"oradata01.snap\"")) << "the copy exists";
  std::vector<smissim::MethodCallRecord> calls = server->simulator().methodCalls();
  ASSERT_EQ(1u, calls.size());
  ASSERT_NE(nullptr, calls[0].param("CopyType"));
  EXPECT_FALSE(calls[0].param("CopyType")->typed) << "wbemcli sends parameters without PARAMTYPE";
}

INSTANTIATE_TEST_SUITE_P(OverHttpAndHttps, WbemcliTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Https" : "Http"; });

}  // namespace
