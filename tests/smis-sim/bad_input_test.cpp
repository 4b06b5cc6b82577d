// Requests a provider must refuse, sent as raw HTTP: the protocol or CIM error and no change to the model.
#include <gtest/gtest.h>
#include <httplib.h>

#include "Pegasus/CimXml.h"
#include "smis-sim/TestServer.h"
#include "support/Seeds.h"

namespace {

const char* kVolume =
    "<INSTANCENAME CLASSNAME=\"TPD_StorageVolume\">"
    "<KEYBINDING NAME=\"SystemCreationClassName\"><KEYVALUE>TPD_StorageSystem</KEYVALUE></KEYBINDING>"
    "<KEYBINDING NAME=\"SystemName\"><KEYVALUE>2FF70002AC00ABCD</KEYVALUE></KEYBINDING>"
    "<KEYBINDING NAME=\"CreationClassName\"><KEYVALUE>TPD_StorageVolume</KEYVALUE></KEYBINDING>"
    "<KEYBINDING NAME=\"DeviceID\"><KEYVALUE>%WWN%</KEYVALUE></KEYBINDING></INSTANCENAME>";

const char* kService =
    "<INSTANCENAME CLASSNAME=\"TPD_StorageConfigurationService\">"
    "<KEYBINDING NAME=\"SystemCreationClassName\"><KEYVALUE>TPD_StorageSystem</KEYVALUE></KEYBINDING>"
    "<KEYBINDING NAME=\"SystemName\"><KEYVALUE>%SYSTEM%</KEYVALUE></KEYBINDING>"
    "<KEYBINDING NAME=\"CreationClassName\"><KEYVALUE>TPD_StorageConfigurationService</KEYVALUE></KEYBINDING>"
    "<KEYBINDING NAME=\"Name\"><KEYVALUE>StorageConfigurationService</KEYVALUE></KEYBINDING></INSTANCENAME>";

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

std::string namespacePath(const std::string& ns) {
  std::string xml = "<LOCALNAMESPACEPATH>";
  std::string::size_type start = 0;
  for (;;) {
    auto slash = ns.find('/', start);
    xml += "<NAMESPACE NAME=\"" + ns.substr(start, slash - start) + "\"/>";
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return xml + "</LOCALNAMESPACEPATH>";
}

std::string message(const std::string& call) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
         "<MESSAGE ID=\"77\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>" +
         call + "</SIMPLEREQ></MESSAGE></CIM>";
}

std::string intrinsic(const std::string& op, const std::string& params, const std::string& ns = "root/tpd") {
  return message("<IMETHODCALL NAME=\"" + op + "\">" + namespacePath(ns) + params + "</IMETHODCALL>");
}

std::string createReplica(const std::string& params, const std::string& system = "2FF70002AC00ABCD") {
  return message("<METHODCALL NAME=\"CreateReplica\"><LOCALINSTANCEPATH>" + namespacePath("root/tpd") +
                 replaced(kService, "%SYSTEM%", system) + "</LOCALINSTANCEPATH>" + params + "</METHODCALL>");
}

std::string serviceHeader(const std::string& system = "2FF70002AC00ABCD") {
  return "root%2Ftpd%3ATPD_StorageConfigurationService.SystemCreationClassName=%22TPD_StorageSystem%22,"
         "SystemName=%22" +
         system +
         "%22,CreationClassName=%22TPD_StorageConfigurationService%22,"
         "Name=%22StorageConfigurationService%22";
}

struct BadRequest {
  const char* what;
  std::string method;  // CIMMethod header
  std::string object;  // CIMObject header
  std::string body;
  int httpStatus;
  std::string cimErrorHeader;           // for 400 and 501 answers
  int cimError;                         // for 200 answers
  std::string protocolVersion = "1.0";  // CIMProtocolVersion header
};

TEST(BadInputTest, RefusedWithTheProviderErrorAndTheModelUnchanged) {
  smissim::TestServer server(simtest::smallArray());
  const std::string baseWwn = server->withModel([](smissim::Model& model) {
    const Pegasus::CIMInstance* base = model.findVolumeByName(*model.arrayBySerial("00ABCD"), "base1");
    return base->getProperty(base->findProperty("Name")).getValue().toString().str();
  });
  const std::string source = "<PARAMVALUE NAME=\"SourceElement\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                             replaced(kVolume, "%WWN%", baseWwn) + "</VALUE.REFERENCE></PARAMVALUE>";
  const std::string name = "<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>bad</VALUE></PARAMVALUE>";
  const std::string volumeName =
      "<IPARAMVALUE NAME=\"InstanceName\">" + replaced(kVolume, "%WWN%", baseWwn) + "</IPARAMVALUE>";

  const BadRequest cases[] = {
      {"not well-formed", "GetInstance", "root%2Ftpd", "<CIM><MESSAGE ID=\"1\"", 400, "request-not-well-formed", 0},
      {"not CIM-XML", "GetInstance", "root%2Ftpd", "<html/>", 400, "request-not-valid", 0},
      {"several requests in one message", "GetInstance", "root%2Ftpd",
       replaced(intrinsic("GetInstance", volumeName), "SIMPLEREQ>", "MULTIREQ>"), 501, "multiple-requests-unsupported",
       0},
      {"protocol version 2", "GetInstance", "root%2Ftpd",
       replaced(intrinsic("GetInstance", volumeName), "PROTOCOLVERSION=\"1.0\"", "PROTOCOLVERSION=\"2.0\""), 501,
       "unsupported-protocol-version", 0},
      {"protocol version 2 in the header", "GetInstance", "root%2Ftpd", intrinsic("GetInstance", volumeName), 501,
       "unsupported-protocol-version", 0, "2.0"},
      {"CIM version 3", "GetInstance", "root%2Ftpd",
       replaced(intrinsic("GetInstance", volumeName), "CIMVERSION=\"2.0\"", "CIMVERSION=\"3.0\""), 501,
       "unsupported-cim-version", 0},
      {"headers name another operation", "GetInstance", "root%2Ftpd",
       intrinsic("EnumerateInstanceNames",
                 "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"CIM_StorageVolume\"/>"
                 "</IPARAMVALUE>"),
       400, "header-mismatch", 0},
      {"unknown class", "EnumerateInstanceNames", "root%2Ftpd",
       intrinsic("EnumerateInstanceNames",
                 "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"CIM_NoSuchClass\"/>"
                 "</IPARAMVALUE>"),
       200, "", 5},
      {"unknown namespace", "EnumerateInstanceNames", "root%2Fnone",
       intrinsic("EnumerateInstanceNames",
                 "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"CIM_StorageVolume\"/></IPARAMVALUE>", "root/none"),
       200, "", 3},
      {"missing instance name", "GetInstance", "root%2Ftpd", intrinsic("GetInstance", ""), 200, "", 4},
      {"instance that does not exist", "GetInstance", "root%2Ftpd",
       intrinsic("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" +
                                    replaced(kVolume, "%WWN%", "60002AC000000000000000000000DEAD") + "</IPARAMVALUE>"),
       200, "", 6},
      {"deleting a volume as an instance", "DeleteInstance", "root%2Ftpd", intrinsic("DeleteInstance", volumeName), 200,
       "", 7},
      {"method without its source", "CreateReplica", serviceHeader(),
       createReplica(name + "<PARAMVALUE NAME=\"CopyType\" PARAMTYPE=\"uint16\"><VALUE>4</VALUE></PARAMVALUE>"), 200,
       "", 4},
      {"copy type that is not a number", "CreateReplica", serviceHeader(),
       createReplica(name + source + "<PARAMVALUE NAME=\"CopyType\"><VALUE>four</VALUE></PARAMVALUE>"), 200, "", 4},
      {"copy type of the wrong type", "CreateReplica", serviceHeader(),
       createReplica(name + source +
                     "<PARAMVALUE NAME=\"CopyType\" PARAMTYPE=\"uint32\"><VALUE>4</VALUE>"
                     "</PARAMVALUE>"),
       200, "", 4},
      {"copy type out of range", "CreateReplica", serviceHeader(),
       createReplica(name + source + "<PARAMVALUE NAME=\"CopyType\"><VALUE>70000</VALUE></PARAMVALUE>"), 200, "", 4},
      {"service that does not exist", "CreateReplica", serviceHeader("2FF70002AC999999"),
       createReplica(name + source +
                         "<PARAMVALUE NAME=\"CopyType\" PARAMTYPE=\"uint16\"><VALUE>4</VALUE>"
                         "</PARAMVALUE>",
                     "2FF70002AC999999"),
       200, "", 6},
  };

  httplib::Client http("127.0.0.1", server.port());
  http.set_basic_auth("admin", "secret");
  const std::string before = server->modelJson();
  for (const BadRequest& c : cases) {
    SCOPED_TRACE(c.what);
    httplib::Headers headers = {{"CIMOperation", "MethodCall"},
                                {"CIMMethod", c.method},
                                {"CIMObject", c.object},
                                {"CIMProtocolVersion", c.protocolVersion}};
    auto result = http.Post("/cimom", headers, c.body, "application/xml; charset=utf-8");
    ASSERT_TRUE(result);
    ASSERT_EQ(c.httpStatus, result->status);
    if (c.httpStatus != 200) {
      EXPECT_EQ(c.cimErrorHeader, result->get_header_value("CIMError"));
      continue;
    }
    Pegasus::CimXml::Response response = Pegasus::CimXml::decodeResponse(Pegasus::String(result->body));
    EXPECT_EQ("77", response.messageId.str());
    EXPECT_TRUE(response.isError);
    EXPECT_EQ(c.cimError, static_cast<int>(response.errorCode)) << response.errorDescription;
  }
  EXPECT_EQ(before, server->modelJson());
}

TEST(BadInputTest, AuthenticationIsChallenged) {
  smissim::TestServer server;
  httplib::Client http("127.0.0.1", server.port());
  for (bool withWrongPassword : {false, true}) {
    if (withWrongPassword) http.set_basic_auth("admin", "nope");
    auto result = http.Post("/cimom", {{"CIMOperation", "MethodCall"}}, "<x/>", "application/xml");
    ASSERT_TRUE(result);
    EXPECT_EQ(401, result->status);
    EXPECT_EQ(0u, result->get_header_value("WWW-Authenticate").rfind("Basic realm=\"", 0));
  }
}

}  // namespace
