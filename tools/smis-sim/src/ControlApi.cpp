#include "ControlApi.h"

#include <sstream>

#include <httplib.h>

#include "smis-sim/Simulator.h"

namespace smissim {

namespace {

void sendJson(httplib::Response& response, const Json& json, int status = 200) {
  response.status = status;
  response.set_content(json.dump(), "application/json");
}

void sendError(httplib::Response& response, int status, const std::string& message) {
  Json json = Json::object();
  json.set("error", message);
  sendJson(response, json, status);
}

// Runs a route body; bad input gives 400 with the reason.
template <class Body>
httplib::Server::Handler route(Body body) {
  return [body](const httplib::Request& request, httplib::Response& response) {
    try {
      body(request, response);
    } catch (const JsonError& e) {
      sendError(response, 400, e.what());
    } catch (const ModelError& e) {
      sendError(response, 409, e.what());
    } catch (const std::exception& e) {
      sendError(response, 500, e.what());
    }
  };
}

Json ok() {
  Json json = Json::object();
  json.set("ok", true);
  return json;
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, ','))
    if (!item.empty()) items.push_back(item);
  return items;
}

Json exposedJson(const std::vector<ExposedLun>& luns) {
  Json list = Json::array();
  for (const ExposedLun& lun : luns) {
    Json item = Json::object();
    item.set("array", lun.array).set("host", lun.host).set("volume", lun.volume).set("wwn", lun.wwn);
    item.set("lun", static_cast<std::uint64_t>(lun.lun)).set("readOnly", lun.access == 3);
    list.push(item);
  }
  return list;
}

}  // namespace

void ControlApi::registerRoutes(httplib::Server& server) {
  Simulator& sim = simulator_;
  server.Get("/control/health",
             route([](const httplib::Request&, httplib::Response& response) { sendJson(response, ok()); }));
  server.Post("/control/seed", route([&sim](const httplib::Request& request, httplib::Response& response) {
                sim.seed(request.body);
                sendJson(response, ok());
              }));
  server.Post("/control/reset", route([&sim](const httplib::Request& request, httplib::Response& response) {
                sim.reset(request.body);
                sendJson(response, ok());
              }));
  server.Get("/control/settings", route([&sim](const httplib::Request&, httplib::Response& response) {
               sendJson(response, sim.withModel([](Model& model) { return model.settings().toJson(); }));
             }));
  server.Post("/control/settings", route([&sim](const httplib::Request& request, httplib::Response& response) {
                sim.updateSettings(request.body);
                sendJson(response, ok());
              }));
  server.Get("/control/faults", route([&sim](const httplib::Request&, httplib::Response& response) {
               Json list = Json::array();
               for (const FaultRule& rule : sim.pendingFaults()) list.push(rule.toJson());
               sendJson(response, list);
             }));
  server.Post("/control/faults", route([&sim](const httplib::Request& request, httplib::Response& response) {
                Json json = Json::parse(request.body);
                std::vector<FaultRule> rules;
                if (json.isArray()) {
                  for (const Json& item : json.items()) rules.push_back(FaultRule::fromJson(item));
                } else {
                  rules.push_back(FaultRule::fromJson(json));
                }
                for (const FaultRule& rule : rules) sim.injectFault(rule);
                sendJson(response, ok());
              }));
  server.Delete("/control/faults", route([&sim](const httplib::Request&, httplib::Response& response) {
                  sim.clearFaults();
                  sendJson(response, ok());
                }));
  server.Get("/control/counts", route([&sim](const httplib::Request&, httplib::Response& response) {
               Json json = Json::object();
               for (const auto& entry : sim.requestCounts()) json.set(entry.first, entry.second);
               sendJson(response, json);
             }));
  server.Get("/control/calls", route([&sim](const httplib::Request&, httplib::Response& response) {
               Json list = Json::array();
               for (const MethodCallRecord& call : sim.methodCalls()) list.push(call.toJson());
               sendJson(response, list);
             }));
  server.Delete("/control/calls", route([&sim](const httplib::Request&, httplib::Response& response) {
                  sim.clearLog();
                  sendJson(response, ok());
                }));
  server.Get("/control/model", route([&sim](const httplib::Request&, httplib::Response& response) {
               response.set_content(sim.modelJson(), "application/json");
             }));
  server.Get("/control/exposed", route([&sim](const httplib::Request& request, httplib::Response& response) {
               sendJson(response, exposedJson(sim.exposedTo(splitList(request.get_param_value("initiators")))));
             }));
  server.Post("/control/exposed", route([&sim](const httplib::Request& request, httplib::Response& response) {
                Json json = Json::parse(request.body);
                std::vector<std::string> ports;
                for (const Json& port : json.get("initiators").items()) ports.push_back(port.asString());
                sendJson(response, exposedJson(sim.exposedTo(ports)));
              }));
}

}  // namespace smissim
