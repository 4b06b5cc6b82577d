// Inventory lists of a 3PAR array: its base volumes, every pool of the provider with capacities in MiB and
// volume counts, and lists that fail part-way.
#include <gtest/gtest.h>

#include <map>

#include "support/ProvisioningFixture.h"

using namespace Pegasus;
using namespace provtest;

namespace {

class InventoryListTest : public ProvisioningTest {
 protected:
  std::map<std::string, HP3PAR::VolumeInfo_t> ByName(const std::vector<HP3PAR::VolumeInfo_t>& volumes) {
    std::map<std::string, HP3PAR::VolumeInfo_t> named;
    for (const HP3PAR::VolumeInfo_t& volume : volumes) named[volume.volumeName] = volume;
    return named;
  }

  std::map<std::string, HP3PAR::PoolInfo_t> ByName(const std::vector<HP3PAR::PoolInfo_t>& pools) {
    std::map<std::string, HP3PAR::PoolInfo_t> named;
    for (const HP3PAR::PoolInfo_t& pool : pools) named[pool.poolKey] = pool;
    return named;
  }
};

TEST_F(InventoryListTest, VolumeListHoldsTheBaseVolumesOfTheArrayOnly) {
  std::vector<HP3PAR::VolumeInfo_t> volumes;
  int count = 0;
  ASSERT_TRUE(util3par_.GetVolumeList(conn_, array1_, volumes, count));

  auto named = ByName(volumes);
  EXPECT_EQ(4, count);
  ASSERT_EQ(4u, named.size());  // not the second array's vol1, not the volume of another type
  EXPECT_EQ(0u, named.count("notbase"));

  const HP3PAR::VolumeInfo_t& vol1 = named["vol1"];
  EXPECT_EQ(1024u, vol1.sizeMB);
  EXPECT_EQ(0u, vol1.usedMB);
  EXPECT_EQ(2u, vol1.opStatus);
  EXPECT_EQ("vol1", vol1.elementName);
  EXPECT_EQ(WwnOf("0B0001", "vol1"), vol1.volumeId);
  EXPECT_EQ("FC_r5", vol1.poolName);
  EXPECT_EQ(0u, named["tiny"].sizeMB);  // half a MiB rounds down

  // The list appends: a second call doubles it.
  ASSERT_TRUE(util3par_.GetVolumeList(conn_, array1_, volumes, count));
  EXPECT_EQ(8, count);
  EXPECT_EQ(8u, volumes.size());
}

TEST_F(InventoryListTest, PoolListHoldsEveryPoolWithCapacitiesAndVolumeCounts) {
  std::vector<HP3PAR::VolumeInfo_t> volumes;
  std::vector<HP3PAR::PoolInfo_t> pools;
  int volumeCount = 0, poolCount = 0;
  ASSERT_TRUE(util3par_.GetVolumeList(conn_, array1_, volumes, volumeCount));
  ASSERT_TRUE(util3par_.GetPoolList(conn_, array1_, pools, volumes, poolCount));

  auto named = ByName(pools);
  EXPECT_EQ(5, poolCount);  // the second array's pool too: one provider serves one array
  ASSERT_EQ(5u, named.size());
  EXPECT_EQ(3, named["FC_r5"].volumeCount);  // vol1, vol10, shared; the skipped volume is not counted
  EXPECT_EQ(1, named["NL_r6"].volumeCount);
  EXPECT_EQ(0, named["Other"].volumeCount);
  EXPECT_EQ(3, named["NL_r6"].opStatus);
  EXPECT_EQ("NL_r6", named["NL_r6"].poolName);
  EXPECT_FALSE(named["NL_r6"].uuid.empty());

  // 1.5 MiB consumed plus 1.5 MiB of snapshot administration: each rounds down before the sum.
  const HP3PAR::PoolInfo_t& sums = named["Sums"];
  EXPECT_EQ(1u, sums.totalMB);
  EXPECT_EQ(2u, sums.usedMB);
  EXPECT_EQ(-1, sums.freeMB);
}

TEST_F(InventoryListTest, AnUnknownArrayListsNothing) {
  std::vector<HP3PAR::VolumeInfo_t> volumes;
  std::vector<HP3PAR::PoolInfo_t> pools;
  int count = 0;
  EXPECT_FALSE(util3par_.GetVolumeList(conn_, "2FF70002AC0FFFFF", volumes, count));
  EXPECT_FALSE(util3par_.GetPoolList(conn_, "2FF70002AC0FFFFF", pools, volumes, count));
  EXPECT_FALSE(util3par_.GetVolumeList(conn_, "", volumes, count));  // a blank name is in every name
  EXPECT_TRUE(volumes.empty());
  EXPECT_TRUE(pools.empty());
  EXPECT_EQ(0, count);
  EXPECT_EQ(2, CountMessages(record_, "SystemName <2FF70002AC0FFFFF> not found"));
}

// The volumes were listed; the pool enumeration then fails: the fault reaches the caller with its code,
// the volumes stay as listed and no pool is appended.
TEST_F(InventoryListTest, AFaultHalfWayReachesTheCallerAndKeepsWhatWasListed) {
  std::vector<HP3PAR::VolumeInfo_t> volumes;
  std::vector<HP3PAR::PoolInfo_t> pools;
  int volumeCount = 0, poolCount = 0;
  ASSERT_TRUE(util3par_.GetVolumeList(conn_, array1_, volumes, volumeCount));

  smissim::FaultRule fault = On("EnumerateInstances", CimErrorFault(Pegasus::CIM_ERR_FAILED, "pools gone", kLasting));
  fault.className = "TPD_DynamicStoragePool";
  server_->injectFault(fault);
  try {
    util3par_.GetPoolList(conn_, array1_, pools, volumes, poolCount);
    FAIL() << "the pool list swallowed the fault";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_FAILED, e.getCode());
  }
  EXPECT_EQ(4u, volumes.size());
  EXPECT_TRUE(pools.empty());
  EXPECT_EQ(0, poolCount);
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException"));

  // The same for the volume enumeration.
  fault.className = "CIM_StorageVolume";
  server_->injectFault(fault);
  EXPECT_THROW(util3par_.GetVolumeList(conn_, array1_, volumes, volumeCount), CIMException);
  EXPECT_EQ(4, volumeCount);
}

// A fully provisioned volume takes its space from its pool when created and when grown, and gives it all
// back when deleted.
TEST_F(InventoryListTest, PoolSpaceFollowsFullyProvisionedVolumes) {
  auto usedOfPool = [&]() {
    std::vector<HP3PAR::VolumeInfo_t> volumes;
    std::vector<HP3PAR::PoolInfo_t> pools;
    int count = 0;
    EXPECT_TRUE(util3par_.GetPoolList(conn_, array1_, pools, volumes, count));
    return ByName(pools)["FC_r5"].usedMB;
  };
  const uint64_t before = usedOfPool();
  std::string element;
  std::vector<std::string> request = {array1_, "fullvol", "FC_r5", "0", "1073741824"}, prepared;
  ASSERT_EQ(kSmisSuccess, util3par_.CreateStorageVolParams(conn_, request, prepared));
  ASSERT_EQ(kSmisSuccess, util3par_.CreateStorageVolume(conn_, prepared, element));
  EXPECT_EQ(before + 1024, usedOfPool());

  std::vector<std::string> resize = {array1_, "fullvol", "2147483648", "0"};
  ASSERT_EQ(kSmisSuccess, util3par_.ResizeStorageVolume(conn_, resize, element));
  EXPECT_EQ(before + 2048, usedOfPool());

  std::vector<std::string> remove = {array1_, "fullvol"};
  ASSERT_EQ(kSmisSuccess, util3par_.DeleteStorageVolume(conn_, remove, element));
  EXPECT_EQ(before, usedOfPool());
}

}  // namespace
