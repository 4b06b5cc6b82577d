// The pools of the inventory call against a simulated 3PAR array and a real SQLite inventory database: each
// pool's state follows its OperationalStatus on every collection, and a pool gone from the array is marked
// deleted while the others and their volumes stay.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <map>
#include <string>

#include "InventoryDatabase.h"
#include "support/EngineProvisioningFixture.h"

using namespace engprov;

namespace {

// An online pool with volumes, a degraded one and a failed one, both empty.
constexpr const char* kPools = R"({
  "arrays": [
    {"serial": "0B0001",
     "cpgs": ["FC_r5", {"name": "NL_r6", "operationalStatus": [3]}, {"name": "Broken", "operationalStatus": [6]}],
     "volumes": [{"name": "vol1", "cpg": "FC_r5", "sizeBytes": 104857600}]}
  ]
})";

class InventoryPoolTest : public EngineProvisioningTest {
 protected:
  InventoryPoolTest() : EngineProvisioningTest(kPools) {}

  void SetUp() override {
    path_ = ::testing::TempDir() + "inventory-pools-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
    std::remove(path_.c_str());
    std::string error;
    db_ = TQSO::SqliteArrayReportDB::open(path_, error);
    ASSERT_NE(nullptr, db_) << error;
    client_ =
        db_->addArray("2ff70002ac0b0001", 1, server_.user(), TQPassword::encipher(server_.password()), server_.host());
  }

  void TearDown() override {
    db_.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path_ + suffix).c_str());
  }

  std::map<std::string, TQSO::InventoryPoolRow> Pools() {
    std::vector<TQSO::InventoryPoolRow> rows;
    EXPECT_EQ(0, db_->pools(client_, rows)) << db_->lastError();
    std::map<std::string, TQSO::InventoryPoolRow> pools;
    for (const TQSO::InventoryPoolRow& row : rows) pools[row.name] = row;
    return pools;
  }

  // Changes a pool on the array behind the engine's back.
  template <class Change>
  void OnPool(const std::string& name, Change change) {
    sim().withModel([&](smissim::Model& model) {
      const Pegasus::CIMInstance* pool = model.findCpg(*model.arrayBySerial("0B0001"), name);
      ASSERT_NE(nullptr, pool) << name;
      change(model, pool->getPath());
    });
  }

  void SetStatus(const std::string& name, Pegasus::Uint16 status) {
    OnPool(name, [&](smissim::Model& model, const Pegasus::CIMObjectPath& path) {
      Pegasus::CIMInstance* pool = model.store().findMutable(path);
      Pegasus::Array<Pegasus::Uint16> statuses;
      statuses.append(status);
      pool->getProperty(pool->findProperty("OperationalStatus")).setValue(Pegasus::CIMValue(statuses));
    });
  }

  std::string path_;
  std::unique_ptr<TQSO::SqliteArrayReportDB> db_;
  int client_ = 0;
};

// State 0 only for an OK pool (2), 1 for any other status; a pool is refreshed by every collection.
TEST_F(InventoryPoolTest, PoolStateFollowsTheOperationalStatus) {
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  auto pools = Pools();
  ASSERT_EQ(3u, pools.size());
  EXPECT_EQ(2, pools["FC_r5"].operationalStatus);
  EXPECT_EQ(6, pools["Broken"].operationalStatus) << "a new pool is added with the status number itself";
  EXPECT_EQ(0, pools["FC_r5"].state);
  EXPECT_EQ(1, pools["NL_r6"].state);
  EXPECT_EQ(1, pools["Broken"].state);

  SetStatus("FC_r5", 3);
  SetStatus("NL_r6", 2);
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  pools = Pools();
  EXPECT_EQ(1, pools["FC_r5"].state);
  EXPECT_EQ(0, pools["NL_r6"].state);
  EXPECT_EQ(1, pools["Broken"].state);
  for (const auto& pool : pools) EXPECT_EQ(1, pool.second.active) << pool.first;
}

TEST_F(InventoryPoolTest, AVanishedPoolIsMarkedDeletedAndTheOthersStay) {
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  const auto before = Pools();
  OnPool("Broken", [](smissim::Model& model, const Pegasus::CIMObjectPath& path) { model.store().remove(path); });
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));

  auto pools = Pools();
  ASSERT_EQ(3u, pools.size()) << "the record stays, marked";
  EXPECT_EQ(2, pools["Broken"].state);
  EXPECT_EQ(0, pools["Broken"].active);
  EXPECT_EQ(before.at("Broken").poolId, pools["Broken"].poolId);
  EXPECT_EQ(0, pools["FC_r5"].state);
  EXPECT_EQ(1, pools["FC_r5"].active);
  EXPECT_EQ(1, pools["NL_r6"].active);

  std::vector<TQSO::InventoryVolumeRow> volumes;
  ASSERT_EQ(0, db_->volumes(client_, volumes)) << db_->lastError();
  ASSERT_EQ(1u, volumes.size());
  EXPECT_EQ(1, volumes[0].active);
  EXPECT_EQ(pools["FC_r5"].poolId, volumes[0].poolId);
}

}  // namespace
