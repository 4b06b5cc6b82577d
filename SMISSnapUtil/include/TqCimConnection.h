// One connection to one array's CIM object manager: owns its CIM client, connects over HTTP or HTTPS
// with repeats, decides whether a failed read is tried again (with which timeout, after a client
// rebuild or not), and wraps the CIM read and delete operations the layers above use.
//
// Each connection owns its own client; a copy never shares it. A connection is used by one thread at
// a time. HTTPS connects are serialised process-wide by m_ConnLock unless configured off.
#pragma once

#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMClient.h"
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMName.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMPropertyList.h"
#include "Pegasus/SSLContext.h"
#include "Pegasus/String.h"
#include "TqCimom.h"
#include "TqCriticalSection.h"
#include "TqSmisTracer.h"

class TqCimConnection : public virtual TqSmisTracer {
 public:
  TqCimConnection();
  // Copies descriptor, counters, state and tracer, never the client: the copy starts disconnected.
  TqCimConnection(const TqCimConnection& other);
  // Frees this connection's own client first; the source's client is never taken over.
  TqCimConnection& operator=(const TqCimConnection& other);
  // Frees a client still held, quietly.
  ~TqCimConnection();

  // 0 when connected, 1 when not. Repeats a connect refused with "Connection failed" up to the retry
  // limit; never throws.
  int ConnectCimom();
  // 0, or 1 when the client's disconnect threw (the client then stays).
  int DisconnectCimom();
  // Called by the wrapped reads with their retry counter and the fault's message: true means try the
  // operation again. Advances retry; may raise the timeout and rebuild the client.
  bool ConnectionRetry(short& retry, std::string message);

  // The client, for direct calls; throws Pegasus::NotConnectedException when there is none.
  Pegasus::CIMClient& Client();

  // Reads with connection-fault retries, in the descriptor's namespace. A "401" that is not retried sets
  // error 60555 on the sink and gives the empty result; other faults are thrown on to the caller.
  Pegasus::CIMInstance GetInstance(Pegasus::CIMObjectPath path);
  Pegasus::Array<Pegasus::CIMInstance> GetInstances(Pegasus::String className, Pegasus::CIMPropertyList propertyList);
  // Gives the empty array, without an exception, once its retries are used up.
  Pegasus::Array<Pegasus::CIMObjectPath> GetInstanceNames(Pegasus::String className);
  // Gives the empty array at once when the CIMOM answers not-found or invalid-class.
  Pegasus::Array<Pegasus::CIMObjectPath> GetAssociatorNames(Pegasus::CIMObjectPath path, Pegasus::String assocClass,
                                                            Pegasus::String resultClass, Pegasus::String role,
                                                            Pegasus::String resultRole);
  // 0 deleted, 1 not; no retry, never throws.
  int DeleteInstance(const Pegasus::CIMNamespaceName& nameSpace, const Pegasus::CIMObjectPath& path);

  Pegasus::CIMClient* m_Client;  // owned; null while not connected
  TqCimom m_Cimom;
  short m_FaultRetryCounter;  // retryable faults since the last rebuild (fault-retry mode only)
  short m_ReconnectPeriod;    // counter value at which a fault rebuilds the client
  TQ_CIM_CONNECTION_STATE m_State;
  // Why the last wrapped read that gave up failed ("CIM error <status>: <description>", or the client's
  // message), for the callers that turn a failed lookup into "not found"; callers clear it before a lookup.
  // Not copied.
  std::string m_LastFault;

  // Serialises HTTPS connects across the process.
  static TqCriticalSection m_ConnLock;

 private:
  enum ConnectOutcome { kConnected, kFailed, kRetry };
  ConnectOutcome ConnectOnce(int& attempts);
  void ConnectClient(const std::string& host, int port, bool& lockHeld);
  void ReleaseConnLock(bool& lockHeld);
  void DeleteClient();
};

// Certificate callback of the HTTPS connect: logs and accepts every server certificate.
Pegasus::Boolean VerifySslCert(Pegasus::SSLCertificateInfo& info);
