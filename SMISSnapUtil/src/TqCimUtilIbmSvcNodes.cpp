// IBM SVC nodes: the path of the node a volume names as its preferred node.
#include "CimUtilHandlers.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;

int TqCimUtil::GetPreferredNodeForIBMSVC(TqCimConnection& conn, const std::string& nodeId, std::string& nodePath) {
  const char* label = "GetPreferredNodeForIBMSVC";
  return tqcimutil::TracedOr<int>(*this, label, TQ_HANDLER_SITE, 0, [&] {
    std::string nodeClass = TQProviderVendor::GetVendorPrefix(TQ_VENDOR_IBM_SVC) + "_Node";
    Array<CIMObjectPath> nodes = conn.GetInstanceNames(String(nodeClass));
    if (nodes.size() == 0) {
      DEBUG_TRACE(label, "Empty list was returned for [%s] class.", nodeClass.c_str());
      return 0;
    }
    for (Uint32 i = 0; i < nodes.size(); ++i) {
      // Node names are "<SystemId>:<NodeId>"; the system part is not compared.
      std::string name = GetPropByObjPath(nodes[i], "Name");
      std::string::size_type colon = name.find(':');
      if (colon == std::string::npos) {
        DEBUG_TRACE(label, "Invalid path-[%s]. Expected the path to contain '<SystemId>:<NodeId>'",
                    nodes[i].toString().str().c_str());
        continue;
      }
      if (name.compare(colon + 1, std::string::npos, nodeId) != 0) continue;
      nodePath = nodes[i].toString().str();
      return 1;
    }
    return 0;
  });
}
