#include "smis-sim/InstanceStore.h"

#include <algorithm>

#include "ClassHierarchy.h"
#include "NoCase.h"

using namespace Pegasus;

namespace smissim {

namespace {

std::string canonicalKeys(const CIMObjectPath& path, int depth);

std::string canonicalValue(const CIMKeyBinding& key, int depth) {
  if (key.getType() != CIMKeyBinding::REFERENCE || depth > 8) return key.getValue().str();
  try {
    CIMObjectPath nested(key.getValue());
    return lowerCase(nested.getClassName().getString().str()) + "." + canonicalKeys(nested, depth + 1);
  } catch (const Exception&) {
    return key.getValue().str();
  }
}

std::string canonicalKeys(const CIMObjectPath& path, int depth) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const CIMKeyBinding& key : path.getKeyBindings())
    keys.emplace_back(lowerCase(key.getName().getString().str()), canonicalValue(key, depth));
  std::sort(keys.begin(), keys.end());
  std::string out = "{";
  for (const auto& key : keys) {
    out += key.first;
    out += '=';
    out += std::to_string(key.second.size());  // length prefix keeps values with separators unambiguous
    out += ':';
    out += key.second;
    out += ';';
  }
  out += '}';
  return out;
}

}  // namespace

std::string identityOf(const CIMObjectPath& path) { return canonicalKeys(path, 0); }

CIMObjectPath referenceProperty(const CIMInstance& instance, const std::string& name) {
  Uint32 index = instance.findProperty(CIMName(name.c_str()));
  CIMObjectPath path;
  if (index == PEG_NOT_FOUND) return path;
  const CIMValue& value = instance.getProperty(index).getValue();
  if (value.getType() == CIMTYPE_REFERENCE && !value.isArray() && !value.isNull()) value.get(path);
  return path;
}

void InstanceStore::put(const CIMInstance& instance) {
  auto entry = std::make_shared<Entry>();
  entry->identity = identityOf(instance.getPath());
  entry->classKey = lowerCase(instance.getClassName().getString().str());
  entry->instance = instance;
  const ClassInfo* info = ClassHierarchy::instance().find(entry->classKey);
  if (info && info->isAssociation()) {
    entry->linkedIdentities.push_back(identityOf(referenceProperty(instance, info->roleA)));
    entry->linkedIdentities.push_back(identityOf(referenceProperty(instance, info->roleB)));
  }
  if (EntryPtr old = lookup(instance.getPath())) {
    entry->sequence = old->sequence;  // a replaced instance keeps its place in enumerations
    erase(old);
  } else {
    entry->sequence = nextSequence_++;
  }
  index(entry);
}

void InstanceStore::index(const EntryPtr& entry) {
  byIdentity_[entry->identity].push_back(entry);
  byClass_[entry->classKey][entry->sequence] = entry;
  for (const std::string& end : entry->linkedIdentities) linksByEnd_[end].push_back(entry);
}

InstanceStore::InstanceStore(const InstanceStore& other) { *this = other; }

InstanceStore& InstanceStore::operator=(const InstanceStore& other) {
  if (this == &other) return *this;
  clear();
  nextSequence_ = other.nextSequence_;
  std::map<std::uint64_t, EntryPtr> inOrder;
  for (const auto& cls : other.byClass_)
    for (const auto& item : cls.second) inOrder[item.first] = item.second;
  for (const auto& item : inOrder) index(std::make_shared<Entry>(*item.second));
  return *this;
}

void InstanceStore::erase(const EntryPtr& entry) {
  auto removeFrom = [&](std::unordered_map<std::string, std::vector<EntryPtr>>& index, const std::string& key) {
    auto it = index.find(key);
    if (it == index.end()) return;
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
    if (list.empty()) index.erase(it);
  };
  removeFrom(byIdentity_, entry->identity);
  for (const std::string& end : entry->linkedIdentities) removeFrom(linksByEnd_, end);
  auto cls = byClass_.find(entry->classKey);
  if (cls != byClass_.end()) cls->second.erase(entry->sequence);
}

bool InstanceStore::remove(const CIMObjectPath& path) {
  EntryPtr entry = lookup(path);
  if (!entry) return false;
  auto links = linksByEnd_.find(entry->identity);
  if (links != linksByEnd_.end()) {
    std::vector<EntryPtr> associations = links->second;
    for (const EntryPtr& association : associations) erase(association);
  }
  erase(entry);
  return true;
}

void InstanceStore::clear() {
  byIdentity_.clear();
  byClass_.clear();
  linksByEnd_.clear();
}

InstanceStore::EntryPtr InstanceStore::lookup(const CIMObjectPath& path) const {
  auto it = byIdentity_.find(identityOf(path));
  if (it == byIdentity_.end()) return nullptr;
  const std::string requested = path.getClassName().getString().str();
  for (const EntryPtr& entry : it->second)
    if (requested.empty() || ClassHierarchy::instance().isA(entry->classKey, requested)) return entry;
  return nullptr;
}

const CIMInstance* InstanceStore::find(const CIMObjectPath& path) const {
  EntryPtr entry = lookup(path);
  return entry ? &entry->instance : nullptr;
}

CIMInstance* InstanceStore::findMutable(const CIMObjectPath& path) {
  EntryPtr entry = lookup(path);
  return entry ? &entry->instance : nullptr;
}

std::vector<const CIMInstance*> InstanceStore::enumerate(const std::string& className) const {
  std::vector<const CIMInstance*> result;
  for (const std::string& classKey : ClassHierarchy::instance().lowerNamesUnder(className)) {
    auto cls = byClass_.find(classKey);
    if (cls == byClass_.end()) continue;
    for (const auto& item : cls->second) result.push_back(&item.second->instance);
  }
  return result;
}

std::vector<InstanceStore::Link> InstanceStore::linksOf(const CIMObjectPath& path) const {
  std::vector<Link> links;
  EntryPtr self = lookup(path);
  if (!self) return links;
  auto it = linksByEnd_.find(self->identity);
  if (it == linksByEnd_.end()) return links;
  for (const EntryPtr& association : it->second) {
    const ClassInfo* info = ClassHierarchy::instance().find(association->classKey);
    const std::string roles[2] = {info->roleA, info->roleB};
    for (int side = 0; side < 2; ++side) {
      if (association->linkedIdentities[side] != self->identity) continue;
      links.push_back(Link{&association->instance, roles[side], roles[1 - side],
                           referenceProperty(association->instance, roles[1 - side])});
    }
  }
  return links;
}

}  // namespace smissim
