// The SQLite inventory database: what an inventory pass writes, survival across a reopen, temporary ids,
// transactions, and files that cannot be used.
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostTree.h"
#include "InventoryDatabase.h"

namespace {

using TQSO::SqliteArrayReportDB;

class InventoryDatabase : public testing::Test {
 protected:
  std::unique_ptr<SqliteArrayReportDB> open(int busyMillis = 2000) {
    std::string error;
    auto db = SqliteArrayReportDB::open(file, error, busyMillis);
    EXPECT_TRUE(db) << error;
    return db;
  }

  // One array's first inventory pass: a pool with two new volumes and their LUNs.
  void firstPass(SqliteArrayReportDB& db, int clientId) {
    TQSO::PoolRecord* pool = nullptr;
    int poolId = 0;
    ASSERT_NE(0, db.findPool(pool, poolId, "FC_r5", &clientId));
    ASSERT_EQ(0, db.addPool(7, clientId, "FC_r5", 1000, 250, "uuid-1", 2, "", poolId, 2));
    ASSERT_EQ(0, db.addVolume(-1, clientId, "vol1", "vol1", 100, 0, "WWN1", 0, poolId, ""));
    ASSERT_EQ(0, db.addLun(-1, -1, "vol1", "vol1", 100LL << 20, 0, "WWN1", 0, ""));
    ASSERT_EQ(0, db.addVolume(-2, clientId, "vol2", "vol2", 50, 10, "WWN2", 1, poolId, ""));
    ASSERT_EQ(0, db.addLun(-2, -2, "vol2", "vol2", 50LL << 20, 10LL << 20, "WWN2", 1, ""));
  }

  // The read-back lists; each must succeed.
  template <class Row>
  using Reader = int (SqliteArrayReportDB::*)(int, std::vector<Row>&);
  template <class Row>
  static std::vector<Row> rowsOf(SqliteArrayReportDB& db, Reader<Row> read, int id) {
    std::vector<Row> rows;
    EXPECT_EQ(0, (db.*read)(id, rows)) << db.lastError();
    return rows;
  }
  static std::vector<TQSO::InventoryArrayRow> readArrays(SqliteArrayReportDB& db) {
    std::vector<TQSO::InventoryArrayRow> rows;
    EXPECT_EQ(0, db.arrays(rows)) << db.lastError();
    return rows;
  }
  static std::vector<TQSO::InventoryPoolRow> readPools(SqliteArrayReportDB& db, int clientId) {
    return rowsOf(db, &SqliteArrayReportDB::pools, clientId);
  }
  static std::vector<TQSO::InventoryVolumeRow> readVolumes(SqliteArrayReportDB& db, int clientId) {
    return rowsOf(db, &SqliteArrayReportDB::volumes, clientId);
  }
  static std::vector<TQSO::InventoryLunRow> readLuns(SqliteArrayReportDB& db, int volumeId) {
    return rowsOf(db, &SqliteArrayReportDB::luns, volumeId);
  }

  FakeHostTree scratch;
  const std::string file = scratch.path("/inventory.db");
};

TEST_F(InventoryDatabase, RecordsOfAPassSurviveAReopen) {
  int clientId = 0;
  {
    auto db = open();
    clientId = db->addArray("s1234", 7, "admin", "TQPW1:00", "array-ctl");
    ASSERT_GT(clientId, 0);
    firstPass(*db, clientId);
    TQSO::ArrayRecord** arrays = nullptr;
    int count = 0;
    ASSERT_EQ(0, db->getArrayList(arrays, count));
    ASSERT_EQ(1, count);
    EXPECT_EQ(0, arrays[0]->setTotalMB(1000));
    EXPECT_EQ(0, arrays[0]->setFreeMB(750));
  }
  auto db = open();
  const auto arrays = readArrays(*db);
  ASSERT_EQ(1u, arrays.size());
  EXPECT_EQ("s1234", arrays[0].name);
  EXPECT_EQ(1000, arrays[0].totalMB);
  EXPECT_EQ(750, arrays[0].freeMB);

  const auto pools = readPools(*db, clientId);
  ASSERT_EQ(1u, pools.size());
  EXPECT_EQ(7, pools[0].arrayId);
  EXPECT_EQ(2, pools[0].operationalStatus);
  EXPECT_EQ(750, pools[0].freeMB);

  const auto volumes = readVolumes(*db, clientId);
  ASSERT_EQ(2u, volumes.size());
  EXPECT_EQ("vol1", volumes[0].name);
  EXPECT_EQ(pools[0].poolId, volumes[0].poolId);
  EXPECT_EQ(40, volumes[1].freeMB);
  EXPECT_EQ(1, volumes[1].state) << "error flag";

  const auto luns = readLuns(*db, volumes[1].volumeId);
  ASSERT_EQ(1u, luns.size()) << "the LUN belongs to the volume added with its temporary id";
  EXPECT_EQ(50LL << 20, luns[0].sizeBytes);
  EXPECT_EQ(40LL << 20, luns[0].freeBytes);
  EXPECT_EQ(1u, readLuns(*db, volumes[0].volumeId).size());
}

TEST_F(InventoryDatabase, RefreshAndDeleteMarksGoThroughTheRecords) {
  auto db = open();
  const int clientId = db->addArray("s1234", 7, "admin", "x", "ctl");
  firstPass(*db, clientId);

  TQSO::VolumeRecord* volume = nullptr;
  int volumeId = 0;
  ASSERT_EQ(0, db->findVolume(volume, volumeId, "vol2", "vol2", clientId));
  EXPECT_NE(0, db->findVolume(volume, volumeId, "vol2", "vol2", clientId + 1)) << "another array's volume";
  EXPECT_NE(0, db->findVolume(volume, volumeId, "vol", "vol", clientId)) << "names match whole";
  ASSERT_EQ(0, db->findVolume(volume, volumeId, "vol2", "vol2", clientId));
  EXPECT_EQ(0, volume->setSizeMB(80));
  EXPECT_EQ(0, volume->setState(0));

  TQSO::VolumeRecord** records = nullptr;
  int count = 0;
  ASSERT_EQ(0, db->getVolumeRecords(records, count, clientId));
  ASSERT_EQ(2, count);
  char name[8];
  int id = 0;
  ASSERT_EQ(0, records[0]->getDetails(name, sizeof(name), nullptr, 0, &id));
  EXPECT_STREQ("vol1", name);
  char tiny[4];
  EXPECT_NE(0, records[0]->getDetails(tiny, sizeof(tiny), nullptr, 0, &id)) << "a name is never cut";
  EXPECT_STREQ("", tiny);
  EXPECT_EQ(0, records[0]->setState(2));
  EXPECT_EQ(0, records[0]->setActive(0));
  TQSO::LunRecord** luns = nullptr;
  ASSERT_EQ(0, db->getLunRecords(luns, count, id));
  ASSERT_EQ(1, count);
  EXPECT_EQ(0, luns[0]->setState(2));
  EXPECT_EQ(0, luns[0]->setLunNumber(-1));

  db.reset();
  db = open();
  const auto volumes = readVolumes(*db, clientId);
  EXPECT_EQ(2, volumes[0].state);
  EXPECT_EQ(0, volumes[0].active);
  EXPECT_EQ(80, volumes[1].sizeMB);
  EXPECT_EQ(0, volumes[1].state);
  EXPECT_EQ(2, readLuns(*db, volumes[0].volumeId)[0].state);
}

TEST_F(InventoryDatabase, TemporaryIdsNameOnlyTheVolumeJustAdded) {
  auto db = open();
  const int first = db->addArray("a1", 1, "u", "p", "h1");
  const int second = db->addArray("a2", 2, "u", "p", "h2");
  ASSERT_EQ(0, db->addVolume(-1, first, "first-vol", "first-vol", 10, 0, "W1", 0, 0, ""));
  // The next array counts from -1 again: its LUN must land on its own volume.
  ASSERT_EQ(0, db->addVolume(-1, second, "second-vol", "second-vol", 10, 0, "W2", 0, 0, ""));
  ASSERT_EQ(0, db->addLun(-1, -1, "second-vol", "second-vol", 10 << 20, 0, "W2", 0, ""));
  EXPECT_TRUE(readLuns(*db, readVolumes(*db, first)[0].volumeId).empty());
  EXPECT_EQ(1u, readLuns(*db, readVolumes(*db, second)[0].volumeId).size());

  // A failed addVolume uses up its id; a LUN named by it finds no volume rather than an old one.
  EXPECT_NE(0, db->addVolume(-1, second, nullptr, nullptr, 10, 0, "W3", 0, 0, ""));
  EXPECT_NE(0, db->addLun(-1, -1, "x", "x", 1, 0, "W3", 0, ""));
  EXPECT_NE(std::string::npos, db->lastError().find("temporary id -1"));
}

TEST_F(InventoryDatabase, ARolledBackOrUnfinishedPassLeavesNothing) {
  int clientId = 0;
  {
    auto db = open();
    clientId = db->addArray("s1234", 7, "admin", "x", "ctl");
    ASSERT_EQ(0, db->begin());
    firstPass(*db, clientId);
    ASSERT_EQ(0, db->rollback());
    EXPECT_TRUE(readPools(*db, clientId).empty());

    ASSERT_EQ(0, db->begin());
    firstPass(*db, clientId);
    // closed without commit, as when the agent stops half way
  }
  auto db = open();
  EXPECT_TRUE(readPools(*db, clientId).empty());
  EXPECT_TRUE(readVolumes(*db, clientId).empty());
  ASSERT_EQ(0, db->begin());
  firstPass(*db, clientId);
  ASSERT_EQ(0, db->commit());
  db.reset();
  EXPECT_EQ(2u, readVolumes(*open(), clientId).size());
}

TEST_F(InventoryDatabase, ArrayDetailsAreWholeOrRefused) {
  auto db = open();
  const std::string password = "TQPW1:" + std::string(300, 'A');
  db->addArray("s1234", 7, "domain\\admin", password, "array-ctl.example");
  char t1[512], t2[512], t3[512], login[256], enciphered[256], host[512];
  EXPECT_EQ(SqliteArrayReportDB::kBufferTooSmall,
            db->getArrayDetails("s1234", t1, 512, t2, 512, t3, 512, login, 256, enciphered, 256, host, 512));
  EXPECT_STREQ("", enciphered);
  char bigger[400];
  ASSERT_EQ(0, db->getArrayDetails("s1234", t1, 512, t2, 512, t3, 512, login, 256, bigger, 400, host, 512));
  EXPECT_EQ(password, bigger);
  EXPECT_STREQ("domain\\admin", login);
  EXPECT_STREQ("array-ctl.example", host);
  EXPECT_EQ(SqliteArrayReportDB::kNotFound,
            db->getArrayDetails("S1234", t1, 512, t2, 512, t3, 512, login, 256, bigger, 400, host, 512))
      << "names are matched as stored";
}

TEST_F(InventoryDatabase, LockedOrUnusableFilesFailClearly) {
  std::string error;
  EXPECT_EQ(nullptr, SqliteArrayReportDB::open(scratch.path("/missing-dir/inventory.db"), error));
  EXPECT_NE(std::string::npos, error.find("cannot open"));

  scratch.write("/not-a-database.db", std::string(4096, 'g'));
  EXPECT_EQ(nullptr, SqliteArrayReportDB::open(scratch.path("/not-a-database.db"), error));

  auto db = open(20);
  const int clientId = db->addArray("s1234", 7, "admin", "x", "ctl");
  sqlite3* other = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(file.c_str(), &other));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
  int poolId = 0;
  EXPECT_EQ(SqliteArrayReportDB::kDatabaseError, db->addPool(7, clientId, "p", 1, 0, "u", 2, "", poolId, 0));
  EXPECT_NE(std::string::npos, db->lastError().find("locked"));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(0, db->addPool(7, clientId, "p", 1, 0, "u", 2, "", poolId, 0)) << "works again once released";
}

// A table that cannot be read fails its list instead of reading as empty.
TEST_F(InventoryDatabase, ABrokenTableFailsItsListInsteadOfReadingEmpty) {
  auto db = open();
  const int clientId = db->addArray("s1234", 7, "admin", "x", "ctl");
  firstPass(*db, clientId);
  const int volumeId = readVolumes(*db, clientId)[0].volumeId;
  sqlite3* other = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(file.c_str(), &other));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "DROP TABLE SMLUN; DROP TABLE VOLUMES; DROP TABLE POOLS; DROP TABLE ARRAYS",
                                    nullptr, nullptr, nullptr));
  sqlite3_close(other);

  std::vector<TQSO::InventoryArrayRow> arrayRows(1);
  std::vector<TQSO::InventoryPoolRow> poolRows(1);
  std::vector<TQSO::InventoryVolumeRow> volumeRows(1);
  std::vector<TQSO::InventoryLunRow> lunRows(1);
  const struct {
    const char* list;
    int result;
    size_t rowsLeft;
  } cases[] = {
      {"arrays", db->arrays(arrayRows), arrayRows.size()},
      {"pools", db->pools(clientId, poolRows), poolRows.size()},
      {"volumes", db->volumes(clientId, volumeRows), volumeRows.size()},
      {"luns", db->luns(volumeId, lunRows), lunRows.size()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SqliteArrayReportDB::kDatabaseError, c.result) << c.list;
    EXPECT_EQ(0u, c.rowsLeft) << c.list << ": no stale or partial rows";
  }
  EXPECT_NE(std::string::npos, db->lastError().find("no such table")) << db->lastError();
}

}  // namespace
