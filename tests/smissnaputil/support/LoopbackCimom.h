// A CIM-XML server on 127.0.0.1 (ephemeral port, HTTP or HTTPS) that answers the reads of the
// connection layer and can spoil its answers on purpose: delay, 401, 500, a CIM error, a body that is
// not CIM-XML. It checks Basic credentials and counts what it was asked.
#pragma once
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "Pegasus/CimXml.h"
#include "Pegasus/Exception.h"
#include "TestCertificate.h"

namespace smistest {

using Pegasus::CimXml::Request;
using Pegasus::CimXml::Response;

enum class FaultKind {
  Delay,         // the normal answer, after delayMillis
  Unauthorized,  // 401, as for wrong credentials
  ServerError,   // 500
  CimError,      // an ERROR element with code and description
  Garbage,       // 200 with a body that is not XML
};

struct Fault {
  FaultKind kind = FaultKind::Delay;
  int delayMillis = 0;
  Pegasus::CIMStatusCode code = Pegasus::CIM_ERR_FAILED;
  std::string description;

  static Fault delay(int millis) { Fault f; f.kind = FaultKind::Delay; f.delayMillis = millis; return f; }
  static Fault of(FaultKind kind) { Fault f; f.kind = kind; return f; }
  static Fault cimError(Pegasus::CIMStatusCode code, const std::string& description)
  {
    Fault f;
    f.kind = FaultKind::CimError;
    f.code = code;
    f.description = description;
    return f;
  }
};

// Answers every read with a small fixed model: instances and names of the asked class.
Response DefaultAnswer(const Request& request);

class LoopbackCimom {
 public:
  using Handler = std::function<Response(const Request&)>;

  static constexpr const char* kUser = "tquser";
  static constexpr const char* kPassword = "tqsecret";

  explicit LoopbackCimom(bool https = false, Handler handler = DefaultAnswer)
      : handler_(std::move(handler))
  {
    if (https) {
      cimtest::TestCertificate certificate = cimtest::makeSelfSignedCertificate();
      server_.reset(new httplib::SSLServer(certificate.cert.get(), certificate.key.get()));
    } else {
      server_.reset(new httplib::Server);
    }
    server_->set_keep_alive_timeout(1);
    server_->set_tcp_nodelay(true);
    server_->Post("/cimom", [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
      throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  ~LoopbackCimom()
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    server_->stop();
    thread_.join();
  }

  LoopbackCimom(const LoopbackCimom&) = delete;
  LoopbackCimom& operator=(const LoopbackCimom&) = delete;

  int port() const { return port_; }

  // The next answers suffer these faults, one per request, in order.
  void QueueFault(const Fault& fault, int times = 1)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < times; ++i)
      queued_.push_back(fault);
  }
  // Every answer suffers this fault once the queue is empty.
  void SetLastingFault(const std::optional<Fault>& fault)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lasting_ = fault;
  }

  // Requests seen (credentials checked or not), by CIM method name; an empty name counts all.
  int RequestCount(const std::string& method = std::string()) const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (method.empty()) {
      int all = 0;
      for (const auto& entry : requests_)
        all += entry.second;
      return all;
    }
    auto it = requests_.find(method);
    return it == requests_.end() ? 0 : it->second;
  }

 private:
  std::optional<Fault> NextFault()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!queued_.empty()) {
      Fault fault = queued_.front();
      queued_.pop_front();
      return fault;
    }
    return lasting_;
  }

  static std::string Base64(const std::string& text)
  {
    std::string encoded(4 * ((text.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&encoded[0]),
                                       reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<int>(text.size()));
    encoded.resize(static_cast<size_t>(length));
    return encoded;
  }

  static bool Authorized(const httplib::Request& req)
  {
    return req.get_header_value("Authorization") == "Basic " + Base64(std::string(kUser) + ":" + kPassword);
  }

  void Pause(int millis)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(millis), [this] { return stopping_; });
  }

  void Serve(const httplib::Request& req, httplib::Response& res)
  {
    Request request = Pegasus::CimXml::decodeRequest(Pegasus::String(req.body));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++requests_[request.methodName.str()];
    }
    std::optional<Fault> fault = NextFault();
    if (!Authorized(req) || (fault && fault->kind == FaultKind::Unauthorized)) {
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"127.0.0.1\"");
      return;
    }
    if (fault && fault->kind == FaultKind::ServerError) {
      res.status = 500;
      return;
    }
    if (fault && fault->kind == FaultKind::Garbage) {
      res.set_header("CIMOperation", "MethodResponse");
      res.set_content("this is not CIM-XML", "application/xml; charset=utf-8");
      return;
    }
    if (fault && fault->kind == FaultKind::Delay)
      Pause(fault->delayMillis);

    Response answer;
    if (fault && fault->kind == FaultKind::CimError) {
      answer.isError = true;
      answer.errorCode = fault->code;
      answer.errorDescription = fault->description;
    } else {
      answer = handler_(request);
    }
    answer.messageId = request.messageId;
    answer.intrinsic = request.intrinsic;
    answer.methodName = request.methodName;
    res.set_header("CIMOperation", "MethodResponse");
    res.set_content(Pegasus::CimXml::encodeResponse(answer).str(), "application/xml; charset=utf-8");
  }

  Handler handler_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::deque<Fault> queued_;
  std::optional<Fault> lasting_;
  std::map<std::string, int> requests_;
};

inline Response DefaultAnswer(const Request& request)
{
  using namespace Pegasus;
  Response answer;
  const std::string method = request.methodName.str();
  const CimXml::ParamValue* classParam = request.find("ClassName");
  const CIMName className = classParam ? classParam->className : CIMName("TPD_StorageVolume");
  auto pathOf = [&](const char* id) {
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("DeviceID"), String(id), CIMKeyBinding::STRING));
    return CIMObjectPath(String(), CIMNamespaceName(), className, keys);
  };
  auto instanceOf = [&](const char* id) {
    CIMInstance instance(className);
    instance.addProperty(CIMProperty(CIMName("DeviceID"), CIMValue(String(id))));
    instance.setPath(pathOf(id));
    return instance;
  };
  if (method == "GetInstance") {
    answer.returnKind = Response::INSTANCE;
    answer.instances.push_back(instanceOf("vol-1"));
  } else if (method == "EnumerateInstances") {
    answer.returnKind = Response::NAMED_INSTANCES;
    answer.instances = {instanceOf("vol-1"), instanceOf("vol-2")};
  } else if (method == "EnumerateInstanceNames") {
    answer.returnKind = Response::INSTANCE_NAMES;
    answer.paths = {pathOf("vol-1"), pathOf("vol-2")};
  } else if (method == "AssociatorNames") {
    answer.returnKind = Response::OBJECT_PATHS;
    CIMObjectPath associated = pathOf("view-1");
    associated.setHost("127.0.0.1");
    associated.setNameSpace(CIMNamespaceName("root/tpd"));
    answer.paths = {associated};
  }
  return answer;
}

}  // namespace smistest
