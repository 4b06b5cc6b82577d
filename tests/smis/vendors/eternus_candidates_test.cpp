// What the target choice asks of one candidate volume, over the simulated array: free means in no pair and
// in no view; the device-group filter keeps the candidates a pool's allocations hold.
#include "action/support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

constexpr const char* kCandidateArray = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1"],
     "volumes": [{"name": "free", "cpg": "CPG1"}, {"name": "source", "cpg": "CPG1"}, {"name": "paired", "cpg": "CPG1"},
                 {"name": "shown", "cpg": "CPG1"}],
     "hosts": [{"name": "host1", "fc": ["10000000C9A1B2C3"]}],
     "exports": [{"volume": "shown", "host": "host1", "lun": 1}]}
  ]
})";

class EternusCandidatesTest : public SmisActionTest {
 protected:
  EternusCandidatesTest() : SmisActionTest(kCandidateArray) {}

  bool Available(const std::string& uid) {
    SmisArgs args = {SystemName(), uid, "ignored"};
    return action_.IsLunAvailable(conn_, args);
  }
};

TEST_F(EternusCandidatesTest, OnlyAVolumeInNoPairAndNoViewIsFree) {
  Pegasus::CIMObjectPath source = VolumePath(kOneArraySerial, "source");
  Pegasus::CIMObjectPath paired = VolumePath(kOneArraySerial, "paired");
  sim().withModel([&](smissim::Model& model) { model.addSynchronization(source, paired, 4, 2, 6); });

  EXPECT_TRUE(Available(WwnOf(kOneArraySerial, "free")));
  EXPECT_FALSE(Available(WwnOf(kOneArraySerial, "source")));
  EXPECT_FALSE(Available(WwnOf(kOneArraySerial, "paired")));
  EXPECT_FALSE(Available(WwnOf(kOneArraySerial, "shown")));
  EXPECT_EQ(1,
            CountMessages(record_, "Storage Volume [" + WwnOf(kOneArraySerial, "shown") + "] mapped to another host"));
  EXPECT_FALSE(Available("60002AC0000000000000000000009999"));
  SmisArgs tooFew = {SystemName()};
  EXPECT_FALSE(action_.IsLunAvailable(conn_, tooFew));
}

// The filter reads only what it is given: allocations whose pool is the group's, and candidates whose path
// such an allocation's volume holds. Empty paths match nothing.
TEST_F(EternusCandidatesTest, DeviceGroupFilterKeepsThePoolsCandidates) {
  auto allocation = [](const std::string& pool, const std::string& volume) {
    Pegasus::CIMInstance instance{Pegasus::CIMName("CIM_AllocatedFromStoragePool")};
    instance.addProperty(
        Pegasus::CIMProperty(Pegasus::CIMName("Antecedent"), Pegasus::CIMValue(Pegasus::String(pool))));
    instance.addProperty(
        Pegasus::CIMProperty(Pegasus::CIMName("Dependent"), Pegasus::CIMValue(Pegasus::String(volume))));
    return instance;
  };
  Pegasus::Array<Pegasus::CIMInstance> allocations;
  allocations.append(allocation("Pool.InstanceID=\"DG1\"", "Vol.DeviceID=\"0001\""));
  allocations.append(allocation("Pool.InstanceID=\"DG2\"", "Vol.DeviceID=\"0002\""));
  allocations.append(allocation("Pool.InstanceID=\"DG1\"", "Vol.DeviceID=\"0003\""));
  std::vector<_EternusLun> candidates = {{"Vol.DeviceID=\"0003\"", "uid3"},
                                         {"Vol.DeviceID=\"0002\"", "uid2"},
                                         {"Vol.DeviceID=\"0001\"", "uid1"},
                                         {"", "none"}};

  SmisArgs args = {SystemName(), "Pool.InstanceID=\"DG1\""};
  std::vector<std::string> uids;
  ASSERT_EQ(kSmisSuccess, action_.filterLunsByDG(conn_, args, allocations, candidates, uids));
  EXPECT_EQ((std::vector<std::string>{"uid1", "uid3"}), uids);

  SmisArgs noGroup = {SystemName(), ""};
  std::vector<std::string> none;
  EXPECT_EQ(kSmisSuccess, action_.filterLunsByDG(conn_, noGroup, allocations, candidates, none));
  EXPECT_TRUE(none.empty());
  SmisArgs tooFew = {SystemName()};
  EXPECT_EQ(kSmisTooFewArguments, action_.filterLunsByDG(conn_, tooFew, allocations, candidates, none));

  action_.printListofLuns("Eligible SDV targets", candidates);
  std::vector<_EternusLun> empty;
  action_.printListofLuns("Nothing", empty);
  EXPECT_EQ(1, CountMessages(record_, "Eligible SDV targets (uid3, uid2, uid1, none, )"));
  EXPECT_EQ(0, CountMessages(record_, "Nothing ()"));
}

}  // namespace
}  // namespace smisactiontest
