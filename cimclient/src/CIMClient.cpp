#include "Pegasus/CIMClient.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <utility>

#include "CimXmlDecode.h"
#include "HttpTransport.h"
#include "Pegasus/CimXml.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

using CimXml::ParamValue;
using CimXml::Request;
using CimXml::Response;

namespace {

String nextMessageId() {
  static std::atomic<Uint32> counter(1000);
  return String(std::to_string(counter++));
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && String::equalNoCase(text.substr(0, prefix.size()), prefix);
}

// A 200 answer must be a CIM method response in XML; CIM errors may also arrive as status headers
// (or trailers of a chunked answer).
void checkHttpAnswer(const HttpResponse& http) {
  if (http.status != 200) {
    const std::string* cimError = http.header("CIMError");
    const std::string* detail = http.header("PGErrorDetail");
    throw CIMClientHTTPErrorException(static_cast<Uint32>(http.status), http.reason,
                                      cimError ? String(*cimError) : String(),
                                      detail ? CimXml::uriDecode(*detail) : String());
  }
  const std::string* operation = http.header("CIMOperation");
  if (!operation) throw CIMClientMalformedHTTPException("Missing CIMOperation HTTP header");
  if (!String::equalNoCase(*operation, "MethodResponse"))
    throw CIMClientMalformedHTTPException("Received CIMOperation HTTP header value \"" + String(*operation) +
                                          "\", expected \"MethodResponse\"");
  const std::string* contentType = http.header("Content-Type");
  if (contentType && !startsWithNoCase(*contentType, "application/xml") && !startsWithNoCase(*contentType, "text/xml"))
    throw CIMClientMalformedHTTPException("Bad Content-Type HTTP header; " + String(*contentType));
  const std::string* statusCode = http.header("CIMStatusCode");
  if (statusCode) {
    const long code = std::strtol(statusCode->c_str(), nullptr, 10);
    if (code != 0) {
      const std::string* description = http.header("CIMStatusCodeDescription");
      throw CIMException(static_cast<CIMStatusCode>(code), description ? CimXml::uriDecode(*description) : String());
    }
  }
}

void checkAnswersRequest(const Request& request, const Response& response) {
  if (response.messageId != request.messageId)
    throw CIMClientResponseException("Mismatched response message ID:  Got \"" + response.messageId +
                                     "\", expected \"" + request.messageId + "\".");
  if (response.intrinsic != request.intrinsic || !String::equalNoCase(response.methodName, request.methodName))
    throw CIMClientResponseException("Mismatched response method:  Got \"" + response.methodName + "\", expected \"" +
                                     request.methodName + "\".");
}

// The answer of a successful call must carry what the operation returns (or nothing, for lists).
// Path lists may come as bare INSTANCENAMEs, and objects with their paths as VALUE.NAMEDINSTANCEs.
void expectReturn(const Response& response, Response::ReturnKind kind, const char* element) {
  if (response.returnKind == kind) return;
  if ((kind == Response::OBJECT_PATHS && response.returnKind == Response::INSTANCE_NAMES) ||
      (kind == Response::OBJECTS_WITH_PATH && response.returnKind == Response::NAMED_INSTANCES))
    return;
  if (response.returnKind == Response::NONE && kind != Response::INSTANCE) return;
  throw CIMClientXmlException("Validation error: expected " + String(element) + " element in the " +
                              response.methodName + " response");
}

Request intrinsicRequest(const char* method, const CIMNamespaceName& nameSpace) {
  Request request;
  request.intrinsic = true;
  request.methodName = method;
  request.nameSpace = nameSpace;
  return request;
}

// Flags are sent only when they differ from the protocol's default.
void addFlag(Request& request, const char* name, Boolean value, Boolean defaultValue) {
  if (value != defaultValue) request.params.push_back(ParamValue::ofValue(name, CIMValue(value)));
}

void addPropertyList(Request& request, const CIMPropertyList& propertyList) {
  if (!propertyList.isNull()) request.params.push_back(ParamValue::ofPropertyList("PropertyList", propertyList));
}

// The object of an association query: an instance when the path has keys, else a class.
void addObjectName(Request& request, const CIMObjectPath& objectName) {
  if (objectName.getKeyBindings().size() > 0)
    request.params.push_back(ParamValue::ofInstanceName("ObjectName", objectName));
  else
    request.params.push_back(ParamValue::ofClassName("ObjectName", objectName.getClassName()));
}

// Class filters are always sent, empty when not given.
void addClassFilter(Request& request, const char* name, const CIMName& className) {
  request.params.push_back(className.isNull() ? ParamValue::ofNull(name) : ParamValue::ofClassName(name, className));
}

void addRole(Request& request, const char* name, const String& role) {
  if (!role.isEmpty()) request.params.push_back(ParamValue::ofValue(name, CIMValue(role)));
}

// The options of the operations that return instances or objects, after the operation's own parameters.
void addObjectOptions(Request& request, Boolean includeQualifiers, Boolean includeClassOrigin,
                      const CIMPropertyList& propertyList) {
  addFlag(request, "IncludeQualifiers", includeQualifiers, false);
  addFlag(request, "IncludeClassOrigin", includeClassOrigin, false);
  addPropertyList(request, propertyList);
}

// Associators and AssociatorNames: the object, then the association and far-end filters.
Request associatorsRequest(const char* method, const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                           const CIMName& assocClass, const CIMName& resultClass, const String& role,
                           const String& resultRole) {
  Request request = intrinsicRequest(method, nameSpace);
  addObjectName(request, objectName);
  addClassFilter(request, "AssocClass", assocClass);
  addClassFilter(request, "ResultClass", resultClass);
  addRole(request, "Role", role);
  addRole(request, "ResultRole", resultRole);
  return request;
}

// References and ReferenceNames: the object, then the association filters.
Request referencesRequest(const char* method, const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                          const CIMName& resultClass, const String& role) {
  Request request = intrinsicRequest(method, nameSpace);
  addObjectName(request, objectName);
  addClassFilter(request, "ResultClass", resultClass);
  addRole(request, "Role", role);
  return request;
}

CIMObjectPath localPath(CIMObjectPath path) {
  path.setHost(String());
  path.setNameSpace(CIMNamespaceName());
  return path;
}

Array<CIMObjectPath> pathsOf(const Response& response) {
  Array<CIMObjectPath> paths;
  paths.reserveCapacity(static_cast<Uint32>(response.paths.size()));
  for (const CIMObjectPath& path : response.paths) paths.append(path);
  return paths;
}

Array<CIMObject> objectsOf(const Response& response) {
  Array<CIMObject> objects;
  objects.reserveCapacity(static_cast<Uint32>(response.instances.size()));
  for (const CIMInstance& instance : response.instances) objects.append(CIMObject(instance));
  return objects;
}

// Reads may be sent again when a kept-alive connection drops them; a change (a modified or deleted instance,
// a method) the server may already have made is never sent twice.
HttpTransport::Resend resendOf(const Request& request) {
  static const char* const reads[] = {"GetInstance",     "EnumerateInstances", "EnumerateInstanceNames", "Associators",
                                      "AssociatorNames", "References",         "ReferenceNames"};
  if (request.intrinsic)
    for (const char* read : reads)
      if (request.methodName.str() == read) return HttpTransport::Resend::Allowed;
  return HttpTransport::Resend::Never;
}

}  // namespace

class CIMClientRep {
 public:
  Uint32 timeout = CIMClient::DEFAULT_TIMEOUT_MILLISECONDS;
  std::unique_ptr<HttpTransport> transport;

  void connect(const HttpEndpoint& endpoint) {
    if (transport) throw AlreadyConnectedException();
    std::unique_ptr<HttpTransport> opened(new HttpTransport(endpoint));
    opened->open(timeout);
    transport = std::move(opened);
  }

  // One request/response exchange; a CIM error in the answer is thrown as CIMException.
  Response call(Request& request) {
    if (!transport) throw NotConnectedException();
    request.messageId = nextMessageId();
    const String xml = CimXml::encodeRequest(request);
    HttpResponse http;
    try {
      http = transport->post(CimXml::cimMethodHeader(request), CimXml::cimObjectHeader(request), xml.str(), timeout,
                             resendOf(request));
    } catch (const ConnectionTimeoutException&) {
      transport->closeConnection();  // the next operation starts on a fresh connection
      throw;
    }
    checkHttpAnswer(http);
    Response response = CimXml::decodeResponseText(std::move(http.body));
    checkAnswersRequest(request, response);
    if (response.isError) throw CIMException(response.errorCode, response.errorDescription);
    return response;
  }
};

CIMClient::CIMClient() : rep_(new CIMClientRep) {}

CIMClient::~CIMClient() = default;

Uint32 CIMClient::getTimeout() const { return rep_->timeout; }

void CIMClient::setTimeout(Uint32 timeoutMilliseconds) { rep_->timeout = timeoutMilliseconds; }

void CIMClient::connect(const String& host, Uint32 portNumber, const String& userName, const String& password) {
  HttpEndpoint endpoint;
  endpoint.host = host;
  endpoint.port = portNumber;
  endpoint.userName = userName;
  endpoint.password = password;
  rep_->connect(endpoint);
}

void CIMClient::connect(const String& host, Uint32 portNumber, const SSLContext& sslContext, const String& userName,
                        const String& password) {
  HttpEndpoint endpoint;
  endpoint.host = host;
  endpoint.port = portNumber;
  endpoint.ssl = std::make_shared<const SSLContext>(sslContext);
  endpoint.userName = userName;
  endpoint.password = password;
  rep_->connect(endpoint);
}

void CIMClient::disconnect() { rep_->transport.reset(); }

CIMInstance CIMClient::getInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                                   Boolean localOnly, Boolean includeQualifiers, Boolean includeClassOrigin,
                                   const CIMPropertyList& propertyList) {
  Request request = intrinsicRequest("GetInstance", nameSpace);
  request.params.push_back(ParamValue::ofInstanceName("InstanceName", instanceName));
  addFlag(request, "LocalOnly", localOnly, true);
  addObjectOptions(request, includeQualifiers, includeClassOrigin, propertyList);
  Response response = rep_->call(request);
  expectReturn(response, Response::INSTANCE, "INSTANCE");
  if (response.instances.size() != 1)
    throw CIMClientXmlException("Validation error: expected one INSTANCE element in the GetInstance response");
  CIMInstance instance = std::move(response.instances.front());
  instance.setPath(CIMObjectPath(String(), CIMNamespaceName(), instance.getClassName()));
  return instance;
}

Array<CIMInstance> CIMClient::enumerateInstances(const CIMNamespaceName& nameSpace, const CIMName& className,
                                                 Boolean deepInheritance, Boolean localOnly, Boolean includeQualifiers,
                                                 Boolean includeClassOrigin, const CIMPropertyList& propertyList) {
  Request request = intrinsicRequest("EnumerateInstances", nameSpace);
  request.params.push_back(ParamValue::ofClassName("ClassName", className));
  addFlag(request, "LocalOnly", localOnly, true);
  addFlag(request, "DeepInheritance", deepInheritance, true);
  addObjectOptions(request, includeQualifiers, includeClassOrigin, propertyList);
  Response response = rep_->call(request);
  expectReturn(response, Response::NAMED_INSTANCES, "VALUE.NAMEDINSTANCE");
  Array<CIMInstance> instances;
  instances.reserveCapacity(static_cast<Uint32>(response.instances.size()));
  for (CIMInstance& instance : response.instances) {
    const CIMObjectPath& path = instance.getPath();
    if (!path.getHost().isEmpty() || !path.getNameSpace().isNull()) instance.setPath(localPath(path));
    instances.append(std::move(instance));
  }
  return instances;
}

Array<CIMObjectPath> CIMClient::enumerateInstanceNames(const CIMNamespaceName& nameSpace, const CIMName& className) {
  Request request = intrinsicRequest("EnumerateInstanceNames", nameSpace);
  request.params.push_back(ParamValue::ofClassName("ClassName", className));
  Response response = rep_->call(request);
  expectReturn(response, Response::INSTANCE_NAMES, "INSTANCENAME");
  Array<CIMObjectPath> paths;
  paths.reserveCapacity(static_cast<Uint32>(response.paths.size()));
  for (const CIMObjectPath& path : response.paths) paths.append(localPath(path));
  return paths;
}

Array<CIMObjectPath> CIMClient::associatorNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                                const CIMName& assocClass, const CIMName& resultClass,
                                                const String& role, const String& resultRole) {
  Request request =
      associatorsRequest("AssociatorNames", nameSpace, objectName, assocClass, resultClass, role, resultRole);
  Response response = rep_->call(request);
  expectReturn(response, Response::OBJECT_PATHS, "OBJECTPATH");
  return pathsOf(response);
}

Array<CIMObject> CIMClient::associators(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                        const CIMName& assocClass, const CIMName& resultClass, const String& role,
                                        const String& resultRole, Boolean includeQualifiers, Boolean includeClassOrigin,
                                        const CIMPropertyList& propertyList) {
  Request request = associatorsRequest("Associators", nameSpace, objectName, assocClass, resultClass, role, resultRole);
  addObjectOptions(request, includeQualifiers, includeClassOrigin, propertyList);
  Response response = rep_->call(request);
  expectReturn(response, Response::OBJECTS_WITH_PATH, "VALUE.OBJECTWITHPATH");
  return objectsOf(response);
}

Array<CIMObject> CIMClient::references(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                       const CIMName& resultClass, const String& role, Boolean includeQualifiers,
                                       Boolean includeClassOrigin, const CIMPropertyList& propertyList) {
  Request request = referencesRequest("References", nameSpace, objectName, resultClass, role);
  addObjectOptions(request, includeQualifiers, includeClassOrigin, propertyList);
  Response response = rep_->call(request);
  expectReturn(response, Response::OBJECTS_WITH_PATH, "VALUE.OBJECTWITHPATH");
  return objectsOf(response);
}

Array<CIMObjectPath> CIMClient::referenceNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                               const CIMName& resultClass, const String& role) {
  Request request = referencesRequest("ReferenceNames", nameSpace, objectName, resultClass, role);
  Response response = rep_->call(request);
  expectReturn(response, Response::OBJECT_PATHS, "OBJECTPATH");
  return pathsOf(response);
}

void CIMClient::modifyInstance(const CIMNamespaceName& nameSpace, const CIMInstance& modifiedInstance,
                               Boolean includeQualifiers, const CIMPropertyList& propertyList) {
  Request request = intrinsicRequest("ModifyInstance", nameSpace);
  request.params.push_back(ParamValue::ofInstance("ModifiedInstance", modifiedInstance));
  addFlag(request, "IncludeQualifiers", includeQualifiers, true);
  addPropertyList(request, propertyList);
  rep_->call(request);
}

void CIMClient::deleteInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName) {
  Request request = intrinsicRequest("DeleteInstance", nameSpace);
  request.params.push_back(ParamValue::ofInstanceName("InstanceName", instanceName));
  rep_->call(request);
}

CIMValue CIMClient::invokeMethod(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                                 const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                                 Array<CIMParamValue>& outParameters) {
  Request request;
  request.intrinsic = false;
  request.methodName = methodName.getString();
  request.nameSpace = nameSpace;
  request.objectPath = instanceName;
  request.objectPath.setHost(String());
  request.objectPath.setNameSpace(nameSpace);
  for (const CIMParamValue& parameter : inParameters)
    request.params.push_back(
        ParamValue::ofValue(parameter.getParameterName(), parameter.getValue(), parameter.isTyped()));
  Response response = rep_->call(request);
  outParameters.clear();
  for (const CIMParamValue& parameter : response.outParams) outParameters.append(parameter);
  return response.returnValue;
}

}  // namespace Pegasus
