// The simulated 3PAR SMI-S provider: a CIM-XML server on a loopback port over the in-memory model, with a
// control interface (HTTP/JSON under /control/) and the same controls as C++ calls for in-process tests.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "smis-sim/FaultPlan.h"
#include "smis-sim/Model.h"
#include "smis-sim/RequestLog.h"

namespace smissim {

struct SimulatorOptions {
  std::string bindAddress = "127.0.0.1";  // loopback only (127.0.0.0/8, ::1 or localhost)
  int port = 0;                           // 0: an ephemeral port
  bool https = false;
  bool oldTls = false;            // HTTPS as older firmware serves it: TLS 1.0 only, old ciphers
  std::string certFile, keyFile;  // PEM files; empty: a self-signed certificate made at start
  std::string user = "admin";     // empty user: no authentication
  std::string password = "secret";
  std::string browseUser, browsePassword;  // optional account that may read but not change the array
  std::string seedJson;                    // seed document; empty: the default array (see defaultSeed())
  unsigned threads = 80;                   // worker threads kept ready, one per connection being served
                                           // (more start while all are busy)
  unsigned readDeadlineMs = 10000;         // a connection must deliver a whole request within this (from
                                           // being accepted or last answered) or it is closed
};

// One array (serial 001234, firmware 3.1.2) with three CPGs, a few volumes and two hosts.
std::string defaultSeed();

class HttpFrontEnd;
class ControlApi;
class CimService;

class Simulator {
 public:
  explicit Simulator(SimulatorOptions options = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Binds, seeds and starts serving; throws std::runtime_error when the address cannot be used.
  void start();
  void stop();
  // Asks the control interface for its health until it answers; false after `timeoutMs`.
  bool waitUntilAnswering(int timeoutMs) const;
  int port() const;
  const SimulatorOptions& options() const { return options_; }
  std::string url() const;  // "http://127.0.0.1:<port>" or https

  // Controls (the control interface offers the same).
  void seed(const std::string& json);  // throws JsonError / ModelError
  void reset(const std::string& seedJson = "");
  void updateSettings(const std::string& json);
  void injectFault(const FaultRule& rule);
  void clearFaults();
  std::vector<FaultRule> pendingFaults() const { return faults_.pending(); }
  std::map<std::string, std::uint64_t> requestCounts() const { return log_.counts(); }
  std::uint64_t requestCount(const std::string& operation) const { return log_.count(operation); }
  std::vector<MethodCallRecord> methodCalls() const { return log_.calls(); }
  void clearLog() { log_.clear(); }
  // Runs `observer` with the operation name of each request, on the thread serving it (tests only).
  void observeRequests(std::function<void(const std::string& operation)> observer) { log_.observe(observer); }
  std::string modelJson();
  std::vector<ExposedLun> exposedTo(const std::vector<std::string>& initiatorPorts);

  // Runs `action` on the model with the model lock held alone.
  template <class Action>
  auto withModel(Action action) -> decltype(action(std::declval<Model&>())) {
    std::unique_lock<std::shared_mutex> lock(model_.mutex());
    return action(model_);
  }

 private:
  SimulatorOptions options_;
  Model model_;
  FaultPlan faults_;
  RequestLog log_;
  std::unique_ptr<CimService> cim_;
  std::unique_ptr<ControlApi> control_;
  std::unique_ptr<HttpFrontEnd> http_;
};

}  // namespace smissim
