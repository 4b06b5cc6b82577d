// The remote-proxy protocol's fixed-width texts, the results the agent reads back, and what the proxy refuses
// before it runs any worker.
#include <gtest/gtest.h>

#include <string>

#include "TqRemoteProxy.h"
#include "TqsoEntryPoints.h"

namespace {

TEST(RemoteCommand, FixedWidthFieldsAndWhatTheProxyAccepts) {
  std::string command;
  ASSERT_TRUE(GetRemoteCommandParameter(4, -1, command));
  EXPECT_EQ("     1     4    -1", command);
  ASSERT_TRUE(GetRemoteCommandParameter(9, 2, command));
  int message = 0, index = 0;
  ASSERT_TRUE(ExtractCommandParameter(command, message, index));
  EXPECT_EQ(9, message);
  EXPECT_EQ(2, index);
  EXPECT_FALSE(GetRemoteCommandParameter(1234567, -1, command)) << "a number wider than its field is not sent";

  struct Case {
    std::string command;
    bool accepted;
    int message, index;
  } cases[] = {
      {"     1     4    -", false, 0, 0},             // 17 characters
      {"     0    12    -1", true, 12, -1},           // version 0 is accepted
      {"     2     4    -1", false, 0, 0},            // a later protocol version
      {"     1    10   1234567", true, 10, 1234567},  // the index runs to the end of the text
      {"           9     2", true, 9, 2},             // a blank version field reads as 0
      {"garbage garbage ga", false, 0, 0},            // fields that are not numbers
      {"     1     9      ", false, 0, 0},            // no device index
      {"     1     9     2x", false, 0, 0},           // digits followed by more
      {"     1     94294967295", false, 0, 0},        // does not fit: never -1, "every device"
      {"     1     9  0x10", false, 0, 0},            // decimal only
  };
  for (Case c : cases) {
    message = index = -99;
    EXPECT_EQ(c.accepted, ExtractCommandParameter(c.command, message, index)) << c.command;
    if (c.accepted) {
      EXPECT_EQ(c.message, message) << c.command;
      EXPECT_EQ(c.index, index) << c.command;
    }
  }
}

TEST(RemoteMapParameter, GroupFlagsAndPorts) {
  std::string ports = "10000000C9A1B2C3,10000000C9A1B2C4", group = "TQ_host123", parameter;
  ASSERT_TRUE(GetRemoteMapParameter(ports, group, false, true, parameter));
  EXPECT_EQ("TQ_host123" + std::string(20, ' ') + "01" + ports, parameter);
  std::string backGroup, backPorts;
  bool iscsi = true, snapshots = false;
  ASSERT_TRUE(ExtractRemoteMapParameter(parameter, backGroup, backPorts, iscsi, snapshots));
  EXPECT_EQ(group, backGroup);
  EXPECT_EQ(ports, backPorts);
  EXPECT_FALSE(iscsi);
  EXPECT_TRUE(snapshots);

  std::string exact = std::string(30, ' ') + "11";
  ASSERT_TRUE(ExtractRemoteMapParameter(exact, backGroup, backPorts, iscsi, snapshots));
  EXPECT_TRUE(backPorts.empty());
  std::string shortText = std::string(31, ' ');
  EXPECT_FALSE(ExtractRemoteMapParameter(shortText, backGroup, backPorts, iscsi, snapshots));
  std::string longGroup(31, 'g');
  EXPECT_FALSE(GetRemoteMapParameter(ports, longGroup, false, true, parameter)) << "it would shift the flags";
}

TEST(RemoteProxyAgent, OnlyAResultTheProxyCanGiveIsRead) {
  TQSO::SnapInfo device;
  TQSO::SnapInfo* list[] = {&device};
  TQSO::TQOSUtil services;
  std::string written;
  services.setProxyEntryPoint([&](TQSO::SnapInfo** devices, short, TQSO::TQOSUtil*) {
    devices[0]->setMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT, written.c_str());
    return 0;
  });
  services.setDeviceList(list, 1);
  const std::pair<const char*, int> cases[] = {
      {"0", TQSO::RC_SUCCESS},       {"2", TQSO::RC_FAIL_PARTIAL}, {"1", TQSO::RC_FAIL},
      {"4294967295", TQSO::RC_FAIL}, {"-1", TQSO::RC_FAIL},        {"3", TQSO::RC_FAIL},
      {"0 and more", TQSO::RC_FAIL}, {"", TQSO::RC_FAIL},
  };
  std::string proxy = "proxyhost";
  for (const auto& c : cases) {
    written = c.first;
    EXPECT_EQ(c.second, ExecuteRemote(list, 1, &services, proxy)) << "[" << c.first << "]";
  }
}

TEST(RemoteProxyServer, UnknownMessagesAndBadIndexesAreRefused) {
  TQSO::SnapInfo device;
  TQSO::SnapInfo* list[] = {&device};
  TQSO::TQOSUtil services;
  EXPECT_EQ(TQSO::RC_FAIL, tqso_execSnapEngineOp(list, 1, &services)) << "no command";
  device.setMetaDataValue(TQSO::REMOTE_CALL_ID, "     1     8    -1");
  EXPECT_EQ(TQSO::RC_FAIL, tqso_execSnapEngineOp(list, 1, &services));
  EXPECT_FALSE(device.metaDataText(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT).has_value());
  device.setMetaDataValue(TQSO::REMOTE_CALL_ID, "     1     5    -1");
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_execSnapEngineOp(list, 1, &services));
  EXPECT_EQ("0", device.metaDataText(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT).value_or(""));
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_execSnapEngineOp(list, 0, &services));
  device.setMetaDataValue(TQSO::REMOTE_CALL_ID, "     1     74294967295");
  device.setMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT, nullptr);
  EXPECT_EQ(TQSO::RC_FAIL, tqso_execSnapEngineOp(list, 1, &services)) << "an index that does not fit names nothing";
  EXPECT_FALSE(device.metaDataText(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT).has_value());

  std::string unused;
  for (int index : {1, -2, 7}) {
    EXPECT_EQ(TQSO::RC_FAIL, HandleRemoteCallMapVolume(list, 1, &services, index));
    EXPECT_EQ(TQSO::RC_FAIL, HandleRemoteCallUnmapVolume(list, 1, &services, false, unused, index));
  }
}

}  // namespace
