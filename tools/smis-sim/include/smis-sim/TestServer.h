// Test fixture: the simulator started in-process on an ephemeral loopback port, answering when the constructor
// returns, stopped by the destructor.
#pragma once
#include <stdexcept>
#include <string>

#include "smis-sim/Simulator.h"

namespace smissim {

class TestServer {
 public:
  explicit TestServer(SimulatorOptions options = {}) : simulator_(withEphemeralPort(std::move(options))) {
    simulator_.start();
    waitUntilAnswering();
  }
  ~TestServer() { simulator_.stop(); }
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  Simulator& simulator() { return simulator_; }
  Simulator* operator->() { return &simulator_; }
  const char* host() const { return "127.0.0.1"; }
  int port() const { return simulator_.port(); }
  const std::string& user() const { return simulator_.options().user; }
  const std::string& password() const { return simulator_.options().password; }
  bool https() const { return simulator_.options().https; }

 private:
  static SimulatorOptions withEphemeralPort(SimulatorOptions options) {
    options.bindAddress = "127.0.0.1";
    options.port = 0;
    return options;
  }

  // Generous: a loaded machine or a sanitizer build can take seconds to answer the first request; a
  // simulator that answers returns at once.
  void waitUntilAnswering() {
    if (!simulator_.waitUntilAnswering(30000))
      throw std::runtime_error("the simulator did not answer on port " + std::to_string(port()));
  }

  Simulator simulator_;
};

}  // namespace smissim
