// The host's job record of one source device: what the host agent hands the engine for a device, and
// what the engine writes back (status, error, job messages, metadata, host device names).
//
// The engine reaches it only through the virtual operations in the first block. The second block is the
// host's side: the harness and tests fill a record before a call and read it afterwards. Every operation
// is thread-safe (one lock per record). Copies are deep and independent.
//
// Buffer getters copy the whole text and a NUL into the caller's buffer, whose full size is passed as
// the length; a text that does not fit is never cut: the buffer then holds "" and the result is 2 (and an
// in/out length tells the size needed). Unless said otherwise results are 0 on success.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ArrayRegistry.h"
#include "EvDebug.h"
#include "TQSOTypes.h"

namespace TQSO {

// One job message of a device, as the host shows it in the job log.
struct JobMessage {
  int level = 0;    // 0 normal, 1 information, 2 error
  std::string tag;  // empty for logMessage
  std::string text;
};

class SnapInfo {
 public:
  // Results of the buffer getters and of the lookups.
  static const int kOk = 0;
  static const int kNotFound = 1;
  static const int kBufferTooSmall = 2;
  // INQUIRY data is handed out in buffers of at least this many bytes (zero padded).
  static const size_t kInquiryBufferSize = 255;

  SnapInfo();
  SnapInfo(const SnapInfo& other);
  SnapInfo& operator=(const SnapInfo& other);
  virtual ~SnapInfo();

  // ---- Operations the engine calls -------------------------------------------------------------
  virtual int getSourceDeviceName(char* buffer, uint16_t length);
  // The selected array's info text; kNotFound when no array is selected.
  virtual int getArrayInfo(char* buffer, uint16_t length);
  // Selects a known array (its login, info text and settings) for this device; kNotFound when unknown.
  virtual int setArrayLogin(const char* arrayId);
  // length: in, the buffer size; out, the text length (or the size needed when too small).
  virtual int getClientHostId(char* buffer, uint16_t* length);
  virtual int getClientHostIdByType(int kind, char* buffer, uint16_t* length);
  // True when every bit of the mask is set (a zero mask is never set).
  virtual bool isFlagSet(uint32_t mask);
  virtual uint32_t getRequestFlags();
  virtual void setCloneSyncFlag(bool on);
  virtual SnapStatus getStatus();
  virtual void setStatus(SnapStatus status);
  virtual int getHostDevicePath(char* buffer, uint16_t length);
  virtual int setHostDevicePath(const char* path);  // null clears
  virtual int getSnapDeviceName(char* buffer, uint16_t length);
  virtual int setSnapDeviceName(const char* name);  // null clears
  // 0 stored, 1 refused; a null text clears the id.
  virtual int setMetaData(int id, const char* text);
  virtual int setMetaDataValue(int id, const char* text);
  // True when the id has a value (an empty text counts).
  virtual bool getMetaData(int id, std::string& text);
  // Replaces the device's error; code 0 means none.
  virtual void setError(int code, const char* text);
  // Any argument may be null. length: in, the text buffer size; out, the text length or size needed.
  virtual void getError(int* code, char* text, uint16_t* length);
  virtual void logMessage(int level, const char* text);
  void logFormatted(int level, const char* tag, const char* fmt, ...) TQ_PRINTF_LIKE(4, 5);
  virtual uint32_t getCopyNumber();
  virtual uint32_t getSnapId();
  // Per-array settings: the record's own settings first, then the selected array's. 0 when found.
  virtual int getConfigInt(const char* name, int* value);
  // length: in, the buffer size; out, the text length (or the size needed when too small).
  virtual int getConfigString(const char* name, char* buffer, uint32_t* length);
  int getConfigString(const char* name, char* buffer, uint16_t* length);
  int getConfigString(const char* name, char* buffer, uint32_t length);
  // The stored INQUIRY data of a page (at least kInquiryBufferSize bytes), or null. The pointer stays
  // valid until that page is stored again or the record is destroyed.
  virtual const unsigned char* getInquiryData(int page);
  virtual void setArrayName(const char* name);
  virtual void setLunWWN(const char* wwn);
  virtual int getOperationType();
  // 1 when the host has pRDM information for the device (device names each followed by '|'), 0 if not.
  virtual int getPRDMDeviceInfo(std::string& devices, std::string& other);
  virtual void setIdentifyState(int state);
  virtual int getIdentifyState();

  // ---- The host's side: filling the record ------------------------------------------------------
  void setArrayRegistry(std::shared_ptr<ArrayRegistry> registry);
  void setSourceDeviceName(const std::string& name);
  void setClientHostId(const std::string& id);
  void setClientHostIdByType(int kind, const std::string& id);
  void setRequestFlags(uint32_t flags);
  void setCopyNumber(uint32_t number);
  void setSnapId(uint32_t id);
  void setOperationType(int type);
  void setPRDMDeviceInfo(const std::string& devices, const std::string& other);
  void setInquiryData(int page, const std::vector<unsigned char>& data);
  // A setting of this device; overrides the selected array's setting of the same name.
  void setSetting(const std::string& name, const std::string& value);
  void setSetting(const std::string& name, long long value);
  // While refused, setMetaData/setMetaDataValue of the id fail (result 1) and store nothing.
  void refuseMetaData(int id, bool refuse);
  void clearMessages();

  // ---- The host's side: reading the record ------------------------------------------------------
  std::string sourceDeviceName() const;
  std::string hostDevicePath() const;
  std::string snapDeviceName() const;
  int errorCode() const;
  std::string errorText() const;
  std::vector<JobMessage> messages() const;
  // True when some job message's text contains the fragment.
  bool hasMessageContaining(const std::string& fragment) const;
  std::map<int, std::string> metaData() const;
  std::optional<std::string> metaDataText(int id) const;
  std::vector<SnapStatus> statusHistory() const;  // every status set, in order
  bool cloneSyncFlag() const;
  std::string arrayName() const;
  std::string lunWWN() const;
  std::string selectedArrayId() const;  // empty when none is selected

 protected:
  // Every job message ends here.
  virtual void addMessage(int level, const std::string& tag, const std::string& text);

 private:
  struct State {
    std::shared_ptr<ArrayRegistry> registry;
    std::optional<ArrayEntry> selectedArray;
    std::string sourceDeviceName;
    std::string clientHostId;
    std::map<int, std::string> clientHostIdsByType;
    uint32_t requestFlags = 0;
    bool cloneSyncFlag = false;
    SnapStatus status = SS_RESET;
    std::vector<SnapStatus> statusHistory;
    std::string hostDevicePath;
    std::string snapDeviceName;
    std::map<int, std::string> metaData;
    std::map<int, bool> refusedMetaData;
    int errorCode = 0;
    std::string errorText;
    std::vector<JobMessage> messages;
    uint32_t copyNumber = 0;
    uint32_t snapId = 0;
    std::map<std::string, std::string> settings;
    std::map<int, std::vector<unsigned char>> inquiryData;
    std::string arrayName;
    std::string lunWWN;
    int operationType = 0;
    std::optional<std::pair<std::string, std::string>> prdmDeviceInfo;
    int identifyState = 0;
  };

  std::optional<std::string> settingLocked(const std::string& name) const;
  int storeMetaData(int id, const char* text);

  mutable std::mutex mutex_;
  State state_;
};

}  // namespace TQSO
