// The call both synchronization operations end with: Operation, Synchronization (one reference or a list
// of them), Force and WaitForCopyState (a null for a 0 on EMC), optionally a null ReplicationSettingData,
// sent to the service the SmisCall holds; a started job is followed for 60 polls 10 seconds apart, or
// answered with 0 at once when the caller does not wait.
#pragma once

#include "Pegasus/CIMValue.h"
#include "SmisCall.h"

struct SmisSyncRequest {
  const char* method = "";     // the extrinsic method's name
  const char* goingLine = "";  // the trace before the call, given the operation
  Pegasus::Uint16 operation = 0;
  Pegasus::CIMValue synchronization;
  bool force = false;
  Pegasus::Uint16 waitForCopyState = 0;
  bool sendSettingData = true;  // a null ReplicationSettingData closes the parameters
};

SmisResultCode RunSyncOperation(SmisAction& action, SmisCall& call, const SmisSyncRequest& request, bool noWait);
