// The records the SQLite inventory database hands out: each is one row, read when handed out and
// written through at once by every setter.
#pragma once

#include <string>

#include "InventoryDatabase.h"
#include "TqHostBuffer.h"

namespace TQSO {

namespace inventory {

// Copies a whole text with its NUL; 0, or 3 when the buffer is missing or too small (it then holds "").
inline int copyName(const std::string& text, char* buffer, int size) {
  const size_t capacity = size > 0 ? static_cast<size_t>(size) : 0;
  return tqhost::copyToBuffer(text, buffer, capacity) == tqhost::BufferFill::Copied
             ? 0
             : SqliteArrayReportDB::kBufferTooSmall;
}

}  // namespace inventory

class SqliteArrayRecord : public ArrayRecord {
 public:
  SqliteArrayRecord(SqliteArrayReportDB* db, int clientId, int arrayId, std::string name)
      : db_(db), clientId_(clientId), arrayId_(arrayId), name_(std::move(name)) {}
  int getClientId() override { return clientId_; }
  int getName(char* buffer, int size, int* arrayId) override {
    if (arrayId != nullptr) *arrayId = arrayId_;
    return inventory::copyName(name_, buffer, size);
  }
  int setActive(int active) override { return set("active", active); }
  int setRefreshMark(int mark) override { return set("refresh_mark", mark); }
  int setTotalMB(int64_t totalMB) override { return set("total_mb", totalMB); }
  int setFreeMB(int64_t freeMB) override { return set("free_mb", freeMB); }

 private:
  int set(const char* column, int64_t value) {
    return db_->updateColumn("ARRAYS", "client_id", clientId_, column, value);
  }
  SqliteArrayReportDB* db_;
  int clientId_;
  int arrayId_;
  std::string name_;
};

class SqlitePoolRecord : public PoolRecord {
 public:
  SqlitePoolRecord(SqliteArrayReportDB* db, int poolId, std::string name)
      : db_(db), poolId_(poolId), name_(std::move(name)) {}
  int getName(char* buffer, int size, int* poolId) override {
    if (poolId != nullptr) *poolId = poolId_;
    return inventory::copyName(name_, buffer, size);
  }
  int setActive(int active) override { return set("active", active); }
  int setRefreshMark(int mark) override { return set("refresh_mark", mark); }
  int setState(int state) override { return set("state", state); }
  int setTotalMB(int64_t totalMB) override { return set("total_mb", totalMB); }
  int setUsedMB(int64_t usedMB) override { return set("used_mb", usedMB); }
  int setFreeMB(int64_t freeMB) override { return set("free_mb", freeMB); }
  int setVolumeCount(int count) override { return set("volume_count", count); }
  int setUUID(const char* uuid) override { return db_->updateColumn("POOLS", "pool_id", poolId_, "uuid", uuid); }

 private:
  int set(const char* column, int64_t value) { return db_->updateColumn("POOLS", "pool_id", poolId_, column, value); }
  SqliteArrayReportDB* db_;
  int poolId_;
  std::string name_;
};

class SqliteVolumeRecord : public VolumeRecord {
 public:
  SqliteVolumeRecord(SqliteArrayReportDB* db, int volumeId, std::string name, std::string secondName)
      : db_(db), volumeId_(volumeId), name_(std::move(name)), secondName_(std::move(secondName)) {}
  int getDetails(char* name, int nameSize, char* text, int textSize, int* volumeId) override {
    if (volumeId != nullptr) *volumeId = volumeId_;
    const int nameResult = inventory::copyName(name_, name, nameSize);
    if (text != nullptr) inventory::copyName(secondName_, text, textSize);
    return nameResult;
  }
  int setPoolId(int poolId) override { return set("pool_id", poolId); }
  int setActive(int active) override { return set("active", active); }
  int setRefreshMark(int mark) override { return set("refresh_mark", mark); }
  int setState(int state) override { return set("state", state); }
  int setSizeMB(int64_t sizeMB) override { return set("size_mb", sizeMB); }
  int setUsedMB(int64_t usedMB) override { return set("used_mb", usedMB); }
  int setFreeMB(int64_t freeMB) override { return set("free_mb", freeMB); }
  int setName(const char* name) override {
    const int result = db_->updateColumn("VOLUMES", "volume_id", volumeId_, "name", name);
    if (result == 0) name_ = name != nullptr ? name : "";
    return result;
  }
  int setUniqueId(const char* uniqueId) override {
    return db_->updateColumn("VOLUMES", "volume_id", volumeId_, "unique_id", uniqueId);
  }

 private:
  int set(const char* column, int64_t value) {
    return db_->updateColumn("VOLUMES", "volume_id", volumeId_, column, value);
  }
  SqliteArrayReportDB* db_;
  int volumeId_;
  std::string name_;
  std::string secondName_;
};

class SqliteLunRecord : public LunRecord {
 public:
  SqliteLunRecord(SqliteArrayReportDB* db, int lunId) : db_(db), lunId_(lunId) {}
  int setActive(int active) override { return set("active", active); }
  int setRefreshMark(int mark) override { return set("refresh_mark", mark); }
  int setState(int state) override { return set("state", state); }
  int setSizeBytes(int64_t sizeBytes) override { return set("size_bytes", sizeBytes); }
  int setUsedBytes(int64_t usedBytes) override { return set("used_bytes", usedBytes); }
  int setFreeBytes(int64_t freeBytes) override { return set("free_bytes", freeBytes); }
  int setVolumeName(const char* name) override { return text("volume_name", name); }
  int setLunNumber(int number) override { return set("lun_number", number); }
  int setName(const char* name) override { return text("name", name); }
  int setUniqueId(const char* uniqueId) override { return text("unique_id", uniqueId); }

 private:
  int set(const char* column, int64_t value) { return db_->updateColumn("SMLUN", "lun_id", lunId_, column, value); }
  int text(const char* column, const char* value) {
    return db_->updateColumn("SMLUN", "lun_id", lunId_, column, value);
  }
  SqliteArrayReportDB* db_;
  int lunId_;
};

}  // namespace TQSO
