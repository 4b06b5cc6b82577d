// Builds the objects of one array of another family from its profile's class names: the system and its
// services, volumes, views with their privileges, collections and exposures. The family seeders (one file
// each) use it for what the families share and add their own objects.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Pegasus/CIMInstance.h"
#include "smis-sim/Json.h"
#include "smis-sim/Model.h"
#include "smis-sim/VendorProfile.h"

namespace smissim {

class VendorArrayBuilder {
 public:
  // Adds the array (system and services) named `systemName` to the model.
  VendorArrayBuilder(Model& model, const VendorProfile& profile, const std::string& systemName);

  Model& model() { return model_; }
  StorageArray& array() { return *array_; }
  const VendorProfile& profile() const { return profile_; }
  const std::string& systemName() const { return array_->systemName; }
  // A number unique within the array, for device ids and instance ids.
  unsigned nextNumber() { return next_++; }

  // A volume of the family's class, scoped to the array's system or to `system` (class and name) when given.
  Pegasus::CIMObjectPath addVolume(const std::string& deviceId, const std::string& name, const std::string& uuid,
                                   const std::pair<std::string, std::string>& system = {});
  const Pegasus::CIMInstance* findVolume(const std::string& name) const;
  // A view of the array named `elementName`; `extra` properties are set on it.
  Pegasus::CIMObjectPath addView(const std::string& deviceId, const std::string& elementName,
                                 std::vector<std::pair<const char*, Pegasus::CIMValue>> extra = {});
  // The privilege that targets the view; `subjects` are authorized on it.
  Pegasus::CIMObjectPath addPrivilege(const Pegasus::CIMObjectPath& view,
                                      const std::vector<Pegasus::CIMObjectPath>& subjects);
  // Makes the volume visible through the view at `lun`.
  void expose(const Pegasus::CIMObjectPath& view, const Pegasus::CIMObjectPath& volume, unsigned lun);
  // Puts the instance (its path from its `keys`) in the store.
  Pegasus::CIMObjectPath put(Pegasus::CIMInstance& instance, std::initializer_list<const char*> keys);
  void link(const std::string& associationClass, const char* roleA, const Pegasus::CIMObjectPath& a, const char* roleB,
            const Pegasus::CIMObjectPath& b, std::vector<std::pair<const char*, Pegasus::CIMValue>> extra = {});

 private:
  Pegasus::CIMObjectPath addService(const std::string& className, const char* name);

  Model& model_;
  const VendorProfile& profile_;
  StorageArray* array_;
  unsigned next_ = 1;
};

// Adds an association of the class between a and b, its references qualified with the namespace; its path.
Pegasus::CIMObjectPath linkObjects(Model& model, const std::string& nameSpace, const std::string& associationClass,
                                   const char* roleA, const Pegasus::CIMObjectPath& a, const char* roleB,
                                   const Pegasus::CIMObjectPath& b,
                                   std::vector<std::pair<const char*, Pegasus::CIMValue>> extra = {});

// The names of a seed item's "volumes", "hosts" and "exports" lists, read the same way by every family.
struct SeededHost {
  std::string name;
  std::vector<std::string> fc, iscsi;
};
std::vector<SeededHost> seededHosts(const Json& item);
const Json& seededList(const Json& item, const char* key);
// Each volume of the seed item: its name and its identifier ("uuid", made up from the number when absent).
void seedVolumes(VendorArrayBuilder& builder, const Json& item,
                 const std::function<void(const Json& volume, const std::string& name, const std::string& uuid)>& add);

// Exposes each of the seed item's "exports" ({"volume", "host" or "group", optional "lun"}) through the view
// that `views` holds under that host's or group's name.
void seedExports(VendorArrayBuilder& builder, const Json& item,
                 const std::map<std::string, Pegasus::CIMObjectPath>& views);

// The family seeders.
void seedIbmSvcArray(VendorArrayBuilder& builder, const Json& item);
void seedHpEvaArray(VendorArrayBuilder& builder, const Json& item);
void seedLsiFamilyArray(VendorArrayBuilder& builder, const Json& item);
void seedEternusArray(VendorArrayBuilder& builder, const Json& item);

}  // namespace smissim
