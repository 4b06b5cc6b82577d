#include "IntrinsicOperations.h"

#include <set>

#include "ClassHierarchy.h"
#include "NoCase.h"
#include "Properties.h"
#include "smis-sim/VendorProfile.h"

using namespace Pegasus;
using Pegasus::CimXml::ParamValue;
using Pegasus::CimXml::Request;
using Pegasus::CimXml::Response;

namespace smissim {

namespace {

[[noreturn]] void fail(CIMStatusCode code, const std::string& text) { throw CIMException(code, String(text)); }

const ParamValue* param(const Request& request, const char* name, ParamValue::Kind kind, bool required) {
  const ParamValue* found = request.find(String(name));
  if (found && found->kind == ParamValue::NULLVALUE) found = nullptr;
  if (!found) {
    if (required) fail(CIM_ERR_INVALID_PARAMETER, std::string("missing parameter ") + name);
    return nullptr;
  }
  if (found->kind != kind) fail(CIM_ERR_INVALID_PARAMETER, std::string("parameter ") + name + " has the wrong form");
  return found;
}

std::string classParam(const Request& request, const char* name, bool required) {
  const ParamValue* found = param(request, name, ParamValue::CLASSNAME, required);
  return found ? found->className.getString().str() : "";
}

std::string stringParam(const Request& request, const char* name) {
  const ParamValue* found = param(request, name, ParamValue::VALUE, false);
  if (!found || found->value.isNull()) return "";
  if (found->value.getType() != CIMTYPE_STRING || found->value.isArray())
    fail(CIM_ERR_INVALID_PARAMETER, std::string("parameter ") + name + " must be a string");
  String text;
  found->value.get(text);
  return text.str();
}

CIMPropertyList propertyListParam(const Request& request) {
  const ParamValue* found = param(request, "PropertyList", ParamValue::PROPERTYLIST, false);
  return found ? found->propertyList : CIMPropertyList();
}

void requireKnownClass(const std::string& cls) {
  if (!ClassHierarchy::instance().known(cls)) fail(CIM_ERR_INVALID_CLASS, "unknown class " + cls);
}

// The object named by InstanceName/ObjectName: an instance path of a known class.
CIMObjectPath objectParam(const Request& request, const char* name) {
  const ParamValue* found = request.find(String(name));
  if (!found || found->kind == ParamValue::NULLVALUE)
    fail(CIM_ERR_INVALID_PARAMETER, std::string("missing parameter ") + name);
  if (found->kind == ParamValue::CLASSNAME)
    fail(CIM_ERR_NOT_SUPPORTED, "class-level association requests are not supported");
  if (found->kind != ParamValue::INSTANCENAME)
    fail(CIM_ERR_INVALID_PARAMETER, std::string("parameter ") + name + " must be an instance name");
  requireKnownClass(found->instanceName.getClassName().getString().str());
  return found->instanceName;
}

CIMInstance withProperties(const CIMInstance& instance, const CIMPropertyList& list, const CIMObjectPath& path) {
  if (list.isNull()) {
    CIMInstance whole = instance;
    whole.setPath(path);
    return whole;
  }
  CIMInstance result{instance.getClassName()};
  for (Uint32 i = 0; i < instance.getPropertyCount(); ++i) {
    const CIMProperty& property = instance.getProperty(i);
    if (list.includes(property.getName())) result.addProperty(property);
  }
  result.setPath(path);
  return result;
}

const CIMInstance& existing(const Model& model, const CIMObjectPath& path) {
  const CIMInstance* found = model.store().find(path);
  if (!found) fail(CIM_ERR_NOT_FOUND, "no such object: " + path.toString().str());
  return *found;
}

// Adds the object to an answer of names (its path) or of instances (with the listed properties).
void addObject(Response& response, bool names, const CIMInstance& instance, const CIMObjectPath& path,
               const CIMPropertyList& list) {
  if (names)
    response.paths.push_back(path);
  else
    response.instances.push_back(withProperties(instance, list, path));
}

Response answer(const Request& request, Response::ReturnKind kind) {
  Response response;
  response.messageId = request.messageId;
  response.intrinsic = true;
  response.methodName = request.methodName;
  response.returnKind = kind;
  return response;
}

const char* const kAbstractSync = "CIM_StorageSynchronized";

// Whether the association is a pair of a family that names its pairs with a class of its own.
bool isFamilyPair(const CIMInstance& association) {
  const VendorProfile* family = profileOfClass(association.getClassName().getString().str());
  return family && sameNoCase(family->synchronized, association.getClassName().getString().str());
}

Response getInstance(Model& model, const Request& request) {
  CIMObjectPath path = objectParam(request, "InstanceName");
  if (model.settings().abstractSyncNames && sameNoCase(path.getClassName().getString().str(), kAbstractSync))
    fail(CIM_ERR_NOT_FOUND, "pairs are read by their own class: " + path.toString().str());
  if (model.isJob(path) && !model.pollJob(path)) fail(CIM_ERR_NOT_FOUND, "no such job: " + path.toString().str());
  model.pollRemoteSynchronization(path);
  const CIMInstance& instance = existing(model, path);
  Response response = answer(request, Response::INSTANCE);
  response.instances.push_back(withProperties(instance, propertyListParam(request), instance.getPath()));
  return response;
}

// The instances an enumeration answers with, its class checked.
std::vector<const CIMInstance*> enumerated(const Model& model, const Request& request) {
  std::string cls = classParam(request, "ClassName", true);
  requireKnownClass(cls);
  return model.store().enumerate(cls);
}

Response enumerate(Model& model, const Request& request, bool names) {
  std::vector<const CIMInstance*> instances = enumerated(model, request);
  Response response = answer(request, names ? Response::INSTANCE_NAMES : Response::NAMED_INSTANCES);
  CIMPropertyList list = propertyListParam(request);
  for (const CIMInstance* instance : instances) addObject(response, names, *instance, instance->getPath(), list);
  return response;
}

// A class filter that names no known class matches nothing.
bool passes(const std::string& cls, const std::string& filter) {
  return filter.empty() || ClassHierarchy::instance().isA(cls, filter);
}

bool sameRole(const std::string& role, const std::string& filter) { return filter.empty() || sameNoCase(role, filter); }

Response associators(Model& model, const Request& request, bool names) {
  CIMObjectPath object = objectParam(request, "ObjectName");
  existing(model, object);
  std::string assocClass = classParam(request, "AssocClass", false);
  std::string resultClass = classParam(request, "ResultClass", false);
  std::string role = stringParam(request, "Role");
  std::string resultRole = stringParam(request, "ResultRole");
  CIMPropertyList list = propertyListParam(request);
  Response response = answer(request, names ? Response::OBJECT_PATHS : Response::OBJECTS_WITH_PATH);
  std::set<std::string> seen;
  const Settings& settings = model.settings();
  for (const auto& link : model.store().linksOf(object)) {
    if (!passes(link.association->getClassName().getString().str(), assocClass) || !sameRole(link.role, role) ||
        !sameRole(link.otherRole, resultRole))
      continue;
    const CIMInstance* other = model.store().find(link.other);
    if (!other || !passes(other->getClassName().getString().str(), resultClass)) continue;
    if (!seen.insert(identityOf(other->getPath()) + other->getClassName().getString().str()).second) continue;
    addObject(response, names, *other, qualified(other->getPath(), settings.hostName, kNamespace), list);
  }
  return response;
}

Response references(Model& model, const Request& request, bool names) {
  CIMObjectPath object = objectParam(request, "ObjectName");
  existing(model, object);
  std::string resultClass = classParam(request, "ResultClass", false);
  std::string role = stringParam(request, "Role");
  CIMPropertyList list = propertyListParam(request);
  Response response = answer(request, names ? Response::OBJECT_PATHS : Response::OBJECTS_WITH_PATH);
  const Settings& settings = model.settings();
  std::set<std::string> seen;
  for (const auto& link : model.store().linksOf(object)) {
    const CIMInstance& association = *link.association;
    if (!passes(association.getClassName().getString().str(), resultClass) || !sameRole(link.role, role)) continue;
    if (!seen.insert(identityOf(association.getPath())).second) continue;
    CIMObjectPath path = qualified(association.getPath(), settings.hostName, kNamespace);
    if (settings.abstractSyncNames && isFamilyPair(association)) path.setClassName(CIMName(kAbstractSync));
    addObject(response, names, association, path, list);
  }
  return response;
}

bool isKey(const std::string& cls, const std::string& property) {
  const ClassInfo* info = ClassHierarchy::instance().find(cls);
  if (!info) return false;
  for (const std::string& key : info->keys)
    if (sameNoCase(key, property)) return true;
  return false;
}

Response modifyInstance(Model& model, const Request& request) {
  const ParamValue* found = param(request, "ModifiedInstance", ParamValue::INSTANCE, true);
  const CIMInstance& modified = found->instance;
  if (modified.getPath().getKeyBindings().size() == 0)
    fail(CIM_ERR_INVALID_PARAMETER, "ModifiedInstance carries no instance name");
  requireKnownClass(modified.getPath().getClassName().getString().str());
  const CIMInstance& target = existing(model, modified.getPath());
  CIMObjectPath path = target.getPath();
  const std::string cls = target.getClassName().getString().str();
  CIMPropertyList list = propertyListParam(request);
  bool volume = ClassHierarchy::instance().isA(cls, "CIM_StorageVolume");
  // Every change is checked before any is made.
  std::vector<CIMProperty> changes;
  for (Uint32 i = 0; i < modified.getPropertyCount(); ++i) {
    const CIMProperty& property = modified.getProperty(i);
    std::string name = property.getName().getString().str();
    if ((!list.isNull() && !list.includes(property.getName())) || isKey(cls, name)) continue;
    if (volume && (lowerCase(name) == "elementname" || lowerCase(name) == "name"))
      fail(CIM_ERR_NOT_SUPPORTED, "a volume is renamed through the array's own tools");
    changes.push_back(property);
  }
  CIMInstance* instance = model.store().findMutable(path);
  for (const CIMProperty& property : changes)
    setProperty(*instance, property.getName().getString().str().c_str(), property.getValue());
  return answer(request, Response::NONE);
}

Response deleteInstance(Model& model, const Request& request) {
  CIMObjectPath path = objectParam(request, "InstanceName");
  const CIMInstance& target = existing(model, path);
  const std::string cls = target.getClassName().getString().str();
  CIMObjectPath targetPath = target.getPath();
  if (ClassHierarchy::instance().isA(cls, "CIM_ConcreteJob")) {
    model.removeJob(targetPath);
  } else if (ClassHierarchy::instance().isA(cls, "CIM_StorageHardwareIDCollection")) {
    if (!model.viewOf(targetPath).getClassName().isNull()) fail(CIM_ERR_FAILED, "the host still has exported volumes");
    for (const auto& member : model.store().linksOf(targetPath))
      if (member.association->getClassName() == CIMName("TPD_MemberOfCollection"))
        if (CIMInstance* id = model.store().findMutable(member.other)) setProperty(*id, "ElementName", CIMValue(""));
    model.store().remove(targetPath);
  } else {
    fail(CIM_ERR_NOT_SUPPORTED, "instances of " + cls + " cannot be deleted");
  }
  return answer(request, Response::NONE);
}

}  // namespace

bool intrinsicChangesModel(const std::string& operation) {
  const std::string name = lowerCase(operation);
  return name == "getinstance" || name == "modifyinstance" || name == "deleteinstance";
}

bool enumeratesWholeInstances(const Model& model, const Request& request, std::vector<const CIMInstance*>& instances) {
  if (!sameNoCase(request.methodName.str(), "EnumerateInstances")) return false;
  std::vector<const CIMInstance*> found = enumerated(model, request);  // checked in runIntrinsic's order
  if (!propertyListParam(request).isNull()) return false;
  instances = std::move(found);
  return true;
}

Response runIntrinsic(Model& model, const Request& request) {
  const std::string name = lowerCase(request.methodName.str());
  if (name == "getinstance") return getInstance(model, request);
  if (name == "enumerateinstances") return enumerate(model, request, false);
  if (name == "enumerateinstancenames") return enumerate(model, request, true);
  if (name == "associatornames") return associators(model, request, true);
  if (name == "associators") return associators(model, request, false);
  if (name == "referencenames") return references(model, request, true);
  if (name == "references") return references(model, request, false);
  if (name == "modifyinstance") return modifyInstance(model, request);
  if (name == "deleteinstance") return deleteInstance(model, request);
  fail(CIM_ERR_NOT_SUPPORTED, "operation " + request.methodName.str() + " is not supported");
}

}  // namespace smissim
