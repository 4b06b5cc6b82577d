#include "HP3ParCimUtilSupport.h"

#include "Pegasus/Exception.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "connection/TqCorvaneConfig.h"

using namespace Pegasus;

namespace hp3par {

namespace {

const CIMValue& ValueOf(const CIMInstance& instance, const char* name) {
  // getProperty throws the client's IndexOutOfBoundsException for a property the instance lacks.
  return instance.getProperty(instance.findProperty(CIMName(name))).getValue();
}

}  // namespace

bool LoginRefused(TqCimUtil& util, TqCimConnection& conn, const char* label) {
  if (!conn.m_AuthFailure) return false;
  util.DEBUG_TRACE(label, "The provider refused the login (401): what was listed is incomplete, the step fails");
  return true;
}

Uint16 ReadUint16(const CIMInstance& instance, const char* name) {
  Uint16 value = 0;
  ValueOf(instance, name).get(value);
  return value;
}

Uint64 ReadUint64(const CIMInstance& instance, const char* name) {
  Uint64 value = 0;
  ValueOf(instance, name).get(value);
  return value;
}

std::string ReadString(const CIMInstance& instance, const char* name) {
  String value;
  ValueOf(instance, name).get(value);
  return value.str();
}

Uint16 ReadFirstStatus(const CIMInstance& instance, const char* name) {
  Array<Uint16> values;
  ValueOf(instance, name).get(values);
  return values.size() > 0 ? values[0] : 0;
}

bool ParseByteCount(const std::string& text, Uint64& bytes) {
  if (text.empty()) return false;
  Uint64 value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    Uint64 digit = static_cast<Uint64>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  bytes = value;
  return true;
}

std::string BlankJoined(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) joined += item + " ";
  return joined;
}

bool PoolCheckDisabled() { return TqReadCorvaneNumber("nHP3PARDisablePoolCheck") != 0; }

}  // namespace hp3par
