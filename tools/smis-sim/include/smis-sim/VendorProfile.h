// The array families the simulated provider serves. Each family has its own namespace and class prefix, and
// names the classes of its model by role; an array seeded with a "family" is built from these names and
// answers only in its family's namespace. 3PAR (the model's own classes, in root/tpd) is the first row. A
// family may carry out some extrinsic methods its own way (ETERNUS pairs and volumes).
#pragma once
#include <string>
#include <vector>

namespace smissim {

class Json;
class Model;
class VendorArrayBuilder;
struct MethodCall;
struct MethodOutcome;

struct VendorProfile {
  std::string family;     // the seed's "family": "3par", "ibmsvc", "hpeva", "lsi", "dcim", "netapp", "eternus"
  std::string nameSpace;  // where the family's objects are served
  std::string prefix;     // class prefix, without the '_'

  // Class names by role; empty where the family has no such class (3PAR's are the model's own).
  std::string system, volume, view, privilege, hardwareId, collection;
  std::string node, conciseVolume, cluster;  // IBM SVC nodes and concise volumes; LSI-family clusters
  std::string systemDevice, viewForUnit, memberOfCollection, authorizedSubject, authorizedTarget, hostedService;
  std::string configService, controllerService, hardwareIdService, replicationService;
  // Pools, their allocations, replication pairs and jobs of families that model them (ETERNUS); empty
  // elsewhere, where jobs are the model's own.
  std::string pool, thinPool, hostedPool, allocatedFromPool, synchronized;
  std::string job, owningJobElement, affectedJobElement;
  // LSI-family point-in-time views: a view's synchronization with its source, the view of a consistency
  // group, the group's ordered members, and the group view's synchronization.
  std::string pitViewSynchronized, consistencyGroupPitView, orderedMemberOfCollection, cgPitViewSynchronized;

  // Builds the family's objects of one seeded array (format in the tool's README); null for 3PAR.
  void (*seed)(VendorArrayBuilder& builder, const Json& json) = nullptr;
  // Carries out a method (lower-case name) the family runs its own way; false leaves it to the methods all
  // families share. Null when the family has none of its own.
  bool (*runMethod)(MethodCall& call, const std::string& method, MethodOutcome& outcome) = nullptr;
};

const std::vector<VendorProfile>& vendorProfiles();
// The profile of a seed's family (ignoring case); nullptr when unknown.
const VendorProfile* profileOfFamily(const std::string& family);
// The profile whose prefix and '_' begin the class name (ignoring case); nullptr for CIM_ and unknown classes.
const VendorProfile* profileOfClass(const std::string& className);
// True when some family is served in the namespace (ignoring case).
bool servesNamespace(const std::string& nameSpace);

// Adds an array of the seed item's family to the model. Throws ModelError or JsonError on bad input.
void seedVendorArray(Model& model, const VendorProfile& profile, const Json& item);

}  // namespace smissim
