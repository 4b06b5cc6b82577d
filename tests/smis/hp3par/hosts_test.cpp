// Hosts, hardware IDs and initiators on the simulated 3PAR array, for iSCSI and Fibre Channel ports; and
// the two text helpers of host handling.
#include <gtest/gtest.h>

#include <list>

#include "support/ProvisioningFixture.h"

using namespace Pegasus;
using namespace provtest;

namespace {

Array<String> Ports(std::initializer_list<const char*> ports) {
  Array<String> array;
  for (const char* port : ports) array.append(String(port));
  return array;
}

class HostLookupTest : public ProvisioningTest {};

TEST_F(HostLookupTest, HostInfoSortsPortsIntoHostsAndUnassigned) {
  std::vector<std::string> hosts = {"stale"}, unassigned = {"stale"};
  Array<String> ports = Ports({kHostAIscsi, kHostAFc, "10000000C9DEAD01", kLonePort});
  util3par_.GetHostInfo(conn_, ports, hosts, unassigned);
  EXPECT_EQ(std::vector<std::string>({"hostA"}), hosts);
  EXPECT_EQ(std::vector<std::string>({"10000000C9DEAD01", kLonePort}), unassigned);
  EXPECT_EQ(1, CountMessages(record_, std::string("[port - ") + kLonePort + "] port found but not assigned to Host"));
}

TEST_F(HostLookupTest, HostListNamesTheOneHostOfEachPort) {
  Array<String> hosts;
  util3par_.GetHostList(conn_, Ports({kHostAIscsi, kHostAFc, kTwoHostPort, kLonePort, "10000000C9DEAD01", kHostBFc}),
                        hosts);
  ASSERT_EQ(3u, hosts.size());  // repeats kept; the port in two hosts and ports in none add nothing
  EXPECT_EQ("hostA", hosts[0].str());
  EXPECT_EQ("hostA", hosts[1].str());
  EXPECT_EQ("hostB", hosts[2].str());
  EXPECT_EQ(1, CountMessages(record_, "3PAR device has 2 Host-paths, which is not expected"));
}

// Paths are counted, not volumes: hostA's two ports each reach the one view of "shared"; the port that
// hostB shares with hostC reaches hostB's view from both hosts.
TEST_F(HostLookupTest, VolumeCountsPerHostCountPaths) {
  EXPECT_EQ(2, util3par_.GetVolumeCountByHostPath(conn_, "hostA"));
  EXPECT_EQ(2, util3par_.GetVolumeCountByHostPath(conn_, "HOSTB"));
  EXPECT_EQ(1, util3par_.GetVolumeCountByHostPath(conn_, "hostC"));
  EXPECT_EQ(0, util3par_.GetVolumeCountByHostPath(conn_, "hostD"));
  EXPECT_EQ(0, util3par_.GetVolumeCountByHostPath(conn_, "nohost"));
}

TEST_F(HostLookupTest, HostCollectionsMatchWholeNamesIgnoringCase) {
  const String hostClass = "TPD_StorageHardwareIDCollection";
  CIMObjectPath found = util3par_.GetStorageHardwareIDCollectionObjPathByProp(conn_, hostClass, "ElementName", "HOSTA");
  EXPECT_EQ("hostA", util3par_.GetCIMProp(conn_, found, "ElementName"));
  EXPECT_EQ("root/tpd", found.getNameSpace().getString().str());
  for (const char* name : {"host", "hostA2", ""})
    EXPECT_TRUE(util3par_.GetStorageHardwareIDCollectionObjPathByProp(conn_, hostClass, "ElementName", name)
                    .getClassName()
                    .isNull())
        << name;
}

TEST_F(HostLookupTest, ElementNamesMatchExactlyOnTheNamedArray) {
  String volumeClass = "CIM_StorageVolume";
  auto find = [&](const std::string& array, const char* name) {
    CIMObjectPath path = util3par_.GetObjPathByPropElementName(conn_, volumeClass, array, "ElementName", name);
    return util3par_.GetPropByObjPath(path, "DeviceID");
  };
  EXPECT_EQ(WwnOf("0B0001", "vol1"), find(array1_, "vol1"));
  EXPECT_EQ(WwnOf("0B0002", "vol1"), find(array2_, "vol1"));
  for (const char* name : {"vol", "VOL1", "", " "}) EXPECT_EQ("", find(array1_, name)) << "[" << name << "]";
  EXPECT_EQ("", find("", "vol1"));  // a blank array name is in every system name
}

TEST_F(HostLookupTest, InitiatorsOfAVolumeCarryTheirKinds) {
  std::vector<std::string> args = {array1_, "shared"};
  std::vector<MappedHBAInfoList_t> initiators;
  ASSERT_EQ(kSmisSuccess, util3par_.GetVolumeInitiatorsUtil(conn_, args, initiators));
  EXPECT_EQ(nullptr, conn_.m_Client);  // the lookup closes the connection
  ASSERT_EQ(2u, initiators.size());
  for (const MappedHBAInfoList_t& initiator : initiators) {
    SCOPED_TRACE(initiator.port);
    bool iscsi = initiator.port == kHostAIscsi;
    EXPECT_TRUE(iscsi || initiator.port == kHostAFc);
    EXPECT_EQ(iscsi, initiator.IsIscsi());
    EXPECT_EQ(iscsi ? 5 : 2, initiator.type);
  }

  // An unmapped volume has none; what the list held stays.
  ASSERT_EQ(0, conn_.ConnectCimom());
  args[1] = "vol1";
  EXPECT_EQ(kSmisSuccess, util3par_.GetVolumeInitiatorsUtil(conn_, args, initiators));
  EXPECT_EQ(2u, initiators.size());
}

// A volume that is not there is reported as such, after one lookup and nothing more.
TEST_F(HostLookupTest, InitiatorsOfAMissingVolumeAreAnError) {
  std::vector<MappedHBAInfoList_t> initiators;
  for (const char* name : {"nosuchvol", "", "vol"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(0, conn_.ConnectCimom());
    sim().clearLog();
    std::vector<std::string> args = {array1_, name};
    EXPECT_EQ(kSmisVolumeNotFound, util3par_.GetVolumeInitiatorsUtil(conn_, args, initiators));
    EXPECT_EQ(0u, Requests("AssociatorNames"));
  }
  std::vector<std::string> shortArgs = {array1_};
  EXPECT_EQ(kSmisTooFewArguments, util3par_.GetVolumeInitiatorsUtil(conn_, shortArgs, initiators));
  EXPECT_TRUE(initiators.empty());
}

TEST(HostTextTest, UniqueStringsKeepFirstSeenOrderAndCase) {
  std::vector<std::string> items;
  for (const char* text : {"a", "b", "a", "A"}) AddUniqString(items, text);
  EXPECT_EQ(std::vector<std::string>({"a", "b", "A"}), items);
}

TEST(HostTextTest, InitiatorListsJoinIscsiAsTheyAreAndFcWithoutColons) {
  EvDebugCapture log;
  std::list<std::string> iscsi = {"iqn.a", "iqn.b"};
  EXPECT_EQ("iqn.a,iqn.b", ConvertListToString(iscsi, true));
  EXPECT_TRUE(log.contains("Converted initiator list to string iqn.a,iqn.b"));

  std::list<std::string> fc = {"10:00:00:00:c9:aa:bb:cc", "aa:bb", "aa:bb"};
  EXPECT_EQ("10000000C9AABBCC,AABB,AABB", ConvertListToString(fc, false));

  std::list<std::string> none;
  EXPECT_EQ("", ConvertListToString(none, false));

  // An iSCSI name may be 223 bytes: it is never cut.
  std::list<std::string> longName = {"iqn.2001-04.com.example:" + std::string(199, 'x'), "iqn.b"};
  EXPECT_EQ(longName.front() + ",iqn.b", ConvertListToString(longName, true));
}

}  // namespace
