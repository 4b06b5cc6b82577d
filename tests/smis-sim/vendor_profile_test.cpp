// Arrays of other families beside 3PAR arrays on one provider: each family is served in its own namespace only,
// its associations answer in that namespace, and a seed of an unknown family changes nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/SimClient.h"

using namespace simtest;

namespace {

constexpr const char* kMixedSeed = R"({"arrays": [
  {"serial": "000001", "cpgs": ["A"], "volumes": [{"name": "v", "cpg": "A"}]},
  {"family": "ibmsvc", "name": "0000020060C0A1B2", "volumes": [{"name": "vd1"}],
   "hosts": [{"name": "esx1", "fc": ["500507680140A001"]}], "exports": [{"volume": "vd1", "host": "esx1"}]},
  {"family": "lsi", "name": "600A0B800011AAAA", "hosts": [{"name": "h1", "fc": ["20000024FF00A001"]}]}
]})";

std::vector<std::string> ClassesOf(const Array<CIMObjectPath>& paths) {
  std::vector<std::string> classes;
  for (const CIMObjectPath& path : paths) classes.push_back(path.getClassName().getString().str());
  return classes;
}

TEST(VendorProfileTest, EachFamilyIsServedInItsOwnNamespace) {
  smissim::SimulatorOptions options;
  options.seedJson = kMixedSeed;
  smissim::TestServer server(options);
  CIMClient client;
  connectTo(client, server);
  const CIMNamespaceName ibm("root/ibm");
  const CIMNamespaceName lsi("root/LsiArray13");

  EXPECT_EQ(std::vector<std::string>({"TPD_StorageSystem"}),
            ClassesOf(client.enumerateInstanceNames(tpd(), CIMName("CIM_ComputerSystem"))));
  EXPECT_EQ(std::vector<std::string>({"IBMTSSVC_Cluster", "IBMTSSVC_Node", "IBMTSSVC_Node"}),
            ClassesOf(client.enumerateInstanceNames(ibm, CIMName("CIM_ComputerSystem"))));
  EXPECT_EQ(std::vector<std::string>({"LSISSI_StorageSystem"}),
            ClassesOf(client.enumerateInstanceNames(lsi, CIMName("CIM_ComputerSystem"))));

  // Associations stay in the namespace asked and say so.
  CIMObjectPath volume = client.enumerateInstanceNames(ibm, CIMName("CIM_StorageVolume"))[0];
  Array<CIMObjectPath> views = client.associatorNames(ibm, volume, CIMName("CIM_ProtocolControllerForUnit"),
                                                      CIMName("CIM_SCSIProtocolController"), String(), String());
  ASSERT_EQ(1u, views.size());
  EXPECT_EQ("IBMTSSVC_ProtocolController", views[0].getClassName().getString().str());
  EXPECT_EQ("root/ibm", views[0].getNameSpace().getString().str());

  // Another family's object is not there in root/tpd; an unserved namespace is refused.
  try {
    client.getInstance(tpd(), volume);
    ADD_FAILURE() << "read across namespaces";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_NOT_FOUND, e.getCode());
  }
  try {
    client.enumerateInstanceNames(CIMNamespaceName("root/other"), CIMName("CIM_ComputerSystem"));
    ADD_FAILURE() << "unserved namespace answered";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_INVALID_NAMESPACE, e.getCode());
  }

  EXPECT_THROW(server->seed(R"({"arrays": [{"family": "acme", "name": "x"}]})"), smissim::ModelError);
  EXPECT_THROW(server->seed(R"({"arrays": [{"family": "hpeva", "name": "e", "exports": [{"volume": "no"}]}]})"),
               smissim::ModelError);
  EXPECT_THROW(
      server->seed(R"({"arrays": [{"family": "lsi", "name": "l2", "pitViews": [{"name": "s", "source": "no"}]}]})"),
      smissim::ModelError);
  EXPECT_EQ(0u, client.enumerateInstanceNames(CIMNamespaceName("root/eva"), CIMName("CIM_ComputerSystem")).size());
}

// Whole instances are answered from the model's own objects, lists of properties from copies: both hold the
// objects of the namespace asked alone, and the same objects.
TEST(VendorProfileTest, WholeInstancesAreScopedAsNamesAndListsAre) {
  smissim::SimulatorOptions options;
  options.seedJson = kMixedSeed;
  smissim::TestServer server(options);
  CIMClient client;
  connectTo(client, server);
  for (const char* space : {"root/tpd", "root/ibm", "root/LsiArray13"}) {
    for (const char* cls : {"CIM_ComputerSystem", "CIM_StorageVolume", "CIM_StorageHardwareID"}) {
      SCOPED_TRACE(std::string(space) + " " + cls);
      const CIMNamespaceName nameSpace(space);
      Array<CIMInstance> whole = client.enumerateInstances(nameSpace, CIMName(cls), true, false);
      std::vector<std::string> classes;
      for (const CIMInstance& instance : whole) classes.push_back(instance.getClassName().getString().str());
      EXPECT_EQ(ClassesOf(client.enumerateInstanceNames(nameSpace, CIMName(cls))), classes);
      Array<CIMName> every;
      for (const CIMInstance& instance : whole)
        for (Uint32 i = 0; i < instance.getPropertyCount(); ++i)
          if (std::find(every.begin(), every.end(), instance.getProperty(i).getName()) == every.end())
            every.append(instance.getProperty(i).getName());
      Array<CIMInstance> listed =
          client.enumerateInstances(nameSpace, CIMName(cls), true, false, false, false, CIMPropertyList(every));
      EXPECT_TRUE(whole == listed);
    }
  }
}

}  // namespace
