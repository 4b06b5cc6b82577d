// The host's inventory database: the arrays it knows and, per array, its storage pools, volumes and the
// LUNs of the volumes. The engine's inventory call reaches it only through the virtual operations of
// ArrayReportDB and of the record interfaces; the records belong to the database (they stay valid while
// it is open) and are never freed by the caller.
//
// Every operation that returns an int returns 0 on success (for the find operations: found). Capacities
// of arrays, pools and volumes are MB; LUN capacities are bytes. States: pools 0 normal, 1 degraded;
// volumes and LUNs 0 normal, 1 in error; 2 marks a record deleted (with active 0).
//
// New volumes and LUNs are added with negative temporary ids (-1, -2, ... counting again for every
// array): addLun names its volume by the temporary id of the addVolume just before it, which the
// database turns into the volume's real id. A temporary id whose addVolume failed names no volume.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace TQSO {

class ArrayRecord {
 public:
  virtual ~ArrayRecord() = default;
  virtual int getClientId() = 0;
  // The array's name (its system name) and its array id.
  virtual int getName(char* buffer, int size, int* arrayId) = 0;
  virtual int setActive(int active) = 0;
  virtual int setRefreshMark(int mark) = 0;
  virtual int setTotalMB(int64_t totalMB) = 0;
  virtual int setFreeMB(int64_t freeMB) = 0;
};

class PoolRecord {
 public:
  virtual ~PoolRecord() = default;
  // The pool's name and its pool id.
  virtual int getName(char* buffer, int size, int* poolId) = 0;
  virtual int setActive(int active) = 0;
  virtual int setRefreshMark(int mark) = 0;
  virtual int setState(int state) = 0;
  virtual int setTotalMB(int64_t totalMB) = 0;
  virtual int setUsedMB(int64_t usedMB) = 0;
  virtual int setFreeMB(int64_t freeMB) = 0;
  virtual int setVolumeCount(int count) = 0;
  virtual int setUUID(const char* uuid) = 0;
};

class VolumeRecord {
 public:
  virtual ~VolumeRecord() = default;
  // The volume's name, its second name text and its volume id.
  virtual int getDetails(char* name, int nameSize, char* text, int textSize, int* volumeId) = 0;
  virtual int setPoolId(int poolId) = 0;
  virtual int setActive(int active) = 0;
  virtual int setRefreshMark(int mark) = 0;
  virtual int setState(int state) = 0;
  virtual int setSizeMB(int64_t sizeMB) = 0;
  virtual int setUsedMB(int64_t usedMB) = 0;
  virtual int setFreeMB(int64_t freeMB) = 0;
  virtual int setName(const char* name) = 0;
  virtual int setUniqueId(const char* uniqueId) = 0;
};

class LunRecord {
 public:
  virtual ~LunRecord() = default;
  virtual int setActive(int active) = 0;
  virtual int setRefreshMark(int mark) = 0;
  virtual int setState(int state) = 0;
  virtual int setSizeBytes(int64_t sizeBytes) = 0;
  virtual int setUsedBytes(int64_t usedBytes) = 0;
  virtual int setFreeBytes(int64_t freeBytes) = 0;
  virtual int setVolumeName(const char* name) = 0;
  virtual int setLunNumber(int number) = 0;
  virtual int setName(const char* name) = 0;
  virtual int setUniqueId(const char* uniqueId) = 0;
};

class ArrayReportDB {
 public:
  virtual ~ArrayReportDB() = default;
  virtual int getArrayList(ArrayRecord**& list, int& count) = 0;
  virtual int getPoolRecords(PoolRecord**& list, int& count, int clientId) = 0;
  virtual int getVolumeRecords(VolumeRecord**& list, int& count, int clientId) = 0;
  virtual int getLunRecords(LunRecord**& list, int& count, int volumeId) = 0;
  virtual int addVolume(int temporaryVolumeId, int clientId, const char* name, const char* secondName, int64_t sizeMB,
                        int64_t usedMB, const char* uniqueId, int errorFlag, int poolId, const char* extra) = 0;
  // Fills whichever buffers are given (a null buffer is skipped); 0 when the array is known and every
  // given text fit (a text is never cut).
  virtual int getArrayDetails(const char* arrayName, char* text1, int size1, char* text2, int size2, char* text3,
                              int size3, char* login, int loginSize, char* encipheredPassword, int passwordSize,
                              char* controlHost, int controlHostSize) = 0;
  virtual int addLun(int temporaryLunId, int temporaryVolumeId, const char* name, const char* volumeName,
                     int64_t sizeBytes, int64_t usedBytes, const char* uniqueId, int errorFlag, const char* extra) = 0;
  virtual int findVolume(VolumeRecord*& record, int& volumeId, const char* name, const char* secondName,
                         int clientId) = 0;
  virtual int findLun(LunRecord*& record, const char* name, const char* volumeName, int volumeId) = 0;
  virtual int findPool(PoolRecord*& record, int& poolId, const char* name, int* clientId) = 0;
  virtual int addPool(int arrayId, int clientId, const char* name, int64_t totalMB, int64_t usedMB, const char* uuid,
                      int operationalStatus, const char* extra, int& newPoolId, int volumeCount) = 0;
};

// The rows as the host reads them back.
struct InventoryArrayRow {
  int clientId = 0;
  int arrayId = 0;
  std::string name, login, encipheredPassword, controlHost;
  int64_t totalMB = 0, freeMB = 0;
  int active = 0, refreshMark = 0;
};
struct InventoryPoolRow {
  int poolId = 0, arrayId = 0, clientId = 0;
  std::string name, uuid;
  int64_t totalMB = 0, usedMB = 0, freeMB = 0;
  int operationalStatus = 0, state = 0, volumeCount = 0, active = 0, refreshMark = 0;
};
struct InventoryVolumeRow {
  int volumeId = 0, clientId = 0, poolId = 0;
  std::string name, secondName, uniqueId;
  int64_t sizeMB = 0, usedMB = 0, freeMB = 0;
  int state = 0, active = 0, refreshMark = 0;
};
struct InventoryLunRow {
  int lunId = 0, volumeId = 0;
  std::string name, volumeName, uniqueId;
  int64_t sizeBytes = 0, usedBytes = 0, freeBytes = 0;
  int state = 0, lunNumber = 0, active = 0, refreshMark = 0;
};

// The inventory database in an SQLite file, made (with its tables) on first use, with a write-ahead log
// beside it ("<file>-wal", "<file>-shm"). Each operation is one atomic write; begin/commit/rollback group several into
// one, so that a run that stops half way leaves nothing of itself. A locked or unwritable file makes the operation fail
// (result kDatabaseError) and lastError tells why. Thread-safe.
class SqliteArrayReportDB : public ArrayReportDB {
 public:
  static constexpr int kNotFound = 1;
  static constexpr int kDatabaseError = 2;
  static constexpr int kBufferTooSmall = 3;

  // Null with the reason when the file cannot be opened or its tables cannot be made.
  static std::unique_ptr<SqliteArrayReportDB> open(const std::string& path, std::string& error,
                                                   int busyTimeoutMillis = 2000);
  ~SqliteArrayReportDB() override;
  SqliteArrayReportDB(const SqliteArrayReportDB&) = delete;
  SqliteArrayReportDB& operator=(const SqliteArrayReportDB&) = delete;

  int getArrayList(ArrayRecord**& list, int& count) override;
  int getPoolRecords(PoolRecord**& list, int& count, int clientId) override;
  int getVolumeRecords(VolumeRecord**& list, int& count, int clientId) override;
  int getLunRecords(LunRecord**& list, int& count, int volumeId) override;
  int addVolume(int temporaryVolumeId, int clientId, const char* name, const char* secondName, int64_t sizeMB,
                int64_t usedMB, const char* uniqueId, int errorFlag, int poolId, const char* extra) override;
  int getArrayDetails(const char* arrayName, char* text1, int size1, char* text2, int size2, char* text3, int size3,
                      char* login, int loginSize, char* encipheredPassword, int passwordSize, char* controlHost,
                      int controlHostSize) override;
  int addLun(int temporaryLunId, int temporaryVolumeId, const char* name, const char* volumeName, int64_t sizeBytes,
             int64_t usedBytes, const char* uniqueId, int errorFlag, const char* extra) override;
  int findVolume(VolumeRecord*& record, int& volumeId, const char* name, const char* secondName, int clientId) override;
  int findLun(LunRecord*& record, const char* name, const char* volumeName, int volumeId) override;
  int findPool(PoolRecord*& record, int& poolId, const char* name, int* clientId) override;
  int addPool(int arrayId, int clientId, const char* name, int64_t totalMB, int64_t usedMB, const char* uuid,
              int operationalStatus, const char* extra, int& newPoolId, int volumeCount) override;

  // ---- The host's side --------------------------------------------------------------------------
  // Adds an array; its client id, or -1.
  int addArray(const std::string& name, int arrayId, const std::string& login, const std::string& encipheredPassword,
               const std::string& controlHost);
  int begin();
  int commit();
  int rollback();
  std::string lastError() const;
  // Whole tables as rows: 0 with every row, or kDatabaseError with no rows (lastError tells why).
  int arrays(std::vector<InventoryArrayRow>& rows);
  int pools(int clientId, std::vector<InventoryPoolRow>& rows);
  int volumes(int clientId, std::vector<InventoryVolumeRow>& rows);
  int luns(int volumeId, std::vector<InventoryLunRow>& rows);

  // Used by the records.
  int updateColumn(const char* table, const char* idColumn, int id, const char* column, int64_t value);
  int updateColumn(const char* table, const char* idColumn, int id, const char* column, const char* value);

  class Statement;  // one prepared statement (private header)

 private:
  SqliteArrayReportDB(sqlite3* db, std::string path);
  int fail(const std::string& what);
  int execute(const char* sql);
  template <class Record>
  Record* keep(std::unique_ptr<Record> record);
  template <class Value>
  int updateColumnTo(const char* table, const char* idColumn, int id, const char* column, const Value& value);
  // Keeps a record made by makeRecord for each row of the statement and hands out the list of them.
  template <class Record, class MakeRecord>
  int handOut(Statement& statement, MakeRecord makeRecord, const char* what, std::deque<std::vector<Record*>>& lists,
              Record**& list, int& count);
  // Reads every row of the statement with readRow; kDatabaseError and no rows when a step fails.
  template <class Row, class ReadRow>
  int readRows(Statement& statement, const char* what, ReadRow readRow, std::vector<Row>& rows);

  sqlite3* db_;
  const std::string path_;
  mutable std::recursive_mutex mutex_;
  std::string lastError_;
  std::map<int, int> volumeIdByTemporaryId_;
  std::deque<std::shared_ptr<void>> owned_;  // every record handed out
  std::deque<std::vector<ArrayRecord*>> arrayLists_;
  std::deque<std::vector<PoolRecord*>> poolLists_;
  std::deque<std::vector<VolumeRecord*>> volumeLists_;
  std::deque<std::vector<LunRecord*>> lunLists_;
};

}  // namespace TQSO
