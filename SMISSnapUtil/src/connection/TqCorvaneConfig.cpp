#include "TqCorvaneConfig.h"

#include "TQPlatformInfo.h"
#include "TqCimom.h"

const char* const kTqCorvaneSection = "Corvane";
const char* const kTqClientTimeoutKey = "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC";
const char* const kTqPegasusFaultRetryKey = "TQ_PEGASUS_FAULT_RETRY";
const char* const kTqDisableConnLockKey = "TQ_PEGASUS_DISABLE_CONNLOCK";

unsigned long TqReadCorvaneNumber(const char* key) {
  unsigned long value = 0;  // an absent key leaves the preset
  TQPlatformInfo config;
  config.getNumber(kTqCorvaneSection, key, &value);
  return value;
}

short TqConfiguredTimeoutSecs() {
  unsigned long seconds = TqReadCorvaneNumber(kTqClientTimeoutKey);
  if (seconds < static_cast<unsigned long>(kTqMinTimeoutSecs)) return kTqMinTimeoutSecs;
  if (seconds > static_cast<unsigned long>(kTqMaxTimeoutSecs)) return kTqMaxTimeoutSecs;
  return static_cast<short>(seconds);
}
