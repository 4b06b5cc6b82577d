// The host's record of one LUN for the provisioning calls: what the host hands the engine (array,
// login, enciphered password, volume, pool, size, map information) and what the engine writes back
// (state, error, the created volume's name and id, the initiator groups).
//
// The engine reaches it only through the virtual operations of the first block; the harness and tests
// fill and read it through the second and third. Thread-safe (one lock per record); copies are deep.
//
// Text getters copy the whole text and its NUL into the caller's buffer, whose full size goes in
// *length. Results: 0 copied; 1 the value was never given; 2 the buffer is too small: the buffer holds
// "" (a text is never cut). A size that does not fit a 16-bit length is a failure (1). *length is left
// as it was by every getter, whatever the result, so that one length variable can serve several getters
// in turn; the one exception is getMapInfo, which answers a buffer that is too small with the size
// needed in *length, for the caller to ask again with a bigger buffer.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace TQSO {

// The progress numbers of a LUN: each call sets its "before" number when it starts on a LUN and its
// "after" number when the LUN's work succeeded.
enum LunOpState {
  LUN_CREATED = 0,
  LUN_CREATING = 1,
  LUN_RESIZED = 2,
  LUN_RESIZING = 3,
  LUN_USERS_RESOLVED = 5,
  LUN_RESOLVING_USERS = 6,
  LUN_MAPPED = 9,
  LUN_MAPPING = 11,
  LUN_UNMAPPED = 14,
  LUN_UNMAPPING = 15,
  LUN_DELETED = 20,
  LUN_DELETING = 21,
};

// One initiator group handed to the host.
struct IGroupInfo {
  std::string name;
  std::vector<std::string> initiators;
  std::string auxText;
  bool auxFlag = false;
  std::string protocol;  // "iscsi" or "fcp"
};

class LUNInfo {
 public:
  static constexpr int kOk = 0;
  static constexpr int kNotGiven = 1;
  static constexpr int kBufferTooSmall = 2;

  LUNInfo() = default;
  LUNInfo(const LUNInfo& other);
  LUNInfo& operator=(const LUNInfo& other);
  virtual ~LUNInfo() = default;

  // ---- Operations the engine calls -------------------------------------------------------------
  virtual int getVolumeName(char* buffer, short* length);
  virtual int getArrayName(char* buffer, short* length);
  virtual int getArrayControlHost(char* buffer, short* length);
  virtual int getArrayLogin(char* buffer, short* length);
  virtual int getArrayPassword(char* buffer, short* length);  // the enciphered text
  virtual int getPoolName(char* buffer, short* length);
  virtual int getVolumeSize(long& sizeBytes);  // 0 when a size was given
  virtual void setState(int state);
  virtual void setError(int code, const char* text);
  virtual unsigned long long getJobId();
  virtual void setVolumeName(std::string name);
  virtual void setVolumeId(std::string id);
  virtual void setInitiatorGroups(std::vector<IGroupInfo>& groups, int* endPointId);
  virtual int getMapInfo(char* buffer, short* length);

  // ---- The host's side: filling the record ------------------------------------------------------
  void setRequestVolumeName(const std::string& name);
  void setArrayNameText(const std::string& name);
  void setArrayControlHostText(const std::string& host);
  void setArrayLoginText(const std::string& login);
  void setArrayPasswordText(const std::string& enciphered);
  void setPoolNameText(const std::string& pool);
  void setVolumeSizeBytes(long sizeBytes);
  void setJobId(unsigned long long jobId);
  void setMapInfoText(const std::string& document);

  // ---- The host's side: reading the record ------------------------------------------------------
  int state() const;                      // the last state set (-1 when none)
  std::vector<int> stateHistory() const;  // every state set, in order
  int errorCode() const;
  std::string errorText() const;
  std::string createdVolumeName() const;  // set by setVolumeName
  std::string createdVolumeId() const;    // set by setVolumeId
  std::vector<IGroupInfo> initiatorGroups() const;
  bool initiatorGroupsSet() const;
  std::optional<int> endPointId() const;  // the value behind the pointer given with the groups

 private:
  struct State {
    std::optional<std::string> volumeName;
    std::optional<std::string> arrayName;
    std::optional<std::string> controlHost;
    std::optional<std::string> login;
    std::optional<std::string> password;
    std::optional<std::string> poolName;
    std::optional<std::string> mapInfo;
    std::optional<long> sizeBytes;
    unsigned long long jobId = 0;
    std::vector<int> states;
    int errorCode = 0;
    std::string errorText;
    std::string createdVolumeName;
    std::string createdVolumeId;
    std::optional<std::vector<IGroupInfo>> groups;
    std::optional<int> endPointId;
  };

  int copyText(const std::optional<std::string> State::*field, char* buffer, short* length,
               bool tellsSizeNeeded = false) const;

  mutable std::mutex mutex_;
  State state_;
};

}  // namespace TQSO
