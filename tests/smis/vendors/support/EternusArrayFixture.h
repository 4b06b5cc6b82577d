// Set-up of the ETERNUS tests: the simulated provider seeded with the test's ETERNUS array, the connection in
// root/eternus, an action object tracing into the job record, the host keys of the target choice hidden
// unless a test sets them, and readers of the array's volumes and pairs as the model holds them.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "SmisImpl.h"
#include "lookups/support/VendorArrayFixture.h"

namespace smisactiontest {

using simtest::CountMessages;

constexpr const char* kEternusSystem = "ET0001AB";

class EternusArrayTest : public lookuptest::VendorArrayTest {
 protected:
  explicit EternusArrayTest(const std::string& seed)
      : VendorArrayTest(seed, "root/eternus"),
        seed_(seed),
        hiddenLabel_("Corvane", "ETERNUS_USE_VOLUME_LABEL"),
        hiddenSelection_("Corvane", "ETERNUS_ENABLE_VOLUME_SELECTION") {
    action_.m_SnapInfo = &record_;
  }

  static std::string Text(const Pegasus::CIMInstance& instance, const char* property) {
    Pegasus::Uint32 index = instance.findProperty(property);
    return index == Pegasus::PEG_NOT_FOUND ? "" : instance.getProperty(index).getValue().toString().str();
  }

  // Back to the seeded array with an empty job record and request log.
  void Reseed() {
    sim().reset(seed_);
    record_.clearMessages();
  }

  // The volume's path in the connection's namespace, and its UID (its "Name").
  Pegasus::CIMObjectPath Volume(const std::string& name) {
    Pegasus::CIMObjectPath path = VolumeNamed(kEternusSystem, name);
    path.setNameSpace(Pegasus::CIMNamespaceName("root/eternus"));
    return path;
  }
  std::string PathText(const std::string& name) { return Volume(name).toString().str(); }
  std::string Uid(const std::string& name) {
    Pegasus::CIMObjectPath path = Volume(name);
    return util_.GetCIMProp(conn_, path, "Name");
  }
  // The ElementName of the volume whose UID or path text is given; "" when none.
  std::string NameOfUid(const std::string& uid) {
    return sim().withModel([&](smissim::Model& model) -> std::string {
      for (const Pegasus::CIMInstance* volume : model.store().enumerate("CIM_StorageVolume"))
        if (Text(*volume, "Name") == uid) return Text(*volume, "ElementName");
      return "";
    });
  }
  std::vector<std::string> Names(const std::vector<_EternusLun>& luns) {
    std::vector<std::string> names;
    for (const _EternusLun& lun : luns) names.push_back(NameOfUid(lun.uid));
    return names;
  }
  std::vector<std::string> VolumeNames() {
    return sim().withModel([&](smissim::Model& model) {
      std::vector<std::string> names;
      for (const Pegasus::CIMInstance* volume : model.store().enumerate("CIM_StorageVolume"))
        names.push_back(Text(*volume, "ElementName"));
      std::sort(names.begin(), names.end());
      return names;
    });
  }
  // A property of the volume as the model holds it; "" when the volume or the property is missing.
  std::string Property(const std::string& name, const char* property) {
    Pegasus::CIMObjectPath volume = VolumeNamed(kEternusSystem, name);
    return sim().withModel([&](smissim::Model& model) {
      const Pegasus::CIMInstance* instance = model.store().find(volume);
      return instance ? Text(*instance, property) : std::string();
    });
  }
  // The ElementName of the pool the volume is allocated from; "" when none.
  std::string PoolOf(const std::string& name) {
    Pegasus::CIMObjectPath volume = VolumeNamed(kEternusSystem, name);
    return sim().withModel([&](smissim::Model& model) {
      const Pegasus::CIMInstance* pool = model.store().find(model.poolOf(volume));
      return pool ? Text(*pool, "ElementName") : std::string();
    });
  }
  // The pairs whose source is the volume: "<target name> <SyncType> <SyncState>", in the model's order.
  std::vector<std::string> PairsOf(const std::string& name) {
    Pegasus::CIMObjectPath source = VolumeNamed(kEternusSystem, name);
    return sim().withModel([&](smissim::Model& model) {
      std::vector<std::string> pairs;
      for (const Pegasus::CIMInstance* pair : model.synchronizations(source, true)) {
        const Pegasus::CIMInstance* target = model.store().find(smissim::referenceProperty(*pair, "SyncedElement"));
        pairs.push_back((target ? Text(*target, "ElementName") : "?") + " " + Text(*pair, "SyncType") + " " +
                        Text(*pair, "SyncState"));
      }
      return pairs;
    });
  }

  std::string seed_;
  TqConfigOverride hiddenLabel_;
  TqConfigOverride hiddenSelection_;
  SmisAction action_;
};

}  // namespace smisactiontest
