// The HTTP(S) listener: Basic authentication on the CIM path, CIM requests to the CimService, the control
// routes, and the connection-level faults (dropping a connection).
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "smis-sim/Simulator.h"

namespace httplib {
class Server;
}

namespace smissim {

class CimService;
class ConnectionWatchdog;
class ControlApi;

class HttpFrontEnd {
 public:
  // Request bodies beyond this are refused, whether sent with a length or in chunks.
  static constexpr std::size_t kMaxBodyBytes = std::size_t(64) << 20;
  // Workers started at most, however many connections hold one.
  static constexpr std::size_t kMaxWorkers = 512;

  HttpFrontEnd(const SimulatorOptions& options, CimService& cim, ControlApi& control);
  ~HttpFrontEnd();

  // Binds and starts the listening thread; returns the bound port.
  int start();
  void stop();
  int port() const { return port_; }

 private:
  enum class Access { None, Browse, Full };
  Access access(const std::string& authorization) const;

  const SimulatorOptions& options_;
  CimService& cim_;
  ControlApi& control_;
  std::unique_ptr<httplib::Server> server_;
  std::unique_ptr<ConnectionWatchdog> watchdog_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace smissim
