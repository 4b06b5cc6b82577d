// Whole messages: every request and response kind through encode and decode, recorded exchanges,
// header values, and documents that must be refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include "Pegasus/CimXml.h"

using namespace Pegasus;
using namespace Pegasus::CimXml;

namespace {

String readData(const char* name) {
  std::ifstream in(std::string(CIMCLIENT_TEST_DATA) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream text;
  text << in.rdbuf();
  return String(text.str());
}

CIMObjectPath volumePath(const char* host, const char* nameSpace, const char* id) {
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("CreationClassName", "TPD_StorageVolume", CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("DeviceID", id, CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("SystemCreationClassName", "TPD_StorageSystem", CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("SystemName", "S1", CIMKeyBinding::STRING));
  return CIMObjectPath(host, *nameSpace ? CIMNamespaceName(nameSpace) : CIMNamespaceName(),
                       CIMName("TPD_StorageVolume"), keys);
}

CIMObjectPath syncPath() {
  Array<CIMKeyBinding> keys;
  keys.append(
      CIMKeyBinding("SyncedElement", volumePath("10.0.0.1", "root/tpd", "2").toString(), CIMKeyBinding::REFERENCE));
  keys.append(
      CIMKeyBinding("SystemElement", volumePath("10.0.0.1", "root/tpd", "1").toString(), CIMKeyBinding::REFERENCE));
  return CIMObjectPath("10.0.0.1", CIMNamespaceName("root/tpd"), CIMName("TPD_StorageSynchronized"), keys);
}

CIMInstance volume(const CIMObjectPath& path) {
  CIMInstance instance(CIMName("TPD_StorageVolume"));
  instance.addProperty(CIMProperty("DeviceID", path.getKeyBindings()[1].getValue()));
  instance.addProperty(CIMProperty("ElementName", CIMValue(String("vol <1> & \"co\""))));
  instance.addProperty(CIMProperty("OperationalStatus", CIMValue(Array<Uint16>({2, 32768}))));
  instance.addProperty(CIMProperty("NumberOfBlocks", CIMValue(Uint64(2097152))));
  instance.setPath(path);
  return instance;
}

Request intrinsic(const char* method) {
  Request request;
  request.messageId = "1001";
  request.methodName = method;
  request.nameSpace = CIMNamespaceName("root/tpd");
  return request;
}

void expectSameParam(const ParamValue& a, const ParamValue& b) {
  SCOPED_TRACE(a.name.str());
  EXPECT_EQ(a.name, b.name);
  ASSERT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.value, b.value);
  EXPECT_EQ(a.className, b.className);
  EXPECT_EQ(a.instanceName, b.instanceName);
  EXPECT_EQ(a.propertyList.isNull(), b.propertyList.isNull());
  EXPECT_EQ(a.propertyList.getPropertyNameArray(), b.propertyList.getPropertyNameArray());
  EXPECT_EQ(a.instance, b.instance);
}

void expectRoundTrip(const Request& request) {
  SCOPED_TRACE(request.methodName.str());
  const Request back = decodeRequest(encodeRequest(request));
  EXPECT_EQ(back.messageId, request.messageId);
  EXPECT_EQ(back.intrinsic, request.intrinsic);
  EXPECT_EQ(back.methodName, request.methodName);
  EXPECT_EQ(back.nameSpace, request.nameSpace);
  if (!request.intrinsic) {
    CIMObjectPath target = request.objectPath;
    target.setNameSpace(request.nameSpace);
    target.setHost(String());
    EXPECT_EQ(back.objectPath, target);
  }
  ASSERT_EQ(back.params.size(), request.params.size());
  for (size_t i = 0; i < request.params.size(); ++i) expectSameParam(back.params[i], request.params[i]);
}

TEST(CodecRequests, IntrinsicOperationsRoundTrip) {
  const CIMObjectPath target = volumePath("", "", "7");
  CIMInstance modified = volume(target);
  std::vector<Request> requests;

  Request get = intrinsic("GetInstance");
  get.params = {ParamValue::ofInstanceName("InstanceName", target), ParamValue::ofValue("LocalOnly", CIMValue(false)),
                ParamValue::ofPropertyList("PropertyList", CIMPropertyList(Array<CIMName>({"DeviceID", "Name"})))};
  requests.push_back(get);

  Request enumerate = intrinsic("EnumerateInstances");
  enumerate.params = {ParamValue::ofClassName("ClassName", CIMName("TPD_StorageVolume")),
                      ParamValue::ofValue("DeepInheritance", CIMValue(true)),
                      ParamValue::ofPropertyList("PropertyList", CIMPropertyList(Array<CIMName>()))};
  requests.push_back(enumerate);

  Request names = intrinsic("EnumerateInstanceNames");
  names.params = {ParamValue::ofClassName("ClassName", CIMName("CIM_StorageVolume"))};
  requests.push_back(names);

  Request associators = intrinsic("AssociatorNames");
  associators.params = {ParamValue::ofInstanceName("ObjectName", target),
                        ParamValue::ofClassName("AssocClass", CIMName()),
                        ParamValue::ofClassName("ResultClass", CIMName("TPD_StoragePool")),
                        ParamValue::ofValue("Role", CIMValue(String("Dependent")))};
  requests.push_back(associators);

  Request references = intrinsic("References");
  references.params = {ParamValue::ofInstanceName("ObjectName", target),
                       ParamValue::ofClassName("ResultClass", CIMName("CIM_StorageSynchronized")),
                       ParamValue::ofValue("IncludeClassOrigin", CIMValue(true))};
  requests.push_back(references);

  Request referenceNames = intrinsic("ReferenceNames");
  referenceNames.params = {ParamValue::ofInstanceName("ObjectName", syncPath())};
  referenceNames.params[0].instanceName.setHost(String());
  referenceNames.params[0].instanceName.setNameSpace(CIMNamespaceName());
  requests.push_back(referenceNames);

  Request modify = intrinsic("ModifyInstance");
  modified.setPath(target);
  modify.params = {ParamValue::ofInstance("ModifiedInstance", modified),
                   ParamValue::ofValue("IncludeQualifiers", CIMValue(false)),
                   ParamValue::ofPropertyList("PropertyList", CIMPropertyList(Array<CIMName>({"ElementName"})))};
  requests.push_back(modify);

  Request remove = intrinsic("DeleteInstance");
  remove.params = {ParamValue::ofInstanceName("InstanceName", target)};
  requests.push_back(remove);

  Request create = intrinsic("CreateInstance");
  CIMInstance fresh = volume(target);
  fresh.setPath(CIMObjectPath());
  create.params = {ParamValue::ofInstance("NewInstance", fresh), ParamValue::ofNull("Extra")};
  requests.push_back(create);

  for (const Request& request : requests) expectRoundTrip(request);
}

TEST(CodecRequests, IntrinsicWireForms) {
  Request associators = intrinsic("AssociatorNames");
  associators.params = {ParamValue::ofInstanceName("ObjectName", CIMObjectPath("TPD_StorageSystem")),
                        ParamValue::ofClassName("AssocClass", CIMName())};
  const std::string xml = encodeRequest(associators).str();
  // A key-less object name goes as CLASSNAME; a null class filter as an empty parameter.
  EXPECT_NE(xml.find("<IPARAMVALUE NAME=\"ObjectName\"><CLASSNAME NAME=\"TPD_StorageSystem\"/></IPARAMVALUE>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<IPARAMVALUE NAME=\"AssocClass\"/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"tpd\"/></LOCALNAMESPACEPATH>"),
            std::string::npos)
      << xml;
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"utf-8\" ?>", 0), 0u);

  const Request back = decodeRequest(String(xml));
  ASSERT_EQ(back.find("objectname")->kind, ParamValue::CLASSNAME);
  EXPECT_EQ(back.find("ObjectName")->className, CIMName("TPD_StorageSystem"));
  EXPECT_EQ(back.find("Missing"), nullptr);

  // Open/close element forms and layout whitespace read like the empty forms.
  const Request spaced = decodeRequest(
      "<CIM><MESSAGE ID=\"4711\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL NAME=\"AssociatorNames\">\n"
      "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"></NAMESPACE><NAMESPACE NAME=\"tpd\">\n</NAMESPACE>"
      "</LOCALNAMESPACEPATH>\n<IPARAMVALUE NAME=\"AssocClass\">\n</IPARAMVALUE>\n<IPARAMVALUE NAME=\"Role\">"
      "<VALUE> </VALUE></IPARAMVALUE></IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>");
  EXPECT_EQ(spaced.nameSpace.getString(), String("root/tpd"));
  ASSERT_EQ(spaced.find("AssocClass")->kind, ParamValue::CLASSNAME);
  EXPECT_TRUE(spaced.find("AssocClass")->className.isNull());
  EXPECT_EQ(spaced.find("Role")->value, CIMValue(String(" ")));

  // Intrinsic flags arrive typed; anything but TRUE/FALSE is refused.
  const String flags = encodeRequest([] {
    Request r = intrinsic("EnumerateInstances");
    r.params = {ParamValue::ofValue("LocalOnly", CIMValue(String("false")))};
    return r;
  }());
  Boolean localOnly = true;
  decodeRequest(flags).find("LocalOnly")->value.get(localOnly);
  EXPECT_FALSE(localOnly);
  std::string bad = flags.str();
  bad.replace(bad.find(">false<"), 7, ">maybe<");
  EXPECT_THROW(decodeRequest(String(bad)), CIMClientXmlException);
}

TEST(CodecRequests, ExtrinsicParametersRoundTrip) {
  Request call;
  call.messageId = "1002";
  call.intrinsic = false;
  call.methodName = "CreateElementReplica";
  call.nameSpace = CIMNamespaceName("root/tpd");
  Array<CIMKeyBinding> serviceKeys;
  serviceKeys.append(CIMKeyBinding("CreationClassName", "TPD_ReplicationService", CIMKeyBinding::STRING));
  serviceKeys.append(CIMKeyBinding("Name", "S1", CIMKeyBinding::STRING));
  call.objectPath =
      CIMObjectPath("ignored-host", CIMNamespaceName("other"), CIMName("TPD_ReplicationService"), serviceKeys);
  Array<CIMObjectPath> members;
  members.append(volumePath("10.0.0.1", "root/tpd", "1"));
  members.append(volumePath("", "", "2"));
  call.params = {
      ParamValue::ofValue("ElementName", CIMValue(String("snap 1"))),
      ParamValue::ofValue("SyncType", CIMValue(Uint16(7))),
      ParamValue::ofValue("SourceElement", CIMValue(volumePath("", "root/tpd", "1"))),
      ParamValue::ofValue("TargetPool", CIMValue(CIMTYPE_REFERENCE, false)),
      ParamValue::ofValue("Mode", CIMValue(CIMTYPE_UINT16, false)),
      ParamValue::ofValue("LUNames", CIMValue(Array<String>())),
      ParamValue::ofValue("DeviceNumbers", CIMValue(Array<Uint16>({1, 2}))),
      ParamValue::ofValue("Members", CIMValue(members)),
      ParamValue::ofValue("Wait", CIMValue(true)),
  };
  expectRoundTrip(call);

  // Untyped parameters decode as strings (references stay references).
  Request untyped = call;
  for (ParamValue& p : untyped.params) p.typed = false;
  const Request back = decodeRequest(encodeRequest(untyped));
  EXPECT_EQ(back.find("SyncType")->value, CIMValue(String("7")));
  EXPECT_FALSE(back.find("SyncType")->typed);
  EXPECT_EQ(back.find("SourceElement")->value.getType(), CIMTYPE_REFERENCE);
  EXPECT_EQ(back.find("DeviceNumbers")->value, CIMValue(Array<String>({"1", "2"})));

  // A key-less target is a class path.
  Request classCall = call;
  classCall.objectPath = CIMObjectPath("TPD_ReplicationService");
  classCall.params.clear();
  EXPECT_NE(encodeRequest(classCall).find("<LOCALCLASSPATH>"), PEG_NOT_FOUND);
  expectRoundTrip(classCall);
}

TEST(CodecRequests, HeaderValues) {
  Request get = intrinsic("GetInstance");
  EXPECT_EQ(cimObjectHeader(get), String("root%2Ftpd"));
  EXPECT_EQ(cimMethodHeader(get), String("GetInstance"));

  Request call;
  call.intrinsic = false;
  call.methodName = "ReturnToStoragePool";
  call.nameSpace = CIMNamespaceName("root/tpd");
  call.objectPath = CIMObjectPath("//h/other:TPD_StorageConfigurationService.Name=\"a b\",N=1");
  const String header = cimObjectHeader(call);
  EXPECT_EQ(header, String("root%2Ftpd%3ATPD_StorageConfigurationService.Name%3D%22a%20b%22%2CN%3D1"));
  EXPECT_EQ(uriDecode(header), String("root/tpd:TPD_StorageConfigurationService.Name=\"a b\",N=1"));
  EXPECT_EQ(uriEncode("\xC3\xA9%"), String("%C3%A9%25"));
  EXPECT_EQ(uriDecode("%zz%4"), String("%zz%4"));
}

Response intrinsicResponse(const char* method, Response::ReturnKind kind) {
  Response response;
  response.messageId = "1001";
  response.methodName = method;
  response.returnKind = kind;
  return response;
}

TEST(CodecResponses, IntrinsicKindsRoundTrip) {
  const CIMObjectPath full = volumePath("10.0.0.1", "root/tpd", "1");
  const CIMObjectPath keysOnly = volumePath("", "", "1");
  std::vector<Response> responses;

  Response get = intrinsicResponse("GetInstance", Response::INSTANCE);
  CIMInstance single = volume(keysOnly);
  single.setPath(CIMObjectPath());
  get.instances = {single};
  responses.push_back(get);

  Response enumerate = intrinsicResponse("EnumerateInstances", Response::NAMED_INSTANCES);
  enumerate.instances = {volume(keysOnly), volume(volumePath("", "", "2"))};
  responses.push_back(enumerate);

  Response names = intrinsicResponse("EnumerateInstanceNames", Response::INSTANCE_NAMES);
  names.paths = {keysOnly, volumePath("", "", "2")};
  responses.push_back(names);

  Response associators = intrinsicResponse("AssociatorNames", Response::OBJECT_PATHS);
  associators.paths = {full, syncPath()};
  responses.push_back(associators);

  Response references = intrinsicResponse("References", Response::OBJECTS_WITH_PATH);
  CIMInstance sync(CIMName("TPD_StorageSynchronized"));
  sync.addProperty(CIMProperty("SyncState", CIMValue(Uint16(6))));
  sync.addProperty(CIMProperty("SystemElement", CIMValue(full), 0, CIMName("CIM_ManagedElement")));
  sync.setPath(syncPath());
  references.instances = {sync};
  responses.push_back(references);

  responses.push_back(intrinsicResponse("ModifyInstance", Response::NONE));
  responses.push_back(intrinsicResponse("EnumerateInstances", Response::NAMED_INSTANCES));

  for (const Response& response : responses) {
    SCOPED_TRACE(response.methodName.str());
    const Response back = decodeResponse(encodeResponse(response));
    EXPECT_EQ(back.messageId, response.messageId);
    EXPECT_EQ(back.methodName, response.methodName);
    EXPECT_FALSE(back.isError);
    // An empty IRETURNVALUE carries no kind.
    const bool empty = response.instances.empty() && response.paths.empty();
    EXPECT_EQ(back.returnKind, empty ? Response::NONE : response.returnKind);
    EXPECT_EQ(back.instances, response.instances);
    EXPECT_EQ(back.paths, response.paths);
    for (size_t i = 0; i < back.paths.size(); ++i) EXPECT_EQ(back.paths[i].toString(), response.paths[i].toString());
  }
}

// A server may write instances it keeps (not copied into the Response) into storage an earlier answer used:
// the document must be exactly the one encodeResponse writes, whatever the storage held before.
TEST(CodecResponses, KeptInstancesAndReusedStorageGiveTheSameDocument) {
  CIMInstance sync(CIMName("TPD_StorageSynchronized"));
  sync.addProperty(CIMProperty("SyncState", CIMValue(Uint16(6))));
  sync.setPath(syncPath());
  CIMInstance unnamed = volume(volumePath("", "", "3"));
  unnamed.setPath(CIMObjectPath());
  const struct {
    const char* method;
    Response::ReturnKind kind;
    std::vector<CIMInstance> instances;
  } cases[] = {
      {"GetInstance", Response::INSTANCE, {unnamed}},
      {"EnumerateInstances",
       Response::NAMED_INSTANCES,
       {volume(volumePath("", "", "1")), volume(volumePath("", "", "2"))}},
      {"EnumerateInstances", Response::NAMED_INSTANCES, {}},
      {"References", Response::OBJECTS_WITH_PATH, {sync, sync}},
  };
  const std::string stale[] = {"", std::string(100000, 'x'), "<CIM>"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    Response whole = intrinsicResponse(c.method, c.kind);
    whole.instances = c.instances;
    const std::string expected = encodeResponse(whole).str();
    Response head = intrinsicResponse(c.method, c.kind);
    std::vector<const CIMInstance*> kept;
    for (const CIMInstance& instance : c.instances) kept.push_back(&instance);
    for (const std::string& room : stale) {
      EXPECT_EQ(expected, encodeResponseText(whole, room)) << room.size();
      EXPECT_EQ(expected, encodeResponseText(head, kept, room)) << room.size();
    }
  }
}

TEST(CodecResponses, ErrorsAndExtrinsicResults) {
  Response error = intrinsicResponse("GetInstance", Response::NONE);
  error.isError = true;
  error.errorCode = CIM_ERR_INVALID_CLASS;
  error.errorDescription = "no class \"X\" <here> & 'there'\n\tnext line\r";
  const Response errorBack = decodeResponse(encodeResponse(error));
  EXPECT_TRUE(errorBack.isError);
  EXPECT_EQ(errorBack.errorCode, CIM_ERR_INVALID_CLASS);
  EXPECT_EQ(errorBack.errorDescription, error.errorDescription);

  Response result;
  result.messageId = "5";
  result.intrinsic = false;
  result.methodName = "CreateElementReplica";
  result.returnValue = CIMValue(Uint32(4096));
  result.outParams = {CIMParamValue("Job", CIMValue(volumePath("10.0.0.1", "root/tpd", "9"))),
                      CIMParamValue("TargetElement", CIMValue(CIMTYPE_REFERENCE, false)),
                      CIMParamValue("Count", CIMValue(Uint16(3)), false)};
  const Response back = decodeResponse(encodeResponse(result));
  EXPECT_FALSE(back.intrinsic);
  EXPECT_EQ(back.returnValue, CIMValue(Uint32(4096)));
  ASSERT_EQ(back.outParams.size(), 3u);
  EXPECT_EQ(back.outParams[0].getValue(), result.outParams[0].getValue());
  EXPECT_EQ(back.outParams[0].getValue().toString(), volumePath("10.0.0.1", "root/tpd", "9").toString());
  EXPECT_TRUE(back.outParams[1].getValue().isNull());
  EXPECT_EQ(back.outParams[1].getValue().getType(), CIMTYPE_REFERENCE);
  EXPECT_EQ(back.outParams[2].getValue(), CIMValue(String("3")));
  EXPECT_FALSE(back.outParams[2].isTyped());

  // An embedded instance may come as an element rather than as escaped text: both read as the same text.
  const std::string embedded =
      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"5\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>"
      "<METHODRESPONSE NAME=\"GetError\"><RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE></RETURNVALUE>"
      "<PARAMVALUE NAME=\"Error\" PARAMTYPE=\"instance\"><INSTANCE CLASSNAME=\"CIM_Error\"><PROPERTY "
      "NAME=\"MessageID\" "
      "TYPE=\"string\"><VALUE>DRM26</VALUE></PROPERTY></INSTANCE></PARAMVALUE>"
      "<PARAMVALUE NAME=\"Escaped\" PARAMTYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>&lt;INSTANCE "
      "CLASSNAME=\"CIM_Error\"&gt;&lt;PROPERTY NAME=\"MessageID\" TYPE=\"string\"&gt;&lt;VALUE&gt;DRM26&lt;/VALUE&gt;"
      "&lt;/PROPERTY&gt;&lt;/INSTANCE&gt;</VALUE></PARAMVALUE></METHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
  const Response getError = decodeResponse(String(embedded));
  ASSERT_EQ(getError.outParams.size(), 2u);
  EXPECT_EQ(getError.outParams[0].getValue().toString(),
            String("<INSTANCE CLASSNAME=\"CIM_Error\"><PROPERTY NAME=\"MessageID\" TYPE=\"string\"><VALUE>DRM26"
                   "</VALUE></PROPERTY></INSTANCE>"));
  EXPECT_EQ(getError.outParams[0].getValue(), getError.outParams[1].getValue());
}

TEST(CodecRecorded, ExchangesDecodeAsExpected) {
  const Request names = decodeRequest(readData("enumerate_instance_names_request.xml"));
  EXPECT_EQ(names.messageId, String("1001"));
  EXPECT_EQ(names.methodName, String("EnumerateInstanceNames"));
  EXPECT_EQ(names.nameSpace.getString(), String("root/cimv2"));
  ASSERT_NE(names.find("ClassName"), nullptr);
  EXPECT_EQ(names.find("ClassName")->className, CIMName("PyWBEM_Person"));

  const Response nameList = decodeResponse(readData("enumerate_instance_names_response.xml"));
  EXPECT_EQ(nameList.messageId, String("1000"));
  EXPECT_EQ(nameList.returnKind, Response::INSTANCE_NAMES);
  ASSERT_EQ(nameList.paths.size(), 1u);
  EXPECT_EQ(nameList.paths[0].toString(), String("PyWBEM_Person.CreationClassName=\"PyWBEM_Person\",Name=\"Fritz\""));

  const Request get = decodeRequest(readData("get_instance_not_found_request.xml"));
  EXPECT_EQ(get.find("InstanceName")->instanceName.toString(), String("PyWBEM_Person.Name=\"bad\""));
  EXPECT_EQ(get.find("LocalOnly")->value, CIMValue(false));

  const Response notFound = decodeResponse(readData("get_instance_not_found_response.xml"));
  EXPECT_TRUE(notFound.isError);
  EXPECT_EQ(notFound.errorCode, CIM_ERR_NOT_FOUND);
  EXPECT_EQ(notFound.errorDescription, String("CIM_ERR_NOT_FOUND: Instance with Name=bad not found"));

  const Request invoke = decodeRequest(readData("invoke_method_request.xml"));
  EXPECT_FALSE(invoke.intrinsic);
  EXPECT_EQ(invoke.objectPath.toString(), String("test/TestProvider:Test_IndicationProviderClass"));
  EXPECT_EQ(invoke.find("indicationDropCount")->value, CIMValue(Uint32(42)));
  EXPECT_TRUE(invoke.find("optionalP1")->value.isNull());
  EXPECT_FALSE(invoke.find("optionalP1")->typed);

  const Response counts = decodeResponse(readData("invoke_method_response.xml"));
  EXPECT_EQ(counts.returnValue, CIMValue(Sint32(0)));
  ASSERT_EQ(counts.outParams.size(), 2u);
  EXPECT_EQ(counts.outParams[1].getParameterName(), String("indicationDropCount"));
  EXPECT_EQ(counts.outParams[1].getValue(), CIMValue(Uint32(42)));

  const Response associated = decodeResponse(readData("associator_names_response.xml"));
  EXPECT_EQ(associated.returnKind, Response::OBJECT_PATHS);
  ASSERT_EQ(associated.paths.size(), 1u);
  EXPECT_EQ(associated.paths[0].toString(),
            String("//sheldon/root/cimv2:PyWBEM_Person.CreationClassName=\"PyWBEM_Person\",Name=\"Gabi\""));
}

// A response whose IRETURNVALUE holds `objects`, as a provider might write it.
std::string returning(const char* method, const std::string& objects) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">") +
         "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"" + method +
         "\"><IRETURNVALUE>" + objects + "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

const char* const kTpd = "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"tpd\"/></LOCALNAMESPACEPATH>";
const char* const kVolumeName =
    "<INSTANCENAME CLASSNAME=\"TPD_StorageVolume\"><KEYBINDING NAME=\"DeviceID\"><KEYVALUE>60002AC0</KEYVALUE>"
    "</KEYBINDING></INSTANCENAME>";

std::string instancePathOn(const std::string& host) {
  return "<INSTANCEPATH><NAMESPACEPATH><HOST>" + host + "</HOST>" + kTpd + "</NAMESPACEPATH>" + kVolumeName +
         "</INSTANCEPATH>";
}

struct ProviderPaths {
  const char* label;
  std::string xml;
  const char* path;  // text of the one decoded path (of the path, or of the instance's path)
};

TEST(CodecRecorded, ProviderPathFormsDecodeToPathsThatReadBack) {
  const std::string localPath = std::string("<LOCALINSTANCEPATH>") + kTpd + kVolumeName + "</LOCALINSTANCEPATH>";
  const std::string instance = "<INSTANCE CLASSNAME=\"TPD_StorageVolume\"/>";
  const char* const full = "//10.0.0.1:5988/root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0\"";
  const ProviderPaths cases[] = {
      {"host with port",
       returning("AssociatorNames", "<OBJECTPATH>" + instancePathOn("10.0.0.1:5988") + "</OBJECTPATH>"), full},
      {"bracketed IPv6 host",
       returning("AssociatorNames", "<OBJECTPATH>" + instancePathOn("[fe80::1]:5989") + "</OBJECTPATH>"),
       "//[fe80::1]:5989/root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"bare IPv6 host", returning("AssociatorNames", "<OBJECTPATH>" + instancePathOn("fe80::2") + "</OBJECTPATH>"),
       "//[fe80::2]/root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"remote-copy peer in place of a host",
       returning("AssociatorNames", "<OBJECTPATH>" + instancePathOn("rc_target2") + "</OBJECTPATH>"),
       "//rc_target2/root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"object path without host", returning("AssociatorNames", "<OBJECTPATH>" + localPath + "</OBJECTPATH>"),
       "root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"instance path without OBJECTPATH", returning("ReferenceNames", instancePathOn("10.0.0.1:5988")), full},
      {"bare instance name", returning("AssociatorNames", kVolumeName), "TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"object with local path",
       returning("References", "<VALUE.OBJECTWITHPATH>" + localPath + instance + "</VALUE.OBJECTWITHPATH>"),
       "root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"object with instance name",
       returning("References",
                 std::string("<VALUE.OBJECTWITHPATH>") + kVolumeName + instance + "</VALUE.OBJECTWITHPATH>"),
       "TPD_StorageVolume.DeviceID=\"60002AC0\""},
      {"reference key on a bare IPv6 host",
       returning("EnumerateInstanceNames",
                 "<INSTANCENAME CLASSNAME=\"TPD_StorageSynchronized\"><KEYBINDING "
                 "NAME=\"SyncedElement\"><VALUE.REFERENCE>" +
                     instancePathOn("fe80::2") + "</VALUE.REFERENCE></KEYBINDING></INSTANCENAME>"),
       "TPD_StorageSynchronized.SyncedElement=\"//[fe80::2]/root/tpd:TPD_StorageVolume.DeviceID=\\\"60002AC0\\\"\""},
      {"key types from TYPE alone, VALUETYPE in any case",
       returning("EnumerateInstanceNames",
                 "<INSTANCENAME CLASSNAME=\"TPD_X\"><KEYBINDING NAME=\"A\"><KEYVALUE TYPE=\"uint16\">5</KEYVALUE>"
                 "</KEYBINDING><KEYBINDING NAME=\"B\"><KEYVALUE TYPE=\"boolean\">true</KEYVALUE></KEYBINDING>"
                 "<KEYBINDING NAME=\"C\"><KEYVALUE TYPE=\"string\">5</KEYVALUE></KEYBINDING><KEYBINDING NAME=\"D\">"
                 "<KEYVALUE VALUETYPE=\"Numeric\" TYPE=\"uint32\">7</KEYVALUE></KEYBINDING></INSTANCENAME>"),
       "TPD_X.A=5,B=TRUE,C=\"5\",D=7"},
  };
  for (const ProviderPaths& c : cases) {
    SCOPED_TRACE(c.label);
    const Response response = decodeResponse(String(c.xml));
    ASSERT_EQ(response.paths.size() + response.instances.size(), 1u);
    const CIMObjectPath path = response.paths.empty() ? response.instances[0].getPath() : response.paths[0];
    EXPECT_EQ(path.toString(), String(c.path));
    EXPECT_EQ(CIMObjectPath(path.toString()), path);
  }
}

TEST(CodecRecorded, DocumentEncodingsAndMarkupAroundTheMessage) {
  const std::string message =
      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><!-- provider build 42 --><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\">"
      "<SIMPLERSP><IMETHODRESPONSE NAME=\"GetInstance\"><IRETURNVALUE><INSTANCE CLASSNAME=\"TPD_X\">"
      "<PROPERTY NAME=\"Caption\" TYPE=\"string\"><VALUE>caf\xE9</VALUE></PROPERTY></INSTANCE></IRETURNVALUE>"
      "</IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
  auto utf8 = [&](std::string text) {
    const size_t e = text.find('\xE9');
    return text.replace(e, 1, "\xC3\xA9");
  };
  const struct {
    const char* label;
    std::string xml;
  } cases[] = {
      {"byte order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>" + utf8(message)},
      {"upper-case encoding name and a DOCTYPE",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE CIM SYSTEM \"CIM_DTD_V22.dtd\">\n" + utf8(message)},
      {"Latin-1 declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + message},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Response response = decodeResponse(String(c.xml));
    ASSERT_EQ(response.instances.size(), 1u);
    EXPECT_EQ(response.instances[0].getProperty(0).getValue().toString(), String("caf\xC3\xA9"));
  }
}

struct BadDocument {
  const char* label;
  std::string xml;
  const char* mentions;
};

// Each document is refused with an XML error that mentions the case's text.
template <std::size_t N>
void expectRefused(const BadDocument (&cases)[N]) {
  for (const BadDocument& c : cases) {
    SCOPED_TRACE(c.label);
    try {
      decodeResponse(String(c.xml));
      ADD_FAILURE() << "accepted";
    } catch (const CIMClientXmlException& e) {
      EXPECT_NE(e.getMessage().find(c.mentions), PEG_NOT_FOUND) << e.getMessage();
    }
  }
}

// Returned objects are parsed one at a time, apart from the message around them: markup that could be
// mistaken for an object's end must not cut it short, and what lies between objects is still checked.
TEST(CodecRecorded, ReturnedObjectsReadApartKeepEveryPart) {
  const std::string key = "<KEYBINDING NAME=\"k\"><KEYVALUE>";
  const std::string objects = "\r\n<!-- first --><INSTANCENAME CLASSNAME=\"TPD_X\">" + key +
                              "a<![CDATA[</INSTANCENAME></IRETURNVALUE>]]>b</KEYVALUE></KEYBINDING></INSTANCENAME>\r\n"
                              "<?provider note?><!---></IRETURNVALUE>-->"
                              "<INSTANCENAME CLASSNAME=\"TPD_Y\" note='has > and </INSTANCENAME>'/>"
                              "<INSTANCENAME CLASSNAME=\"TPD_X\">" +
                              key + "&lt;c&gt;</KEYVALUE></KEYBINDING></INSTANCENAME>";
  const Response response = decodeResponse(String(returning("EnumerateInstanceNames", objects)));
  ASSERT_EQ(response.paths.size(), 3u);
  EXPECT_EQ(response.paths[0].getKeyBindings()[0].getValue(), String("a</INSTANCENAME></IRETURNVALUE>b"));
  EXPECT_EQ(response.paths[1].toString(), String("TPD_Y"));
  EXPECT_EQ(response.paths[2].getKeyBindings()[0].getValue(), String("<c>"));

  // A UTF-16 document is read as such, even where its text before the root spells a UTF-8 response.
  std::string utf16 = "\xFF\xFE" + returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"TPD_XX\"/>");
  utf16.resize(utf16.size() + utf16.size() % 2, ' ');
  for (char c : returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"TPD_Y\"/>")) utf16 += {c, '\0'};
  const Response wide = decodeResponse(String(utf16));
  ASSERT_EQ(wide.paths.size(), 1u);
  EXPECT_EQ(wide.paths[0].toString(), String("TPD_Y"));

  using namespace std::string_literals;
  const BadDocument refused[] = {
      {"text between objects", returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"A\"/>junk"),
       "unexpected text"},
      {"object cut short",
       returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"A\"><KEYBINDING></INSTANCENAME>"), "parse error"},
      {"error in a later object, by its line",
       returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"A\"/>\n\n<INSTANCENAME CLASSNAME=\"1A\"/>"),
       "on line 3"},
      {"message broken after the objects",
       returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"A\"/>") + "<CIM/>", "one CIM"},
      {"zero byte in an object's end tag",
       returning("EnumerateInstanceNames", "<INSTANCENAME CLASSNAME=\"A\"></INSTANCENAME\0>"s), "parse error"},
      {"zero byte in a comment before the objects",
       returning("EnumerateInstanceNames", "<!--\0--><INSTANCENAME CLASSNAME=\"A\"/>"s), "parse error"},
      {"processing instruction whose target is no name, before the objects",
       returning("EnumerateInstanceNames", "<?9?><INSTANCENAME CLASSNAME=\"A\"/>"), "parse error"},
      {"processing instruction whose target is no name, and no objects", returning("EnumerateInstanceNames", "<?9?>"),
       "parse error"},
  };
  expectRefused(refused);
}

// Equal values of one property are shared between instances; values that compare equal but read differently
// stay as each instance wrote them.
TEST(CodecRecorded, RepeatedValuesReadAsEachInstanceWroteThem) {
  auto instance = [](const char* real, const char* when, const char* className) {
    return std::string(
               "<VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"TPD_X\"/><INSTANCE CLASSNAME=\"TPD_X\">"
               "<PROPERTY NAME=\"Size\" TYPE=\"uint64\"><VALUE>512</VALUE>"
               "</PROPERTY><PROPERTY NAME=\"Ratio\" TYPE=\"real64\"><VALUE>") +
           real + "</VALUE></PROPERTY><PROPERTY NAME=\"When\" TYPE=\"datetime\"><VALUE>" + when +
           "</VALUE></PROPERTY><PROPERTY.REFERENCE NAME=\"Pool\"><VALUE.REFERENCE><INSTANCENAME CLASSNAME=\"" +
           className +
           "\"><KEYBINDING NAME=\"k\"><KEYVALUE>p</KEYVALUE></KEYBINDING></INSTANCENAME>"
           "</VALUE.REFERENCE></PROPERTY.REFERENCE></INSTANCE></VALUE.NAMEDINSTANCE>";
  };
  const Response response = decodeResponse(
      String(returning("EnumerateInstances", instance("0", "20260101120000.000000+060", "TPD_Pool") +
                                                 instance("-0", "20260101110000.000000+000", "tpd_pool"))));
  ASSERT_EQ(response.instances.size(), 2u);
  const CIMInstance& first = response.instances[0];
  const CIMInstance& second = response.instances[1];
  EXPECT_EQ(second.getProperty(0).getValue(), first.getProperty(0).getValue());
  Real64 ratio = 0;
  second.getProperty(1).getValue().get(ratio);
  EXPECT_TRUE(std::signbit(ratio));
  EXPECT_EQ(second.getProperty(2).getValue().toString(), String("20260101110000.000000+000"));
  CIMObjectPath pool;
  second.getProperty(3).getValue().get(pool);
  EXPECT_EQ(pool.getClassName().getString(), String("tpd_pool"));
}

// A response whose IMETHODRESPONSE content is `body`.
std::string responseWith(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">\n"
         "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"EnumerateInstances\">\n" +
         body + "\n</IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

TEST(CodecRefusals, MalformedResponsesThrowXmlExceptions) {
  const std::string good = encodeResponse([] {
                             Response r = intrinsicResponse("EnumerateInstances", Response::NAMED_INSTANCES);
                             r.instances = {volume(volumePath("", "", "1"))};
                             return r;
                           }())
                               .str();
  const BadDocument cases[] = {
      {"empty", "", "parse error"},
      {"not XML", "HTTP/1.1 200 OK", "parse error"},
      {"truncated", good.substr(0, good.size() / 2), "parse error"},
      {"mismatched tag", responseWith("<IRETURNVALUE></IRETURNVALUEX>"), "parse error"},
      {"wrong root", "<CIMX><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"/></CIMX>", "expected CIM"},
      {"two roots", "<CIM/><CIM/>", "one CIM"},
      {"missing ID", "<CIM><MESSAGE PROTOCOLVERSION=\"1.0\"><SIMPLERSP/></MESSAGE></CIM>", "ID"},
      {"request instead of response", encodeRequest(intrinsic("GetInstance")).str(), "SIMPLERSP"},
      {"multiple responses", "<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><MULTIRSP/></MESSAGE></CIM>", "multiple"},
      {"unknown returned element", responseWith("<IRETURNVALUE><CLASS NAME=\"X\"/></IRETURNVALUE>"), "CLASS"},
      {"mixed returned kinds",
       responseWith("<IRETURNVALUE><INSTANCENAME CLASSNAME=\"A\"/><INSTANCE CLASSNAME=\"A\"/></IRETURNVALUE>"),
       "mixed"},
      {"unknown instance child",
       responseWith("<IRETURNVALUE><INSTANCE CLASSNAME=\"A\"><FOO/></INSTANCE></IRETURNVALUE>"), "FOO"},
      {"stray text", responseWith("<IRETURNVALUE>junk</IRETURNVALUE>"), "unexpected text"},
      {"illegal class name", responseWith("<IRETURNVALUE><INSTANCENAME CLASSNAME=\"1A\"/></IRETURNVALUE>"), "legal"},
      {"bad numeric key",
       responseWith(
           "<IRETURNVALUE><INSTANCENAME CLASSNAME=\"A\"><KEYBINDING NAME=\"k\"><KEYVALUE VALUETYPE=\"numeric\">"
           "x1</KEYVALUE></KEYBINDING></INSTANCENAME></IRETURNVALUE>"),
       "numeric"},
      {"unknown key kind",
       responseWith("<IRETURNVALUE><INSTANCENAME CLASSNAME=\"A\"><KEYBINDING NAME=\"k\"><KEYVALUE VALUETYPE=\"float\">"
                    "1</KEYVALUE></KEYBINDING></INSTANCENAME></IRETURNVALUE>"),
       "VALUETYPE"},
      {"empty namespace path",
       responseWith("<IRETURNVALUE><OBJECTPATH><INSTANCEPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH/>"
                    "</NAMESPACEPATH><INSTANCENAME CLASSNAME=\"A\"/></INSTANCEPATH></OBJECTPATH></IRETURNVALUE>"),
       "NAMESPACE"},
      {"unknown property type",
       responseWith("<IRETURNVALUE><INSTANCE CLASSNAME=\"A\"><PROPERTY NAME=\"p\" TYPE=\"uint128\"/></INSTANCE>"
                    "</IRETURNVALUE>"),
       "uint128"},
      {"missing property type",
       responseWith("<IRETURNVALUE><INSTANCE CLASSNAME=\"A\"><PROPERTY NAME=\"p\"/></INSTANCE></IRETURNVALUE>"),
       "TYPE"},
      {"duplicate property",
       responseWith("<IRETURNVALUE><INSTANCE CLASSNAME=\"A\"><PROPERTY NAME=\"p\" TYPE=\"string\"/>"
                    "<PROPERTY NAME=\"P\" TYPE=\"string\"/></INSTANCE></IRETURNVALUE>"),
       "duplicate"},
      {"array value in scalar property",
       responseWith("<IRETURNVALUE><INSTANCE CLASSNAME=\"A\"><PROPERTY NAME=\"p\" TYPE=\"string\"><VALUE.ARRAY/>"
                    "</PROPERTY></INSTANCE></IRETURNVALUE>"),
       "expected VALUE"},
      {"bad error code", responseWith("<ERROR CODE=\"six\"/>"), "CODE"},
      {"content after error", responseWith("<ERROR CODE=\"6\"/><IRETURNVALUE/>"), "after ERROR"},
      {"two return values", responseWith("<IRETURNVALUE/><IRETURNVALUE/>"), "more than one"},
      {"unsupported CIM version",
       "<CIM CIMVERSION=\"3.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP/></MESSAGE></CIM>", "CIMVERSION"},
  };
  expectRefused(cases);
}

// An INSTANCENAME whose key refers to a path `depth` levels deep.
std::string nestedInstanceName(int depth) {
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<INSTANCENAME CLASSNAME=\"A\"><KEYBINDING NAME=\"r\"><VALUE.REFERENCE>";
  xml += "<INSTANCENAME CLASSNAME=\"A\"><KEYBINDING NAME=\"k\"><KEYVALUE>x\"y</KEYVALUE></KEYBINDING></INSTANCENAME>";
  for (int i = 0; i < depth; ++i) xml += "</VALUE.REFERENCE></KEYBINDING></INSTANCENAME>";
  return xml;
}

// The parser keeps an element's leading text in the element itself: that text must still be read in order
// with the rest, and refused where only elements may stand.
TEST(CodecRefusals, LeadingTextIsReadInOrderAndRefusedBeforeElements) {
  const std::string named = "<INSTANCENAME CLASSNAME=\"A\"><KEYBINDING NAME=\"k\"><KEYVALUE VALUETYPE=\"string\">";
  const Response read = decodeResponse(String(responseWith(
      "<IRETURNVALUE>" + named + "a<![CDATA[<b>]]>c</KEYVALUE></KEYBINDING></INSTANCENAME></IRETURNVALUE>")));
  ASSERT_EQ(1u, read.paths.size());
  EXPECT_EQ("a<b>c", read.paths[0].getKeyBindings()[0].getValue().str());
  const std::string refused[] = {
      "<IRETURNVALUE>junk" + named + "1</KEYVALUE></KEYBINDING></INSTANCENAME></IRETURNVALUE>",
      "<IRETURNVALUE>" + named + "1</KEYVALUE>junk</KEYBINDING></INSTANCENAME></IRETURNVALUE>",
      "<IRETURNVALUE><INSTANCE CLASSNAME=\"A\">junk<PROPERTY NAME=\"p\" TYPE=\"string\"/>"
      "</INSTANCE></IRETURNVALUE>"};
  for (const std::string& body : refused) {
    try {
      decodeResponse(String(responseWith(body)));
      ADD_FAILURE() << "accepted " << body;
    } catch (const CIMClientXmlException& e) {
      EXPECT_NE(std::string::npos, e.getMessage().str().find("unexpected text")) << e.getMessage();
    }
  }
}

TEST(CodecRefusals, DeeplyNestedReferencesAreRefused) {
  const Response shallow =
      decodeResponse(String(responseWith("<IRETURNVALUE>" + nestedInstanceName(3) + "</IRETURNVALUE>")));
  ASSERT_EQ(shallow.paths.size(), 1u);
  // The nested key text reads back as the same nested path.
  EXPECT_EQ(CIMObjectPath(shallow.paths[0].toString()), shallow.paths[0]);
  EXPECT_EQ(CIMObjectPath(shallow.paths[0].toString()).getKeyBindings()[0].getType(), CIMKeyBinding::REFERENCE);

  for (int depth : {9, 100000}) {
    SCOPED_TRACE(depth);
    try {
      decodeResponse(String(responseWith("<IRETURNVALUE>" + nestedInstanceName(depth) + "</IRETURNVALUE>")));
      ADD_FAILURE() << "accepted";
    } catch (const CIMClientXmlException& e) {
      EXPECT_NE(e.getMessage().find("nested too deeply"), PEG_NOT_FOUND) << e.getMessage();
    }
  }
}

TEST(CodecRefusals, ErrorMessagesSayWhere) {
  try {
    decodeResponse(String(responseWith("<IRETURNVALUE>\n\n<BOGUS/></IRETURNVALUE>")));
    FAIL();
  } catch (const CIMClientXmlException& e) {
    EXPECT_NE(e.getMessage().find("on line 6"), PEG_NOT_FOUND) << e.getMessage();
    EXPECT_NE(e.getMessage().find("BOGUS"), PEG_NOT_FOUND) << e.getMessage();
  }
}

TEST(CodecRefusals, UnsupportedProtocolVersionIsAResponseError) {
  for (const char* version : {"2.0", "1.x", "1."}) {
    SCOPED_TRACE(version);
    const String xml = String("<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"") + version +
                       "\"><SIMPLERSP><IMETHODRESPONSE NAME=\"GetInstance\"/></SIMPLERSP></MESSAGE></CIM>";
    EXPECT_THROW(decodeResponse(xml), CIMClientResponseException);
  }
  EXPECT_NO_THROW(
      decodeResponse("<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.1\"><SIMPLERSP>"
                     "<IMETHODRESPONSE NAME=\"GetInstance\"/></SIMPLERSP></MESSAGE></CIM>"));
}

TEST(CodecRefusals, MalformedRequestsThrowXmlExceptions) {
  const std::string call = encodeRequest([] {
                             Request r = intrinsic("GetInstance");
                             r.params = {ParamValue::ofInstanceName("InstanceName", volumePath("", "", "1"))};
                             return r;
                           }())
                               .str();
  const auto replaced = [&](const char* from, const char* to) {
    std::string xml = call;
    xml.replace(xml.find(from), std::strlen(from), to);
    return xml;
  };
  const std::pair<const char*, std::string> cases[] = {
      {"truncated", call.substr(0, call.size() - 10)},
      {"no namespace", replaced("<LOCALNAMESPACEPATH>", "<LOCALNAMESPACEPATHX>")},
      {"bad namespace", replaced("NAME=\"tpd\"", "NAME=\"t pd\"")},
      {"unknown parameter element", replaced("<IPARAMVALUE", "<PARAM")},
      {"method name missing", replaced("IMETHODCALL NAME=", "IMETHODCALL NAMEX=")},
      {"protocol version", replaced("PROTOCOLVERSION=\"1.0\"", "PROTOCOLVERSION=\"9.0\"")},
      {"extrinsic without target",
       "<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><METHODCALL NAME=\"M\">"
       "<PARAMVALUE NAME=\"x\"/></METHODCALL></SIMPLEREQ></MESSAGE></CIM>"},
      {"bad paramtype",
       "<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><METHODCALL NAME=\"M\"><LOCALCLASSPATH>"
       "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/></LOCALNAMESPACEPATH><CLASSNAME NAME=\"C\"/>"
       "</LOCALCLASSPATH><PARAMVALUE NAME=\"x\" PARAMTYPE=\"uint8\"><VALUE>300</VALUE></PARAMVALUE>"
       "</METHODCALL></SIMPLEREQ></MESSAGE></CIM>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    EXPECT_THROW(decodeRequest(String(c.second)), CIMClientXmlException);
  }
}

TEST(CodecRefusals, PathsThatCannotBeWrittenAreRefused) {
  Response associators = intrinsicResponse("AssociatorNames", Response::OBJECT_PATHS);
  associators.paths = {volumePath("", "", "1")};
  EXPECT_THROW(encodeResponse(associators), CIMClientXmlException);

  Request noNamespace = intrinsic("GetInstance");
  noNamespace.nameSpace = CIMNamespaceName();
  EXPECT_THROW(encodeRequest(noNamespace), CIMClientXmlException);
}

}  // namespace
