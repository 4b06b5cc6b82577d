#include "SmisMasking.h"

#include "SmisHostConfig.h"

using namespace Pegasus;

namespace smismasking {

const char* const kHardwareIdService = "CIM_StorageHardwareIDManagementService";
const char* const kProtocolController = "CIM_SCSIProtocolController";

CIMValue StringsOrNull(TqCimUtil& util, const Array<String>& list) {
  return list.size() == 0 ? util.MakeCimNullVal(CIMTYPE_STRING, true) : CIMValue(list);
}

CIMValue AccessesOrNull(TqCimUtil& util, const Array<Uint16>& list) {
  return list.size() == 0 ? util.MakeCimNullVal(CIMTYPE_UINT16, true) : CIMValue(list);
}

CIMValue ViewsOrNull(TqCimUtil& util, const Array<CIMObjectPath>& list) {
  return list.size() == 0 ? util.MakeCimNullVal(CIMTYPE_REFERENCE, true) : CIMValue(list);
}

std::string Blanked(const Array<String>& list) {
  std::string text;
  for (Uint32 i = 0; i < list.size(); ++i) text += list[i].str() + " ";
  return text;
}

std::string Blanked(const Array<Uint16>& list) {
  std::string text;
  for (Uint32 i = 0; i < list.size(); ++i) text += std::to_string(list[i]) + " ";
  return text;
}

bool ForceOn(const char* key) { return smisconfig::RegInt("Corvane", key, 0) <= 0; }

}  // namespace smismasking
