// One prepared SQLite statement of the inventory database, finalised when it goes. A statement that did
// not prepare steps to SQLITE_ERROR, so its failure shows where it is run.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "InventoryDatabase.h"

namespace TQSO {

class SqliteArrayReportDB::Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) statement_ = nullptr;
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return statement_ != nullptr; }
  Statement& bind(int index, int64_t value) {
    if (statement_) sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Statement& bind(int index, const std::string& value) {
    if (statement_)
      sqlite3_bind_text(statement_, index, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int step() { return statement_ ? sqlite3_step(statement_) : SQLITE_ERROR; }
  int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string text(int column) const {
    const unsigned char* value = sqlite3_column_text(statement_, column);
    return value != nullptr ? reinterpret_cast<const char*>(value) : "";
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace TQSO
