// Every instance of the simulated provider, associations included, indexed by identity (keys compared the way
// a provider compares object paths), by class (in creation order) and by the objects an association links.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Pegasus/CIMInstance.h"

namespace smissim {

// The identity of a path: key names ignoring case, in any order, reference keys compared as paths,
// host and namespace ignored. Top-level class is not part of it (a subclass path names the same object);
// classes of referenced objects are.
std::string identityOf(const Pegasus::CIMObjectPath& path);

class InstanceStore {
 public:
  InstanceStore() = default;
  // Copies are deep: changing one store never shows in another.
  InstanceStore(const InstanceStore& other);
  InstanceStore& operator=(const InstanceStore& other);
  InstanceStore(InstanceStore&&) = default;
  InstanceStore& operator=(InstanceStore&&) = default;

  // Adds an instance or replaces the one with the same identity. Its path must carry class and keys; an
  // association instance must hold both of its role references as properties.
  void put(const Pegasus::CIMInstance& instance);
  // Removes the instance and every association that refers to it. False when nothing matched.
  bool remove(const Pegasus::CIMObjectPath& path);
  void clear();

  // The instance `path` names, when its class is the path's class or a subclass of it; else nullptr.
  const Pegasus::CIMInstance* find(const Pegasus::CIMObjectPath& path) const;
  Pegasus::CIMInstance* findMutable(const Pegasus::CIMObjectPath& path);

  // Instances of the class and its subclasses: subclasses in declaration order, each in creation order.
  std::vector<const Pegasus::CIMInstance*> enumerate(const std::string& className) const;
  // Association instances in which `path` plays a role, with the role it plays.
  struct Link {
    const Pegasus::CIMInstance* association;
    std::string role;       // the role `path` plays
    std::string otherRole;  // the role of the far end
    Pegasus::CIMObjectPath other;
  };
  std::vector<Link> linksOf(const Pegasus::CIMObjectPath& path) const;

  std::size_t size() const { return byIdentity_.size(); }

 private:
  struct Entry {
    std::uint64_t sequence = 0;
    std::string identity;
    std::string classKey;  // lower-case class name
    Pegasus::CIMInstance instance;
    std::vector<std::string> linkedIdentities;  // associations: the identities of the two ends
  };
  using EntryPtr = std::shared_ptr<Entry>;

  EntryPtr lookup(const Pegasus::CIMObjectPath& path) const;
  void index(const EntryPtr& entry);
  void erase(const EntryPtr& entry);

  std::uint64_t nextSequence_ = 0;
  std::unordered_map<std::string, std::vector<EntryPtr>> byIdentity_;
  std::unordered_map<std::string, std::map<std::uint64_t, EntryPtr>> byClass_;
  std::unordered_map<std::string, std::vector<EntryPtr>> linksByEnd_;
};

// Reads a reference-valued property; an empty path when absent or not a reference.
Pegasus::CIMObjectPath referenceProperty(const Pegasus::CIMInstance& instance, const std::string& name);

}  // namespace smissim
