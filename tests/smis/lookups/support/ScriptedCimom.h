// A small CIMOM on a loopback port that answers enumerations (and GetInstance) from tables the test fills,
// for the lookups and operations whose other array families the simulated 3PAR provider does not model.
// References and ReferenceNames answer the instances scripted for the object and result class. Extrinsic
// methods answer what the test scripted for them (0 and no out-parameters unless told) and are recorded.
// Every other request gets an empty answer.
#pragma once
#include <httplib.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Pegasus/CimXml.h"

namespace lookuptest {

class ScriptedCimom {
 public:
  ScriptedCimom() {
    server_.Post("/cimom",
                 [this](const httplib::Request& request, httplib::Response& response) { Answer(request, response); });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("no loopback port for the scripted CIMOM");
    // Connections made before the accept loop runs wait in the bound socket's backlog.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }

  ~ScriptedCimom() {
    server_.stop();
    thread_.join();
  }

  ScriptedCimom(const ScriptedCimom&) = delete;
  ScriptedCimom& operator=(const ScriptedCimom&) = delete;

  int port() const { return port_; }

  // What EnumerateInstanceNames of the class answers.
  void SetNames(const std::string& className, std::vector<Pegasus::CIMObjectPath> paths) {
    std::lock_guard<std::mutex> lock(mutex_);
    names_[className] = std::move(paths);
  }

  // What EnumerateInstances of the class answers; each instance's path is its instance name.
  void SetInstances(const std::string& className, std::vector<Pegasus::CIMInstance> instances) {
    std::lock_guard<std::mutex> lock(mutex_);
    instances_[className] = std::move(instances);
  }

  // What AssociatorNames of the object through the association class answers.
  void SetAssociators(const Pegasus::CIMObjectPath& object, const std::string& assocClass,
                      std::vector<Pegasus::CIMObjectPath> paths) {
    std::lock_guard<std::mutex> lock(mutex_);
    associators_.push_back(Association{object, assocClass, std::move(paths)});
  }

  // What References of the object with the result class answers (ReferenceNames: their paths).
  void SetReferences(const Pegasus::CIMObjectPath& object, const std::string& resultClass,
                     std::vector<Pegasus::CIMInstance> references) {
    std::lock_guard<std::mutex> lock(mutex_);
    references_.push_back(Reference{object, resultClass, std::move(references)});
  }

  // What the extrinsic method answers from now on.
  void SetMethodAnswer(const std::string& method, Pegasus::Uint32 returnValue,
                       std::vector<Pegasus::CIMParamValue> outParams = {}) {
    std::lock_guard<std::mutex> lock(mutex_);
    methodAnswers_[method] = MethodAnswer{returnValue, std::move(outParams)};
  }

  // The extrinsic calls received, in order.
  struct MethodCall {
    std::string method;
    Pegasus::CIMObjectPath target;
    std::vector<Pegasus::CimXml::ParamValue> params;
    const Pegasus::CimXml::ParamValue* find(const std::string& name) const {
      for (const Pegasus::CimXml::ParamValue& param : params)
        if (param.name == Pegasus::String(name)) return &param;
      return nullptr;
    }
  };
  std::vector<MethodCall> Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

  // The extrinsic calls of one method received, in order.
  std::vector<MethodCall> Calls(const std::string& method) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<MethodCall> calls;
    for (const MethodCall& call : calls_)
      if (call.method == method) calls.push_back(call);
    return calls;
  }

  void ClearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
  }

  int Requests(const std::string& operation) {
    std::lock_guard<std::mutex> lock(mutex_);
    return counts_[operation];
  }

 private:
  void Answer(const httplib::Request& http, httplib::Response& reply) {
    using namespace Pegasus;
    CimXml::Request request = CimXml::decodeRequest(String(http.body));
    CimXml::Response response;
    response.messageId = request.messageId;
    response.intrinsic = request.intrinsic;
    response.methodName = request.methodName;
    const CimXml::ParamValue* classParam = request.find("ClassName");
    std::string className = classParam ? classParam->className.getString().str() : "";
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++counts_[request.methodName.str()];
      if (!request.intrinsic) {
        AnswerMethodLocked(request, response);
      } else if (request.methodName == String("GetInstance")) {
        AnswerInstanceLocked(request, response);
      } else if (request.methodName == String("EnumerateInstanceNames")) {
        response.returnKind = CimXml::Response::INSTANCE_NAMES;
        response.paths = names_[className];
      } else if (request.methodName == String("EnumerateInstances")) {
        response.returnKind = CimXml::Response::NAMED_INSTANCES;
        response.instances = instances_[className];
      } else if (request.methodName == String("References")) {
        response.returnKind = CimXml::Response::OBJECTS_WITH_PATH;
        response.instances = ReferencesLocked(request);
      } else {
        response.returnKind = CimXml::Response::OBJECT_PATHS;
        if (request.methodName == String("AssociatorNames")) response.paths = AssociatorsLocked(request);
        if (request.methodName == String("ReferenceNames"))
          for (const Pegasus::CIMInstance& reference : ReferencesLocked(request))
            response.paths.push_back(reference.getPath());
      }
    }
    reply.set_header("CIMOperation", "MethodResponse");
    reply.set_content(CimXml::encodeResponse(response).str(), "application/xml; charset=\"utf-8\"");
  }

  void AnswerMethodLocked(const Pegasus::CimXml::Request& request, Pegasus::CimXml::Response& response) {
    std::string method = request.methodName.str();
    calls_.push_back(MethodCall{method, request.objectPath, request.params});
    const MethodAnswer& answer = methodAnswers_[method];
    response.returnValue = Pegasus::CIMValue(answer.returnValue);
    response.outParams = answer.outParams;
  }

  void AnswerInstanceLocked(const Pegasus::CimXml::Request& request, Pegasus::CimXml::Response& response) {
    const Pegasus::CimXml::ParamValue* name = request.find("InstanceName");
    for (const auto& entry : instances_)
      for (const Pegasus::CIMInstance& instance : entry.second)
        if (name && Pegasus::refersToSameObject(instance.getPath(), name->instanceName)) {
          response.returnKind = Pegasus::CimXml::Response::INSTANCE;
          response.instances = {instance};
          return;
        }
    response.isError = true;
    response.errorCode = Pegasus::CIM_ERR_NOT_FOUND;
  }

  struct MethodAnswer {
    Pegasus::Uint32 returnValue = 0;
    std::vector<Pegasus::CIMParamValue> outParams;
  };

  struct Association {
    Pegasus::CIMObjectPath object;
    std::string assocClass;
    std::vector<Pegasus::CIMObjectPath> paths;
  };

  std::vector<Pegasus::CIMObjectPath> AssociatorsLocked(const Pegasus::CimXml::Request& request) {
    const Pegasus::CimXml::ParamValue* object = request.find("ObjectName");
    const Pegasus::CimXml::ParamValue* assocClass = request.find("AssocClass");
    if (!object || !assocClass) return {};
    for (const Association& association : associators_) {
      if (!Pegasus::refersToSameObject(association.object, object->instanceName) ||
          association.assocClass != assocClass->className.getString().str())
        continue;
      // Association answers carry host and namespace, as a CIMOM sends them.
      std::vector<Pegasus::CIMObjectPath> paths = association.paths;
      for (Pegasus::CIMObjectPath& path : paths) {
        path.setHost("127.0.0.1");
        path.setNameSpace(request.nameSpace);
      }
      return paths;
    }
    return {};
  }

  struct Reference {
    Pegasus::CIMObjectPath object;
    std::string resultClass;
    std::vector<Pegasus::CIMInstance> instances;
  };

  // Reference answers carry host and namespace, as a CIMOM sends them.
  std::vector<Pegasus::CIMInstance> ReferencesLocked(const Pegasus::CimXml::Request& request) {
    const Pegasus::CimXml::ParamValue* object = request.find("ObjectName");
    const Pegasus::CimXml::ParamValue* resultClass = request.find("ResultClass");
    if (!object || !resultClass) return {};
    for (const Reference& reference : references_) {
      if (!Pegasus::refersToSameObject(reference.object, object->instanceName) ||
          reference.resultClass != resultClass->className.getString().str())
        continue;
      std::vector<Pegasus::CIMInstance> instances = reference.instances;
      for (Pegasus::CIMInstance& instance : instances) {
        Pegasus::CIMObjectPath path = instance.getPath();
        path.setHost("127.0.0.1");
        path.setNameSpace(request.nameSpace);
        instance.setPath(path);
      }
      return instances;
    }
    return {};
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::map<std::string, std::vector<Pegasus::CIMObjectPath>> names_;
  std::map<std::string, std::vector<Pegasus::CIMInstance>> instances_;
  std::map<std::string, int> counts_;
  std::vector<Association> associators_;
  std::vector<Reference> references_;
  std::map<std::string, MethodAnswer> methodAnswers_;
  std::vector<MethodCall> calls_;
};

}  // namespace lookuptest
