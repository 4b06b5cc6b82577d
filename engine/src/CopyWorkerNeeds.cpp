// TEMPORARY placeholders of CopyWorkerNeeds.h: each fails without touching the host or the array.
#include "CopyWorkerNeeds.h"

int TP_InvokeRemotePXCall(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, std::string&, unsigned, int) { return 1; }
int HandleRemoteCallMapVolume(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, int) { return 1; }
bool GetRemoteMapParameter(std::string&, std::string&, bool, bool, std::string& parameter) {
  parameter.clear();
  return true;
}
int HandleRemoteCallUnmapVolume(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, bool, std::string&, int) { return 1; }
bool detectHbalist(TQSO::TQOSUtil*, std::list<std::string>&, const std::string&, std::string&, bool&) { return false; }
bool detectHBA(std::string&, bool&, std::string&, TQSO::TQOSUtil*, std::string) { return false; }
std::string convertHbaList(std::list<std::string>&, bool) { return std::string(); }
void refreshSystemBus(TQSO::TQOSUtil*, std::list<std::string>, std::list<std::string>, std::string) {}
bool getDeviceList(std::list<std::string>&, TQSO::TQOSUtil*, std::string) { return false; }
bool getAllDevicePaths(std::string, std::list<std::string>&, std::string, std::list<std::string>& paths) {
  paths.clear();
  return true;
}
int mapVolumes(TQSO::SnapInfo**, short, TQSO::TQOSUtil*, bool, bool, int) { return 1; }
