// CIM-XML messages in both directions: the client encodes requests and decodes responses, the simulated
// provider decodes requests and encodes responses.
#pragma once
#include <string>
#include <vector>
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMParamValue.h"
#include "Pegasus/CIMPropertyList.h"
#include "Pegasus/CIMStatusCode.h"

namespace Pegasus {
namespace CimXml {

// One parameter: an IPARAMVALUE of an intrinsic call, or a PARAMVALUE of an extrinsic call or out-parameter.
struct ParamValue {
  enum Kind { VALUE, CLASSNAME, INSTANCENAME, PROPERTYLIST, INSTANCE, NULLVALUE };
  String name;
  Kind kind = VALUE;
  CIMValue value;                // VALUE: typed scalar/array/reference (PARAMTYPE from its type when typed)
  CIMName className;             // CLASSNAME (ClassName, AssocClass, ResultClass)
  CIMObjectPath instanceName;    // INSTANCENAME (InstanceName, ObjectName)
  CIMPropertyList propertyList;  // PROPERTYLIST (empty list != null list)
  CIMInstance instance;          // INSTANCE, or VALUE.NAMEDINSTANCE when the instance has keys (ModifiedInstance)
  bool typed = true;             // extrinsic only: write PARAMTYPE

  static ParamValue ofValue(const String& name, const CIMValue& value, bool typed = true);
  static ParamValue ofClassName(const String& name, const CIMName& className);
  static ParamValue ofInstanceName(const String& name, const CIMObjectPath& path);
  static ParamValue ofPropertyList(const String& name, const CIMPropertyList& list);
  static ParamValue ofInstance(const String& name, const CIMInstance& instance);
  static ParamValue ofNull(const String& name);
};

struct Request {
  String messageId;
  bool intrinsic = true;  // IMETHODCALL vs METHODCALL
  String methodName;      // "GetInstance", ... or the extrinsic method name
  CIMNamespaceName nameSpace;
  CIMObjectPath objectPath;  // extrinsic target (LOCALINSTANCEPATH, or LOCALCLASSPATH when key-less)
  std::vector<ParamValue> params;
  // The parameter of that name (ignoring case), nullptr when absent.
  const ParamValue* find(const String& name) const;
};

struct Response {
  String messageId;
  bool intrinsic = true;
  String methodName;
  bool isError = false;
  CIMStatusCode errorCode = CIM_ERR_SUCCESS;
  String errorDescription;
  enum ReturnKind { NONE, INSTANCE, NAMED_INSTANCES, INSTANCE_NAMES, OBJECT_PATHS, OBJECTS_WITH_PATH };
  ReturnKind returnKind = NONE;
  std::vector<CIMInstance> instances;    // INSTANCE (one), NAMED_INSTANCES and OBJECTS_WITH_PATH (path set on each)
  std::vector<CIMObjectPath> paths;      // INSTANCE_NAMES (INSTANCENAME), OBJECT_PATHS (OBJECTPATH/INSTANCEPATH)
  CIMValue returnValue;                  // extrinsic RETURNVALUE (typed by PARAMTYPE; untyped text is a string)
  std::vector<CIMParamValue> outParams;  // extrinsic out PARAMVALUEs
};

// A complete document: XML declaration, CIM, MESSAGE (PROTOCOLVERSION 1.0), SIMPLEREQ.
String encodeRequest(const Request& request);
// Throws CIMClientXmlException for anything that is not well-formed, valid CIM-XML request.
Request decodeRequest(const String& xml);
String encodeResponse(const Response& response);
// The same document as std::string, for a server that hands it on without another copy. `room`: a string whose
// storage the document is written into (its text is overwritten), so that a server answering large documents
// again and again reuses memory it has already touched.
std::string encodeResponseText(const Response& response, std::string room = std::string());
// The same document with `instances` in place of response.instances: objects the caller keeps, written where
// they are rather than copied into the Response first.
std::string encodeResponseText(const Response& response, const std::vector<const CIMInstance*>& instances,
                               std::string room = std::string());
// Throws CIMClientXmlException for a malformed or invalid document, CIMClientResponseException for an
// unsupported protocol version. An ERROR element is reported in the Response, not thrown.
Response decodeResponse(const String& xml);

// The CIMObject HTTP header value: the namespace (intrinsic) or the target's local path (extrinsic), URI-encoded.
String cimObjectHeader(const Request& request);
// The CIMMethod HTTP header value (the method name).
String cimMethodHeader(const Request& request);
// "%XX"-encodes what may not appear raw in a header value; uriDecode reverses it (bad escapes stay as they are).
String uriEncode(const String& text);
String uriDecode(const String& text);

}  // namespace CimXml
}  // namespace Pegasus
