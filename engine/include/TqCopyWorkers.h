// The list workers that withdraw copies from the host, delete them from the array, revert sources from
// them and check that they still exist. All run on the caller's thread, one device after the other, and
// answer with the list result convention (TqEngineResult.h). isLocal is false when the remote-proxy
// dispatcher runs the request on the proxy host; the agent side hands the array work to a configured proxy.
#pragma once

#include "SnapInfo.h"
#include "TQOSUtil.h"

// Withdraws each device's copy (copies true) or source (copies false) from this host: the array unmap, the
// child snapshot's deletion where due (always with force) and a bus rescan that drops the copies' paths.
// deviceIndex is -1 for the whole list, else the one device a proxy request names.
int unmapVolumes(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool copies, bool force, bool isLocal,
                 int deviceIndex);
int TP_unmapSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal, int deviceIndex);
// The array side of one device's unmap; adds to unmappedCount what it unmapped. False when a step that must
// succeed failed (a failed array unmap alone still answers true, with error 60013 on the device).
bool ArrayOperarions_unmapVolumes(TQSO::SnapInfo* device, TQSO::TQOSUtil* services, bool copies, int& unmappedCount,
                                  bool force);

// Deletes each device's copy from the array (status 20), unmapping and retrying once where it is refused.
TQSO::ResultCode TP_deleteSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal);

// Restores each source from its snapshot (status 22 / 23); on the agent host the sources are withdrawn
// before and presented again after.
int TP_revertSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal);
bool ArrayOperarions_revertVolumes(TQSO::SnapInfo** list, TQSO::TQOSUtil* services, int count, int& restored);

// Marks status 24 on each device whose copy is gone from the array.
int TP_reconcileSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal);
