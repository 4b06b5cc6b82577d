// The list workers that prepare devices for a copy and create the copies. Prepare identifies each source
// on its array and records it (status 1); snapshot creation makes each prepared device's copy (status 5, or
// 7 for a resynchronised clone). isLocal is false when the remote-proxy dispatcher runs the request on the
// proxy host; the agent side hands a list whose array is served by a proxy to it.
#pragma once

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"

int TP_prepareDevices(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal, bool replication);
TQSO::ResultCode TP_snapDevices(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal);
TQSO::ResultCode CreateMasterSnap(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal);
// The worker of one device (argument: its SnapThreadParam).
void* snapDeviceThread(void* argument);

#include <string>

// The LUN WWN, array id, vendor and product of a device (outputs written only on success).
bool getDeviceInfo(TQSO::SnapInfo* device, std::string& wwn, std::string& arrayId, std::string& vendor,
                   std::string& product, bool isLocal, bool replication);
// The clone worker of prepare (argument: its SnapThreadParam).
void* cloneDeviceThread(void* argument);
