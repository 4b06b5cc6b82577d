// The host's read-back of the inventory database: whole tables as rows. One row reader serves every
// table; a failed step fails the whole list (nothing partial is handed out), so a broken or busy
// database never reads as an empty table.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "InventoryDatabase.h"
#include "InventoryStatement.h"

namespace TQSO {

namespace {

void readColumn(const SqliteArrayReportDB::Statement& statement, int column, int& field) {
  field = static_cast<int>(statement.integer(column));
}
void readColumn(const SqliteArrayReportDB::Statement& statement, int column, int64_t& field) {
  field = statement.integer(column);
}
void readColumn(const SqliteArrayReportDB::Statement& statement, int column, std::string& field) {
  field = statement.text(column);
}

// Fills the fields from the statement's columns, in the order of the SELECT.
template <class... Fields>
void readColumns(const SqliteArrayReportDB::Statement& statement, Fields&... fields) {
  int column = 0;
  (readColumn(statement, column++, fields), ...);
}

}  // namespace

template <class Row, class ReadRow>
int SqliteArrayReportDB::readRows(Statement& statement, const char* what, ReadRow readRow, std::vector<Row>& rows) {
  rows.clear();
  int step;
  while ((step = statement.step()) == SQLITE_ROW) {
    Row row;
    readRow(row);
    rows.push_back(std::move(row));
  }
  if (step == SQLITE_DONE) return 0;
  rows.clear();
  return fail(what);
}

int SqliteArrayReportDB::arrays(std::vector<InventoryArrayRow>& rows) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_,
                      "SELECT client_id, array_id, name, login, enc_password, control_host, total_mb, free_mb, active, "
                      "refresh_mark FROM ARRAYS ORDER BY client_id");
  return readRows(
      statement, "read arrays",
      [&](InventoryArrayRow& r) {
        readColumns(statement, r.clientId, r.arrayId, r.name, r.login, r.encipheredPassword, r.controlHost, r.totalMB,
                    r.freeMB, r.active, r.refreshMark);
      },
      rows);
}

int SqliteArrayReportDB::pools(int clientId, std::vector<InventoryPoolRow>& rows) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_,
                      "SELECT pool_id, array_id, client_id, name, uuid, total_mb, used_mb, free_mb, op_status, state, "
                      "volume_count, active, refresh_mark FROM POOLS WHERE client_id = ?1 ORDER BY pool_id");
  statement.bind(1, clientId);
  return readRows(
      statement, "read pools",
      [&](InventoryPoolRow& r) {
        readColumns(statement, r.poolId, r.arrayId, r.clientId, r.name, r.uuid, r.totalMB, r.usedMB, r.freeMB,
                    r.operationalStatus, r.state, r.volumeCount, r.active, r.refreshMark);
      },
      rows);
}

int SqliteArrayReportDB::volumes(int clientId, std::vector<InventoryVolumeRow>& rows) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_,
                      "SELECT volume_id, client_id, pool_id, name, second_name, unique_id, size_mb, used_mb, free_mb, "
                      "state, active, refresh_mark FROM VOLUMES WHERE client_id = ?1 ORDER BY volume_id");
  statement.bind(1, clientId);
  return readRows(
      statement, "read volumes",
      [&](InventoryVolumeRow& r) {
        readColumns(statement, r.volumeId, r.clientId, r.poolId, r.name, r.secondName, r.uniqueId, r.sizeMB, r.usedMB,
                    r.freeMB, r.state, r.active, r.refreshMark);
      },
      rows);
}

int SqliteArrayReportDB::luns(int volumeId, std::vector<InventoryLunRow>& rows) {
  std::lock_guard<std::recursive_mutex> hold(mutex_);
  Statement statement(db_,
                      "SELECT lun_id, volume_id, name, volume_name, unique_id, size_bytes, used_bytes, free_bytes, "
                      "state, lun_number, active, refresh_mark FROM SMLUN WHERE volume_id = ?1 ORDER BY lun_id");
  statement.bind(1, volumeId);
  return readRows(
      statement, "read LUNs",
      [&](InventoryLunRow& r) {
        readColumns(statement, r.lunId, r.volumeId, r.name, r.volumeName, r.uniqueId, r.sizeBytes, r.usedBytes,
                    r.freeBytes, r.state, r.lunNumber, r.active, r.refreshMark);
      },
      rows);
}

}  // namespace TQSO
