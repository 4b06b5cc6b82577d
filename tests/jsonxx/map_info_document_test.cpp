// The map-information documents that the map and unmap calls read: walked with exactly the
// operations their reader uses (parse, empty, size, has/get of arrays, objects and strings, copies).
#include <gtest/gtest.h>

#include "jsonxx.h"

using jsonxx::Array;
using jsonxx::Object;
using jsonxx::String;

namespace {

// One line per host, "name|os|protocol text|endpoint,endpoint", or the first problem found.
std::string walk_hosts(const std::string& text, bool* parse_result = nullptr) {
  Object document;
  const bool parsed = document.parse(text);
  if (parse_result != nullptr) {
    *parse_result = parsed;
  }
  if (document.empty()) {
    return "no members";
  }
  if (!document.has<Array>("hosts")) {
    return "no hosts array";
  }
  const Array hosts = document.get<Array>("hosts");
  std::string lines;
  for (unsigned i = 0; i < hosts.size(); ++i) {
    if (!hosts.has<Object>(i)) {
      return "host not an object";
    }
    const Object host(hosts.get<Object>(i));
    for (const char* key : {"hostname", "hostos", "protocol"}) {
      if (!host.has<String>(key)) {
        return std::string(key) + " not a string";
      }
    }
    if (!host.has<Array>("endpoints")) {
      return "endpoints not an array";
    }
    Array endpoints;
    endpoints = host.get<Array>("endpoints");
    std::string joined;
    for (unsigned e = 0; e < endpoints.size(); ++e) {
      if (!endpoints.has<Object>(e)) {
        return "endpoint not an object";
      }
      const Object& endpoint = endpoints.get<Object>(e);
      if (endpoint.empty()) {
        continue;
      }
      if (!endpoint.has<String>("endpoint")) {
        return "endpoint missing";
      }
      joined += (joined.empty() ? "" : ",") + endpoint.get<String>("endpoint");
    }
    lines += host.get<String>("hostname") + "|" + host.get<String>("hostos") + "|" + host.get<String>("protocol") +
             "|" + joined + "\n";
  }
  return lines;
}

TEST(MapInfoDocument, HostsEndpointsAndProtocols) {
  struct Case {
    const char* name;
    std::string text;
    std::string walked;
  };
  const Case cases[] = {
      {"two hosts, other members ignored",
       R"({"hosts":[{"hostname":"esx-01","hostos":"VMware on Linux","protocol":"4","extra":[1],
              "endpoints":[{"endpoint":"10:00:00:00:c9:ab:cd:ef"},{"endpoint":"10:00:00:00:c9:ab:cd:f0"}]},
             {"hostname":"win","hostos":"Windows 2019","protocol":"3",
              "endpoints":[{"endpoint":"iqn.1991-05.com.microsoft:win"}]}],"version":2})",
       "esx-01|VMware on Linux|4|10:00:00:00:c9:ab:cd:ef,10:00:00:00:c9:ab:cd:f0\n"
       "win|Windows 2019|3|iqn.1991-05.com.microsoft:win\n"},
      {"empty endpoint objects skipped, protocol text kept as written",
       R"({"hosts":[{"hostname":"h","hostos":"aix","protocol":" 4","endpoints":[{},{"endpoint":"e1"},{}]}]})",
       "h|aix| 4|e1\n"},
      {"only empty endpoint objects", R"({"hosts":[{"hostname":"h","hostos":"aix","protocol":"3","endpoints":[{}]}]})",
       "h|aix|3|\n"},
      {"empty hosts array", R"({"hosts":[]})", ""},
      {"protocol as a JSON number", R"({"hosts":[{"hostname":"h","hostos":"linux","protocol":4,"endpoints":[]}]})",
       "protocol not a string"},
      {"host element not an object", R"({"hosts":["h"]})", "host not an object"},
      {"endpoint element not an object",
       R"({"hosts":[{"hostname":"h","hostos":"linux","protocol":"3","endpoints":["e"]}]})", "endpoint not an object"},
      {"hosts not an array", R"({"hosts":{"hostname":"h"}})", "no hosts array"},
      {"not JSON", "hosts=h1", "no members"},
      {"truncated inside the hosts", R"({"hosts":[{"hostname":"h","hostos":"l)", "no members"},
      {"written by hand: comments, single quotes, trailing commas",
       "{ // map info\n 'hosts': [ {'hostname':'h', 'hostos':'SunOS', 'protocol':'3',\n"
       "  'endpoints':[{'endpoint':'iqn.x',},],},],}",
       "h|SunOS|3|iqn.x\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(walk_hosts(c.text), c.walked);
  }
}

TEST(MapInfoDocument, MembersReadBeforeAFailureStayForTheReader) {
  // The reader looks at the members, not at the parse result.
  bool parsed = true;
  EXPECT_EQ(
      walk_hosts(R"({"hosts":[{"hostname":"h","hostos":"linux","protocol":"3","endpoints":[]}], "more": )", &parsed),
      "h|linux|3|\n");
  EXPECT_FALSE(parsed);
}

}  // namespace
