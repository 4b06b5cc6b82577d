// Asks the simulated array's control interface which volumes are exposed to a set of initiator ports:
// POST <url>/control/exposed with {"initiators":[...]}; the answer is a JSON list of
// {"array","volume","wwn","lun",...}. Plain HTTP or HTTPS (the simulator's certificate is not checked:
// it is a loopback test server with a throw-away certificate).
//
// makeSimulatedHostFromConfiguration builds the simulated host from the configuration store, section
// "Corvane": "TQ_SIM_CONTROL_URL" (e.g. "http://127.0.0.1:5988"), "TQ_SIM_HOST_FC_PORTS" and
// "TQ_SIM_HOST_ISCSI_NAMES" (comma-separated; Fibre Channel ports first), and optionally
// "TQ_SIM_CONTROL_USER" / "TQ_SIM_CONTROL_PASSWORD" for Basic authentication.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "SimulatedHostPlatform.h"

namespace TQSO {

class SimulatorExposureSource : public TqExposureSource {
 public:
  explicit SimulatorExposureSource(std::string baseUrl, std::string user = "", std::string password = "",
                                   int timeoutSeconds = 10);

  bool exposedTo(const std::vector<std::string>& initiatorPorts, std::vector<ExposedVolume>& out,
                 std::string& error) override;

  // Reads an answer of the control interface (exposed for tests of bad answers).
  static bool readAnswer(const std::string& body, std::vector<ExposedVolume>& out, std::string& error);

 private:
  std::string baseUrl_;
  std::string user_;
  std::string password_;
  int timeoutSeconds_;
};

// Null with the reason when the control URL or every port is missing.
std::shared_ptr<SimulatedHostPlatform> makeSimulatedHostFromConfiguration(std::string& error);

}  // namespace TQSO
