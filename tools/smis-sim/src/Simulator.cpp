#include "smis-sim/Simulator.h"

#include <chrono>
#include <memory>
#include <thread>

#include <httplib.h>

#include "CimService.h"
#include "ClassHierarchy.h"
#include "ControlApi.h"
#include "HttpFrontEnd.h"

namespace smissim {

std::string defaultSeed() {
  return R"({
  "arrays": [{
    "serial": "001234", "firmware": "3.1.2", "build": 484,
    "cpgs": ["FC_r1", "FC_r5", "SSD_r6"],
    "volumes": [
      {"name": "oradata01", "cpg": "FC_r5", "sizeBytes": 107374182400},
      {"name": "oralog01", "cpg": "FC_r1", "sizeBytes": 21474836480},
      {"name": "exchdb01", "cpg": "FC_r5", "sizeBytes": 268435456000, "thin": false},
      {"name": "vmstore01", "cpg": "SSD_r6", "sizeBytes": 536870912000}
    ],
    "hosts": [
      {"name": "dbhost01", "fc": ["10000000C9A1B2C3", "10000000C9A1B2C4"]},
      {"name": "backup01", "iscsi": ["iqn.1994-05.com.redhat:backup01"]}
    ],
    "exports": [
      {"volume": "oradata01", "host": "dbhost01", "lun": 1},
      {"volume": "oralog01", "host": "dbhost01", "lun": 2}
    ]
  }]
})";
}

Simulator::Simulator(SimulatorOptions options) : options_(std::move(options)) {
  faults_.setClassMatcher([](const std::string& requestClass, const std::string& ruleClass) {
    return ClassHierarchy::instance().isA(requestClass, ruleClass);
  });
  cim_ = std::make_unique<CimService>(model_, faults_, log_);
  control_ = std::make_unique<ControlApi>(*this);
  http_ = std::make_unique<HttpFrontEnd>(options_, *cim_, *control_);
}

Simulator::~Simulator() { stop(); }

void Simulator::start() {
  reset(options_.seedJson);
  http_->start();
}

void Simulator::stop() {
  if (http_) http_->stop();
}

bool Simulator::waitUntilAnswering(int timeoutMs) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    std::unique_ptr<httplib::ClientImpl> client;
    if (options_.https) {
      auto* tls = new httplib::SSLClient(options_.bindAddress, port());
      client.reset(tls);
      tls->enable_server_certificate_verification(false);
      if (options_.oldTls) {
        SSL_CTX_set_security_level(tls->ssl_context(), 0);
        SSL_CTX_set_cipher_list(tls->ssl_context(), "DEFAULT:@SECLEVEL=0");
        SSL_CTX_set_min_proto_version(tls->ssl_context(), TLS1_VERSION);
      }
    } else {
      client.reset(new httplib::ClientImpl(options_.bindAddress, port()));
    }
    auto result = client->Get("/control/health");
    if (result && result->status == 200) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

int Simulator::port() const { return http_->port(); }

std::string Simulator::url() const {
  return std::string(options_.https ? "https" : "http") + "://" + options_.bindAddress + ":" + std::to_string(port());
}

void Simulator::seed(const std::string& json) {
  Json document = Json::parse(json);
  withModel([&](Model& model) { model.seed(document); });
}

void Simulator::reset(const std::string& seedJson) {
  Json document = Json::parse(seedJson.empty() ? defaultSeed() : seedJson);
  withModel([&](Model& model) {
    model.clear();
    model.settings() = Settings();
    model.seed(document);
  });
  faults_.clear();
  log_.clear();
}

void Simulator::updateSettings(const std::string& json) {
  Json document = Json::parse(json);
  withModel([&](Model& model) {
    model.settings().update(document);
    for (const auto& item : document.has("arrays") ? document.get("arrays").items() : std::vector<Json>{}) {
      StorageArray* array = model.arrayBySerial(item.getString("serial"));
      if (!array) throw ModelError("no array " + item.getString("serial"));
      model.setFirmware(*array, item.getString("firmware", array->firmware),
                        static_cast<Pegasus::Uint16>(item.getUint64("build", array->build)));
    }
  });
}

void Simulator::injectFault(const FaultRule& rule) { faults_.add(rule); }

void Simulator::clearFaults() { faults_.clear(); }

std::string Simulator::modelJson() {
  std::shared_lock<std::shared_mutex> lock(model_.mutex());
  return model_.toJson().dump();
}

std::vector<ExposedLun> Simulator::exposedTo(const std::vector<std::string>& initiatorPorts) {
  std::shared_lock<std::shared_mutex> lock(model_.mutex());
  return model_.exposedTo(initiatorPorts);
}

}  // namespace smissim
