// The ETERNUS profile through the project's client in root/eternus: pools, volumes typed by Purpose and
// their allocations; pairs under abstract names; element replicas into a target the caller names, refused where the
// array would refuse them; volumes created in a device group or thin-provisioning pool, and removed again when the
// creation's job fails.
#include <gtest/gtest.h>

#include "smis-sim/ReturnCodes.h"
#include "support/SimClient.h"

using namespace simtest;
using namespace smissim::returnCode;

namespace {

constexpr const char* kEternusSeed = R"({"arrays": [
  {"family": "eternus", "name": "ET0001AB", "pools": ["DG1", {"name": "TPP1", "thin": true}],
   "volumes": [{"name": "src", "pool": "DG1"}, {"name": "sdv1", "pool": "DG1", "type": "sdv"},
               {"name": "std1", "pool": "DG1"}, {"name": "tpv1", "pool": "TPP1"},
               {"name": "small", "pool": "DG1", "type": "sdv", "sizeBytes": 536870912},
               {"name": "other", "pool": "DG1"}, {"name": "paired", "pool": "DG1", "type": "sdv"}],
   "pairs": [{"source": "other", "target": "paired"}]}
]})";

class EternusProfileTest : public ::testing::Test {
 protected:
  EternusProfileTest() : server_(options()) { connectTo(client_, server_); }

  static smissim::SimulatorOptions options() {
    smissim::SimulatorOptions options;
    options.seedJson = kEternusSeed;
    return options;
  }

  static const CIMNamespaceName& eternus() {
    static const CIMNamespaceName ns("root/eternus");
    return ns;
  }

  CIMInstance volume(const std::string& name) {
    for (const CIMInstance& each : client_.enumerateInstances(eternus(), "CIM_StorageVolume", true, false))
      if (propertyText(each, "ElementName") == String(name)) return each;
    throw Exception(String("no volume named " + name));
  }
  bool hasVolume(const std::string& name) {
    for (const CIMInstance& each : client_.enumerateInstances(eternus(), "CIM_StorageVolume", true, false))
      if (propertyText(each, "ElementName") == String(name)) return true;
    return false;
  }

  CIMObjectPath service(const char* cls) { return client_.enumerateInstanceNames(eternus(), CIMName(cls))[0]; }
  CIMObjectPath pool(const char* name) {
    for (const CIMInstance& each : client_.enumerateInstances(eternus(), "CIM_StoragePool", true, false))
      if (propertyText(each, "ElementName") == String(name)) return each.getPath();
    throw Exception(String("no pool named ") + name);
  }

  // The targets of the volume's pairs, by name, with each pair's SyncType and SyncState ("name 7 6").
  std::vector<std::string> pairsOf(const std::string& name) {
    std::vector<std::string> pairs;
    for (const CIMObject& object : client_.references(eternus(), volume(name).getPath(), "CIM_StorageSynchronized")) {
      CIMInstance pair(object);
      CIMObjectPath target;
      pair.getProperty(pair.findProperty("SyncedElement")).getValue().get(target);
      pairs.push_back(propertyText(client_.getInstance(eternus(), target), "ElementName").str() + " " +
                      propertyText(pair, "SyncType").str() + " " + propertyText(pair, "SyncState").str());
    }
    return pairs;
  }

  Uint32 replicate(Uint16 syncType, const std::string& source, const char* target) {
    Array<CIMParamValue> in, out;
    in.append(CIMParamValue("SyncType", CIMValue(syncType)));
    in.append(CIMParamValue("SourceElement", CIMValue(volume(source).getPath())));
    in.append(CIMParamValue("TargetElement",
                            target ? CIMValue(volume(target).getPath()) : CIMValue(CIMTYPE_REFERENCE, false)));
    return returnCode(
        client_.invokeMethod(eternus(), service("CIM_ReplicationService"), "CreateElementReplica", in, out));
  }

  Uint32 createVolume(const std::string& name, Uint64 size, Uint16 type, const char* poolName,
                      Array<CIMParamValue>& out) {
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", name.empty() ? CIMValue(CIMTYPE_STRING, false) : CIMValue(String(name))));
    in.append(CIMParamValue("ElementType", CIMValue(type)));
    in.append(CIMParamValue("Size", CIMValue(size)));
    in.append(CIMParamValue("InPool", CIMValue(pool(poolName))));
    return returnCode(client_.invokeMethod(eternus(), service("CIM_StorageConfigurationService"),
                                           "CreateOrModifyElementFromStoragePool", in, out));
  }

  smissim::TestServer server_;
  CIMClient client_;
};

TEST_F(EternusProfileTest, VolumesAreTypedByPurposeAndAllocatedFromTheirPool) {
  EXPECT_EQ("FUJITSU_StorageComputerSystem", service("CIM_ComputerSystem").getClassName().getString().str());
  EXPECT_EQ("FUJITSU_ReplicationService", service("CIM_ReplicationService").getClassName().getString().str());
  EXPECT_NE(std::string::npos, propertyText(volume("src"), "Purpose").str().find("+0x00"));
  EXPECT_NE(std::string::npos, propertyText(volume("sdv1"), "Purpose").str().find("+0x03"));
  EXPECT_NE(std::string::npos, propertyText(volume("tpv1"), "Purpose").str().find("+0x06"));
  Array<CIMObjectPath> pools = client_.associatorNames(eternus(), volume("tpv1").getPath(),
                                                       "CIM_AllocatedFromStoragePool", "CIM_StoragePool", "", "");
  ASSERT_EQ(1u, pools.size());
  EXPECT_EQ("FUJITSU_ThinProvisioningPool", pools[0].getClassName().getString().str());
  // Allocations are enumerable too, each naming its pool and volume in the array's namespace.
  Array<CIMInstance> allocations = client_.enumerateInstances(eternus(), "CIM_AllocatedFromStoragePool", true, false);
  EXPECT_EQ(7u, allocations.size());
  EXPECT_NE(std::string::npos,
            propertyText(allocations[0], "Dependent").str().find("root/eternus:FUJITSU_StorageVolume"));
  EXPECT_EQ(std::vector<std::string>({"paired 7 6"}), pairsOf("other"));
}

// With abstract names a pair is reported under CIM_StorageSynchronized and read only by the family's class.
TEST_F(EternusProfileTest, AbstractSyncNamesAreReadByTheFamilyClassOnly) {
  server_->withModel([](smissim::Model& model) { model.settings().abstractSyncNames = true; });
  Array<CIMObjectPath> pairs = client_.referenceNames(eternus(), volume("paired").getPath(), "CIM_StorageSynchronized");
  ASSERT_EQ(1u, pairs.size());
  EXPECT_EQ("CIM_StorageSynchronized", pairs[0].getClassName().getString().str());
  try {
    client_.getInstance(eternus(), pairs[0]);
    ADD_FAILURE() << "read by the abstract class";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_NOT_FOUND, e.getCode());
  }
  CIMObjectPath own = pairs[0];
  own.setClassName("FUJITSU_StorageSynchronized");
  EXPECT_EQ("7", propertyText(client_.getInstance(eternus(), own), "SyncType").str());
}

// A replica needs a free target of the source's size and of a type that takes the copy; naming the target
// of the source's pair of the same kind again restarts that pair.
TEST_F(EternusProfileTest, ElementReplicaTakesOnlyASuitableTarget) {
  struct Case {
    const char* what;
    Uint16 syncType;
    const char* target;
    Uint32 result;
  };
  const Case cases[] = {
      {"no target", 7, nullptr, kInvalidParameter},
      {"snapshot into a Standard volume", 7, "std1", kInvalidParameter},
      {"clone into an SDV", 6, "sdv1", kInvalidParameter},
      {"target of another size", 7, "small", kInvalidParameter},
      {"unknown SyncType", 8, "sdv1", kInvalidParameter},
      {"target paired with another source", 7, "paired", kInUse},
      {"snapshot into an SDV", 7, "sdv1", kCompleted},
      {"the same snapshot again", 7, "sdv1", kCompleted},
      {"a clone into the snapshot's target", 6, "sdv1", kInvalidParameter},
      {"clone into a TPV", 6, "tpv1", kCompleted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.result, replicate(c.syncType, "src", c.target));
  }
  EXPECT_EQ(std::vector<std::string>({"sdv1 7 6", "tpv1 6 6"}), pairsOf("src"));
  EXPECT_EQ(std::vector<std::string>({"paired 7 6"}), pairsOf("other"));
}

TEST_F(EternusProfileTest, VolumeCreationFollowsThePoolKind) {
  Array<CIMParamValue> out;
  ASSERT_EQ(kCompleted, createVolume("new1", 1073741824, 2, "DG1", out));
  CIMObjectPath created;
  outParam(out, "TheElement").get(created);
  EXPECT_EQ("root/eternus", created.getNameSpace().getString().str());
  EXPECT_NE(std::string::npos, propertyText(volume("new1"), "Purpose").str().find("+0x00"));
  ASSERT_EQ(kCompleted, createVolume("new2", 1000, 5, "TPP1", out));
  EXPECT_NE(std::string::npos, propertyText(volume("new2"), "Purpose").str().find("+0x06"));
  EXPECT_EQ("2", propertyText(volume("new2"), "NumberOfBlocks").str());

  struct Case {
    const char* what;
    const char* name;
    Uint64 size;
    Uint16 type;
    const char* pool;
    Uint32 result;
  };
  const Case cases[] = {
      {"size 0", "bad1", 0, 2, "DG1", kInvalidParameter},
      {"no name", "", 1024, 2, "DG1", kInvalidParameter},
      {"thin in a device group", "bad2", 1024, 5, "DG1", kInvalidParameter},
      {"standard in a thin pool", "bad3", 1024, 2, "TPP1", kInvalidParameter},
      {"name taken", "src", 1024, 2, "DG1", kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.result, createVolume(c.name, c.size, c.type, c.pool, out));
  }
  EXPECT_FALSE(hasVolume("bad1") || hasVolume("bad2") || hasVolume("bad3"));
}

// The job is the array's own: read in its namespace, and a failed one leaves no volume behind.
TEST_F(EternusProfileTest, FailedCreationJobLeavesNoVolume) {
  smissim::FaultRule rule;
  rule.operation = "CreateOrModifyElementFromStoragePool";
  rule.action = smissim::FaultAction::JobFails;
  rule.jobFinalState = 10;
  rule.jobPolls = 1;
  server_->injectFault(rule);
  Array<CIMParamValue> out;
  ASSERT_EQ(kJobStarted, createVolume("doomed", 1024, 2, "DG1", out));
  CIMObjectPath job;
  outParam(out, "Job").get(job);
  EXPECT_EQ("FUJITSU_ConcreteJob", job.getClassName().getString().str());
  EXPECT_TRUE(hasVolume("doomed"));
  std::string state;
  for (int poll = 0; poll < 3; ++poll) state = propertyText(client_.getInstance(eternus(), job), "JobState").str();
  EXPECT_EQ("10", state);
  EXPECT_FALSE(hasVolume("doomed"));
}

}  // namespace
