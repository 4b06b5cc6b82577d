#include "SimulatorExposureSource.h"

#include <httplib.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <cstdio>
#include <sstream>

#include "TQPlatformInfo.h"
#include "TqNumberParse.h"

namespace TQSO {

namespace {

// Deepest bracket nesting read from an answer: the JSON reader recurses once per level.
const int kDeepestNesting = 64;

// The text as a JSON string literal, quotes included; bytes from 0x80 up pass unchanged.
std::string jsonQuote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", c);
      out += escape;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out + "\"";
}

std::string requestBody(const std::vector<std::string>& ports) {
  std::string body = "{\"initiators\":[";
  for (size_t i = 0; i < ports.size(); ++i) body += (i > 0 ? "," : "") + jsonQuote(ports[i]);
  return body + "]}";
}

// Whether the brackets of a JSON text nest deeper than kDeepestNesting (brackets inside strings not counted).
bool nestsTooDeep(const std::string& text) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kDeepestNesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
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

bool SimulatorExposureSource::readAnswer(const std::string& body, std::vector<ExposedVolume>& out, std::string& error) {
  namespace pt = boost::property_tree;
  // The tree does not tell a list from an object or a scalar, so the text itself must open a list.
  const size_t first = body.find_first_not_of(" \t\r\n");
  if (first == std::string::npos || body[first] != '[') {
    error = "the exposure answer is not a list";
    return false;
  }
  if (nestsTooDeep(body)) {
    error = "the exposure answer nests too deep";
    return false;
  }
  pt::ptree answer;
  try {
    std::istringstream text(body);
    pt::read_json(text, answer);
  } catch (const pt::json_parser_error& failure) {
    error = "the exposure answer is not JSON: " + failure.message() + " on line " + std::to_string(failure.line());
    return false;
  }
  std::vector<ExposedVolume> volumes;
  for (const auto& entry : answer) {
    const pt::ptree& item = entry.second;
    ExposedVolume volume;
    volume.array = item.get<std::string>("array", "");
    volume.volume = item.get<std::string>("volume", "");
    volume.wwn = item.get<std::string>("wwn", "");
    const boost::optional<double> lun = item.get_optional<double>("lun");
    if (volume.wwn.empty() || !lun || *lun < 0 || *lun > 65535) {
      error = "an exposed volume without a WWN or a LUN number";
      return false;
    }
    volume.lun = static_cast<unsigned>(*lun);
    volumes.push_back(volume);
  }
  out = std::move(volumes);
  return true;
}

bool SimulatorExposureSource::exposedTo(const std::vector<std::string>& initiatorPorts, std::vector<ExposedVolume>& out,
                                        std::string& error) {
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
    error =
        "the simulated host needs TQ_SIM_CONTROL_URL and at least one port in TQ_SIM_HOST_FC_PORTS or "
        "TQ_SIM_HOST_ISCSI_NAMES";
    return nullptr;
  }
  auto source = std::make_shared<SimulatorExposureSource>(url, configString("TQ_SIM_CONTROL_USER"),
                                                          configString("TQ_SIM_CONTROL_PASSWORD"));
  return std::make_shared<SimulatedHostPlatform>(ports, source);
}

}  // namespace TQSO
