// The classes the simulated provider knows, with their superclasses, so that a request for a CIM_ class
// answers with its TPD_ subclasses; association classes carry their two reference roles.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

namespace smissim {

struct ClassInfo {
  std::string name;
  std::string superClass;         // empty at the root
  std::vector<std::string> keys;  // key property names (for class descriptions)
  std::string roleA, roleB;       // association classes only: the two reference properties
  bool isAssociation() const { return !roleA.empty(); }
};

class ClassHierarchy {
 public:
  // The provider's full class table.
  static const ClassHierarchy& instance();

  // The class entry, ignoring case; nullptr when unknown.
  const ClassInfo* find(const std::string& name) const;
  bool known(const std::string& name) const { return find(name) != nullptr; }
  // True when `cls` is `ancestor` or derives from it (ignoring case). Unknown classes are never related.
  bool isA(const std::string& cls, const std::string& ancestor) const;
  // Classes in declaration order; concrete (TPD_) classes are declared in the order enumerations list them.
  const std::vector<ClassInfo>& all() const { return classes_; }
  // The lower-case names of `ancestor` (ignoring case) and of every class deriving from it, in declaration
  // order; empty for an unknown class. Worked out once, as enumerations ask for it again and again.
  const std::vector<std::string>& lowerNamesUnder(const std::string& ancestor) const;

 private:
  ClassHierarchy();
  void add(ClassInfo info);

  std::vector<ClassInfo> classes_;
  std::unordered_map<std::string, std::size_t> byLowerName_;
  std::vector<std::vector<std::string>> lowerNamesUnder_;  // by class index
};

}  // namespace smissim
