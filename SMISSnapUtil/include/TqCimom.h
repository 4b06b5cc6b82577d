// How to reach one array's CIM object manager: the parameters a layer fills in (TqCimomParams) and the
// descriptor every connection holds (TqCimom), whose timeout and retry limit the retry rules change.
#pragma once

#include <string>

enum TQ_CIM_CONNECTION_STATE {
  TQ_CIM_CONNECTED = 0,
  TQ_CIM_DISCONNECTED = 1,
  TQ_CIM_RECONNECTING = 2,
};

// Bounds of the client timeout, in seconds (the field is signed 16-bit).
const short kTqMinTimeoutSecs = 300;
const short kTqMaxTimeoutSecs = 32767;

class TqCimomParams {
 public:
  TqCimomParams();
  ~TqCimomParams();

  // Sets m_TimeoutSecs from the configured client timeout (at least 300, at most 32767 seconds).
  void GetTimeoutSecs();

  std::string m_Text;  // not used by the descriptor or the connection
  std::string m_Address;
  int m_Port;  // 0 to 65535; 0 or below keeps the descriptor's port
  std::string m_NameSpace;
  std::string m_User;
  std::string m_Password;
  short m_TimeoutSecs;
  short m_MaxRetries;
  bool m_UseSSL;
};

class TqCimom {
 public:
  TqCimom();
  ~TqCimom();
  TqCimom(const TqCimom&) = default;
  TqCimom& operator=(const TqCimom&) = default;

  // Defaults, then the configured retry switch and client timeout.
  void InitCimom();
  // Takes address, namespace, credentials, port (when above 0), timeout, retry limit and HTTPS flag;
  // the connection state stays as it is.
  void SetCimom(TqCimomParams& params);

  std::string GetAddress() const { return m_Address; }
  std::string GetPort() const { return m_Port; }
  std::string GetNameSpace() const { return m_NameSpace; }
  std::string GetUserName() const { return m_User; }
  std::string GetPassword() const { return m_Password; }
  bool GetUseSSL() const { return m_UseSSL; }
  short GetTimeoutSecs() const { return m_TimeoutSecs; }
  short GetMaxRetries() const { return m_MaxRetries; }
  TQ_CIM_CONNECTION_STATE GetConnState() const { return m_ConnState; }
  void SetConnState(TQ_CIM_CONNECTION_STATE state) { m_ConnState = state; }
  // The retry rules of the connection change these in place.
  void SetTimeoutSecs(short seconds) { m_TimeoutSecs = seconds; }
  void SetMaxRetries(short retries) { m_MaxRetries = retries; }

 private:
  std::string m_Address;
  std::string m_Port;  // decimal text, parsed when connecting
  std::string m_NameSpace;
  std::string m_User;
  std::string m_Password;
  bool m_UseSSL;
  TQ_CIM_CONNECTION_STATE m_ConnState;
  short m_TimeoutSecs;
  short m_MaxRetries;
};
