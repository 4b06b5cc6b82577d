// Which host device is which: the copies among the host's devices (identify), and the array and LUN of
// each source device from the inquiry data the host stored (VPD processing).
#pragma once

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"

// Mode 1 checks each device's recorded copy device (identify state 1 match, 2 mismatch counted in
// mismatches, 0 none); mode 2 finds the copies again among the 3PAR devices of deviceMap; mode 3 replaces
// that list by the copies' devices. 0 done, 1 a record could not be read or the mode is unknown.
int TP_identifyDevices(TQSO::SnapInfo** list, short count, TQSO::DeviceMap& deviceMap, int mode, short& mismatches,
                       TQSO::TQOSUtil* services, bool isLocal, int deviceIndex);
// Records each device's LUN WWN and array and selects the array's login (list result convention).
int ProcessVPDInfo(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services);
// Matches the host devices of a pRDM mount to the job's copies (metadata id 133); 0 when all matched.
int ProcessPRDMMunt(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services);
