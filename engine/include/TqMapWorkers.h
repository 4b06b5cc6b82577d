// Presenting copies (or, for revert, sources) to this host: each device's copy is mapped on the array to
// the host's definition (a snapshot through a child snapshot of its own), then the host's buses are
// rescanned until the copies appear as host devices.
#pragma once

#include <list>
#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"
#include "Tq3PARSnapshot.h"

int mapVolumes(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool copies, bool isLocal,
               int deviceIndex);
int TP_mapSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal, int deviceIndex);
// Maps one device on the array to the host group (and, for a VMware path, to the local host's group too).
bool ArrayOperarions_mapVolumes(TQSO::SnapInfo* device, TQSO::TQOSUtil* services, bool copies, std::string& hostGroup,
                                std::string& ports, bool iscsi, std::string& localHostGroup, std::string& localPorts,
                                bool localIscsi, const char* hostDevicePath, int& mappedCount);

// Creates the child snapshot the object describes (its status must be 1); false when it was created.
bool CreateChildSnap(Tq3PARSnapshot* snapshot, TQSO::SnapInfo* device);
void* childSnapDeviceThread(void* argument);

// Rescans the host's buses in passes until every mapped copy is a host device or the window is over; each
// found device gets status 12 and its host path. 0 all expected found, 1 none, 2 some.
struct MappedCopyWait {
  bool copies = true;
  std::string hostIdentifier;
  std::list<std::string> initiators;
  std::list<std::string> devicesBefore;
  int mapped = 0;
  int deviceIndex = -1;
};
int WaitForMappedCopies(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, const MappedCopyWait& wait);
// Marks status 9 on each device whose copy is visible on the host already (the work of tqso_isMapped).
int IsMappedOnHost(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services);
