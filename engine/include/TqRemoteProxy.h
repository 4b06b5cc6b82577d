// The remote proxy host: a host that runs the array work of a list call for the agent, when the array is
// configured to be reached through it.
#pragma once

#include <string>

#include "SnapInfo.h"

// Selects the array's login for the device, then tells whether a proxy host serves the array (its name in
// proxyHost, else proxyHost is emptied). False as well when the array cannot be selected.
bool isRemoteCallEnabled(TQSO::SnapInfo* device, std::string& arrayId, std::string& proxyHost);
