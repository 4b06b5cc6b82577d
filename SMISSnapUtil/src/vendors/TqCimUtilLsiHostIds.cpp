// The initiator port IDs of the host an LSI-family port belongs to.
#include "CimUtilLsi.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::Contains;

Array<String> TqCimUtil::GetLSIHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath, Array<String>& ports) {
  const char* label = "SMIS::GetLSIHwIDs";
  return tqcimutil::TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    Array<String> ids;
    std::string arrayName = GetPropByObjPath(systemPath, "Name");
    DEBUG_TRACE_NORMAL(label, "SystemName [%s]", arrayName.c_str());
    if (ports.size() == 0) {
      DEBUG_TRACE(label, "No HBA Port supplied");
      return ids;
    }
    const String& port = ports[0];
    DEBUG_TRACE(label, "HBA Port:%s", port.str().c_str());
    CIMObjectPath hardwareId = tqcimutil::LsiHardwareId(*this, conn, arrayName, port);
    if (hardwareId.getClassName().isNull()) {
      DEBUG_TRACE_NORMAL(label, "There is no record of HBA port %s on Storage Array %s", port.str().c_str(),
                         arrayName.c_str());
      return ids;
    }
    DEBUG_TRACE_NORMAL(label, "hwId path %s", hardwareId.toString().str().c_str());
    Array<CIMObjectPath> collections =
        conn.GetAssociatorNames(hardwareId, "CIM_MemberOfCollection", "CIM_SystemSpecificCollection", "", "");
    if (collections.size() == 0) {
      DEBUG_TRACE_NORMAL(label, "No host has been defined with the given HBA port %s", port.str().c_str());
      return ids;
    }
    CIMObjectPath host;
    for (Uint32 c = 0; c < collections.size() && host.getClassName().isNull(); ++c) {
      DEBUG_TRACE_NORMAL(label, "host path %s", collections[c].toString().str().c_str());
      if (Contains(GetPropByObjPath(collections[c], "SystemName"), arrayName)) host = collections[c];
    }
    if (host.getClassName().isNull()) return ids;
    Array<CIMObjectPath> members =
        conn.GetAssociatorNames(host, "CIM_MemberOfCollection", "CIM_StorageHardwareID", "", "");
    DEBUG_TRACE_NORMAL(label, "Found %d hwId paths", static_cast<int>(members.size()));
    if (members.size() == 0) return ids;
    DEBUG_TRACE_NORMAL(label, "hwId path %s", members[0].toString().str().c_str());
    for (Uint32 m = 0; m < members.size(); ++m) {
      CIMInstance member = conn.GetInstance(members[m]);
      ids.append(String(GetCIMProp(member, "StorageID")));
      DEBUG_TRACE_NORMAL(label, "StorageID[%d] %s", static_cast<int>(m + 1), ids[m].str().c_str());
    }
    return ids;
  });
}
