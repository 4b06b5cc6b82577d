// What the LUN provisioning calls share: the LUN's request read from the host's record (array, login,
// deciphered password, volume, pool, size), the volume-name rule, and the loop over a LUN list.
#pragma once

#include <string>

#include "EvDebug.h"
#include "LUNInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"
#include "TqEngineResult.h"
#include "calls/EntryGuard.h"

namespace tqengine {

// Error code of every LUN the provisioning calls fail.
const int kLunError = 70003;
const char kTextDecryptFailed[] = "Failed to decrypt the password!";

struct LunRequest {
  std::string arrayName;  // upper-cased
  std::string controlHost;
  std::string login;
  std::string encipheredPassword;
  std::string password;  // deciphered
  std::string volumeName;
  std::string poolName;
  long sizeBytes = 0;  // 0 when the host gave none
};

// How one LUN's work ended.
enum class LunOutcome { kSucceeded, kFailed, kPassedOver };

struct LunStepResult {
  LunOutcome outcome;
  const char* failureText;  // for kFailed: the LUN's error; null for the call's own failure text
};

// One LUN call: its log tag, the state set when it starts on a LUN, the error text of a LUN whose work
// failed, and how a LUN whose work threw ends (failed with that text, or passed over).
struct LunCall {
  const char* tag;
  int beforeState;
  const char* failureText;
  LunOutcome onFault;
};

}  // namespace tqengine

// Reads the record's texts and size into the request (each failed getter only logged; its text stays
// empty) and deciphers the password. True when the password was deciphered. The enciphered password is
// logged only masked.
bool GetCredentialsAndLunInfo(TQSO::LUNInfo* lun, tqengine::LunRequest& request, unsigned long long jobId);

// The 3PAR volume-name rule: 1 to 31 bytes of letters, digits, '.', '-' and '_', not beginning with '-'.
bool isVolumeNameValid(std::string name, unsigned long long jobId);

namespace tqengine {

// Logs the text at -1 and sets it on the LUN with error 70003.
void FailLun(const char* tag, TQSO::LUNInfo* lun, unsigned long long jobId, const char* text);

// Works through the LUNs in order: sets the "before" state, reads the request, fails the LUN when the
// password cannot be deciphered, then runs step(lun, request, jobId). A failed LUN gets error 70003 with
// its text (logged at -1) and ends the loop; a LUN passed over is not counted; later LUNs are untouched
// after a stop. A null list or a count of 0 or less touches nothing. 0 all succeeded, 1 none, 2 some.
template <class Step>
TQSO::ResultCode RunLunLoop(const LunCall& call, TQSO::LUNInfo** luns, short count, Step&& step) {
  if (IsEmptyList(luns, count)) return TQSO::RC_FAIL;
  int succeeded = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::LUNInfo* lun = luns[i];
    if (lun == nullptr) continue;
    lun->setState(call.beforeState);
    const unsigned long long jobId = lun->getJobId();
    LunRequest request;
    if (!GetCredentialsAndLunInfo(lun, request, jobId)) {
      FailLun(call.tag, lun, jobId, kTextDecryptFailed);
      break;
    }
    o_logger.DebugLvl(call.tag, 0, jobId, "Successfully decrypted the password!");
    const LunStepResult faulted = {call.onFault, nullptr};
    const LunStepResult result = GuardedCall(call.tag, faulted, [&] { return step(lun, request, jobId); });
    if (result.outcome == LunOutcome::kFailed) {
      FailLun(call.tag, lun, jobId, result.failureText != nullptr ? result.failureText : call.failureText);
      break;
    }
    if (result.outcome == LunOutcome::kSucceeded) ++succeeded;
  }
  return ResultOf(succeeded, count);
}

}  // namespace tqengine
