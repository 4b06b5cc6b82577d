// Set-up of the SmisAction tests for array families the simulated 3PAR provider does not model: a scripted
// loopback CIMOM answering with the family's classes, a connected connection and an action object tracing
// into a job record, and helpers that build the family's paths and read the calls the CIMOM received.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "SimProviderSupport.h"
#include "SmisImpl.h"
#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "TqSleep.h"
#include "lookups/support/ScriptedCimom.h"

namespace smisactiontest {

using simtest::CountMessages;

typedef std::vector<std::pair<const char*, std::string>> Keys;

inline Pegasus::CIMObjectPath FamilyPath(const std::string& className, const Keys& keys) {
  Pegasus::Array<Pegasus::CIMKeyBinding> bindings;
  for (const auto& key : keys)
    bindings.append(Pegasus::CIMKeyBinding(Pegasus::CIMName(key.first), Pegasus::String(key.second),
                                           Pegasus::CIMKeyBinding::STRING));
  return Pegasus::CIMObjectPath("", Pegasus::CIMNamespaceName(), Pegasus::CIMName(className), bindings);
}

// An instance at the path with string properties.
inline Pegasus::CIMInstance FamilyInstance(const Pegasus::CIMObjectPath& path, const Keys& properties) {
  Pegasus::CIMInstance instance(path.getClassName());
  for (const auto& property : properties)
    instance.addProperty(
        Pegasus::CIMProperty(Pegasus::CIMName(property.first), Pegasus::CIMValue(Pegasus::String(property.second))));
  instance.setPath(path);
  return instance;
}

class ScriptedFamilyTest : public ::testing::Test {
 protected:
  static constexpr const char* kNameSpace = "root/other";

  ScriptedFamilyTest()
      : hiddenCache_("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES"),
        hiddenFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hiddenLsiPrefix_("Corvane", "LSI_OEM_CLASSNAME_PREFIX"),
        instantWaits_(TqSleepMode::Instant) {
    TqCimomParams params = simtest::ParamsFor(cimom_.port());
    params.m_NameSpace = kNameSpace;
    params.m_User = "user";
    params.m_Password = "password";
    conn_.m_Cimom.SetCimom(params);
    conn_.m_SnapInfo = &record_;
    action_.m_SnapInfo = &record_;
  }

  void SetUp() override { ASSERT_EQ(0, conn_.ConnectCimom()); }
  void TearDown() override { conn_.DisconnectCimom(); }

  // The family's storage configuration service on the array `system`.
  Pegasus::CIMObjectPath ConfigService(const std::string& prefix, const std::string& system) {
    std::string cls = prefix + "_StorageConfigurationService";
    Pegasus::CIMObjectPath service = FamilyPath(cls, {{"CreationClassName", cls},
                                                      {"Name", "config"},
                                                      {"SystemCreationClassName", prefix + "_System"},
                                                      {"SystemName", system}});
    cimom_.SetNames("CIM_StorageConfigurationService", {service});
    return service;
  }

  Pegasus::CIMObjectPath Volume(const std::string& prefix, const std::string& system, const std::string& id) {
    std::string cls = prefix + "_StorageVolume";
    return FamilyPath(cls, {{"CreationClassName", cls},
                            {"DeviceID", id},
                            {"SystemCreationClassName", prefix + "_System"},
                            {"SystemName", system}});
  }

  // The only extrinsic call received, with its parameter names in order.
  lookuptest::ScriptedCimom::MethodCall OnlyCall() {
    std::vector<lookuptest::ScriptedCimom::MethodCall> calls = cimom_.Calls();
    EXPECT_EQ(1u, calls.size());
    return calls.empty() ? lookuptest::ScriptedCimom::MethodCall() : calls.back();
  }

  static std::vector<std::string> Names(const lookuptest::ScriptedCimom::MethodCall& call) {
    std::vector<std::string> names;
    for (const Pegasus::CimXml::ParamValue& param : call.params) names.push_back(param.name.str());
    return names;
  }

  // A parameter's value as text with its CIM type ("uint16 4"); "" when it was not sent.
  static std::string Typed(const lookuptest::ScriptedCimom::MethodCall& call, const std::string& name) {
    const Pegasus::CimXml::ParamValue* param = call.find(name);
    if (!param) return "";
    return std::string(Pegasus::cimTypeToString(param->value.getType())) + " " + param->value.toString().str();
  }

  TqConfigOverride hiddenCache_;
  TqConfigOverride hiddenFaultRetry_;
  TqConfigOverride hiddenLsiPrefix_;
  TqSleepScope instantWaits_;
  lookuptest::ScriptedCimom cimom_;
  TQSO::SnapInfo record_;
  TqCimConnection conn_;
  SmisAction action_;
};

}  // namespace smisactiontest
