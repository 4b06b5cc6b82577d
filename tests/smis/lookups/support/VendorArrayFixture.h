// Lookups against simulated arrays of another family: the simulator seeded with the test's document and the
// connection set to the family's namespace. The IBM SVC hardware-ID cache starts and ends empty, and the
// configuration keys of the family lookups are hidden unless a test sets them.
#pragma once
#include <string>
#include <vector>

#include "SimArrayFixture.h"
#include "TqHardwareIdInstanceCache.h"

namespace lookuptest {

class VendorArrayTest : public SimArrayTest {
 protected:
  VendorArrayTest(const std::string& seed, const std::string& nameSpace)
      : SimArrayTest(seed),
        hiddenHbaCache_("Corvane", "TQ_IBMSVC_CACHE_HBA_INSTANCES"),
        hiddenCtlrAll_("Corvane", "nLSIDisableCtlrAll") {
    TqCimomParams params = ParamsFor(server_);
    params.m_NameSpace = nameSpace;
    conn_.m_Cimom.SetCimom(params);
    TqHardwareIdInstanceCache::Clear();
  }

  void TearDown() override {
    SimArrayTest::TearDown();
    TqHardwareIdInstanceCache::Clear();
  }

  Pegasus::CIMObjectPath System(const std::string& name) { return util_.GetSystemObjPathByNameProp(conn_, name); }

  // The "ElementName" of each view (the host or group it serves), in order.
  std::vector<std::string> Names(const Pegasus::Array<Pegasus::CIMObjectPath>& views) {
    std::vector<std::string> names;
    for (Pegasus::CIMObjectPath view : views) names.push_back(util_.GetCIMProp(conn_, view, "ElementName"));
    return names;
  }

  // The path of the volume named `name` (its "ElementName") on the array named `system`.
  Pegasus::CIMObjectPath VolumeNamed(const std::string& system, const std::string& name) {
    return sim().withModel([&](smissim::Model& model) {
      for (const Pegasus::CIMInstance* volume : model.store().enumerate("CIM_StorageVolume")) {
        Pegasus::CIMObjectPath path = volume->getPath();
        Pegasus::CIMInstance instance = *volume;
        if (util_.GetCIMProp(instance, "ElementName") == name &&
            util_.GetPropByObjPath(path, "SystemName").find(system) == 0)
          return path;
      }
      return Pegasus::CIMObjectPath();
    });
  }

  TqConfigOverride hiddenHbaCache_;
  TqConfigOverride hiddenCtlrAll_;
};

using Names_t = std::vector<std::string>;

}  // namespace lookuptest
