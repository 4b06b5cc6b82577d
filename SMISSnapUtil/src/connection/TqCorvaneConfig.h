// Registry-style switches of section "Corvane" read by the CIMOM connection layer.
#pragma once

extern const char* const kTqCorvaneSection;        // "Corvane"
extern const char* const kTqClientTimeoutKey;      // "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC"
extern const char* const kTqPegasusFaultRetryKey;  // "TQ_PEGASUS_FAULT_RETRY"
extern const char* const kTqDisableConnLockKey;    // "TQ_PEGASUS_DISABLE_CONNLOCK"

// The key's unsigned 64-bit value; 0 when the key is absent or not a number.
unsigned long TqReadCorvaneNumber(const char* key);

// The configured client timeout in seconds, kept within the 16-bit field: at least 300, at most 32767.
short TqConfiguredTimeoutSecs();
