// Helpers shared by the tests that reach the simulated provider through the SMI-S layer: connection
// parameters for a loopback port or a running simulator, and counting of job messages.
#pragma once
#include <string>

#include "SnapInfo.h"
#include "TqCimConnection.h"
#include "smis-sim/TestServer.h"

namespace simtest {

// Parameters for a loopback port that speaks for the simulated provider (its default login).
inline TqCimomParams ParamsFor(int port, bool https = false) {
  TqCimomParams params;
  params.m_Address = "127.0.0.1";
  params.m_Port = port;
  params.m_NameSpace = "root/tpd";
  params.m_User = "admin";
  params.m_Password = "secret";
  params.m_UseSSL = https;
  return params;
}

// Parameters reaching the running simulator with its own login.
inline TqCimomParams ParamsFor(const smissim::TestServer& server) {
  TqCimomParams params = ParamsFor(server.port(), server.https());
  params.m_Address = server.host();
  params.m_User = server.user();
  params.m_Password = server.password();
  return params;
}

// How many job messages of the record contain the fragment.
inline int CountMessages(const TQSO::SnapInfo& record, const std::string& fragment) {
  int count = 0;
  for (const TQSO::JobMessage& message : record.messages())
    if (message.text.find(fragment) != std::string::npos) ++count;
  return count;
}

}  // namespace simtest
