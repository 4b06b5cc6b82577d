#include "CimService.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <thread>

#include "ClassDescription.h"
#include "ClassEnumeration.h"
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "IntrinsicOperations.h"
#include "NamespaceScope.h"
#include "Pegasus/CimXml.h"
#include "RequestNesting.h"
#include "smis-sim/VendorProfile.h"

using namespace Pegasus;
using Pegasus::CimXml::ParamValue;
using Pegasus::CimXml::Request;
using Pegasus::CimXml::Response;

namespace smissim {

namespace {

CimHttpReply protocolError(const char* cimError, const std::string& detail, int status = 400) {
  CimHttpReply reply;
  reply.status = status;
  reply.headers.emplace_back("CIMError", cimError);
  if (!detail.empty()) reply.headers.emplace_back("PGErrorDetail", CimXml::uriEncode(String(detail)).str());
  return reply;
}

// A request the decoder refused, answered as a CIM server does: versions and multiple requests it does not
// support with 501, XML that does not parse and XML that is not a valid request with 400.
CimHttpReply refusedRequest(const std::string& reason) {
  const struct {
    const char* mentions;
    const char* cimError;
  } unsupported[] = {
      {"multiple requests", "multiple-requests-unsupported"},
      {"unsupported CIMVERSION", "unsupported-cim-version"},
      {"unsupported DTDVERSION", "unsupported-dtd-version"},
      {"unsupported protocol version", "unsupported-protocol-version"},
  };
  for (const auto& kind : unsupported)
    if (reason.find(kind.mentions) != std::string::npos) return protocolError(kind.cimError, reason, 501);
  const bool parsed = reason.find("XML parse error") == std::string::npos;
  return protocolError(parsed ? "request-not-valid" : "request-not-well-formed", reason);
}

CimHttpReply xmlReply(std::string body) {
  CimHttpReply reply;
  reply.body = std::move(body);
  reply.headers.emplace_back("CIMOperation", "MethodResponse");
  return reply;
}

Response errorResponse(const Request& request, CIMStatusCode code, const std::string& description) {
  Response response;
  response.messageId = request.messageId;
  response.intrinsic = request.intrinsic;
  response.methodName = request.methodName;
  response.isError = true;
  response.errorCode = code;
  response.errorDescription = String(std::string(cimStatusCodeToString(code).str()) + ": " + description);
  return response;
}

bool isOneOfNoCase(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* candidate : names)
    if (String::equalNoCase(String(name), candidate)) return true;
  return false;
}

// The class a request is about, for fault matching.
std::string requestClass(const Request& request) {
  if (!request.intrinsic) return request.objectPath.getClassName().getString().str();
  for (const char* name : {"ClassName", "InstanceName", "ObjectName"}) {
    const ParamValue* param = request.find(String(name));
    if (!param) continue;
    if (param->kind == ParamValue::CLASSNAME) return param->className.getString().str();
    if (param->kind == ParamValue::INSTANCENAME) return param->instanceName.getClassName().getString().str();
  }
  if (const ParamValue* param = request.find("ModifiedInstance"))
    return param->instance.getClassName().getString().str();
  return "";
}

// The answer an HTTP-level fault gives instead of the request's own; none for a delay, which only waits.
std::optional<CimHttpReply> faultReply(const Request& request, const FaultRule& fault) {
  CimHttpReply reply;
  switch (fault.action) {
    case FaultAction::Delay:
      std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
      return std::nullopt;
    case FaultAction::DropConnection:
      reply.dropConnection = true;
      return reply;
    case FaultAction::HttpStatus:
      reply.status = fault.httpStatus;
      reply.challenge = fault.httpStatus == 401;
      return reply;
    case FaultAction::MalformedXml:
      return xmlReply("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM><MESSAGE ID=\"" +
                      xmlEscape(request.messageId.str()) + "\"><SIMPLERSP><IMETHODRESPONSE NAME=");
    case FaultAction::CimError: {
      std::string text = fault.description.empty() ? "injected fault" : fault.description;
      return xmlReply(
          CimXml::encodeResponse(errorResponse(request, static_cast<CIMStatusCode>(fault.cimErrorCode), text)).str());
    }
    default:
      return std::nullopt;
  }
}

// The CIMObject header names the namespace (intrinsic) or the target path (extrinsic) of the body.
bool headersMatchBody(const CimHttpRequest& http, const Request& request) {
  if (!String::equalNoCase(String(http.cimMethod), request.methodName)) return false;
  std::string object = CimXml::uriDecode(String(http.cimObject)).str();
  if (request.intrinsic) return String::equalNoCase(String(object), request.nameSpace.getString());
  try {
    CIMObjectPath headerPath{String(object)};
    return headerPath.getNameSpace() == request.nameSpace && refersToSameObject(headerPath, request.objectPath);
  } catch (const Exception&) {
    return false;
  }
}

MethodCallRecord callRecord(const Request& request) {
  MethodCallRecord record;
  record.method = request.methodName.str();
  record.target = request.objectPath.toString().str();
  for (const ParamValue& param : request.params) {
    ParamRecord p;
    p.name = param.name.str();
    p.typed = param.typed;
    if (param.kind == ParamValue::INSTANCENAME) {
      p.type = "reference";
      p.value = param.instanceName.toString().str();
    } else {
      p.type = cimTypeToString(param.value.getType());
      p.isNull = param.kind == ParamValue::NULLVALUE || param.value.isNull();
      p.isArray = param.value.isArray();
      p.value = param.value.toString().str();
    }
    record.params.push_back(p);
  }
  return record;
}

}  // namespace

std::string AnswerBuffers::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (kept_.empty()) return std::string();
  std::string buffer = std::move(kept_.back());
  kept_.pop_back();
  return buffer;
}

void AnswerBuffers::giveBack(std::string buffer) {
  if (buffer.capacity() < kMinBytes) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (kept_.size() < kKept) kept_.push_back(std::move(buffer));
}

CimHttpReply CimService::handle(const CimHttpRequest& http) {
  if (!String::equalNoCase(String(http.cimOperation), "MethodCall"))
    return protocolError("unsupported-operation", "CIMOperation header must be MethodCall");
  const std::string& version = http.cimProtocolVersion;
  if (!version.empty() && (version.compare(0, 2, "1.") != 0 || version.size() < 3 ||
                           version.find_first_not_of("0123456789", 2) != std::string::npos))
    return protocolError("unsupported-protocol-version", "CIMProtocolVersion " + version, 501);
  Request request;
  try {
    // Nesting far beyond any CIM-XML request is refused before a parser builds a tree of it.
    if (nestingDeeperThan(http.body, kMaxRequestNesting))
      return protocolError("request-not-valid", "elements nested too deeply");
    request = CimXml::decodeRequest(String(http.body));
  } catch (const Exception& e) {
    return refusedRequest(e.getMessage().str());
  }
  if (!http.hasCimMethod || !http.hasCimObject || !headersMatchBody(http, request))
    return protocolError("header-mismatch", "CIMMethod/CIMObject headers do not match the request");

  const std::string operation = request.methodName.str();
  log_.count(operation);
  if (!http.mayChange &&
      (!request.intrinsic || isOneOfNoCase(operation, {"ModifyInstance", "DeleteInstance", "CreateInstance"})))
    return xmlReply(
        CimXml::encodeResponse(errorResponse(request, CIM_ERR_ACCESS_DENIED, "the user may not change the array"))
            .str());

  std::vector<FaultRule> methodFaults, lateFaults;
  for (const FaultRule& fault : faults_.take(operation, requestClass(request))) {
    if (fault.isMethodLevel())
      methodFaults.push_back(fault);
    else if (fault.afterRunning)
      lateFaults.push_back(fault);
    else if (std::optional<CimHttpReply> reply = faultReply(request, fault))
      return *reply;
  }
  CimHttpReply reply = run(request, methodFaults);
  for (const FaultRule& fault : lateFaults)
    if (std::optional<CimHttpReply> late = faultReply(request, fault)) return *late;
  return reply;
}

CimHttpReply CimService::run(const Request& request, const std::vector<FaultRule>& methodFaults) {
  const std::string operation = request.methodName.str();
  MethodCallRecord record;
  if (!request.intrinsic) record = callRecord(request);
  Response response;
  try {
    if (!servesNamespace(request.nameSpace.getString().str()))
      throw CIMException(CIM_ERR_INVALID_NAMESPACE, "unknown namespace " + request.nameSpace.getString());
    if (request.intrinsic && String::equalNoCase(request.methodName, "GetClass")) {
      const ParamValue* name = request.find("ClassName");
      if (!name || name->kind != ParamValue::CLASSNAME)
        throw CIMException(CIM_ERR_INVALID_PARAMETER, "missing parameter ClassName");
      return xmlReply(getClassResponse(request.messageId.str(), name->className.getString().str()));
    }
    if (request.intrinsic && isClassEnumeration(request.methodName)) return xmlReply(classEnumerationResponse(request));
    if (request.intrinsic) {
      if (intrinsicChangesModel(operation)) {
        std::unique_lock<std::shared_mutex> lock(model_.mutex());
        response = runIntrinsic(model_, request);
      } else {
        std::shared_lock<std::shared_mutex> lock(model_.mutex());
        std::vector<const CIMInstance*> kept;
        if (enumeratesWholeInstances(model_, request, kept)) {
          scopeToNamespace(kept, request.nameSpace);
          Response head;
          head.messageId = request.messageId;
          head.methodName = request.methodName;
          head.returnKind = Response::NAMED_INSTANCES;
          // Written while the lock keeps them, into storage a large answer used before.
          return xmlReply(CimXml::encodeResponseText(head, kept, answerBuffers_.take()));
        }
        response = runIntrinsic(model_, request);
      }
      scopeToNamespace(response, request.nameSpace);
    } else {
      const std::string cls = request.objectPath.getClassName().getString().str();
      if (!ClassHierarchy::instance().known(cls))
        throw CIMException(CIM_ERR_INVALID_CLASS, String("unknown class " + cls));
      const MethodSignature* signature = findMethod(cls, operation);
      if (!signature) throw CIMException(CIM_ERR_METHOD_NOT_FOUND, String(operation + " is not a method of " + cls));
      MethodArgs args(*signature, request.params);
      std::unique_lock<std::shared_mutex> lock(model_.mutex());
      MethodOutcome outcome = runMethod(model_, request.objectPath, operation, args, methodFaults);
      lock.unlock();
      response.messageId = request.messageId;
      response.intrinsic = false;
      response.methodName = request.methodName;
      response.returnValue = CIMValue(outcome.returnValue);
      for (const CIMParamValue& out : outcome.out) response.outParams.push_back(out);
      record.returnValue = outcome.returnValue;
    }
  } catch (const CIMException& e) {
    response = errorResponse(request, e.getCode(), e.getMessage().str());
    record.cimError = e.getCode();
  } catch (const ModelError& e) {
    response = errorResponse(request, CIM_ERR_FAILED, e.what());
    record.cimError = CIM_ERR_FAILED;
  }
  if (!request.intrinsic) log_.record(record);
  return xmlReply(CimXml::encodeResponseText(response));
}

}  // namespace smissim
