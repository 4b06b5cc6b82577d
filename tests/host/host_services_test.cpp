// The host-services object: arrays, other hosts, the remote-proxy run, and use from many threads.
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "InquiryCommands.h"
#include "SimulatedArrayStub.h"
#include "TQOSUtil.h"
#include "TqDeviceTree.h"

namespace {

using TQSO::SnapInfo;
using TQSO::TQOSUtil;

std::shared_ptr<TQSO::ArrayRegistry> twoArrays() {
  auto registry = std::make_shared<TQSO::ArrayRegistry>();
  TQSO::ArrayEntry first;
  first.id = "2FF70002AC001234";
  first.info = "{arrayId:2FF70002AC001234,hostName:ctl-1,hostUserName:admin,hostPassword:secret,hostid:11}";
  first.controlHost = "ctl-1";
  first.hostId = 11;
  first.settings = {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "5989"}, {"SMCONFIG_NAME_BROKEN", "12abc"}};
  registry->put(first);
  TQSO::ArrayEntry second = first;
  second.id = "2FF70002AC005678";
  second.info = "{arrayId:2FF70002AC005678,hostid:12}";
  second.controlHost = "ctl-2";
  second.hostId = 12;
  second.settings = {{"SMCONFIG_NAME_SMIS_SERVER_PORT", "5988"}};
  registry->put(second);
  return registry;
}

std::shared_ptr<TQSO::SimulatedHostPlatform> quietHost() {
  return std::make_shared<TQSO::SimulatedHostPlatform>(
      std::vector<TQSO::HostInitiator>{{"iqn.1994-05.com.redhat:agent", TQSO::INITIATOR_ISCSI}},
      std::make_shared<ExposureStub>());
}

TEST(HostServices, ArrayInformationBySelectorsWithHonestSizes) {
  TQOSUtil services(twoArrays(), quietHost());
  char buffer[4096];
  ASSERT_EQ(0, services.getArrayInfoById("2FF70002AC005678", buffer, sizeof(buffer)));
  EXPECT_STREQ("{arrayId:2FF70002AC005678,hostid:12}", buffer);
  EXPECT_EQ(1, services.getArrayInfoById("2FF7000UNKNOWN", buffer, sizeof(buffer)));
  EXPECT_EQ(2, services.getArrayInfoById("2FF70002AC005678", buffer, 10)) << "never cut";

  short length = 16;
  const short needed = services.getArrayInfoByHost("ctl-1", buffer, &length);
  EXPECT_GT(needed, 16);
  length = needed;
  ASSERT_EQ(0, services.getArrayInfoByHost("ctl-1", buffer, &length));
  EXPECT_NE(nullptr, std::strstr(buffer, "hostid:11"));
  length = sizeof(buffer) > 32767 ? 32767 : short(sizeof(buffer));
  EXPECT_LT(services.getArrayInfoByHost("nobody", buffer, &length), 0);

  int value = -5;
  EXPECT_EQ(0, services.getArrayConfigInt(12, 0, "SMCONFIG_NAME_SMIS_SERVER_PORT", value));
  EXPECT_EQ(5988, value);
  EXPECT_EQ(0, services.getArrayConfigInt(11, 0, "SMCONFIG_NAME_SMIS_SERVER_PORT", value));
  EXPECT_EQ(5989, value);
  value = -5;
  EXPECT_EQ(-1, services.getArrayConfigInt(11, 0, "SMCONFIG_NAME_BROKEN", value)) << "not a number";
  EXPECT_EQ(-1, services.getArrayConfigInt(11, 0, "SMCONFIG_NAME_ABSENT", value));
  EXPECT_EQ(-1, services.getArrayConfigInt(99, 0, "SMCONFIG_NAME_SMIS_SERVER_PORT", value));
  EXPECT_EQ(-5, value);
}

TEST(HostServices, OtherHostsAnswerWithWhatWasRegisteredForThem) {
  TQOSUtil services(twoArrays(), quietHost());
  services.setLocalHostName("agent-host");
  const std::string esxPort = "iqn.1998-01.com.vmware:esx01-" + std::string(190, 'e');
  services.setRemoteHost("esx01", {{esxPort, TQSO::INITIATOR_ISCSI}},
                         "{corvtype:vmware,lunuuid:x*y}*{corvtype:vmware,lunuuid:z}*");

  char small[16];
  uint16_t length = sizeof(small);
  bool iscsi = false;
  EXPECT_EQ(0, services.detectHostHBA("esx01", "A", small, &length, &iscsi));
  EXPECT_EQ(esxPort.size() + 1, length) << "the size needed";
  std::vector<char> buffer(length);
  ASSERT_EQ(1, services.detectHostHBA("esx01", "A", buffer.data(), &length, &iscsi));
  EXPECT_EQ(esxPort, buffer.data());
  EXPECT_TRUE(iscsi);
  length = sizeof(small);
  EXPECT_EQ(0, services.detectHostHBA("unknown-esx", "A", small, &length, &iscsi));
  EXPECT_EQ(0, length) << "the host cannot tell";

  std::vector<char> list(4096);
  ASSERT_EQ(0, services.listDevices("esx01", "3P", '*', 4096, list.data()));
  EXPECT_STREQ("{corvtype:vmware,lunuuid:x*y}*{corvtype:vmware,lunuuid:z}*", list.data());
  EXPECT_LT(services.listDevices("unknown-esx", "3P", '*', 4096, list.data()), 0);

  uint16_t namesLength = 0, kindsLength = 0, third = 0;
  services.detectHbalist("agent-host", "A", nullptr, &namesLength, nullptr, &kindsLength, &third);
  EXPECT_EQ(std::string("iqn.1994-05.com.redhat:agent").size() + 1, namesLength) << "own name is the local host";

  EXPECT_EQ(0, services.rescanBus("esx01", nullptr, nullptr));
  EXPECT_EQ(-1, services.rescanBus("unknown-esx", nullptr, nullptr));
  ASSERT_EQ(2u, services.rescans().size());
  EXPECT_EQ("esx01", services.rescans()[0].host);
}

// For a "vmware" device the engine passes the host identifier text of the job record as the host name.
TEST(HostServices, HostIdentifierTextsStandForTheirEsxHost) {
  TQOSUtil services(twoArrays(), quietHost());
  services.setLocalHostName("agent-host");
  services.setRemoteHost("esx01", {{"10000000C9A1B2C3", TQSO::INITIATOR_FC}}, "{corvtype:vmware,lunuuid:z}*");
  services.setRemoteHost("vc:esx02.example,esxname:esx02", {{"iqn.esx02", TQSO::INITIATOR_ISCSI}}, "");

  const struct {
    const char* host;
    bool known;
    const char* port;
  } cases[] = {
      {"vc:esx01.example,esxname:esx01,user:root,password:a}b", true, "10000000C9A1B2C3"},
      {"{vc:vc01,esxname:esx01}", true, "10000000C9A1B2C3"},
      {"vc:vc01,esxname:esx01", true, "10000000C9A1B2C3"},
      {"vc:esx02.example,esxname:esx02", true, "iqn.esx02"},  // registered as it stands
      {"vc:vc01,esxname:esx03,password:x", false, ""},
      {"vc:vc01,esxname:,password:x", false, ""},
      {"vc:vc01,user:esx01", false, ""},
  };
  for (const auto& item : cases) {
    SCOPED_TRACE(item.host);
    std::vector<char> port(1024);
    uint16_t length = 1024;
    bool iscsi = false;
    EXPECT_EQ(item.known ? 1 : 0, services.detectHostHBA(item.host, "A", port.data(), &length, &iscsi));
    EXPECT_STREQ(item.port, item.known ? port.data() : "");
    uint16_t namesLength = 0, kindsLength = 0, third = 0;
    services.detectHbalist(item.host, "A", nullptr, &namesLength, nullptr, &kindsLength, &third);
    EXPECT_EQ(item.known ? std::strlen(item.port) + 1 : 0u, namesLength);
    std::vector<char> list(4096);
    EXPECT_EQ(item.known ? 0 : -1, services.listDevices(item.host, "3P", '*', 4096, list.data()) < 0 ? -1 : 0);
    EXPECT_EQ(item.known ? 0 : -1, services.rescanBus(item.host, nullptr, nullptr));
  }
  EXPECT_EQ("esx01", services.rescans()[0].host);
}

// A proxy-side engine that answers like the real one: result into id 122 of the first record, a status
// per device, and a job message.
int proxyEngine(SnapInfo** list, short count, TQOSUtil* services) {
  std::string command;
  if (!list[0]->getMetaData(TQSO::REMOTE_CALL_ID, command)) return 1;
  for (short i = 0; i < count; ++i) {
    list[i]->setStatus(TQSO::SS_DELETED);
    list[i]->logMessage(0, ("deleted on " + services->localHostName()).c_str());
  }
  list[1]->setError(60013, "Failed to unmap the device");
  list[0]->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, nullptr);
  list[0]->setMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT, "0");
  return 0;
}

TEST(HostServices, ProxyRunWorksOnCopiesAndCarriesTheResultsBack) {
  EvDebugCapture log;
  TQOSUtil services(twoArrays(), quietHost());
  SnapInfo first, second;
  first.setMetaData(TQSO::REMOTE_CALL_ID, "     1     7    -1");
  first.setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, "old-record");
  first.setStatus(TQSO::SS_SNAPSHOT_CREATED);
  SnapInfo* list[] = {&first, &second};
  services.setDeviceList(list, 2);

  std::string proxy = "proxy-01";
  EXPECT_FALSE(services.executeOnRemotePX(proxy)) << "no entry point yet";

  std::atomic<bool> sawAgentRecord{false};
  services.setProxyEntryPoint([&](SnapInfo** copies, short count, TQOSUtil* proxyServices) {
    if (copies[0] == &first || copies[1] == &second) sawAgentRecord = true;
    EXPECT_NE(&services, proxyServices);
    const int result = proxyEngine(copies, count, proxyServices);
    EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, first.getStatus()) << "the agent's record is untouched during the run";
    return result;
  });
  ASSERT_TRUE(services.executeOnRemotePX(proxy));
  EXPECT_FALSE(sawAgentRecord.load());
  EXPECT_EQ("0", first.metaDataText(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT).value_or("missing"));
  EXPECT_FALSE(first.metaDataText(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID).has_value()) << "a cleared id comes back";
  EXPECT_EQ(TQSO::SS_DELETED, first.getStatus());
  EXPECT_EQ((std::vector<TQSO::SnapStatus>{TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_DELETED}), first.statusHistory());
  EXPECT_EQ(60013, second.errorCode());
  EXPECT_TRUE(second.hasMessageContaining("deleted on proxy-01"));
  EXPECT_EQ((std::vector<std::string>{"proxy-01"}), services.proxyRuns());

  services.setReachableProxies({"proxy-02"});
  EXPECT_FALSE(services.executeOnRemotePX(proxy)) << "not reachable";
  std::string blank = "  ";
  services.setReachableProxies({});
  EXPECT_FALSE(services.executeOnRemotePX(blank));

  services.setProxyEntryPoint([](SnapInfo** copies, short, TQOSUtil*) -> int {
    copies[0]->setStatus(TQSO::SS_DELETE_FAILED);
    throw std::runtime_error("proxy crashed");
  });
  EXPECT_FALSE(services.executeOnRemotePX(proxy));
  EXPECT_EQ(TQSO::SS_DELETED, first.getStatus()) << "nothing comes back from a failed run";
  EXPECT_TRUE(log.contains("proxy crashed"));
}

// Worker threads of one call share the host services: every operation at once, checked for exact answers.
TEST(HostServices, SharedByManyWorkerThreads) {
  auto array = std::make_shared<ExposureStub>();
  array->expose("10000000C9A1B2C3", "v1", "60002AC0000000000000000A00001234", 1);
  array->expose("10000000C9A1B2C3", "v2", "60002AC0000000000000000B00001234", 2);
  auto host = std::make_shared<TQSO::SimulatedHostPlatform>(
      std::vector<TQSO::HostInitiator>{{"10000000C9A1B2C3", TQSO::INITIATOR_FC}}, array);
  TQOSUtil services(twoArrays(), host);
  TqDeviceSourceScope scope(host);
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));

  std::atomic<int> wrong{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < 16; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        std::vector<char> list(64);
        if (services.listDevices(nullptr, "3P", '*', 64, list.data()) != 0 ||
            std::string(list.data()) != "/dev/sda*/dev/sdb*")
          ++wrong;
        char info[128];
        if (services.getArrayInfoById("2FF70002AC005678", info, sizeof(info)) != 0) ++wrong;
        int port = 0;
        if (services.getArrayConfigInt(11, 0, "SMCONFIG_NAME_SMIS_SERVER_PORT", port) != 0 || port != 5989) ++wrong;
        uint16_t namesLength = 32, kindsLength = 4, third = 0;
        char names[32];
        unsigned char kinds[4];
        if (services.detectHbalist(nullptr, "", names, &namesLength, kinds, &kindsLength, &third) != 1) ++wrong;
        CWmError error;
        SP<TqDevice> device = TqDeviceTree::getDevice(t % 2 ? "/dev/sda" : "/dev/sdb", &error);
        unsigned char buffer[255];
        if (!device || inquire(device, kPage83Cdb, buffer, &error) != 24) ++wrong;
        if (i % 50 == 0) {
          services.rescanBus(nullptr, nullptr, nullptr);
          services.setJobId(static_cast<unsigned long long>(t));
          services.getJobId();
        }
      }
    });
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(0, wrong.load());
  EXPECT_EQ(1u + 16u * 4u, services.rescans().size());
}

}  // namespace
