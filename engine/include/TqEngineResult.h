// The result convention of the list calls and the engine's first-error rule.
//
// A list call counts, after all its work is done and every worker it started has been joined, the devices
// whose status equals the call's success status: all give RC_SUCCESS, none RC_FAIL, any other number
// RC_FAIL_PARTIAL. A null entry in the list never counts.
//
// The engine sets its own error code on a device only when the device has none yet, so an error a lower
// layer set (an authentication failure at the array, for example) is what the host sees.
#pragma once

#include <initializer_list>

#include "SnapInfo.h"
#include "TQSOTypes.h"

namespace tqengine {

// The result for `succeeded` of `count` items.
TQSO::ResultCode ResultOf(int succeeded, int count);

// How many devices of the list are at one of the statuses.
int CountAtStatus(TQSO::SnapInfo** devices, short count, std::initializer_list<TQSO::SnapStatus> statuses);

// ResultOf(CountAtStatus(...), count).
TQSO::ResultCode CountResult(TQSO::SnapInfo** devices, short count, std::initializer_list<TQSO::SnapStatus> statuses);

// True for a list that holds nothing to work on (null, or a count of 0 or less).
inline bool IsEmptyList(const void* list, short count) { return list == nullptr || count <= 0; }

}  // namespace tqengine

// The first-error rule: nothing for a null device or text; otherwise, only when the device has no error
// yet, the text becomes an error job message and the device's error.
void setError(TQSO::SnapInfo* device, int code, const char* text);

// True when the device carries an error code (false for a null device).
bool hasError(TQSO::SnapInfo* device);

// Clears the device's error: for a device whose step succeeded after a lower layer had set an error on the way
// (a retried read, a check that could not answer), so that the error never reads as the device's outcome.
void clearError(TQSO::SnapInfo* device);
