#include "TqCimConnection.h"
#include "TqErrorCodes.h"

#include <algorithm>
#include <cstdio>

#include "EvDebug.h"
#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/Exception.h"
#include "TqCorvaneConfig.h"
#include "TqSleep.h"
#include "TqSourceFile.h"

namespace {

const char* const kConnectLabel = "TqCimConnection::ConnectCimom";
const char* const kDisconnectLabel = "TqCimConnection::DisconnectCimom";
const char* const kRetryLabel = "TqCimConnection::ConnectionRetry";

const short kInitialReconnectPeriod = 3;
// Timeouts below this are raised on a retry; from here on they stay.
const short kRetryTimeoutCeiling = 180;
const short kHttpRetryStepSecs = 5;

bool Contains(const std::string& text, const char* fragment) { return text.find(fragment) != std::string::npos; }

// The port text read as "%d"; an empty or non-numeric text gives 0.
int PortNumberOf(const std::string& portText) {
  int port = 0;
  if (std::sscanf(portText.c_str(), "%d", &port) != 1) port = 0;
  return port;
}

// The client's answer timeout. Scaled waits (tests) scale it too, so that an answer arriving too late can be
// shown without waiting minutes; real and instant waits keep it whole.
Pegasus::Uint32 TimeoutMillis(short seconds) {
  const double millis = std::max<int>(seconds, 0) * 1000.0;
  if (TqSleepControl::mode() != TqSleepMode::Scaled) return static_cast<Pegasus::Uint32>(millis);
  return static_cast<Pegasus::Uint32>(millis * TqSleepControl::factor());
}

}  // namespace

TqCriticalSection TqCimConnection::m_ConnLock;

TqCimConnection::TqCimConnection()
    : m_Client(nullptr),
      m_FaultRetryCounter(0),
      m_ReconnectPeriod(kInitialReconnectPeriod),
      m_State(TQ_CIM_DISCONNECTED) {}

TqCimConnection::TqCimConnection(const TqCimConnection& other)
    : TqSmisTracer(other),
      m_Client(nullptr),
      m_Cimom(other.m_Cimom),
      m_FaultRetryCounter(other.m_FaultRetryCounter),
      m_ReconnectPeriod(other.m_ReconnectPeriod),
      m_State(other.m_State) {
  m_Cimom.SetConnState(TQ_CIM_DISCONNECTED);
}

TqCimConnection& TqCimConnection::operator=(const TqCimConnection& other) {
  if (this == &other) return *this;
  DeleteClient();
  TqSmisTracer::operator=(other);
  m_Cimom = other.m_Cimom;
  m_FaultRetryCounter = other.m_FaultRetryCounter;
  m_ReconnectPeriod = other.m_ReconnectPeriod;
  m_State = other.m_State;
  m_Cimom.SetConnState(TQ_CIM_DISCONNECTED);
  return *this;
}

TqCimConnection::~TqCimConnection() { DeleteClient(); }

void TqCimConnection::DeleteClient() {
  // Deleting a client closes its connection; nothing is traced.
  delete m_Client;
  m_Client = nullptr;
}

Pegasus::CIMClient& TqCimConnection::Client() {
  if (!m_Client) throw Pegasus::NotConnectedException();
  return *m_Client;
}

int TqCimConnection::ConnectCimom() {
  int attempts = 0;
  for (;;) {
    ConnectOutcome outcome = ConnectOnce(attempts);
    if (outcome == kConnected) return 0;
    if (outcome == kFailed) return 1;
  }
}

void TqCimConnection::ReleaseConnLock(bool& lockHeld) {
  if (!lockHeld) return;
  m_ConnLock.leave();
  lockHeld = false;
  DEBUG_TRACE_NORMAL(kConnectLabel, "Connection lock released");
}

void TqCimConnection::ConnectClient(const std::string& host, int port, bool& lockHeld) {
  const Pegasus::String user(m_Cimom.GetUserName());
  const Pegasus::String password(m_Cimom.GetPassword());
  const Pegasus::Uint32 portNumber = static_cast<Pegasus::Uint32>(port);
  if (!m_Cimom.GetUseSSL()) {
    DEBUG_TRACE_NORMAL(kConnectLabel, " Trying connection over http port [%d]", port);
    m_Client->connect(Pegasus::String(host), portNumber, user, password);
    return;
  }
  if (TqReadCorvaneNumber(kTqDisableConnLockKey) == 0) {
    DEBUG_TRACE_NORMAL(kConnectLabel, "Acquiring connection lock");
    m_ConnLock.enter(true);
    lockHeld = true;
    DEBUG_TRACE_NORMAL(kConnectLabel, "Connection lock acquired");
  }
  DEBUG_TRACE_NORMAL(kConnectLabel, " Trying connection over https port [%d]", port);
  Pegasus::SSLContext sslContext(Pegasus::String(), VerifySslCert, Pegasus::String());
  m_Client->connect(Pegasus::String(host), portNumber, sslContext, user, password);
  ReleaseConnLock(lockHeld);
}

TqCimConnection::ConnectOutcome TqCimConnection::ConnectOnce(int& attempts) {
  if (m_Cimom.GetAddress().empty() || m_Cimom.GetUserName().empty() || m_Cimom.GetPassword().empty() ||
      m_Cimom.GetNameSpace().empty()) {
    DEBUG_TRACE(kConnectLabel, "Insufficient parameters for CIMOM connection \n");
    return kFailed;
  }

  const std::string host = m_Cimom.GetAddress();
  const std::string portText = m_Cimom.GetPort();
  int port = 0;
  bool lockHeld = false;
  bool retryable = false;
  try {
    if (!m_Client) m_Client = new Pegasus::CIMClient();
    port = PortNumberOf(portText);
    ConnectClient(host, port, lockHeld);
    m_Client->setTimeout(TimeoutMillis(m_Cimom.GetTimeoutSecs()));
    DEBUG_TRACE_NORMAL(kConnectLabel, "%s %s:%d, timeout = %d\n",
                       m_State == TQ_CIM_RECONNECTING ? "Reconnected" : "Connected", host.c_str(), port,
                       m_Cimom.GetTimeoutSecs());
    m_Cimom.SetConnState(TQ_CIM_CONNECTED);
    return kConnected;
  } catch (const Pegasus::CannotConnectException& e) {
    const std::string message = e.getMessage().str();
    DEBUG_TRACE(kConnectLabel, "%s:%d: %s: Caught CIMClientConnectionException: %s", TQ_SOURCE_FILE, __LINE__,
                host.c_str(), message.c_str());
    DEBUG_TRACE(kConnectLabel, "%s:%d: Cannot connect to CIMOM %s:%s", TQ_SOURCE_FILE, __LINE__, host.c_str(),
                portText.c_str());
    if (Contains(message, "Connection failed")) {
      retryable = true;
      ++attempts;
    }
  } catch (const Pegasus::AlreadyConnectedException&) {
    DEBUG_TRACE(kConnectLabel, "%s:%d  %s:%d : AlreadyConnectedException: Continuing ...", TQ_SOURCE_FILE, __LINE__,
                host.c_str(), port);
    m_Cimom.SetConnState(TQ_CIM_CONNECTED);
    ReleaseConnLock(lockHeld);
    return kConnected;
  } catch (const Pegasus::CIMException& e) {
    const std::string message = e.getMessage().str();
    DEBUG_TRACE(kConnectLabel, "%s:%d  Caught CIMException: %s: %s\n", TQ_SOURCE_FILE, __LINE__,
                Pegasus::cimStatusCodeToString(e.getCode()).str().c_str(), message.c_str());
    if (Contains(message, "401")) DEBUG_SET_ERROR(kTqErrorAuthFailure, message.c_str());
  } catch (const Pegasus::Exception& e) {
    DEBUG_TRACE(kConnectLabel, "%s:%d Caught Exception: %s\n", TQ_SOURCE_FILE, __LINE__, e.getMessage().str().c_str());
  } catch (...) {
    DEBUG_TRACE(kConnectLabel, "Caught unknown Exception\n");
  }

  ReleaseConnLock(lockHeld);
  DeleteClient();
  if (retryable && attempts <= m_Cimom.GetMaxRetries()) return kRetry;
  return kFailed;
}

int TqCimConnection::DisconnectCimom() {
  if (m_Client) {
    try {
      DEBUG_TRACE_NORMAL(kDisconnectLabel, "going to disconnect connection");
      m_Client->disconnect();
      DeleteClient();
      DEBUG_TRACE_NORMAL(kDisconnectLabel, "Disconnected from %s:%s\n", m_Cimom.GetAddress().c_str(),
                         m_Cimom.GetPort().c_str());
    } catch (...) {
      DEBUG_TRACE(kDisconnectLabel, "Caught unknown Exception\n");
      return 1;
    }
  }
  m_Cimom.SetConnState(TQ_CIM_DISCONNECTED);
  return 0;
}

bool TqCimConnection::ConnectionRetry(short& retry, std::string message) {
  try {
    const bool faultRetry = TqReadCorvaneNumber(kTqPegasusFaultRetryKey) != 0;
    const bool httpFailure = Contains(message, "HTTP");
    if (!httpFailure && !Contains(message, "timed out")) return false;

    m_State = TQ_CIM_RECONNECTING;
    m_Cimom.SetConnState(TQ_CIM_RECONNECTING);

    ++retry;
    short timeout = m_Cimom.GetTimeoutSecs();
    if (retry >= m_Cimom.GetMaxRetries()) {
      DEBUG_TRACE(kRetryLabel, "Max Retries Exceeded (%d secs)", timeout);
      return false;
    }

    bool treatAsTimeout = !httpFailure;
    if (httpFailure) {
      if (timeout < kRetryTimeoutCeiling) {
        timeout = static_cast<short>(timeout + kHttpRetryStepSecs);
        DEBUG_TRACE(kRetryLabel, "Http Retry %d: timeout = %d", retry, timeout);
      } else {
        DEBUG_TRACE(kRetryLabel, "Http Retry, timeout = %d: treat as timeout", timeout);
        treatAsTimeout = true;
      }
    }
    if (treatAsTimeout && timeout < kRetryTimeoutCeiling) {
      timeout = static_cast<short>(timeout * 2);
      DEBUG_TRACE(kRetryLabel, "Timeout Retry %d: timeout = %d", retry, timeout);
    }
    m_Cimom.SetTimeoutSecs(timeout);

    // The new timeout reaches the client when it is rebuilt.
    bool rebuild = true;
    if (faultRetry) {
      rebuild = m_FaultRetryCounter == m_ReconnectPeriod;
      if (!rebuild) ++m_FaultRetryCounter;
    }
    if (rebuild) {
      DisconnectCimom();
      if (ConnectCimom() != 0) return false;
      if (faultRetry) m_FaultRetryCounter = 0;
    }
    return true;
  } catch (...) {
    DEBUG_TRACE(kRetryLabel, "Caught unknown Exception\n");
    return false;
  }
}

Pegasus::Boolean VerifySslCert(Pegasus::SSLCertificateInfo&) {
  EvDebug logger(nullptr);
  logger.DebugLvl("VerifySslCert", 2, "SSL certificate verified, plain encryption");
  return true;
}
