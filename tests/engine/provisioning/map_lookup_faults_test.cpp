// The provisioning handler's map and unmap when the simulated 3PAR provider fails a lookup: a failure before
// the array is changed fails the operation and changes nothing; a failure while removing a host definition
// after the volume was hidden leaves that definition and keeps the unmap done.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HP3ParHandler.h"
#include "support/EngineProvisioningFixture.h"

using namespace engprov;

namespace {

const char kHostAIscsi[] = "iqn.1994-05.com.redhat:a1";
const char kNewPort[] = "iqn.1994-05.com.redhat:new1";

class MapLookupFaultTest : public EngineProvisioningTest {
 protected:
  bool Map(const std::string& volume, const std::string& port) {
    return HP3ParHandler().MapVolume(&os_, array_, server_.host(), server_.user(), server_.password(), "FC_r5", volume,
                                     0, port, "linuxbox", 99);
  }

  bool Unmap(const std::string& volume, const std::string& port) {
    return HP3ParHandler().UnmapVolume(&os_, array_, server_.host(), server_.user(), server_.password(), "FC_r5",
                                       volume, 0, port, 99);
  }

  bool Sees(const std::string& port, const std::string& volume) {
    for (const smissim::ExposedLun& lun : sim().exposedTo({port}))
      if (lun.volume == volume) return true;
    return false;
  }

  bool HostExists(const std::string& name) {
    return sim().withModel(
        [&](smissim::Model& model) { return model.findHost(*model.arrayBySerial("0B0001"), name) != nullptr; });
  }

  // A lasting CIM failure of one operation, on one class (and its subclasses) when given.
  void Fail(const char* operation, const char* className = "") {
    smissim::FaultRule rule = On(operation, CimErrorFault(Pegasus::CIM_ERR_FAILED, "provider busy", kLasting));
    rule.className = className;
    sim().injectFault(rule);
  }
};

// Hosts of the ports (hardware IDs) or the volume's views cannot be read: the map fails and presents nothing.
TEST_F(MapLookupFaultTest, AMapWhoseLookupsFailChangesNothing) {
  struct Case {
    const char* operation;
    const char* className;
    const char* port;
  };
  const Case cases[] = {
      {"EnumerateInstances", "CIM_StorageHardwareID", kHostAIscsi},
      {"EnumerateInstances", "CIM_StorageHardwareID", kNewPort},
      {"AssociatorNames", "", kHostAIscsi},
      {"AssociatorNames", "", kNewPort},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.operation) + " " + c.className + " / " + c.port);
    EvDebugCapture log;
    Fail(c.operation, c.className);
    EXPECT_FALSE(Map("vol1", c.port));
    sim().clearFaults();
    EXPECT_TRUE(log.contains("HP3ParHandler::MapVolume: Failed to map storage volume\n"));
    EXPECT_FALSE(log.contains("Failed to map storage volume parameters"));
    EXPECT_TRUE(sim().methodCalls().empty());
    EXPECT_FALSE(Sees(c.port, "vol1"));
    EXPECT_FALSE(HostExists("TQ_linuxbox_iscsi"));
  }
  ASSERT_TRUE(Map("vol1", kHostAIscsi)) << "the same map once the provider answers";
  EXPECT_TRUE(Sees(kHostAIscsi, "vol1"));
}

// The ports' hosts or the volume's views cannot be read: the unmap fails and the volume stays presented.
TEST_F(MapLookupFaultTest, AnUnmapWhoseLookupsFailLeavesTheVolumePresented) {
  for (const char* operation : {"EnumerateInstances", "AssociatorNames"}) {
    SCOPED_TRACE(operation);
    EvDebugCapture log;
    Fail(operation, std::string(operation) == "EnumerateInstances" ? "CIM_StorageHardwareID" : "");
    EXPECT_FALSE(Unmap("shared", kHostAIscsi));
    sim().clearFaults();
    EXPECT_TRUE(log.contains("HP3ParHandler::UnmapVolume: Failed to unmap storage volume\n"));
    EXPECT_TRUE(sim().methodCalls().empty());
    EXPECT_TRUE(Sees(kHostAIscsi, "shared"));
  }
}

// The volume is hidden before host definitions that see nothing more are removed: a definition that cannot
// be looked at then stays, and the unmap is still done.
TEST_F(MapLookupFaultTest, AHostDefinitionThatCannotBeLookedAtAfterTheHideStays) {
  ASSERT_TRUE(Map("vol1", kNewPort));
  ASSERT_TRUE(HostExists("TQ_linuxbox_iscsi"));
  sim().clearLog();
  Fail("EnumerateInstances", "TPD_StorageHardwareIDCollection");
  EXPECT_TRUE(Unmap("vol1", kNewPort));
  sim().clearFaults();
  EXPECT_FALSE(Sees(kNewPort, "vol1"));
  EXPECT_EQ(1u, sim().requestCount("HidePaths"));
  EXPECT_TRUE(HostExists("TQ_linuxbox_iscsi")) << "left for a later unmap";
}

}  // namespace
