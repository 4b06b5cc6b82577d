// The inventory call against simulated 3PAR arrays and a real SQLite inventory database: pools, volumes
// and LUNs collected, refreshed and added; volumes deleted behind the engine's back marked deleted on the
// next collection; nothing marked deleted after a failed list (a provider failure or a refused login);
// arrays that cannot be read or reached; a database without arrays; a host that fills every detail text.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "InventoryDatabase.h"
#include "support/EngineProvisioningFixture.h"

using namespace engprov;

namespace {

class InventoryTest : public EngineProvisioningTest {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "inventory-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
    std::remove(path_.c_str());
    std::string error;
    db_ = TQSO::SqliteArrayReportDB::open(path_, error);
    ASSERT_NE(nullptr, db_) << error;
  }

  void TearDown() override {
    db_.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path_ + suffix).c_str());
  }

  // The simulated array as the database knows it (name in lower case, as a host may store it).
  int AddArray(const std::string& controlHost, const std::string& password) {
    return db_->addArray("2ff70002ac0b0001", 1, server_.user(), TQPassword::encipher(password), controlHost);
  }

  // The database's read-back lists; a failed read fails the test.
  std::vector<TQSO::InventoryArrayRow> Arrays() {
    std::vector<TQSO::InventoryArrayRow> rows;
    EXPECT_EQ(0, db_->arrays(rows)) << db_->lastError();
    return rows;
  }
  std::vector<TQSO::InventoryPoolRow> PoolRows(int clientId) {
    std::vector<TQSO::InventoryPoolRow> rows;
    EXPECT_EQ(0, db_->pools(clientId, rows)) << db_->lastError();
    return rows;
  }
  std::vector<TQSO::InventoryVolumeRow> VolumeRows(int clientId) {
    std::vector<TQSO::InventoryVolumeRow> rows;
    EXPECT_EQ(0, db_->volumes(clientId, rows)) << db_->lastError();
    return rows;
  }
  std::vector<TQSO::InventoryLunRow> Luns(int volumeId) {
    std::vector<TQSO::InventoryLunRow> rows;
    EXPECT_EQ(0, db_->luns(volumeId, rows)) << db_->lastError();
    return rows;
  }

  std::map<std::string, TQSO::InventoryVolumeRow> Volumes(int clientId) {
    std::map<std::string, TQSO::InventoryVolumeRow> rows;
    for (const TQSO::InventoryVolumeRow& row : VolumeRows(clientId)) rows[row.name] = row;
    return rows;
  }

  std::map<std::string, TQSO::InventoryPoolRow> Pools(int clientId) {
    std::map<std::string, TQSO::InventoryPoolRow> rows;
    for (const TQSO::InventoryPoolRow& row : PoolRows(clientId)) rows[row.name] = row;
    return rows;
  }

  std::string path_;
  std::unique_ptr<TQSO::SqliteArrayReportDB> db_;
};

TEST_F(InventoryTest, ADatabaseWithoutArraysIsDoneAtOnce) {
  EvDebugCapture log;
  EXPECT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  EXPECT_TRUE(log.contains("Done collecting array reporting data."));
  EXPECT_TRUE(Arrays().empty());
  EXPECT_TRUE(PoolRows(1).empty());
  EXPECT_TRUE(VolumeRows(1).empty());
  EXPECT_TRUE(sim().requestCounts().empty()) << "no array is asked";
}

TEST_F(InventoryTest, CollectsPoolsVolumesAndLunsAndMarksAVolumeDeletedBehindTheEnginesBack) {
  const int client = AddArray(server_.host(), server_.password());
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));

  auto pools = Pools(client);
  ASSERT_EQ(1u, pools.count("FC_r5"));
  EXPECT_EQ(102400, pools["FC_r5"].totalMB);
  EXPECT_EQ(10240, pools["FC_r5"].usedMB);
  EXPECT_EQ(92160, pools["FC_r5"].freeMB);
  EXPECT_EQ(2, pools["FC_r5"].volumeCount);
  EXPECT_EQ(1u, pools.count("Broken"));

  auto volumes = Volumes(client);
  ASSERT_EQ(2u, volumes.size());
  const TQSO::InventoryVolumeRow vol1 = volumes["vol1"];
  EXPECT_EQ(100, vol1.sizeMB);
  EXPECT_EQ(0, vol1.usedMB);
  EXPECT_EQ(100, vol1.freeMB);
  EXPECT_EQ(pools["FC_r5"].poolId, vol1.poolId);
  EXPECT_EQ(1, vol1.active);
  auto luns = Luns(vol1.volumeId);
  ASSERT_EQ(1u, luns.size());
  EXPECT_EQ(104857600, luns[0].sizeBytes);
  EXPECT_EQ(104857600, luns[0].freeBytes);
  EXPECT_EQ(vol1.uniqueId, luns[0].uniqueId);
  EXPECT_FALSE(vol1.uniqueId.empty());

  int64_t totalMB = 0;
  for (const TQSO::InventoryArrayRow& array : Arrays()) totalMB += array.totalMB;
  EXPECT_GE(totalMB, 102400);

  RemoveVolumeBehindTheEnginesBack("vol1");
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  volumes = Volumes(client);
  EXPECT_EQ(2, volumes["vol1"].state);
  EXPECT_EQ(0, volumes["vol1"].active);
  luns = Luns(vol1.volumeId);
  ASSERT_EQ(1u, luns.size());
  EXPECT_EQ(2, luns[0].state);
  EXPECT_EQ(0, luns[0].active);
  EXPECT_EQ(0, volumes["shared"].state);
  EXPECT_EQ(1, volumes["shared"].active);
  EXPECT_EQ(1u, Luns(volumes["shared"].volumeId).size()) << "a known volume gets no second LUN";
}

TEST_F(InventoryTest, AFailedListMarksNothingDeletedAndTheNextArrayIsStillCollected) {
  const int client = AddArray(server_.host(), server_.password());
  ASSERT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  const auto before = Arrays();

  RemoveVolumeBehindTheEnginesBack("vol1");
  // A provider failure ends the list; a refused login (401) makes it come back empty.
  const smissim::FaultRule failures[] = {CimErrorFault(1, "provider failure", kLasting),
                                         HttpStatusFault(401, kLasting)};
  for (const char* listed : {"CIM_StorageVolume", "TPD_DynamicStoragePool"})
    for (const smissim::FaultRule& failure : failures) {
      SCOPED_TRACE(std::string(listed) + " " + smissim::faultActionName(failure.action));
      smissim::FaultRule rule = On("EnumerateInstances", failure);
      rule.className = listed;
      sim().injectFault(rule);
      EXPECT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
      sim().clearFaults();
      auto volumes = Volumes(client);
      EXPECT_EQ(1, volumes["vol1"].active) << "still listed as present: the list was incomplete";
      EXPECT_NE(2, volumes["vol1"].state);
      for (const auto& pool : Pools(client)) EXPECT_EQ(1, pool.second.active) << pool.first;
      const auto after = Arrays();
      ASSERT_EQ(before.size(), after.size());
      EXPECT_EQ(before[0].totalMB, after[0].totalMB);
      EXPECT_EQ(before[0].freeMB, after[0].freeMB);
    }
}

// A database that fills every text getArrayDetails is handed, as a host may, and forwards the rest.
class DetailFillingDB : public TQSO::ArrayReportDB {
 public:
  explicit DetailFillingDB(TQSO::ArrayReportDB& inner) : inner_(inner) {}

  std::vector<int> textSizes;  // the sizes of the three texts the engine does not read, per call
  int missingTexts = 0;

  int getArrayDetails(const char* name, char* text1, int size1, char* text2, int size2, char* text3, int size3,
                      char* login, int loginSize, char* password, int passwordSize, char* host, int hostSize) override {
    const std::pair<char*, int> texts[] = {{text1, size1}, {text2, size2}, {text3, size3}};
    for (const auto& text : texts) {
      textSizes.push_back(text.second);
      if (text.first == nullptr || text.second <= 0) {
        ++missingTexts;
        continue;
      }
      std::memset(text.first, 'x', static_cast<size_t>(text.second) - 1);
      text.first[text.second - 1] = '\0';
    }
    return inner_.getArrayDetails(name, nullptr, 0, nullptr, 0, nullptr, 0, login, loginSize, password, passwordSize,
                                  host, hostSize);
  }
  int getArrayList(TQSO::ArrayRecord**& list, int& count) override { return inner_.getArrayList(list, count); }
  int getPoolRecords(TQSO::PoolRecord**& list, int& count, int clientId) override {
    return inner_.getPoolRecords(list, count, clientId);
  }
  int getVolumeRecords(TQSO::VolumeRecord**& list, int& count, int clientId) override {
    return inner_.getVolumeRecords(list, count, clientId);
  }
  int getLunRecords(TQSO::LunRecord**& list, int& count, int volumeId) override {
    return inner_.getLunRecords(list, count, volumeId);
  }
  int addVolume(int id, int clientId, const char* name, const char* secondName, int64_t sizeMB, int64_t usedMB,
                const char* uniqueId, int errorFlag, int poolId, const char* extra) override {
    return inner_.addVolume(id, clientId, name, secondName, sizeMB, usedMB, uniqueId, errorFlag, poolId, extra);
  }
  int addLun(int id, int volumeId, const char* name, const char* volumeName, int64_t sizeBytes, int64_t usedBytes,
             const char* uniqueId, int errorFlag, const char* extra) override {
    return inner_.addLun(id, volumeId, name, volumeName, sizeBytes, usedBytes, uniqueId, errorFlag, extra);
  }
  int findVolume(TQSO::VolumeRecord*& record, int& volumeId, const char* name, const char* secondName,
                 int clientId) override {
    return inner_.findVolume(record, volumeId, name, secondName, clientId);
  }
  int findLun(TQSO::LunRecord*& record, const char* name, const char* volumeName, int volumeId) override {
    return inner_.findLun(record, name, volumeName, volumeId);
  }
  int findPool(TQSO::PoolRecord*& record, int& poolId, const char* name, int* clientId) override {
    return inner_.findPool(record, poolId, name, clientId);
  }
  int addPool(int arrayId, int clientId, const char* name, int64_t totalMB, int64_t usedMB, const char* uuid,
              int operationalStatus, const char* extra, int& newPoolId, int volumeCount) override {
    return inner_.addPool(arrayId, clientId, name, totalMB, usedMB, uuid, operationalStatus, extra, newPoolId,
                          volumeCount);
  }

 private:
  TQSO::ArrayReportDB& inner_;
};

TEST_F(InventoryTest, AHostThatFillsEveryDetailTextIsGivenRoomForEach) {
  const int client = AddArray(server_.host(), server_.password());
  DetailFillingDB filling(*db_);
  ASSERT_EQ(0, tqso_getArrayInfo(&filling, &os_));
  EXPECT_EQ(0, filling.missingTexts);
  EXPECT_EQ((std::vector<int>{512, 512, 512}), filling.textSizes);
  EXPECT_EQ(1u, Pools(client).count("FC_r5")) << "what comes back in them is not read";
}

TEST_F(InventoryTest, AnArrayThatCannotBeReadIsSkippedAndAnUnreachableOneEndsTheCall) {
  db_->addArray("UNDECIPHERABLE", 2, "admin", "not enciphered", server_.host());
  const int readable = AddArray(server_.host(), server_.password());
  EXPECT_EQ(0, tqso_getArrayInfo(db_.get(), &os_));
  EXPECT_FALSE(PoolRows(readable).empty());

  std::string error;
  db_ = TQSO::SqliteArrayReportDB::open(path_ + "-2", error);
  ASSERT_NE(nullptr, db_) << error;
  const int unreachable = db_->addArray("UNREACHABLE", 3, "admin", TQPassword::encipher("pw"), kUnreachableHost);
  const int later = AddArray(server_.host(), server_.password());
  EXPECT_EQ(1, tqso_getArrayInfo(db_.get(), &os_));
  EXPECT_TRUE(PoolRows(unreachable).empty());
  EXPECT_TRUE(PoolRows(later).empty()) << "arrays after an unreachable one are not visited";
  db_.reset();
  for (const char* suffix : {"-2", "-2-wal", "-2-shm"}) std::remove((path_ + suffix).c_str());
}

}  // namespace
