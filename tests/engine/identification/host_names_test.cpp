// The names the engine gives its host and the objects it makes on the array, and the host identifier.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TqHostNames.h"

namespace {

TEST(HostDefinitionName, PrefixFirstTwentyCharactersAndProtocolSuffix) {
  struct Case {
    const char* host;
    bool iscsi;
    const char* name;
  } cases[] = {
      {"host1", true, "TQ_host1_iscsi"},
      {"host1", false, "TQ_host1_fc"},
      {"abcdefghijklmnopqrstuvwxy", true, "TQ_abcdefghijklmnopqrst_iscsi"},
      {"abcdefghijklmnopqrst", false, "TQ_abcdefghijklmnopqrst_fc"},
      {"Mixed.Case-host", false, "TQ_Mixed.Case-host_fc"},
      {"", true, "TQ__iscsi"},
      {nullptr, false, "TQ__fc"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.name, GetGroupName(c.host, c.iscsi)) << (c.host ? c.host : "(null)");
}

TEST(HostDefinitionName, CuttingALongNameIsLoggedAsAWarning) {
  EvDebugCapture log;
  EXPECT_EQ(GetGroupName("db-server-production-01", true), GetGroupName("db-server-production-02", true))
      << "hosts that share their first 20 characters share one definition";
  EXPECT_EQ(2u, log.countContaining("Warning: host name [db-server-production-0"));
  log.clear();
  GetGroupName("short", true);
  EXPECT_EQ(0u, log.countContaining("Warning"));
}

TEST(ChildSnapshotName, FollowsTheMasterIdLength) {
  const std::string id16 = "0123456789ABCDEF";
  const std::string id32 = "60002AC0000000000000000200001234";
  struct Case {
    std::string master;
    bool made;
    std::string child;
  } cases[] = {
      {"", true, "TQ-CHILD-"}, {"1234", true, "TQ-CHILD-1234"}, {id16, true, "TQ-CHILD-" + id16},
      {id16 + "0", false, ""}, {id32.substr(1), false, ""},     {id32, true, id32.substr(1)},
      {id32 + "0", false, ""},
  };
  for (const Case& c : cases) {
    std::string child = "stale";
    EXPECT_EQ(c.made, GetChildDeviceName(c.master.c_str(), child)) << c.master;
    EXPECT_EQ(c.child, child) << c.master;
  }
  EvDebugCapture log;
  std::string child;
  EXPECT_FALSE(GetChildDeviceName("0123456789ABCDEFG", child));
  EXPECT_TRUE(log.contains("GetChildDeviceName: [error] unknown Master-Device size - 17"));
}

TEST(EsxName, IsTheTextAfterEsxnameUpToTheNextComma) {
  const std::pair<const char*, const char*> cases[] = {
      {"{corvtype:vmware,esxname:esx01,password:pw}", "esx01"},
      {"{corvtype:vmware,esxname:esx01}", ""},
      {"{corvtype:vmware,esxname:,x:y}", ""},
      {"{corvtype:vmware,host:esx01,x:y}", ""},
      {"esxname:esx01,x", ""},
  };
  for (const auto& c : cases) {
    std::string esx = "stale";
    getESXFromHostIdentifier(c.first, esx);
    EXPECT_EQ(c.second, esx) << c.first;
  }
}

TEST(IdentifierMask, HidesThePasswordValueButItsColons) {
  const std::pair<const char*, const char*> cases[] = {
      {"{esxname:e1,password:abc}", "{esxname:e1,********:***}"},
      {"{esxname:e1,password:a:b,x}", "{esxname:e1,********:*:***}"},
      {"{esxname:e1,password:abc", "{esxname:e1,********:***"},
      {"{password:abc},rest", "{********:***},rest"},
      {"{esxname:e1}", "{esxname:e1}"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, tqengine::MaskHostIdentifier(c.first)) << c.first;
}

TEST(HostIdentifier, LocalHostNameForAnOrdinaryDevice) {
  char expected[256] = {0};
  ASSERT_EQ(0, ::gethostname(expected, sizeof(expected) - 1));
  TQSO::SnapInfo device;
  device.setHostDevicePath("/dev/sdb");
  device.setClientHostId("{esxname:not-used}");
  std::string identifier;
  ASSERT_TRUE(getHostIdentifier(&device, identifier, true));
  EXPECT_EQ(expected, identifier);
  device.setHostDevicePath("{corvtype:VMWARE}");
  ASSERT_TRUE(getHostIdentifier(&device, identifier, false));
  EXPECT_EQ(expected, identifier) << "the word in other letter case does not count";
}

TEST(HostIdentifier, VmwareDevicesTakeItFromTheRecordByOperation) {
  const std::string longIdentifier = "{corvtype:vmware,esxname:esx01,password:pw," + std::string(3000, 'x') + "}";
  TQSO::SnapInfo device;
  device.setHostDevicePath("{corvtype:vmware,lunuuid:x}");
  device.setClientHostId(longIdentifier);
  device.setClientHostIdByType(9, "{esxname:mount-host,password:secret}");

  EvDebugCapture log;
  std::string identifier;
  ASSERT_TRUE(getHostIdentifier(&device, identifier, false));
  EXPECT_EQ(longIdentifier, identifier) << "an identifier longer than the first buffer is read whole";
  ASSERT_TRUE(getHostIdentifier(&device, identifier, true));
  EXPECT_EQ("{esxname:mount-host,password:secret}", identifier);
  EXPECT_EQ(0u, log.countContaining("secret"));

  TQSO::SnapInfo refusing;
  refusing.setHostDevicePath("/vmfs/vmware/disk1");
  identifier = "kept";
  EXPECT_FALSE(getHostIdentifier(&refusing, identifier, true));
  EXPECT_EQ("kept", identifier);
  EXPECT_TRUE(log.contains("Unable to get the host identifier [ /vmfs/vmware/disk1 ]"));
  EXPECT_TRUE(log.contains("[mount operation = Yes]"));
}

}  // namespace
