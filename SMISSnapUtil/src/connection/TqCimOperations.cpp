// The wrapped CIM reads and delete of TqCimConnection, with their shared retry loop.
#include <functional>
#include <string>
#include "TqErrorCodes.h"

#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/Exception.h"
#include "TqCimConnection.h"
#include "TqCorvaneConfig.h"
#include "TqSourceFile.h"

namespace {

enum class FaultOutcome { kRetry, kEmptyResult, kGiveUp };

// Whether a caught fault is tried again, ends the read with the empty result ("401" not retried), or is
// given up and thrown on.
FaultOutcome DecideOnFault(TqCimConnection& conn, const char* label, bool faultRetry, short& retry,
                           const std::string& message) {
  if (message.find("401") != std::string::npos) {
    if (!faultRetry) {
      conn.DEBUG_SET_ERROR(kTqErrorAuthFailure, message.c_str());
      conn.m_AuthFailure = true;
      return FaultOutcome::kEmptyResult;
    }
    conn.DEBUG_TRACE(label, "Unauthorized Exception [%s], continue with retry  as PEGASUS retry regkey present",
                     message.c_str());
  }
  if (conn.ConnectionRetry(retry, message)) return FaultOutcome::kRetry;
  conn.DEBUG_TRACE(label, "Client Timed out Exception %s", message.c_str());
  return FaultOutcome::kGiveUp;
}

// How the loop of one read is bounded and what ends it early.
struct ReadRules {
  short boundBelowMaxRetries = 0;  // the loop runs while retry < maxRetries - this
  // Ends the read at once with the empty result when true (checked before any other rule).
  std::function<bool(const Pegasus::CIMException&)> endsAtOnce;
};

// Runs `read` on the connection's current client, retrying connection faults as ConnectionRetry decides.
// Every exception that leaves is traced once more and thrown on unchanged.
template <typename Result, typename Read>
Result RetryingRead(TqCimConnection& conn, const char* label, const ReadRules& rules, Read read) {
  try {
    const Pegasus::CIMNamespaceName nameSpace(Pegasus::String(conn.m_Cimom.GetNameSpace()));
    Result result;
    const bool faultRetry = TqReadCorvaneNumber(kTqPegasusFaultRetryKey) != 0;
    short retry = 0;
    while (retry < conn.m_Cimom.GetMaxRetries() - rules.boundBelowMaxRetries) {
      FaultOutcome outcome;
      try {
        result = read(conn.Client(), nameSpace);
        break;
      } catch (const Pegasus::CIMException& e) {
        if (rules.endsAtOnce && rules.endsAtOnce(e)) return Result();
        outcome = DecideOnFault(conn, label, faultRetry, retry, e.getMessage().str());
        if (outcome == FaultOutcome::kGiveUp) {
          conn.m_LastFault =
              "CIM error " + Pegasus::cimStatusCodeToString(e.getCode()).str() + ": " + e.getMessage().str();
          throw Pegasus::CIMException(e.getCode(), e.getMessage());
        }
      } catch (const Pegasus::Exception& e) {
        outcome = DecideOnFault(conn, label, faultRetry, retry, e.getMessage().str());
        if (outcome == FaultOutcome::kGiveUp) {
          conn.m_LastFault = Pegasus::faultTextWithHttpsHint(e.getMessage().str(), conn.m_Cimom.GetUseSSL());
          throw Pegasus::Exception(e.getMessage());
        }
      }
      if (outcome == FaultOutcome::kEmptyResult) break;
    }
    return result;
  } catch (...) {
    conn.DEBUG_TRACE(label, "%s:%d Caught unknown Exception\n", TQ_SOURCE_FILE, __LINE__);
    throw;
  }
}

}  // namespace

Pegasus::CIMInstance TqCimConnection::GetInstance(Pegasus::CIMObjectPath path) {
  return RetryingRead<Pegasus::CIMInstance>(
      *this, "TqCimConnection::GetInstance", ReadRules(),
      [&](Pegasus::CIMClient& client, const Pegasus::CIMNamespaceName& nameSpace) {
        return client.getInstance(nameSpace, path, false, false, false, Pegasus::CIMPropertyList());
      });
}

Pegasus::Array<Pegasus::CIMInstance> TqCimConnection::GetInstances(Pegasus::String className,
                                                                   Pegasus::CIMPropertyList propertyList) {
  return RetryingRead<Pegasus::Array<Pegasus::CIMInstance>>(
      *this, "TqCimConnection::GetInstances", ReadRules(),
      [&](Pegasus::CIMClient& client, const Pegasus::CIMNamespaceName& nameSpace) {
        return client.enumerateInstances(nameSpace, Pegasus::CIMName(className), true, false, false, false,
                                         propertyList);
      });
}

Pegasus::Array<Pegasus::CIMObjectPath> TqCimConnection::GetInstanceNames(Pegasus::String className) {
  ReadRules rules;
  rules.boundBelowMaxRetries = 1;
  return RetryingRead<Pegasus::Array<Pegasus::CIMObjectPath>>(
      *this, "TqCimConnection::GetInstanceNames", rules,
      [&](Pegasus::CIMClient& client, const Pegasus::CIMNamespaceName& nameSpace) {
        return client.enumerateInstanceNames(nameSpace, Pegasus::CIMName(className));
      });
}

Pegasus::Array<Pegasus::CIMObjectPath> TqCimConnection::GetAssociatorNames(Pegasus::CIMObjectPath path,
                                                                           Pegasus::String assocClass,
                                                                           Pegasus::String resultClass,
                                                                           Pegasus::String role,
                                                                           Pegasus::String resultRole) {
  static const char* const label = "TqCimConnection::GetAssociatorNames";
  ReadRules rules;
  // Nothing associated, or no such class: the empty array, not a fault.
  rules.endsAtOnce = [&](const Pegasus::CIMException& e) {
    if (e.getCode() != Pegasus::CIM_ERR_NOT_FOUND && e.getCode() != Pegasus::CIM_ERR_INVALID_CLASS) return false;
    DEBUG_TRACE(label, "Objects or Assns do not exist: %s, %s", assocClass.getCString().c_str(),
                resultClass.getCString().c_str());
    return true;
  };
  return RetryingRead<Pegasus::Array<Pegasus::CIMObjectPath>>(
      *this, label, rules, [&](Pegasus::CIMClient& client, const Pegasus::CIMNamespaceName& nameSpace) {
        return client.associatorNames(nameSpace, path, Pegasus::CIMName(assocClass), Pegasus::CIMName(resultClass),
                                      role, resultRole);
      });
}

int TqCimConnection::DeleteInstance(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMObjectPath& path) {
  static const char* const label = "TqCimConnection::DeleteInstance";
  if (!m_Client) return 1;
  try {
    m_Client->deleteInstance(nameSpace, path);
    return 0;
  } catch (const Pegasus::CIMException& e) {
    const std::string message = e.getMessage().str();
    DEBUG_TRACE(label, "%s: %d: Caught CIMException: %s: %s", TQ_SOURCE_FILE, __LINE__,
                Pegasus::cimStatusCodeToString(e.getCode()).str().c_str(), message.c_str());
    if (message.find("401") != std::string::npos) DEBUG_SET_ERROR(kTqErrorAuthFailure, message.c_str());
  } catch (const Pegasus::Exception& e) {
    const std::string message = e.getMessage().str();
    DEBUG_TRACE(label, "%s: %d: Caught Exception: %s", TQ_SOURCE_FILE, __LINE__, message.c_str());
    // The client reports a refused login as an HTTP error, not a CIM error; it is the same failure.
    if (message.find("401") != std::string::npos) DEBUG_SET_ERROR(kTqErrorAuthFailure, message.c_str());
  } catch (...) {
    DEBUG_TRACE(label, "%s: %d: Caught unknown Exception", TQ_SOURCE_FILE, __LINE__);
  }
  return 1;
}
