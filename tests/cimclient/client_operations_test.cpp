// Every CIMClient operation against the loopback server: what goes on the wire and what comes back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Pegasus/CIMClient.h"
#include "support/LoopbackCimServer.h"

using namespace Pegasus;
using cimtest::LoopbackCimServer;
using CimXml::ParamValue;
using CimXml::Request;
using CimXml::Response;

namespace {

const CIMNamespaceName kNamespace("root/tpd");

CIMObjectPath volumePath(const std::string& deviceId, const String& host = String(),
                         const CIMNamespaceName& nameSpace = CIMNamespaceName()) {
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("CreationClassName", "TPD_StorageVolume", CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("DeviceID", String(deviceId), CIMKeyBinding::STRING));
  return CIMObjectPath(host, nameSpace, "TPD_StorageVolume", keys);
}

CIMInstance volume(const std::string& deviceId, const CIMObjectPath& path) {
  CIMInstance instance("TPD_StorageVolume");
  instance.addProperty(CIMProperty("DeviceID", CIMValue(String(deviceId))));
  instance.addProperty(CIMProperty("ElementName", CIMValue(String("vol-" + deviceId))));
  instance.addProperty(CIMProperty("BlockSize", CIMValue(Uint64(512))));
  Array<Uint16> status;
  status.append(2);
  status.append(32768);
  instance.addProperty(CIMProperty("OperationalStatus", CIMValue(status)));
  instance.setPath(path);
  return instance;
}

Response answerWith(Response::ReturnKind kind, const std::vector<CIMInstance>& instances = {},
                    const std::vector<CIMObjectPath>& paths = {}) {
  Response response;
  response.returnKind = kind;
  response.instances = instances;
  response.paths = paths;
  return response;
}

String textOf(const CIMInstance& instance, const char* property) {
  Uint32 index = instance.findProperty(property);
  return index == PEG_NOT_FOUND ? String("<absent>") : instance.getProperty(index).getValue().toString();
}

// "<name>=<what>" for each parameter as the server decoded it, to compare whole requests at once.
// An empty parameter (a class filter not given) reads as "null".
std::vector<std::string> paramsOf(const Request& request) {
  std::vector<std::string> described;
  for (const ParamValue& param : request.params) {
    std::string what;
    switch (param.kind) {
      case ParamValue::VALUE:
        what = param.value.toString().str();
        break;
      case ParamValue::CLASSNAME:
        what = param.className.isNull() ? "null" : "class " + param.className.getString().str();
        break;
      case ParamValue::INSTANCENAME:
        what = "path " + param.instanceName.toString().str();
        break;
      case ParamValue::PROPERTYLIST:
        what = "list of " + std::to_string(param.propertyList.size());
        break;
      case ParamValue::INSTANCE:
        what = "instance " + param.instance.getPath().toString().str();
        break;
      case ParamValue::NULLVALUE:
        what = "null";
        break;
    }
    described.push_back(param.name.str() + "=" + what);
  }
  return described;
}

class ClientOperations : public ::testing::Test {
 protected:
  void SetUp() override { client.connect("127.0.0.1", server.port(), "", ""); }

  Request sent() const { return server.lastSeen().decoded; }
  // The CIMObject header as text (the server library may already have undone the %XX escapes).
  std::string cimObjectSent() const { return CimXml::uriDecode(server.lastSeen().cimObject).str(); }

  std::function<Response(const Request&)> answer = [](const Request&) { return Response(); };
  LoopbackCimServer server{[this](const Request& request) { return answer(request); }};
  CIMClient client;
};

TEST_F(ClientOperations, GetInstanceSendsKeysAndNonDefaultFlagsAndReturnsClassOnlyPath) {
  answer = [](const Request& request) {
    const CIMObjectPath& asked = request.find("InstanceName")->instanceName;
    return answerWith(Response::INSTANCE, {volume(asked.getKeyBindings()[1].getValue().str(), CIMObjectPath())});
  };
  Array<CIMName> wanted;
  wanted.append("ElementName");
  CIMInstance got = client.getInstance(kNamespace, volumePath("7", "array1", kNamespace), false, false, true,
                                       CIMPropertyList(wanted));

  EXPECT_EQ("vol-7", textOf(got, "ElementName"));
  EXPECT_EQ("2 32768 ", textOf(got, "OperationalStatus"));
  EXPECT_EQ("TPD_StorageVolume", got.getPath().toString());
  EXPECT_EQ((std::vector<std::string>{
                "InstanceName=path TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"7\"",
                "LocalOnly=FALSE", "IncludeClassOrigin=TRUE", "PropertyList=list of 1"}),
            paramsOf(sent()));
  EXPECT_EQ("GetInstance", server.lastSeen().cimMethod);
  EXPECT_EQ("root/tpd", cimObjectSent());
}

TEST_F(ClientOperations, EnumerationsClearHostAndNamespaceButKeepKeys) {
  answer = [](const Request& request) {
    if (request.methodName == "EnumerateInstanceNames")
      return answerWith(Response::INSTANCE_NAMES, {}, {volumePath("1", "array1", kNamespace)});
    return answerWith(Response::NAMED_INSTANCES,
                      {volume("1", volumePath("1", "array1", kNamespace)), volume("2", volumePath("2"))});
  };
  Array<CIMInstance> instances = client.enumerateInstances(kNamespace, "CIM_StorageVolume", true, false);
  EXPECT_EQ((std::vector<std::string>{"ClassName=class CIM_StorageVolume", "LocalOnly=FALSE"}), paramsOf(sent()));
  ASSERT_EQ(2u, instances.size());
  EXPECT_EQ("TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"1\"",
            instances[0].getPath().toString());
  EXPECT_EQ("vol-2", textOf(instances[1], "ElementName"));

  Array<CIMObjectPath> names = client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
  ASSERT_EQ(1u, names.size());
  EXPECT_EQ("TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"1\"", names[0].toString());
}

TEST_F(ClientOperations, EmptyEnumerationIsAnEmptyArray) {
  answer = [](const Request&) { return answerWith(Response::NONE); };
  EXPECT_EQ(0u, client.enumerateInstances(kNamespace, "TPD_StorageVolume").size());
  EXPECT_EQ(0u, client.enumerateInstanceNames(kNamespace, "TPD_StorageVolume").size());
  EXPECT_EQ(0u, client.associatorNames(kNamespace, volumePath("1")).size());
}

TEST_F(ClientOperations, AssociationQueriesSendFiltersAndKeepServerPaths) {
  const CIMObjectPath remote = volumePath("9", "array1", kNamespace);
  answer = [&](const Request& request) {
    if (request.methodName == "AssociatorNames" || request.methodName == "ReferenceNames")
      return answerWith(Response::OBJECT_PATHS, {}, {remote});
    return answerWith(Response::OBJECTS_WITH_PATH, {volume("9", remote)});
  };
  const std::string objectName =
      "ObjectName=path TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"1\"";
  const std::string remoteText = remote.toString().str();

  Array<CIMObjectPath> associated =
      client.associatorNames(kNamespace, volumePath("1"), "TPD_StorageSynchronized", CIMName(), "SystemElement");
  EXPECT_EQ((std::vector<std::string>{objectName, "AssocClass=class TPD_StorageSynchronized", "ResultClass=null",
                                      "Role=SystemElement"}),
            paramsOf(sent()));
  ASSERT_EQ(1u, associated.size());
  EXPECT_EQ(remoteText, associated[0].toString().str());

  Array<CIMObjectPath> referring = client.referenceNames(kNamespace, volumePath("1"));
  EXPECT_EQ((std::vector<std::string>{objectName, "ResultClass=null"}), paramsOf(sent()));
  ASSERT_EQ(1u, referring.size());
  EXPECT_EQ(remoteText, referring[0].toString().str());

  Array<CIMObject> references = client.references(kNamespace, volumePath("1"), "TPD_StorageSynchronized");
  EXPECT_EQ((std::vector<std::string>{objectName, "ResultClass=class TPD_StorageSynchronized"}), paramsOf(sent()));
  ASSERT_EQ(1u, references.size());
  EXPECT_EQ(remoteText, references[0].getPath().toString().str());
  EXPECT_EQ("vol-9", textOf(CIMInstance(references[0]), "ElementName"));

  Array<CIMObject> associators = client.associators(kNamespace, volumePath("1"));
  EXPECT_EQ((std::vector<std::string>{objectName, "AssocClass=null", "ResultClass=null"}), paramsOf(sent()));
  ASSERT_EQ(1u, associators.size());
  EXPECT_EQ(remoteText, associators[0].getPath().toString().str());
}

// Some providers answer association queries with bare instance names rather than full object paths.
TEST_F(ClientOperations, AssociationAnswersWithLocalPathsAreAccepted) {
  const CIMObjectPath local = volumePath("9");
  answer = [&](const Request& request) {
    if (request.methodName == "AssociatorNames" || request.methodName == "ReferenceNames")
      return answerWith(Response::INSTANCE_NAMES, {}, {local});
    return answerWith(Response::NAMED_INSTANCES, {volume("9", local)});
  };
  const std::string localText = local.toString().str();
  ASSERT_EQ(1u, client.associatorNames(kNamespace, volumePath("1")).size());
  EXPECT_EQ(localText, client.associatorNames(kNamespace, volumePath("1"))[0].toString().str());
  EXPECT_EQ(localText, client.referenceNames(kNamespace, volumePath("1"))[0].toString().str());
  Array<CIMObject> references = client.references(kNamespace, volumePath("1"));
  ASSERT_EQ(1u, references.size());
  EXPECT_EQ(localText, references[0].getPath().toString().str());
  EXPECT_EQ("vol-9", textOf(CIMInstance(references[0]), "ElementName"));
  EXPECT_EQ(localText, client.associators(kNamespace, volumePath("1"))[0].getPath().toString().str());
}

TEST_F(ClientOperations, KeylessObjectNameIsSentAsClassName) {
  answer = [](const Request&) { return answerWith(Response::OBJECT_PATHS); };
  client.associatorNames(kNamespace, CIMObjectPath("TPD_StorageSystem"));
  EXPECT_EQ("ObjectName=class TPD_StorageSystem", paramsOf(sent()).at(0));
}

TEST_F(ClientOperations, ModifyAndDeleteSendTheirTarget) {
  client.modifyInstance(kNamespace, volume("3", volumePath("3")), false);
  EXPECT_EQ((std::vector<std::string>{
                "ModifiedInstance=instance TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"3\"",
                "IncludeQualifiers=FALSE"}),
            paramsOf(sent()));
  EXPECT_EQ("vol-3", textOf(sent().find("ModifiedInstance")->instance, "ElementName"));

  client.deleteInstance(kNamespace, volumePath("3"));
  EXPECT_EQ("DeleteInstance", sent().methodName);
  EXPECT_EQ((std::vector<std::string>{
                "InstanceName=path TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"3\""}),
            paramsOf(sent()));
}

TEST_F(ClientOperations, InvokeMethodSendsTypedParametersAndReturnsTypedResults) {
  const CIMObjectPath created = volumePath("42", "array1", kNamespace);
  answer = [&](const Request&) {
    Response response;
    response.returnValue = CIMValue(Uint32(4096));
    response.outParams.push_back(CIMParamValue("TargetElement", CIMValue(created)));
    response.outParams.push_back(CIMParamValue("Job", CIMValue(CIMTYPE_REFERENCE, false)));
    return response;
  };
  Array<CIMKeyBinding> serviceKeys;
  serviceKeys.append(CIMKeyBinding("Name", "S1", CIMKeyBinding::STRING));
  const CIMObjectPath service("array1", CIMNamespaceName("other/ns"), "TPD_StorageConfigurationService", serviceKeys);
  Array<CIMParamValue> in;
  in.append(CIMParamValue("ElementName", CIMValue(String("snap1"))));
  in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
  in.append(CIMParamValue("SourceElement", CIMValue(volumePath("1"))));
  in.append(CIMParamValue("TargetPool", CIMValue(CIMTYPE_REFERENCE, false)));
  Array<CIMParamValue> out;
  out.append(CIMParamValue("Stale", CIMValue(Uint8(1))));

  CIMValue result = client.invokeMethod(kNamespace, service, "CreateReplica", in, out);

  EXPECT_EQ(CIMTYPE_UINT32, result.getType());
  EXPECT_EQ("4096", result.toString());
  ASSERT_EQ(2u, out.size());
  EXPECT_EQ("TargetElement", out[0].getParameterName());
  EXPECT_EQ(CIMTYPE_REFERENCE, out[0].getValue().getType());
  CIMObjectPath target;
  out[0].getValue().get(target);
  EXPECT_EQ(created, target);
  EXPECT_TRUE(out[1].getValue().isNull());

  const Request call = sent();
  EXPECT_FALSE(call.intrinsic);
  EXPECT_EQ("CreateReplica", server.lastSeen().cimMethod);
  EXPECT_EQ("root/tpd", call.nameSpace.getString());
  EXPECT_EQ("", call.objectPath.getHost());
  EXPECT_TRUE(refersToSameObject(service, call.objectPath));
  EXPECT_EQ("root/tpd:TPD_StorageConfigurationService.Name=\"S1\"", cimObjectSent());
  ASSERT_EQ(4u, call.params.size());
  EXPECT_EQ(CIMTYPE_STRING, call.params[0].value.getType());
  EXPECT_EQ(CIMTYPE_UINT16, call.params[1].value.getType());
  EXPECT_EQ("4", call.params[1].value.toString());
  EXPECT_EQ(CIMTYPE_REFERENCE, call.params[2].value.getType());
  EXPECT_TRUE(call.params[3].value.isNull() || call.params[3].kind == ParamValue::NULLVALUE);
}

TEST_F(ClientOperations, CimErrorBecomesCimExceptionWithCodeAndDescription) {
  answer = [](const Request&) {
    Response response;
    response.isError = true;
    response.errorCode = CIM_ERR_NOT_FOUND;
    response.errorDescription = "CIM_ERR_NOT_FOUND: no such volume";
    return response;
  };
  try {
    client.getInstance(kNamespace, volumePath("404"));
    FAIL() << "no exception";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_NOT_FOUND, e.getCode());
    EXPECT_EQ("CIM_ERR_NOT_FOUND: no such volume", e.getMessage());
  }
}

TEST_F(ClientOperations, EachRequestCarriesAFreshMessageId) {
  client.deleteInstance(kNamespace, volumePath("1"));
  client.deleteInstance(kNamespace, volumePath("2"));
  std::vector<cimtest::SeenRequest> seen = server.seen();
  ASSERT_EQ(2u, seen.size());
  EXPECT_NE(seen[0].decoded.messageId, seen[1].decoded.messageId);
}

TEST_F(ClientOperations, TenThousandInstancesArriveIntact) {
  const int count = 10000;
  answer = [](const Request&) {
    std::vector<CIMInstance> all;
    all.reserve(count);
    for (int i = 0; i < count; ++i) all.push_back(volume(std::to_string(i), volumePath(std::to_string(i))));
    return answerWith(Response::NAMED_INSTANCES, all);
  };
  Array<CIMInstance> instances = client.enumerateInstances(kNamespace, "TPD_StorageVolume");
  ASSERT_EQ(Uint32(count), instances.size());
  for (int i : {0, 1, 4999, count - 1}) {
    EXPECT_EQ(String("vol-" + std::to_string(i)), textOf(instances[i], "ElementName"));
    EXPECT_EQ(volumePath(std::to_string(i)), instances[i].getPath());
  }
}

}  // namespace
