#include "TqCimom.h"

#include <string>

#include "TqCorvaneConfig.h"

namespace {

const int kDefaultPort = 5988;
const char* const kDefaultPortText = "5988";
const short kDefaultMaxRetries = 5;
const short kFaultRetryMaxRetries = 15;

}  // namespace

TqCimomParams::TqCimomParams()
    : m_Port(kDefaultPort), m_TimeoutSecs(kTqMinTimeoutSecs), m_MaxRetries(kDefaultMaxRetries), m_UseSSL(false) {
  GetTimeoutSecs();
}

TqCimomParams::~TqCimomParams() = default;

void TqCimomParams::GetTimeoutSecs() { m_TimeoutSecs = TqConfiguredTimeoutSecs(); }

TqCimom::TqCimom() { InitCimom(); }

TqCimom::~TqCimom() = default;

void TqCimom::InitCimom() {
  m_Port = kDefaultPortText;
  m_TimeoutSecs = kTqMinTimeoutSecs;
  m_MaxRetries = kDefaultMaxRetries;
  m_ConnState = TQ_CIM_DISCONNECTED;
  m_UseSSL = false;
  if (TqReadCorvaneNumber(kTqPegasusFaultRetryKey) != 0) m_MaxRetries = kFaultRetryMaxRetries;
  m_TimeoutSecs = TqConfiguredTimeoutSecs();
}

void TqCimom::SetCimom(TqCimomParams& params) {
  m_Address = params.m_Address;
  m_NameSpace = params.m_NameSpace;
  m_User = params.m_User;
  m_Password = params.m_Password;
  if (params.m_Port > 0) m_Port = std::to_string(params.m_Port);
  m_TimeoutSecs = params.m_TimeoutSecs;
  m_MaxRetries = params.m_MaxRetries;
  m_UseSSL = params.m_UseSSL;
}
