// The objects an ETERNUS array has beyond what every family has: device groups (RAID pools) and
// thin-provisioning pools, volumes typed by their Purpose and allocated from a pool, and replication pairs
// with their SyncType and SyncState. The seeder and the array's methods both build through it; it works on
// one array of the model, whose lock the caller holds.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "Pegasus/CIMInstance.h"
#include "smis-sim/Model.h"

namespace smissim {

struct MethodCall;
struct MethodOutcome;

// The volume types the array tells apart by the marker in the Purpose text.
enum class EternusVolumeType { kStandard, kSdv, kTpv };

struct EternusVolumeSpec {
  std::string name;
  Pegasus::CIMObjectPath pool;
  EternusVolumeType type = EternusVolumeType::kStandard;
  Pegasus::Uint64 blocks = 0;     // of 512 bytes
  std::string uid;                // the volume's "Name"; empty: made up, unique on the provider
  std::string purpose;            // empty: the type's own text
  std::vector<std::string> omit;  // properties left out, as a provider may leave them out
};

class EternusArray {
 public:
  EternusArray(Model& model, StorageArray& array);

  Pegasus::CIMObjectPath addPool(const std::string& name, bool thin);
  // The array's pool of that ElementName; nullptr when none.
  const Pegasus::CIMInstance* findPool(const std::string& name) const;
  // The array's pool the path names; nullptr when it names none of them.
  const Pegasus::CIMInstance* pool(const Pegasus::CIMObjectPath& path) const;
  bool isThinPool(const Pegasus::CIMInstance& pool) const;

  // Throws ModelError for a name the array has already.
  Pegasus::CIMObjectPath addVolume(const EternusVolumeSpec& spec);
  // The array's volume the path names; nullptr when it names none of them.
  const Pegasus::CIMInstance* volume(const Pegasus::CIMObjectPath& path) const;
  void removeVolume(const Pegasus::CIMObjectPath& volume);
  // The type by the first marker the Purpose holds ("+0x00", "+0x03", "+0x06"); none without one.
  static std::optional<EternusVolumeType> typeOf(const Pegasus::CIMInstance& volume);

  Pegasus::CIMObjectPath addPair(const Pegasus::CIMObjectPath& source, const Pegasus::CIMObjectPath& target,
                                 Pegasus::Uint16 syncType, Pegasus::Uint16 syncState);
  // The pairs the volume takes part in, in either role.
  std::vector<const Pegasus::CIMInstance*> pairsOf(const Pegasus::CIMObjectPath& volume) const;

 private:
  std::string newUid();
  Pegasus::CIMObjectPath put(Pegasus::CIMInstance& instance, std::initializer_list<const char*> keys);

  Model& model_;
  StorageArray& array_;
  const VendorProfile& profile_;
};

// The methods the array runs its own way (VendorProfile::runMethod): element replicas into a target of the
// caller's choosing, and volume creation in a device group or thin-provisioning pool.
bool runEternusMethod(MethodCall& call, const std::string& method, MethodOutcome& outcome);

}  // namespace smissim
