// Decoding of whole CIM-XML request and response messages.
#include "CimXmlDecode.h"
#include <cstring>
#include <sstream>
#include "CimXmlElementReader.h"
#include "NumberText.h"
#include "Pegasus/CimXml.h"
#include "ReturnedObjectRanges.h"

namespace Pegasus {
namespace CimXml {

namespace {

bool named(const pugi::xml_node& node, const char* name) { return std::strcmp(node.name(), name) == 0; }

bool isOneOf(const String& name, std::initializer_list<const char*> names) {
  for (const char* candidate : names)
    if (String::equalNoCase(name, candidate)) return true;
  return false;
}

// "1.<digits>"
bool supportedProtocolVersion(const std::string& version) {
  if (version.size() < 3 || version.compare(0, 2, "1.") != 0) return false;
  return version.find_first_not_of("0123456789", 2) == std::string::npos;
}

// The most text of returned objects parsed into one tree.
constexpr std::size_t kBatchBytes = 256 * 1024;

class MessageReader {
 public:
  explicit MessageReader(const String& xml) : reader_(xml.str()) { reader_.load(document_); }
  // Parses `text` in place: it must outlive the reader and is changed.
  explicit MessageReader(std::string& text) : reader_(text) { reader_.loadInPlace(document_, text); }
  // Parses `outline`, the response with its returned objects cut out, in place; the objects are parsed a batch
  // at a time, in place, from where `objects` finds them in `text`. Both texts must outlive the reader.
  MessageReader(std::string& outline, std::string& text, const ReturnedObjectRanges& objects)
      : reader_(outline), objects_{&text, &objects} {
    reader_.loadInPlace(document_, outline);
  }

  // CIM and MESSAGE; returns the SIMPLEREQ / SIMPLERSP element's only child.
  pugi::xml_node open(const char* simple, String& messageId, std::string& protocolVersion) {
    const std::vector<pugi::xml_node> roots = reader_.elements(document_);
    if (roots.size() != 1) reader_.fail(document_, "expected one CIM element");
    const pugi::xml_node cim = roots[0];
    reader_.expectName(cim, "CIM");
    checkVersion(cim, "CIMVERSION");
    checkVersion(cim, "DTDVERSION");
    const pugi::xml_node message = reader_.onlyChild(cim, "MESSAGE");
    messageId = String(reader_.required(message, "ID"));
    protocolVersion = reader_.required(message, "PROTOCOLVERSION");
    const std::vector<pugi::xml_node> bodies = reader_.elements(message);
    if (bodies.size() != 1) reader_.fail(message, std::string("expected one ") + simple + " element");
    const pugi::xml_node body = bodies[0];
    if (named(body, "MULTIREQ") || named(body, "MULTIRSP")) reader_.fail(body, "multiple requests are not supported");
    reader_.expectName(body, simple);
    const std::vector<pugi::xml_node> calls = reader_.elements(body);
    if (calls.size() != 1) reader_.fail(body, "expected one method element");
    return calls[0];
  }

  Request request(const pugi::xml_node& call) {
    Request request;
    const std::vector<pugi::xml_node> children = methodElement(call, "IMETHODCALL", "METHODCALL", request);
    if (children.empty()) reader_.fail(call, "expected a namespace or object path");
    target(request, children[0]);
    const char* paramElement = request.intrinsic ? "IPARAMVALUE" : "PARAMVALUE";
    for (size_t i = 1; i < children.size(); ++i) {
      reader_.expectName(children[i], paramElement);
      request.params.push_back(request.intrinsic ? intrinsicParam(children[i]) : extrinsicParam(children[i]));
    }
    return request;
  }

  Response response(const pugi::xml_node& answer) {
    Response response;
    const std::vector<pugi::xml_node> children = methodElement(answer, "IMETHODRESPONSE", "METHODRESPONSE", response);
    if (!children.empty() && named(children[0], "ERROR")) {
      if (children.size() != 1) reader_.fail(answer, "unexpected element after ERROR");
      error(children[0], response);
      return response;
    }
    bool haveReturn = false;
    for (const pugi::xml_node& child : children) {
      if (named(child, response.intrinsic ? "IRETURNVALUE" : "RETURNVALUE")) {
        if (haveReturn) reader_.fail(child, "more than one return value");
        haveReturn = true;
        if (response.intrinsic)
          returnedObjects(child, response);
        else
          response.returnValue = paramValue(child);
      } else {
        reader_.expectName(child, "PARAMVALUE");
        if (!response.intrinsic) response.outParams.push_back(outParam(child));
      }
    }
    return response;
  }

  [[noreturn]] void fail(const std::string& what) { reader_.fail(pugi::xml_node(), what); }

 private:
  // The method element of a request or response: intrinsic or extrinsic by its name, the method's NAME
  // into `message`; returns the element's children.
  template <class Message>
  std::vector<pugi::xml_node> methodElement(const pugi::xml_node& node, const char* intrinsicName,
                                            const char* extrinsicName, Message& message) {
    message.intrinsic = named(node, intrinsicName);
    if (!message.intrinsic) reader_.expectName(node, extrinsicName);
    message.methodName = reader_.name(node, "NAME").getString();
    return reader_.elements(node);
  }

  void checkVersion(const pugi::xml_node& cim, const char* attribute) {
    std::string version;
    if (reader_.optional(cim, attribute, version) && version.compare(0, 2, "2.") != 0)
      reader_.fail(cim, std::string("unsupported ") + attribute + " \"" + version + "\"");
  }

  void target(Request& request, const pugi::xml_node& node) {
    if (request.intrinsic) {
      request.nameSpace = reader_.localNamespacePath(node);
      return;
    }
    if (named(node, "LOCALINSTANCEPATH"))
      request.objectPath = reader_.localInstancePath(node);
    else if (named(node, "LOCALCLASSPATH"))
      request.objectPath = reader_.classPath(node);
    else
      reader_.fail(node, std::string("expected LOCALINSTANCEPATH or LOCALCLASSPATH, found ") + node.name());
    request.nameSpace = request.objectPath.getNameSpace();
  }

  // The content shared by IPARAMVALUE and PARAMVALUE; `type` types plain values.
  ParamValue paramContent(const pugi::xml_node& node, CIMType type) {
    ParamValue param;
    param.name = String(reader_.required(node, "NAME"));
    const std::vector<pugi::xml_node> children = reader_.elements(node);
    if (children.size() > 1) reader_.fail(node, "expected at most one value");
    if (children.empty()) {
      param.kind = ParamValue::NULLVALUE;
      return param;
    }
    const pugi::xml_node& child = children[0];
    if (reader_.isValueElement(child)) {
      param.value = reader_.value(child, type);
    } else if (named(child, "CLASSNAME")) {
      param.kind = ParamValue::CLASSNAME;
      param.className = reader_.classPath(child).getClassName();
    } else if (named(child, "INSTANCENAME")) {
      param.kind = ParamValue::INSTANCENAME;
      param.instanceName = reader_.instanceName(child);
    } else if (named(child, "INSTANCE")) {
      param.kind = ParamValue::INSTANCE;
      param.instance = reader_.instance(child);
    } else if (named(child, "VALUE.NAMEDINSTANCE")) {
      param.kind = ParamValue::INSTANCE;
      param.instance = reader_.namedInstance(child);
    } else {
      reader_.fail(child, std::string("unexpected element ") + child.name());
    }
    return param;
  }

  // Intrinsic parameters carry no types: the well-known names get theirs here, other values are strings.
  ParamValue intrinsicParam(const pugi::xml_node& node) {
    const String name(reader_.required(node, "NAME"));
    const bool flag = isOneOf(name, {"LocalOnly", "DeepInheritance", "IncludeQualifiers", "IncludeClassOrigin"});
    ParamValue param = paramContent(node, flag ? CIMTYPE_BOOLEAN : CIMTYPE_STRING);
    param.typed = false;
    if (isOneOf(name, {"ClassName", "AssocClass", "ResultClass"}) && param.kind == ParamValue::NULLVALUE) {
      param.kind = ParamValue::CLASSNAME;
    } else if (String::equalNoCase(name, "PropertyList")) {
      propertyList(node, param);
    }
    return param;
  }

  void propertyList(const pugi::xml_node& node, ParamValue& param) {
    if (param.kind == ParamValue::NULLVALUE) {
      param.kind = ParamValue::PROPERTYLIST;
      return;
    }
    Array<String> names;
    if (param.kind != ParamValue::VALUE || !param.value.isArray() || param.value.getType() != CIMTYPE_STRING)
      reader_.fail(node, "PropertyList must be an array of property names");
    param.value.get(names);
    Array<CIMName> list;
    for (const String& text : names) {
      if (!CIMName::legal(text)) reader_.fail(node, "property name \"" + text.str() + "\" is not legal");
      list.append(CIMName(text));
    }
    param.kind = ParamValue::PROPERTYLIST;
    param.propertyList = CIMPropertyList(list);
    param.value = CIMValue();
  }

  // Values without PARAMTYPE are strings (references stay references); an empty element is a null
  // value of the named type.
  CIMType paramType(const pugi::xml_node& node, bool& typed) {
    std::string typeName;
    typed = reader_.optional(node, "PARAMTYPE", typeName);
    return typed ? reader_.typeNamed(node, typeName) : CIMTYPE_STRING;
  }

  ParamValue extrinsicParam(const pugi::xml_node& node) {
    bool typed = false;
    const CIMType type = paramType(node, typed);
    ParamValue param = paramContent(node, type);
    param.typed = typed;
    if (param.kind == ParamValue::NULLVALUE) {
      param.kind = ParamValue::VALUE;
      param.value = CIMValue(type, false);
    }
    return param;
  }

  CIMValue paramValue(const pugi::xml_node& node) {
    bool typed = false;
    const CIMType type = paramType(node, typed);
    const std::vector<pugi::xml_node> children = reader_.elements(node);
    if (children.size() > 1) reader_.fail(node, "expected at most one value");
    if (children.empty()) return CIMValue(type, false);
    if (named(children[0], "INSTANCE")) {
      // An embedded instance written as an element: it is kept as its text, like one sent escaped.
      reader_.instance(children[0]);
      std::ostringstream markup;
      children[0].print(markup, "", pugi::format_raw);
      return CIMValue(String(markup.str()));
    }
    if (!reader_.isValueElement(children[0]))
      reader_.fail(children[0], std::string("unexpected element ") + children[0].name());
    return reader_.value(children[0], type);
  }

  CIMParamValue outParam(const pugi::xml_node& node) {
    const String name(reader_.required(node, "NAME"));
    return CIMParamValue(name, paramValue(node), node.attribute("PARAMTYPE") ? true : false);
  }

  void error(const pugi::xml_node& node, Response& response) {
    const std::string code = reader_.required(node, "CODE");
    KeyNumber number;
    if (!parseInteger(code, false, number) || !fitsIntegerType(number, CIMTYPE_UINT32))
      reader_.fail(node, "invalid error CODE \"" + code + "\"");
    response.isError = true;
    response.errorCode = static_cast<CIMStatusCode>(number.magnitude);
    std::string description;
    reader_.optional(node, "DESCRIPTION", description);
    response.errorDescription = String(description);
  }

  void returnedObjects(const pugi::xml_node& node, Response& response) {
    for (const pugi::xml_node& child : reader_.elements(node)) {
      returnedObject(reader_, child, response);
      // What is decoded leaves the tree, so the tree's memory serves the objects decoded next.
      pugi::xml_node(node).remove_child(child);
    }
    if (!objects_.ranges) return;
    // The objects are parsed a batch at a time, so the tree of no more than one batch exists at once; batches
    // rather than single objects, since a tree's memory freed and taken again for each object costs more. The
    // batches cover the content from end to end, so that the comments and processing instructions around the
    // objects are parsed too.
    const TextRange& content = objects_.ranges->content;
    const std::vector<TextRange>& ranges = objects_.ranges->objects;
    CimXmlElementReader objectReader(*objects_.text);
    pugi::xml_document batch;
    for (std::size_t first = 0, last = 0; first < ranges.size(); first = last) {
      last = first + 1;
      while (last < ranges.size() && ranges[last].end - ranges[first].begin <= kBatchBytes) ++last;
      objectReader.loadElementsInPlace(batch, *objects_.text, first == 0 ? content.begin : ranges[first].begin,
                                       last == ranges.size() ? content.end : ranges[last].begin);
      std::size_t parsed = 0;
      objectReader.forEachElement(batch, [&](const pugi::xml_node& object) {
        returnedObject(objectReader, object, response);
        ++parsed;
      });
      if (parsed != last - first) objectReader.fail(batch.first_child(), "returned objects overlap");
      if (first == 0) reserveFor(response, ranges.size());
    }
  }

  // Room for `count` returned objects of the kind the first one set.
  static void reserveFor(Response& response, std::size_t count) {
    if (response.returnKind == Response::INSTANCE_NAMES || response.returnKind == Response::OBJECT_PATHS)
      response.paths.reserve(count);
    else
      response.instances.reserve(count);
  }

  void returnedObject(const CimXmlElementReader& reader, const pugi::xml_node& node, Response& response) {
    const Response::ReturnKind kind = returnKindOf(reader, node);
    if (response.returnKind != Response::NONE && response.returnKind != kind)
      reader.fail(node, "mixed kinds of returned objects");
    if (kind == Response::INSTANCE && !response.instances.empty()) reader.fail(node, "more than one INSTANCE");
    response.returnKind = kind;
    addReturnedObject(reader, node, kind, response);
  }

  static Response::ReturnKind returnKindOf(const CimXmlElementReader& reader, const pugi::xml_node& node) {
    if (named(node, "INSTANCE")) return Response::INSTANCE;
    if (named(node, "VALUE.NAMEDINSTANCE")) return Response::NAMED_INSTANCES;
    if (named(node, "INSTANCENAME")) return Response::INSTANCE_NAMES;
    if (named(node, "OBJECTPATH") || named(node, "INSTANCEPATH")) return Response::OBJECT_PATHS;
    if (named(node, "VALUE.OBJECTWITHPATH") || named(node, "VALUE.INSTANCEWITHPATH") ||
        named(node, "VALUE.OBJECTWITHLOCALPATH"))
      return Response::OBJECTS_WITH_PATH;
    reader.fail(node, std::string("unexpected element ") + node.name() + " in IRETURNVALUE");
  }

  static void addReturnedObject(const CimXmlElementReader& reader, const pugi::xml_node& node,
                                Response::ReturnKind kind, Response& response) {
    switch (kind) {
      case Response::INSTANCE:
        response.instances.push_back(reader.instance(node));
        break;
      case Response::NAMED_INSTANCES:
        response.instances.push_back(reader.namedInstance(node));
        break;
      case Response::INSTANCE_NAMES:
        response.paths.push_back(reader.instanceName(node));
        break;
      case Response::OBJECT_PATHS: {
        // Providers write the path with or without host and namespace.
        if (!named(node, "OBJECTPATH")) {
          response.paths.push_back(reader.anyPath(node));
          break;
        }
        const std::vector<pugi::xml_node> children = reader.elements(node);
        if (children.size() != 1) reader.fail(node, "expected INSTANCEPATH or CLASSPATH");
        response.paths.push_back(reader.anyPath(children[0]));
        break;
      }
      default:
        response.instances.push_back(objectWithPath(reader, node));
        break;
    }
  }

  static CIMInstance objectWithPath(const CimXmlElementReader& reader, const pugi::xml_node& node) {
    const std::vector<pugi::xml_node> children = reader.elements(node);
    if (children.size() != 2) reader.fail(node, "expected an instance path and INSTANCE");
    // The path comes with or without host and namespace, whatever the element's name promises.
    if (!named(children[0], "INSTANCEPATH") && !named(children[0], "LOCALINSTANCEPATH") &&
        !named(children[0], "INSTANCENAME"))
      reader.fail(children[0], std::string("expected an instance path, found ") + children[0].name());
    CIMInstance instance = reader.instance(children[1]);
    instance.setPath(reader.anyPath(children[0]));
    return instance;
  }

  // The returned objects when they are parsed apart from the rest of the response.
  struct ObjectsApart {
    std::string* text = nullptr;
    const ReturnedObjectRanges* ranges = nullptr;
  };

  pugi::xml_document document_;
  CimXmlElementReader reader_;
  ObjectsApart objects_;
};

}  // namespace

Request decodeRequest(const String& xml) {
  MessageReader reader(xml);
  String messageId;
  std::string protocolVersion;
  const pugi::xml_node call = reader.open("SIMPLEREQ", messageId, protocolVersion);
  if (!supportedProtocolVersion(protocolVersion))
    reader.fail("unsupported protocol version \"" + protocolVersion + "\"");
  Request request = reader.request(call);
  request.messageId = messageId;
  return request;
}

namespace {

// `text` without `cut`, which keeps its line ends so that lines after it keep their numbers.
std::string outlineWithout(const std::string& text, const TextRange& cut) {
  std::size_t lineEnds = 0;
  for (const char *at = text.data() + cut.begin, *end = text.data() + cut.end;
       (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr; ++at)
    ++lineEnds;
  std::string outline;
  outline.reserve(text.size() - (cut.end - cut.begin) + lineEnds);
  outline.append(text, 0, cut.begin).append(lineEnds, '\n').append(text, cut.end, std::string::npos);
  return outline;
}

Response decodeResponseWith(MessageReader& reader) {
  String messageId;
  std::string protocolVersion;
  const pugi::xml_node answer = reader.open("SIMPLERSP", messageId, protocolVersion);
  if (!supportedProtocolVersion(protocolVersion))
    throw CIMClientResponseException("Received unsupported protocol version \"" + protocolVersion +
                                     "\", expected \"1.[0-9]+\"");
  Response response = reader.response(answer);
  response.messageId = messageId;
  return response;
}

}  // namespace

Response decodeResponse(const String& xml) { return decodeResponseText(std::string(xml.str())); }

Response decodeResponseText(std::string&& xml) {
  std::string text = std::move(xml);
  ReturnedObjectRanges ranges;
  Response response;
  // Without objects there is nothing to parse apart: the content is parsed with the rest.
  if (findReturnedObjects(text, ranges) && !ranges.objects.empty()) {
    std::string outline = outlineWithout(text, ranges.content);
    MessageReader reader(outline, text, ranges);
    response = decodeResponseWith(reader);
  } else {
    MessageReader reader(text);
    response = decodeResponseWith(reader);
  }  // the trees go first, then the texts they point into
  return response;
}

}  // namespace CimXml
}  // namespace Pegasus
