// ExposePaths and HidePaths on array families the simulated 3PAR provider does not model, against a scripted
// loopback CIMOM: the IBM SVC "Force" switch and device error, the ETERNUS call per further view, and the
// HP EVA views found for the initiators.
#include <memory>
#include <string>
#include <vector>

#include "support/ScriptedFamilyFixture.h"

using namespace Pegasus;
using lookuptest::ScriptedCimom;

namespace smisactiontest {
namespace {

const char* const kSystem = "ARRAY1";
const char* const kPort = "10000000C9A1B2C3";

enum class Op { kExpose, kHide };

class MaskingFamilyTest : public ScriptedFamilyTest {
 protected:
  MaskingFamilyTest()
      : hiddenForceMap_("Corvane", "IBMSVC_DISABLE_FORCE_MAP"),
        hiddenForceUnmap_("Corvane", "IBMSVC_DISABLE_FORCE_UNMAP") {}

  // An array `kSystem` of the family, its controller configuration service and its views by DeviceID.
  void SeedArray(const std::string& prefix, const std::string& systemClass, const std::vector<std::string>& viewIds) {
    system_ = FamilyPath(systemClass, {{"CreationClassName", systemClass}, {"Name", kSystem}});
    cimom_.SetNames("CIM_ComputerSystem", {system_});
    std::string serviceClass = prefix + "_ControllerConfigurationService";
    CIMObjectPath service = FamilyPath(serviceClass, {{"CreationClassName", serviceClass},
                                                      {"Name", "ctl"},
                                                      {"SystemCreationClassName", systemClass},
                                                      {"SystemName", kSystem}});
    cimom_.SetAssociators(system_, "CIM_HostedService", {service});
    views_.clear();
    for (const std::string& id : viewIds) views_.push_back(View(prefix + "_SCSIProtocolController", id, kSystem));
    cimom_.SetNames("CIM_SCSIProtocolController", views_);
  }

  static CIMObjectPath View(const std::string& viewClass, const std::string& id, const std::string& system) {
    return FamilyPath(viewClass, {{"CreationClassName", viewClass},
                                  {"DeviceID", id},
                                  {"SystemCreationClassName", "x_System"},
                                  {"SystemName", system}});
  }

  // Exposes or hides "vol1" for kPort through the named views ("" lets the operation find them).
  SmisResultCode Run(Op op, const std::string& viewNames) {
    if (op == Op::kExpose) {
      SmisArgs args = {kSystem, "vol1", kPort, "null", "null", "null", viewNames.empty() ? "null" : viewNames};
      return action_.ExposePaths(conn_, args);
    }
    SmisArgs args = {kSystem, "vol1", kPort, "null", viewNames.empty() ? "null" : viewNames};
    return action_.HidePaths(conn_, args);
  }

  static const char* MethodOf(Op op) { return op == Op::kExpose ? "ExposePaths" : "HidePaths"; }

  // The DeviceIDs of the views a call named, in order.
  static std::vector<std::string> ViewsSent(const ScriptedCimom::MethodCall& call) {
    std::vector<std::string> ids;
    const CimXml::ParamValue* param = call.find("ProtocolControllers");
    if (!param || param->value.isNull()) return ids;
    Array<CIMObjectPath> views;
    param->value.get(views);
    for (Uint32 i = 0; i < views.size(); ++i) {
      Array<CIMKeyBinding> keys = views[i].getKeyBindings();
      for (Uint32 k = 0; k < keys.size(); ++k)
        if (keys[k].getName() == CIMName("DeviceID")) ids.push_back(keys[k].getValue().str());
    }
    return ids;
  }

  static bool SentNull(const ScriptedCimom::MethodCall& call, const char* name) {
    const CimXml::ParamValue* param = call.find(name);
    return param && param->value.isNull();
  }

  TqConfigOverride hiddenForceMap_, hiddenForceUnmap_;
  CIMObjectPath system_;
  std::vector<CIMObjectPath> views_;
};

TEST_F(MaskingFamilyTest, ForceIsSentToIbmSvcOnlyAndFollowsTheKeyOfItsOperation) {
  struct Case {
    const char* what;
    const char* prefix;
    const char* systemClass;
    Op op;
    const char* key;  // set to "1" when given
    const char* force;
  };
  const Case cases[] = {
      {"svc expose", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kExpose, nullptr, "boolean TRUE"},
      {"svc expose, map force disabled", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kExpose, "IBMSVC_DISABLE_FORCE_MAP",
       "boolean FALSE"},
      {"svc expose, unmap key only", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kExpose, "IBMSVC_DISABLE_FORCE_UNMAP",
       "boolean TRUE"},
      {"svc hide", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kHide, nullptr, "boolean TRUE"},
      {"svc hide, unmap force disabled", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kHide, "IBMSVC_DISABLE_FORCE_UNMAP",
       "boolean FALSE"},
      {"svc hide, map key only", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kHide, "IBMSVC_DISABLE_FORCE_MAP", "boolean TRUE"},
      {"eternus expose", "FUJITSU", "FUJITSU_StorageComputerSystem", Op::kExpose, nullptr, ""},
      {"eva hide", "HPEVA", "HPEVA_StorageSystem", Op::kHide, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TqConfigOverride> key;
    if (c.key) key.reset(new TqConfigOverride("Corvane", c.key, "1"));
    SeedArray(c.prefix, c.systemClass, {"view1"});
    EXPECT_EQ(kSmisSuccess, Run(c.op, "view1"));
    ScriptedCimom::MethodCall call = OnlyCall();
    EXPECT_EQ(MethodOf(c.op), call.method);
    EXPECT_EQ(c.force, Typed(call, "Force"));
    EXPECT_EQ(std::vector<std::string>{"view1"}, ViewsSent(call));
    cimom_.ClearCalls();
  }
}

TEST_F(MaskingFamilyTest, RefusalBecomesTheDeviceErrorOnIbmSvcOnly) {
  static const SmisErrorText_t kTexts[] = {{4, "Mapping failed"}, {0, nullptr}};
  action_.SetErrorTextTable(kTexts);
  struct Case {
    const char* what;
    const char* prefix;
    const char* systemClass;
    Op op;
    int errorCode;
    const char* errorText;
  };
  const Case cases[] = {
      {"svc expose", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kExpose, 4, "Mapping failed"},
      {"svc hide", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kHide, 4, "Mapping failed"},
      {"eternus expose", "FUJITSU", "FUJITSU_StorageComputerSystem", Op::kExpose, 0, ""},
      {"eva hide", "HPEVA", "HPEVA_StorageSystem", Op::kHide, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_ = TQSO::SnapInfo();
    SeedArray(c.prefix, c.systemClass, {"view1"});
    cimom_.SetMethodAnswer(MethodOf(c.op), 4);
    EXPECT_EQ(4u, Run(c.op, "view1"));
    EXPECT_EQ(1u, cimom_.Calls().size());
    EXPECT_EQ(c.errorCode, record_.errorCode());
    EXPECT_EQ(c.errorText, record_.errorText());
    cimom_.ClearCalls();
  }
}

// ETERNUS maps and unmaps each further view by a call of its own once the first call succeeded; the other
// families use the first view only.
TEST_F(MaskingFamilyTest, EternusCallsOncePerViewAfterTheFirstSucceeded) {
  struct Case {
    const char* what;
    const char* prefix;
    const char* systemClass;
    Op op;
    Uint32 answer;
    std::vector<std::vector<std::string>> viewsPerCall;
  };
  const Case cases[] = {
      {"eternus expose", "FUJITSU", "FUJITSU_StorageComputerSystem", Op::kExpose, 0, {{"v1"}, {"v2"}, {"v3"}}},
      {"eternus expose refused", "FUJITSU", "FUJITSU_StorageComputerSystem", Op::kExpose, 4, {{"v1"}}},
      {"eternus hide", "FUJITSU", "FUJITSU_StorageComputerSystem", Op::kHide, 0, {{"v1"}, {"v2"}, {"v3"}}},
      {"svc expose", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kExpose, 0, {{"v1"}}},
      {"svc hide", "IBMTSSVC", "IBMTSSVC_Cluster", Op::kHide, 0, {{"v1"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeedArray(c.prefix, c.systemClass, {"v1", "v2", "v3"});
    cimom_.SetMethodAnswer(MethodOf(c.op), c.answer);
    EXPECT_EQ(c.answer, Run(c.op, "v1,v2,v3"));
    std::vector<ScriptedCimom::MethodCall> calls = cimom_.Calls(MethodOf(c.op));
    ASSERT_EQ(c.viewsPerCall.size(), calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(c.viewsPerCall[i], ViewsSent(calls[i]));
      EXPECT_TRUE(SentNull(calls[i], "InitiatorPortIDs"));  // the views name the host
    }
    cimom_.ClearCalls();
  }
}

TEST_F(MaskingFamilyTest, EternusExposeSendsNeitherTargetsNorDeviceNumbersWithItsViews) {
  SeedArray("FUJITSU", "FUJITSU_StorageComputerSystem", {"v1", "v2"});
  SmisArgs args = {kSystem, "vol1", kPort, "7", "2", "CA0,CA1", "v1,v2"};
  EXPECT_EQ(kSmisSuccess, action_.ExposePaths(conn_, args));
  std::vector<ScriptedCimom::MethodCall> calls = cimom_.Calls("ExposePaths");
  ASSERT_EQ(2u, calls.size());
  for (const ScriptedCimom::MethodCall& call : calls) {
    EXPECT_TRUE(SentNull(call, "TargetPortIDs"));
    EXPECT_TRUE(SentNull(call, "DeviceNumbers"));
    EXPECT_EQ("uint16 2 ", Typed(call, "DeviceAccesses"));
  }
}

class EvaViewTest : public MaskingFamilyTest {
 protected:
  static constexpr const char* kViewClass = "HPEVA_ViewProtocolController";

  EvaViewTest() { SeedArray("HPEVA", "HPEVA_StorageSystem", {}); }

  // An EVA presentation view of the system naming the ports.
  CIMInstance EvaView(const std::string& id, const std::string& system, const std::vector<std::string>& wwns) {
    CIMInstance view{CIMName(kViewClass)};
    Array<String> names;
    for (const std::string& wwn : wwns) names.append(String(wwn));
    view.addProperty(CIMProperty(CIMName("WWNs"), CIMValue(names)));
    view.setPath(View(kViewClass, id, system));
    return view;
  }
};

TEST_F(EvaViewTest, ExposeJoinsTheViewOfTheInitiatorsOrLetsTheArrayMakeOne) {
  struct Case {
    const char* what;
    std::vector<std::string> matchingWwns;
    std::vector<std::string> viewsSent;
  };
  const Case cases[] = {
      {"the host's view", {"10000000C9FFFFFF", kPort}, {"host-view"}},
      {"no view of the port", {"10000000C9FFFFFF"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cimom_.SetInstances(
        kViewClass, {EvaView("other-view", kSystem, {"10000000C9EEEEEE"}), EvaView("other-array", "ARRAY2", {kPort}),
                     EvaView("host-view", kSystem, c.matchingWwns)});
    EXPECT_EQ(kSmisSuccess, Run(Op::kExpose, ""));
    ScriptedCimom::MethodCall call = OnlyCall();
    EXPECT_EQ(c.viewsSent, ViewsSent(call));
    // Without a view the initiators go along so that the array makes one for them.
    EXPECT_EQ(c.viewsSent.empty(), !SentNull(call, "InitiatorPortIDs"));
    cimom_.ClearCalls();
  }
}

TEST_F(EvaViewTest, HideUsesTheVolumesViewThatNamesTheInitiator) {
  CIMObjectPath volume = Volume("HPEVA", kSystem, "vol1");
  CIMInstance other = EvaView("other-view", kSystem, {"10000000C9EEEEEE"});
  CIMInstance host = EvaView("host-view", kSystem, {kPort});
  cimom_.SetInstances(kViewClass, {other, host});
  cimom_.SetAssociators(volume, "CIM_ProtocolControllerForUnit", {other.getPath(), host.getPath()});
  SmisArgs args = {kSystem, "vol1", kPort, "null", "null", volume.toString().str()};
  EXPECT_EQ(kSmisSuccess, action_.HidePaths(conn_, args));
  ScriptedCimom::MethodCall call = OnlyCall();
  EXPECT_EQ(std::vector<std::string>{"host-view"}, ViewsSent(call));

  cimom_.ClearCalls();
  CIMObjectPath unseen = Volume("HPEVA", kSystem, "vol2");
  cimom_.SetAssociators(unseen, "CIM_ProtocolControllerForUnit", {other.getPath()});
  args = {kSystem, "vol2", kPort, "null", "null", unseen.toString().str()};
  EXPECT_EQ(kSmisMappingNotFound, action_.HidePaths(conn_, args));
  EXPECT_TRUE(cimom_.Calls().empty());
}

}  // namespace
}  // namespace smisactiontest
