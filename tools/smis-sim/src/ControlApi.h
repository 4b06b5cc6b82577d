// The control interface: JSON routes under /control/ to seed the model, inject faults, read counters, the
// method-call log, the model and what a set of initiator ports sees.
#pragma once

namespace httplib {
class Server;
}

namespace smissim {

class Simulator;

class ControlApi {
 public:
  explicit ControlApi(Simulator& simulator) : simulator_(simulator) {}
  void registerRoutes(httplib::Server& server);

 private:
  Simulator& simulator_;
};

}  // namespace smissim
