#include <sqlite3.h>

#include <algorithm>

#include "InventoryDatabase.h"
#include "InventoryRecords.h"
#include "InventoryStatement.h"
#include "TqHostBuffer.h"

namespace TQSO {

namespace {

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS ARRAYS ("
    " client_id INTEGER PRIMARY KEY AUTOINCREMENT, array_id INTEGER NOT NULL, name TEXT NOT NULL,"
    " text1 TEXT NOT NULL DEFAULT '', text2 TEXT NOT NULL DEFAULT '', text3 TEXT NOT NULL DEFAULT '',"
    " login TEXT NOT NULL DEFAULT '', enc_password TEXT NOT NULL DEFAULT '', control_host TEXT NOT NULL DEFAULT '',"
    " total_mb INTEGER NOT NULL DEFAULT 0, free_mb INTEGER NOT NULL DEFAULT 0,"
    " active INTEGER NOT NULL DEFAULT 1, refresh_mark INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS POOLS ("
    " pool_id INTEGER PRIMARY KEY AUTOINCREMENT, array_id INTEGER NOT NULL, client_id INTEGER NOT NULL,"
    " name TEXT NOT NULL, total_mb INTEGER NOT NULL DEFAULT 0, used_mb INTEGER NOT NULL DEFAULT 0,"
    " free_mb INTEGER NOT NULL DEFAULT 0, uuid TEXT NOT NULL DEFAULT '', op_status INTEGER NOT NULL DEFAULT 0,"
    " state INTEGER NOT NULL DEFAULT 0, volume_count INTEGER NOT NULL DEFAULT 0,"
    " active INTEGER NOT NULL DEFAULT 1, refresh_mark INTEGER NOT NULL DEFAULT 0, extra TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS VOLUMES ("
    " volume_id INTEGER PRIMARY KEY AUTOINCREMENT, client_id INTEGER NOT NULL, name TEXT NOT NULL,"
    " second_name TEXT NOT NULL DEFAULT '', size_mb INTEGER NOT NULL DEFAULT 0, used_mb INTEGER NOT NULL DEFAULT 0,"
    " free_mb INTEGER NOT NULL DEFAULT 0, unique_id TEXT NOT NULL DEFAULT '', state INTEGER NOT NULL DEFAULT 0,"
    " pool_id INTEGER NOT NULL DEFAULT 0, active INTEGER NOT NULL DEFAULT 1,"
    " refresh_mark INTEGER NOT NULL DEFAULT 0, extra TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS SMLUN ("
    " lun_id INTEGER PRIMARY KEY AUTOINCREMENT, volume_id INTEGER NOT NULL, name TEXT NOT NULL,"
    " volume_name TEXT NOT NULL DEFAULT '', size_bytes INTEGER NOT NULL DEFAULT 0,"
    " used_bytes INTEGER NOT NULL DEFAULT 0, free_bytes INTEGER NOT NULL DEFAULT 0,"
    " unique_id TEXT NOT NULL DEFAULT '', state INTEGER NOT NULL DEFAULT 0, lun_number INTEGER NOT NULL DEFAULT -1,"
    " active INTEGER NOT NULL DEFAULT 1, refresh_mark INTEGER NOT NULL DEFAULT 0, extra TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX IF NOT EXISTS POOLS_BY_CLIENT ON POOLS(client_id, name);"
    "CREATE INDEX IF NOT EXISTS VOLUMES_BY_CLIENT ON VOLUMES(client_id, name);"
    "CREATE INDEX IF NOT EXISTS SMLUN_BY_VOLUME ON SMLUN(volume_id, name);";

std::string textOf(const char* text) { return text != nullptr ? text : ""; }

// Copies a whole text with its NUL into a buffer of `size` bytes; a null buffer is skipped.
bool copyOut(const std::string& text, char* buffer, int size) {
  const size_t capacity = size > 0 ? static_cast<size_t>(size) : 0;
  return buffer == nullptr || tqhost::copyToBuffer(text, buffer, capacity) == tqhost::BufferFill::Copied;
}

}  // namespace

std::unique_ptr<SqliteArrayReportDB> SqliteArrayReportDB::open(const std::string& path, std::string& error,
                                                               int busyTimeoutMillis) {
  sqlite3* db = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (opened != SQLITE_OK) {
    error = "cannot open inventory database '" + path + "': " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(opened));
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, busyTimeoutMillis > 0 ? busyTimeoutMillis : 0);
  std::unique_ptr<SqliteArrayReportDB> database(new SqliteArrayReportDB(db, path));
  // A write-ahead log with normal syncing: each write stays atomic and a crash loses at most the last
  // commits, never consistency; single writes no longer wait for a disk flush each.
  if (database->execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL") != 0) {
    error = "cannot prepare inventory database '" + path + "': " + database->lastError();
    return nullptr;
  }
  if (database->execute("BEGIN IMMEDIATE") != 0 || database->execute(kSchema) != 0 ||
      database->execute("COMMIT") != 0) {
    error = "cannot prepare inventory database '" + path + "': " + database->lastError();
    return nullptr;
  }
  return database;
}

SqliteArrayReportDB::SqliteArrayReportDB(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

SqliteArrayReportDB::~SqliteArrayReportDB() {
  if (sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db_);
}

int SqliteArrayReportDB::fail(const std::string& what) {
  lastError_ = what + ": " + sqlite3_errmsg(db_);
  return kDatabaseError;
}

int SqliteArrayReportDB::execute(const char* sql) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    lastError_ = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return kDatabaseError;
  }
  return 0;
}

int SqliteArrayReportDB::begin() { return execute("BEGIN IMMEDIATE"); }
int SqliteArrayReportDB::commit() { return execute("COMMIT"); }
int SqliteArrayReportDB::rollback() { return execute("ROLLBACK"); }

std::string SqliteArrayReportDB::lastError() const {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  return lastError_;
}

template <class Record>
Record* SqliteArrayReportDB::keep(std::unique_ptr<Record> record) {
  std::shared_ptr<Record> shared(std::move(record));
  owned_.push_back(shared);
  return shared.get();
}

template <class Value>
int SqliteArrayReportDB::updateColumnTo(const char* table, const char* idColumn, int id, const char* column,
                                        const Value& value) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  const std::string sql = std::string("UPDATE ") + table + " SET " + column + " = ?1 WHERE " + idColumn + " = ?2";
  Statement statement(db_, sql.c_str());
  if (!statement.ok() || statement.bind(1, value).bind(2, id).step() != SQLITE_DONE)
    return fail(std::string("update of ") + table + "." + column);
  return sqlite3_changes(db_) > 0 ? 0 : kNotFound;
}

int SqliteArrayReportDB::updateColumn(const char* table, const char* idColumn, int id, const char* column,
                                      int64_t value) {
  return updateColumnTo(table, idColumn, id, column, value);
}

int SqliteArrayReportDB::updateColumn(const char* table, const char* idColumn, int id, const char* column,
                                      const char* value) {
  return updateColumnTo(table, idColumn, id, column, textOf(value));
}

template <class Record, class MakeRecord>
int SqliteArrayReportDB::handOut(Statement& statement, MakeRecord makeRecord, const char* what,
                                 std::deque<std::vector<Record*>>& lists, Record**& list, int& count) {
  std::vector<Record*> records;
  int step;
  while ((step = statement.step()) == SQLITE_ROW) records.push_back(keep(makeRecord()));
  if (step != SQLITE_DONE) return fail(what);
  lists.push_back(std::move(records));
  list = lists.back().data();
  count = static_cast<int>(lists.back().size());
  return 0;
}

int SqliteArrayReportDB::addArray(const std::string& name, int arrayId, const std::string& login,
                                  const std::string& encipheredPassword, const std::string& controlHost) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_,
                      "INSERT INTO ARRAYS(array_id, name, login, enc_password, control_host) VALUES(?1,?2,?3,?4,?5)");
  if (!statement.ok() ||
      statement.bind(1, arrayId).bind(2, name).bind(3, login).bind(4, encipheredPassword).bind(5, controlHost).step() !=
          SQLITE_DONE) {
    fail("add array");
    return -1;
  }
  return static_cast<int>(sqlite3_last_insert_rowid(db_));
}

int SqliteArrayReportDB::getArrayList(ArrayRecord**& list, int& count) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_, "SELECT client_id, array_id, name FROM ARRAYS ORDER BY client_id");
  const auto record = [&] {
    return std::make_unique<SqliteArrayRecord>(this, int(statement.integer(0)), int(statement.integer(1)),
                                               statement.text(2));
  };
  return handOut(statement, record, "array list", arrayLists_, list, count);
}

int SqliteArrayReportDB::getPoolRecords(PoolRecord**& list, int& count, int clientId) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_, "SELECT pool_id, name FROM POOLS WHERE client_id = ?1 ORDER BY pool_id");
  statement.bind(1, clientId);
  const auto record = [&] {
    return std::make_unique<SqlitePoolRecord>(this, int(statement.integer(0)), statement.text(1));
  };
  return handOut(statement, record, "pool records", poolLists_, list, count);
}

int SqliteArrayReportDB::getVolumeRecords(VolumeRecord**& list, int& count, int clientId) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_, "SELECT volume_id, name, second_name FROM VOLUMES WHERE client_id = ?1 ORDER BY volume_id");
  statement.bind(1, clientId);
  const auto record = [&] {
    return std::make_unique<SqliteVolumeRecord>(this, int(statement.integer(0)), statement.text(1), statement.text(2));
  };
  return handOut(statement, record, "volume records", volumeLists_, list, count);
}

int SqliteArrayReportDB::getLunRecords(LunRecord**& list, int& count, int volumeId) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_, "SELECT lun_id FROM SMLUN WHERE volume_id = ?1 ORDER BY lun_id");
  statement.bind(1, volumeId);
  const auto record = [&] { return std::make_unique<SqliteLunRecord>(this, int(statement.integer(0))); };
  return handOut(statement, record, "LUN records", lunLists_, list, count);
}

int SqliteArrayReportDB::getArrayDetails(const char* arrayName, char* text1, int size1, char* text2, int size2,
                                         char* text3, int size3, char* login, int loginSize, char* encipheredPassword,
                                         int passwordSize, char* controlHost, int controlHostSize) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  if (arrayName == nullptr) return kNotFound;
  Statement statement(db_,
                      "SELECT text1, text2, text3, login, enc_password, control_host FROM ARRAYS WHERE name = ?1 "
                      "ORDER BY client_id LIMIT 1");
  statement.bind(1, std::string(arrayName));
  const int step = statement.step();
  if (step == SQLITE_DONE) return kNotFound;
  if (step != SQLITE_ROW) return fail("array details");
  const struct {
    char* buffer;
    int size;
  } columns[] = {{text1, size1},
                 {text2, size2},
                 {text3, size3},
                 {login, loginSize},
                 {encipheredPassword, passwordSize},
                 {controlHost, controlHostSize}};
  bool fitted = true;  // every column is copied, whichever do not fit
  for (int column = 0; column < 6; ++column)
    fitted = copyOut(statement.text(column), columns[column].buffer, columns[column].size) && fitted;
  return fitted ? 0 : kBufferTooSmall;
}

int SqliteArrayReportDB::addPool(int arrayId, int clientId, const char* name, int64_t totalMB, int64_t usedMB,
                                 const char* uuid, int operationalStatus, const char* extra, int& newPoolId,
                                 int volumeCount) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  if (name == nullptr) return kNotFound;
  Statement statement(db_,
                      "INSERT INTO POOLS(array_id, client_id, name, total_mb, used_mb, free_mb, uuid, op_status, "
                      "state, volume_count, extra) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11)");
  statement.bind(1, arrayId).bind(2, clientId).bind(3, std::string(name)).bind(4, totalMB).bind(5, usedMB);
  statement.bind(6, std::max<int64_t>(totalMB - usedMB, 0)).bind(7, textOf(uuid)).bind(8, operationalStatus);
  statement.bind(9, operationalStatus == 2 ? 0 : 1).bind(10, volumeCount).bind(11, textOf(extra));
  if (statement.step() != SQLITE_DONE) return fail("add pool");
  newPoolId = static_cast<int>(sqlite3_last_insert_rowid(db_));
  return 0;
}

int SqliteArrayReportDB::addVolume(int temporaryVolumeId, int clientId, const char* name, const char* secondName,
                                   int64_t sizeMB, int64_t usedMB, const char* uniqueId, int errorFlag, int poolId,
                                   const char* extra) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  volumeIdByTemporaryId_.erase(temporaryVolumeId);
  if (name == nullptr) return kNotFound;
  Statement statement(db_,
                      "INSERT INTO VOLUMES(client_id, name, second_name, size_mb, used_mb, free_mb, unique_id, "
                      "state, pool_id, extra) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)");
  statement.bind(1, clientId).bind(2, std::string(name)).bind(3, textOf(secondName)).bind(4, sizeMB);
  statement.bind(5, usedMB).bind(6, std::max<int64_t>(sizeMB - usedMB, 0)).bind(7, textOf(uniqueId));
  statement.bind(8, errorFlag != 0 ? 1 : 0).bind(9, poolId).bind(10, textOf(extra));
  if (statement.step() != SQLITE_DONE) return fail("add volume");
  volumeIdByTemporaryId_[temporaryVolumeId] = static_cast<int>(sqlite3_last_insert_rowid(db_));
  return 0;
}

int SqliteArrayReportDB::addLun(int, int temporaryVolumeId, const char* name, const char* volumeName, int64_t sizeBytes,
                                int64_t usedBytes, const char* uniqueId, int errorFlag, const char* extra) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  const auto volume = volumeIdByTemporaryId_.find(temporaryVolumeId);
  if (volume == volumeIdByTemporaryId_.end() || name == nullptr) {
    lastError_ = "add LUN: no volume was added with temporary id " + std::to_string(temporaryVolumeId);
    return kNotFound;
  }
  Statement statement(db_,
                      "INSERT INTO SMLUN(volume_id, name, volume_name, size_bytes, used_bytes, free_bytes, unique_id, "
                      "state, extra) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9)");
  statement.bind(1, volume->second).bind(2, std::string(name)).bind(3, textOf(volumeName)).bind(4, sizeBytes);
  statement.bind(5, usedBytes).bind(6, sizeBytes - usedBytes).bind(7, textOf(uniqueId));
  statement.bind(8, errorFlag != 0 ? 1 : 0).bind(9, textOf(extra));
  if (statement.step() != SQLITE_DONE) return fail("add LUN");
  return 0;
}

int SqliteArrayReportDB::findPool(PoolRecord*& record, int& poolId, const char* name, int* clientId) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  if (name == nullptr || clientId == nullptr) return kNotFound;
  Statement statement(db_,
                      "SELECT pool_id, name FROM POOLS WHERE client_id = ?1 AND name = ?2 ORDER BY pool_id LIMIT 1");
  statement.bind(1, *clientId).bind(2, std::string(name));
  const int step = statement.step();
  if (step == SQLITE_DONE) return kNotFound;
  if (step != SQLITE_ROW) return fail("find pool");
  poolId = static_cast<int>(statement.integer(0));
  record = keep(std::make_unique<SqlitePoolRecord>(this, poolId, statement.text(1)));
  return 0;
}

int SqliteArrayReportDB::findVolume(VolumeRecord*& record, int& volumeId, const char* name, const char*, int clientId) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  if (name == nullptr) return kNotFound;
  Statement statement(db_,
                      "SELECT volume_id, name, second_name FROM VOLUMES WHERE client_id = ?1 AND name = ?2 "
                      "ORDER BY volume_id LIMIT 1");
  statement.bind(1, clientId).bind(2, std::string(name));
  const int step = statement.step();
  if (step == SQLITE_DONE) return kNotFound;
  if (step != SQLITE_ROW) return fail("find volume");
  volumeId = static_cast<int>(statement.integer(0));
  record = keep(std::make_unique<SqliteVolumeRecord>(this, volumeId, statement.text(1), statement.text(2)));
  return 0;
}

int SqliteArrayReportDB::findLun(LunRecord*& record, const char* name, const char*, int volumeId) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  if (name == nullptr) return kNotFound;
  Statement statement(db_, "SELECT lun_id FROM SMLUN WHERE volume_id = ?1 AND name = ?2 ORDER BY lun_id LIMIT 1");
  statement.bind(1, volumeId).bind(2, std::string(name));
  const int step = statement.step();
  if (step == SQLITE_DONE) return kNotFound;
  if (step != SQLITE_ROW) return fail("find LUN");
  record = keep(std::make_unique<SqliteLunRecord>(this, int(statement.integer(0))));
  return 0;
}

}  // namespace TQSO
