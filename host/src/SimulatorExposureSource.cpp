#include "SimulatorExposureSource.h"

#include <httplib.h>

#include <sstream>

#include "TQPlatformInfo.h"
#include "TqJsonReader.h"
#include "TqNumberParse.h"

namespace TQSO {

namespace {

std::string requestBody(const std::vector<std::string>& ports) {
  std::string body = "{\"initiators\":[";
  for (size_t i = 0; i < ports.size(); ++i) body += (i > 0 ? "," : "") + tqhost::jsonQuote(ports[i]);
  return body + "]}";
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, ',')) {
    item = tqhost::trimBlanks(item);
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

std::string configString(const char* key) {
  TQPlatformInfo configuration;
  std::string value;
  return configuration.getString("Corvane", key, value) != 0 ? tqhost::trimBlanks(value) : std::string();
}

}  // namespace

SimulatorExposureSource::SimulatorExposureSource(std::string baseUrl, std::string user, std::string password,
                                                 int timeoutSeconds)
    : baseUrl_(std::move(baseUrl)),
      user_(std::move(user)),
      password_(std::move(password)),
      timeoutSeconds_(timeoutSeconds > 0 ? timeoutSeconds : 10) {
  while (!baseUrl_.empty() && baseUrl_.back() == '/') baseUrl_.pop_back();
}

bool SimulatorExposureSource::readAnswer(const std::string& body, std::vector<ExposedVolume>& out,
                                         std::string& error) {
  tqhost::JsonValue answer;
  if (!tqhost::parseJson(body, answer, error)) return false;
  if (answer.kind != tqhost::JsonValue::Array) {
    error = "the exposure answer is not a list";
    return false;
  }
  std::vector<ExposedVolume> volumes;
  for (const tqhost::JsonValue& item : answer.items) {
    ExposedVolume volume;
    volume.array = item.memberText("array");
    volume.volume = item.memberText("volume");
    volume.wwn = item.memberText("wwn");
    const tqhost::JsonValue* lun = item.member("lun");
    if (volume.wwn.empty() || lun == nullptr || lun->kind != tqhost::JsonValue::Number || lun->number < 0 ||
        lun->number > 65535) {
      error = "an exposed volume without a WWN or a LUN number";
      return false;
    }
    volume.lun = static_cast<unsigned>(lun->number);
    volumes.push_back(volume);
  }
  out = std::move(volumes);
  return true;
}

bool SimulatorExposureSource::exposedTo(const std::vector<std::string>& initiatorPorts,
                                        std::vector<ExposedVolume>& out, std::string& error) {
  try {
    httplib::Client client(baseUrl_);
    if (!client.is_valid()) {
      error = "bad control URL '" + baseUrl_ + "'";
      return false;
    }
    client.set_connection_timeout(timeoutSeconds_, 0);
    client.set_read_timeout(timeoutSeconds_, 0);
    client.enable_server_certificate_verification(false);
    if (!user_.empty()) client.set_basic_auth(user_, password_);
    httplib::Result result = client.Post("/control/exposed", requestBody(initiatorPorts), "application/json");
    if (!result) {
      error = "control request to " + baseUrl_ + " failed: " + httplib::to_string(result.error());
      return false;
    }
    if (result->status != 200) {
      error = "control request to " + baseUrl_ + " answered HTTP " + std::to_string(result->status);
      return false;
    }
    return readAnswer(result->body, out, error);
  } catch (const std::exception& failure) {
    error = std::string("control request failed: ") + failure.what();
    return false;
  }
}

std::shared_ptr<SimulatedHostPlatform> makeSimulatedHostFromConfiguration(std::string& error) {
  const std::string url = configString("TQ_SIM_CONTROL_URL");
  std::vector<HostInitiator> ports;
  for (const std::string& name : splitList(configString("TQ_SIM_HOST_FC_PORTS"))) ports.push_back({name, INITIATOR_FC});
  for (const std::string& name : splitList(configString("TQ_SIM_HOST_ISCSI_NAMES")))
    ports.push_back({name, INITIATOR_ISCSI});
  if (url.empty() || ports.empty()) {
    error = "the simulated host needs TQ_SIM_CONTROL_URL and at least one port in TQ_SIM_HOST_FC_PORTS or "
            "TQ_SIM_HOST_ISCSI_NAMES";
    return nullptr;
  }
  auto source = std::make_shared<SimulatorExposureSource>(url, configString("TQ_SIM_CONTROL_USER"),
                                                          configString("TQ_SIM_CONTROL_PASSWORD"));
  return std::make_shared<SimulatedHostPlatform>(ports, source);
}

}  // namespace TQSO
