// Test helpers: a project CIM client connected to a test server, and the paths tests use most.
#pragma once
#include <string>

#include "Pegasus/CIMClient.h"
#include "smis-sim/TestServer.h"

namespace simtest {

using namespace Pegasus;

inline const CIMNamespaceName& tpd() {
  static const CIMNamespaceName ns("root/tpd");
  return ns;
}

inline Boolean acceptAnyCertificate(SSLCertificateInfo&) { return true; }

inline void connectTo(CIMClient& client, smissim::TestServer& server, const std::string& user,
                      const std::string& password) {
  if (server.https()) {
    SSLContext context("", &acceptAnyCertificate);
    client.connect(server.host(), static_cast<Uint32>(server.port()), context, String(user), String(password));
  } else {
    client.connect(server.host(), static_cast<Uint32>(server.port()), String(user), String(password));
  }
}

inline void connectTo(CIMClient& client, smissim::TestServer& server) {
  connectTo(client, server, server.user(), server.password());
}

// The first instance name of a class (its TPD_ subclass answers).
inline CIMObjectPath firstName(CIMClient& client, const char* className) {
  Array<CIMObjectPath> names = client.enumerateInstanceNames(tpd(), CIMName(className));
  if (names.size() == 0) throw Exception(String("no instance of ") + className);
  return names[0];
}

// The volume whose ElementName is `name`.
inline CIMInstance volumeNamed(CIMClient& client, const std::string& name) {
  for (const CIMInstance& volume : client.enumerateInstances(tpd(), "CIM_StorageVolume", true, false))
    for (Uint32 i = 0; i < volume.getPropertyCount(); ++i)
      if (volume.getProperty(i).getName() == CIMName("ElementName") &&
          volume.getProperty(i).getValue().toString() == String(name))
        return volume;
  throw Exception(String("no volume named " + name));
}

inline String propertyText(const CIMInstance& instance, const char* name) {
  Uint32 index = instance.findProperty(CIMName(name));
  return index == PEG_NOT_FOUND ? String() : instance.getProperty(index).getValue().toString();
}

inline CIMValue outParam(const Array<CIMParamValue>& out, const char* name) {
  for (const CIMParamValue& p : out)
    if (String::equalNoCase(p.getParameterName(), name)) return p.getValue();
  return CIMValue();
}

inline Uint32 returnCode(const CIMValue& value) {
  Uint32 code = 0;
  value.get(code);
  return code;
}

}  // namespace simtest
