// The 3PAR snapshot object's child lookup, host sorting of initiator ports, host-group mapping and
// withdrawal, against the simulated array; and its blank trimming.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimProviderSupport.h"
#include "Tq3PARSnapshot.h"
#include "smis-sim/TestServer.h"

namespace {

constexpr const char* kKnownPort = "10000000C9A1B2C3";
constexpr const char* kNewPort = "10000000C9A1B2C4";
constexpr const char* kOtherHostPort = "10000000C9A1B2C5";
// The volumes' ids (WWNs) as the simulated array of serial 00ABCD gives them.
constexpr const char* kVol1 = "60002AC000000000000000000100ABCD";
constexpr const char* kVol2 = "60002AC000000000000000000200ABCD";

smissim::SimulatorOptions Seed() {
  smissim::SimulatorOptions options;
  options.seedJson = std::string(R"({"arrays":[{"serial":"00ABCD","firmware":"3.2.1","cpgs":["FC_r1"],)") +
                     R"("volumes":[{"name":"vol1","cpg":"FC_r1"},{"name":"vol2","cpg":"FC_r1"}],)" +
                     R"("hosts":[{"name":"simhost","fc":[")" + kKnownPort + R"("]},{"name":"other","fc":[")" +
                     kOtherHostPort + R"("]}],"exports":[]}]})";
  return options;
}

class HostGroupTest : public ::testing::Test {
 protected:
  HostGroupTest() : array_(Seed()) {
    snap_.SetLogger(&record_);
    TQ_SMIS_SNAP::TqArrayParams login;
    static_cast<TqCimomParams&>(login) = simtest::ParamsFor(array_);
    login.systemName = "2FF70002AC00ABCD";
    snap_.SetArrayInfo(login);
  }

  std::vector<std::string> ExposedVolumes(const std::string& port) {
    std::vector<std::string> names;
    for (const smissim::ExposedLun& lun : array_->exposedTo({port})) names.push_back(lun.volume);
    return names;
  }

  smissim::TestServer array_;
  TQSO::SnapInfo record_;
  Tq3PARSnapshot snap_;
};

TEST_F(HostGroupTest, MapsToTheHostThatOwnsThePortsAddingTheNewOnesAndWithdrawsAgain) {
  std::string ports = std::string(kKnownPort) + "," + kNewPort;
  EXPECT_EQ(TQSO::SS_MAPPED, snap_.MapSnapToGroup(kVol1, "TQ_asked_fc", 2, ports, false));
  EXPECT_EQ(std::vector<std::string>{"vol1"}, ExposedVolumes(kKnownPort));
  EXPECT_EQ(std::vector<std::string>{"vol1"}, ExposedVolumes(kNewPort)) << "the new port joined simhost";
  EXPECT_TRUE(ExposedVolumes(kOtherHostPort).empty());
  EXPECT_EQ(std::string::npos, array_->modelJson().find("TQ_asked_fc")) << "the owning host was used";

  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.UnmapSnapVol(kVol1));
  EXPECT_TRUE(ExposedVolumes(kKnownPort).empty());
  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.UnmapSnapVol(kVol1)) << "nothing to hide";
  EXPECT_EQ(TQ_CIM_DISCONNECTED, snap_.m_Conn.m_Cimom.GetConnState());
}

TEST_F(HostGroupTest, UnknownPortsGetTheCallersGroupAndMixedHostsAreRefused) {
  std::string fresh = "10000000C9A1B2D0,10000000C9A1B2D1";
  EXPECT_EQ(TQSO::SS_MAPPED, snap_.MapSnapToGroup(kVol2, "TQ_newhost_fc", 2, fresh, false));
  EXPECT_EQ(std::vector<std::string>{"vol2"}, ExposedVolumes("10000000C9A1B2D1"));
  EXPECT_NE(std::string::npos, array_->modelJson().find("TQ_newhost_fc"));

  std::string mixed = std::string(kKnownPort) + "," + kOtherHostPort;
  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.MapSnapToGroup(kVol1, "TQ_x_fc", 2, mixed, false));
  std::string none;
  EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.MapSnapToGroup(kVol1, "TQ_x_fc", 2, none, false));
  EXPECT_TRUE(ExposedVolumes(kKnownPort).empty()) << "a refused map changes nothing";
}

TEST_F(HostGroupTest, NewPortsAreNamedWithTheFirmwaresPrefix) {
  array_->updateSettings(R"({"checkHardwareIdPrefix":true})");  // a wrong prefix is refused
  struct Case {
    const char* firmware;
    const char* port;
    const char* id;
  } cases[] = {
      {"3.1.1", "10000000C9A1B2E1", "TPD_StorageHardwareID.InstanceID=\"3PAR:FC-10000000C9A1B2E1\""},
      {"3.1.2", "10000000C9A1B2E2", "TPD_StorageHardwareID.InstanceID=\"HP_3PAR:FC-10000000C9A1B2E2\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firmware);
    array_->updateSettings(std::string(R"({"arrays":[{"serial":"00ABCD","firmware":")") + c.firmware + "\"}]}");
    array_->clearLog();
    std::string ports = c.port;
    EXPECT_EQ(TQSO::SS_MAPPED,
              snap_.MapSnapToGroup(kVol1, (std::string("TQ_fw_") + c.firmware).c_str(), 2, ports, false));
    std::vector<std::string> added;
    for (const smissim::MethodCallRecord& call : array_->methodCalls())
      if (call.method == "AddHardwareIDsToCollection") added.push_back(call.param("HardwareIDs")->value);
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(std::string(c.id) + " ", added[0]);
  }
}

TEST_F(HostGroupTest, AddingPortsToADefinitionHoldingOtherPortsIsWarned) {
  struct Case {
    const char* name;
    std::string ports;
    const char* group;
    int warnings;
  } cases[] = {
      {"the definition holds only ports given", std::string(kKnownPort) + "," + kNewPort, "TQ_unused_fc", 0},
      {"a definition of the same name holds another host's port", "10000000C9A1B2F0", "simhost", 1},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    record_.clearMessages();
    EXPECT_EQ(TQSO::SS_MAPPED, snap_.MapSnapToGroup(kVol2, c.group, 2, c.ports, false));
    EXPECT_EQ(c.warnings, simtest::CountMessages(record_, "already holds port ["));
    EXPECT_EQ(TQSO::SS_UNMAPPED, snap_.UnmapSnapVol(kVol2));
  }
}

TEST_F(HostGroupTest, HostInfoSortsPortsIntoHostsAndUnassigned) {
  ASSERT_EQ(0, snap_.m_Conn.ConnectCimom());
  Pegasus::Array<Pegasus::String> ports;
  for (const char* port : {kKnownPort, "20000000AAAAAAAA", kKnownPort}) ports.append(Pegasus::String(port));
  std::vector<std::string> hosts, unassigned;
  snap_.GetHostInfo(snap_.m_Conn, ports, hosts, unassigned);
  snap_.m_Conn.DisconnectCimom();
  EXPECT_EQ(std::vector<std::string>{"simhost"}, hosts);
  EXPECT_EQ(std::vector<std::string>{"20000000AAAAAAAA"}, unassigned);
}

TEST_F(HostGroupTest, ChildrenAreFoundByTheirExactName) {
  TQ_SMIS_SNAP::TqSnapParams request;
  request.snapName = "TQ-CHILD-1";
  request.snapOp = 4;
  request.sourceDev = kVol1;
  snap_.SetSnapInfo(request);
  ASSERT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
  snap_.SetSnapStatus(TQSO::SS_PREPARED);
  ASSERT_EQ(TQSO::SS_SNAPSHOT_CREATED, snap_.SnapCreate());
  const std::string childId = snap_.GetSnapDevice();
  const std::string master = snap_.GetSourceDevPath();

  std::string device, path;
  EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, snap_.IsValidChild(kVol1, master.c_str(), "TQ-CHILD-1", device, path));
  EXPECT_EQ(childId, device);
  EXPECT_FALSE(path.empty());
  EXPECT_EQ(TQSO::SS_NO_SUCH_CHILD, snap_.IsValidChild(kVol1, master.c_str(), "tq-child-1", device, path));
  EXPECT_TRUE(device.empty());

  TQ_SMIS_SNAP::TqArrayParams unreachable;
  static_cast<TqCimomParams&>(unreachable) = simtest::ParamsFor(1);
  snap_.SetArrayInfo(unreachable);
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.IsValidChild(kVol1, master.c_str(), "TQ-CHILD-1", device, path));
}

TEST(TrimString, OnlyBlanksAtBothEnds) {
  struct Case {
    std::string in, out;
  } cases[] = {{"    ", ""}, {"  two words  ", "two words"}, {"\tx\t", "\tx\t"}, {"", ""}, {"a", "a"}};
  for (Case c : cases) {
    Tq3PARSnapshot::trimstring(c.in);
    EXPECT_EQ(c.out, c.in);
  }
}

}  // namespace
