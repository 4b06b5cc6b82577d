// Presenting a 3PAR volume to initiator ports that the array holds in more than one host, or partly in a
// host and partly in none, against the simulated array: the first refused with nothing changed, the second
// completing the host definition the ports already have.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ProvisioningFixture.h"

using namespace Pegasus;
using namespace provtest;

namespace {

const char* const kUnknownPort = "10000000C9DEAD01";

class MapPortsTest : public ProvisioningTest {
 protected:
  SmisResultCode Map(const std::string& volume, const std::string& initiators, const std::string& host) {
    std::vector<std::string> prepared = {array1_, volume, initiators, host};
    std::string text;
    return util3par_.MapStorageVolume(conn_, prepared, text);
  }

  // The hosts through which the ports see the volume.
  std::vector<std::string> HostsSeeing(const std::string& volume, const std::vector<std::string>& ports) {
    std::vector<std::string> hosts;
    for (const smissim::ExposedLun& lun : sim().exposedTo(ports))
      if (lun.volume == volume && std::find(hosts.begin(), hosts.end(), lun.host) == hosts.end())
        hosts.push_back(lun.host);
    return hosts;
  }
};

// Ports of two hosts (also through a port the array holds in two hosts) cannot name one host: 14, and
// nothing is asked of the array beyond the lookups.
TEST_F(MapPortsTest, PortsOfTwoHostsAreRefusedWithNothingChanged) {
  for (const std::string& ports :
       {std::string(kHostAIscsi) + "," + kHostBFc, std::string(kHostAIscsi) + "," + kTwoHostPort}) {
    SCOPED_TRACE(ports);
    record_.clearMessages();
    EXPECT_EQ(kHP3ParHostUnusable, Map("vol1", ports, "newhost"));
    EXPECT_EQ(1, CountMessages(record_,
                               "HP3ParCimUtil::MapStorageVolume: More than 1 hosts (2) used here to assign initiator "
                               "ports. which is not expected in 3PAR. Mapping fails here..."));
  }
  EXPECT_TRUE(sim().methodCalls().empty());
  EXPECT_TRUE(HostsSeeing("vol1", {kHostAIscsi, kHostAFc, kHostBFc, kTwoHostPort}).empty());
}

// Ports the array holds in no host join the host that holds the others, which then sees the volume through
// every port; no definition of the host name given is made.
TEST_F(MapPortsTest, UnassignedPortsJoinTheHostOfTheOthers) {
  const std::string ports = std::string(kHostAIscsi) + "," + kLonePort + "," + kUnknownPort;
  ASSERT_EQ(kSmisSuccess, Map("vol1", ports, "newhost"));

  std::vector<smissim::MethodCallRecord> added = CallsOf("AddHardwareIDsToCollection");
  ASSERT_EQ(1u, added.size());
  EXPECT_TRUE(CallsOf("CreateHardwareIDCollection").empty());
  ASSERT_EQ(1u, CallsOf("ExposeLUsToStorageHardwareIDCollection").size());
  EXPECT_EQ(std::vector<std::string>{"hostA"}, HostsSeeing("vol1", {kHostAIscsi, kHostAFc, kLonePort, kUnknownPort}));
  for (const char* port : {kLonePort, kUnknownPort})
    EXPECT_EQ(std::vector<std::string>{"hostA"}, HostsSeeing("vol1", {port})) << port;
  EXPECT_FALSE(sim().withModel([](smissim::Model& model) {
    return model.findHost(*model.arrayBySerial("0B0001"), "TQ_newhost_fc") != nullptr;
  }));

  // Mapped again through the same ports: nothing more to do.
  sim().clearLog();
  EXPECT_EQ(kSmisSuccess, Map("vol1", ports, "newhost"));
  EXPECT_TRUE(sim().methodCalls().empty());
}

}  // namespace
