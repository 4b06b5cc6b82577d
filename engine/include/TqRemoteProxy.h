// The remote proxy host: a host that runs the array work of a list call for the agent, when the array is
// configured to be reached through it.
#pragma once

#include <string>

#include "SnapInfo.h"

// Selects the array's login for the device, then tells whether a proxy host serves the array (its name in
// proxyHost, else proxyHost is emptied). False as well when the array cannot be selected.
bool isRemoteCallEnabled(TQSO::SnapInfo* device, std::string& arrayId, std::string& proxyHost);

#include "TQOSUtil.h"
#include "TQSOTypes.h"

// A number of the protocol (a command field, the proxy's result, the map count): whole decimal text that
// fits an int, blanks around it allowed; false for anything else.
bool RemoteNumber(const std::string& text, int& value);
// The command text of a message for the proxy (version 1, message id, device index: -1 for every device).
bool GetRemoteCommandParameter(int messageId, int deviceIndex, std::string& command);
bool ExtractCommandParameter(std::string& command, int& messageId, int& deviceIndex);
// The map parameter: the host group (at most 30 characters), the iSCSI and snapshot-volume flags, the ports.
bool GetRemoteMapParameter(std::string& portList, std::string& group, bool iscsi, bool snapshotVolumes,
                           std::string& parameter);
bool ExtractRemoteMapParameter(std::string& parameter, std::string& group, std::string& portList, bool& iscsi,
                               bool& snapshotVolumes);

// Agent side: has the host run the engine on the proxy for the list and reads the proxy's result (1 when
// there is none).
int ExecuteRemote(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, std::string& proxyHost);
// Writes the command of the message on the first device, then ExecuteRemote.
int TP_InvokeRemotePXCall(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, std::string& proxyHost,
                          unsigned messageId, int deviceIndex);

// Proxy side: map and unmap of the device(s) a message names, with the agent's parameters.
int HandleRemoteCallMapVolume(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, int deviceIndex);
int HandleRemoteCallUnmapVolume(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool keep,
                                std::string& unused, int deviceIndex);
// Proxy side: runs the worker the first device's command names (isLocal false) and writes its result.
int ExecuteRemoteCommand(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services);
