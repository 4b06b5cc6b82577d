// CIMClient: CIM operations against a CIM server over CIM-XML on HTTP or HTTPS.
//
// One client serves one thread at a time: it holds one connection, reused by its operations in turn.
// Threads that work in parallel each use a client of their own.
#pragma once
#include <memory>
#include "Pegasus/Array.h"
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMName.h"
#include "Pegasus/CIMObject.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "Pegasus/CIMPropertyList.h"
#include "Pegasus/CIMValue.h"
#include "Pegasus/SSLContext.h"
#include "Pegasus/String.h"

namespace Pegasus {

class CIMClientRep;

class CIMClient {
 public:
  static constexpr Uint32 DEFAULT_TIMEOUT_MILLISECONDS = 20000;

  CIMClient();
  ~CIMClient();
  CIMClient(const CIMClient&) = delete;
  CIMClient& operator=(const CIMClient&) = delete;

  // Bounds each operation (and each connect) from now on; 0 means no bound.
  Uint32 getTimeout() const;
  void setTimeout(Uint32 timeoutMilliseconds);

  // Opens the connection at once (TCP, and the TLS handshake over HTTPS); credentials are first used by
  // the first operation. An empty host with a port means "localhost".
  // Throws AlreadyConnectedException when connected, CannotConnectException when the server cannot be
  // reached or its certificate is refused.
  void connect(const String& host, Uint32 portNumber, const String& userName, const String& password);
  void connect(const String& host, Uint32 portNumber, const SSLContext& sslContext, const String& userName,
               const String& password);
  // Closes the connection; no effect when not connected.
  void disconnect();

  // Every operation throws NotConnectedException when not connected, CIMException for an ERROR answer,
  // ConnectionTimeoutException past the timeout (the next operation reconnects), CannotConnectException
  // when that reconnect fails, CIMClientHTTPErrorException for a non-200 answer, and
  // CIMClientMalformedHTTPException / CIMClientXmlException / CIMClientResponseException for answers
  // that do not fit the request.

  // The instance's path holds its class name only.
  CIMInstance getInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                          Boolean localOnly = true, Boolean includeQualifiers = false,
                          Boolean includeClassOrigin = false, const CIMPropertyList& propertyList = CIMPropertyList());

  // Instance paths keep class and keys; host and namespace are cleared.
  Array<CIMInstance> enumerateInstances(const CIMNamespaceName& nameSpace, const CIMName& className,
                                        Boolean deepInheritance = true, Boolean localOnly = true,
                                        Boolean includeQualifiers = false, Boolean includeClassOrigin = false,
                                        const CIMPropertyList& propertyList = CIMPropertyList());

  // Host and namespace cleared, as for enumerateInstances.
  Array<CIMObjectPath> enumerateInstanceNames(const CIMNamespaceName& nameSpace, const CIMName& className);

  // Association results keep the paths as the server sent them (normally with host and namespace).
  Array<CIMObjectPath> associatorNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                       const CIMName& assocClass = CIMName(), const CIMName& resultClass = CIMName(),
                                       const String& role = String::EMPTY, const String& resultRole = String::EMPTY);

  Array<CIMObject> associators(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                               const CIMName& assocClass = CIMName(), const CIMName& resultClass = CIMName(),
                               const String& role = String::EMPTY, const String& resultRole = String::EMPTY,
                               Boolean includeQualifiers = false, Boolean includeClassOrigin = false,
                               const CIMPropertyList& propertyList = CIMPropertyList());

  Array<CIMObject> references(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                              const CIMName& resultClass = CIMName(), const String& role = String::EMPTY,
                              Boolean includeQualifiers = false, Boolean includeClassOrigin = false,
                              const CIMPropertyList& propertyList = CIMPropertyList());

  Array<CIMObjectPath> referenceNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                      const CIMName& resultClass = CIMName(), const String& role = String::EMPTY);

  // The instance's own path names the instance to change.
  void modifyInstance(const CIMNamespaceName& nameSpace, const CIMInstance& modifiedInstance,
                      Boolean includeQualifiers = true, const CIMPropertyList& propertyList = CIMPropertyList());

  void deleteInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName);

  // Calls an extrinsic method on an instance (or a class, for a key-less path). In-parameters go in the
  // given order, typed unless marked untyped; outParameters is replaced by what the server returned.
  CIMValue invokeMethod(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName, const CIMName& methodName,
                        const Array<CIMParamValue>& inParameters, Array<CIMParamValue>& outParameters);

 private:
  std::unique_ptr<CIMClientRep> rep_;
};

}  // namespace Pegasus
