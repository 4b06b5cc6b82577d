// HP EVA views of initiator ports: an EVA presentation view names its host's ports itself ("WWNs" for Fibre
// Channel hosts, "iqn" for iSCSI hosts), so views are found by comparing those names with the ports.
#include "Pegasus/CIMClient.h"
#include "Pegasus/CIMPropertyList.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::TracedRethrow;

namespace {

const char* const kLabel = "SMIS::GetHPCtlrListByHwIDs";
const char* const kEvaViewClass = "HPEVA_ViewProtocolController";

CIMPropertyList PortIdentifierProperties() {
  Array<CIMName> names;
  names.append(CIMName("WWNs"));
  names.append(CIMName("iqn"));
  return CIMPropertyList(names);
}

// The view's port identifiers: its "WWNs" texts when it has any, else its "iqn". Blank texts name no port.
Array<String> PortIdentifiersOf(const CIMInstance& view) {
  Array<String> identifiers;
  Uint32 index = view.findProperty(CIMName("WWNs"));
  if (index != PEG_NOT_FOUND && !view.getProperty(index).getValue().isNull())
    view.getProperty(index).getValue().get(identifiers);  // another type than a text list is a fault
  if (identifiers.size() == 0) {
    index = view.findProperty(CIMName("iqn"));
    if (index != PEG_NOT_FOUND) identifiers.append(view.getProperty(index).getValue().toString());
  }
  Array<String> named;
  for (Uint32 i = 0; i < identifiers.size(); ++i)
    if (!tqcimutil::IsBlankName(identifiers[i].str())) named.append(identifiers[i]);
  return named;
}

}  // namespace

Array<CIMObjectPath> TqCimUtil::GetHPCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                     Array<String>& ports) {
  return TracedRethrow(*this, kLabel, TQ_HANDLER_SITE, [&]() {
    Array<CIMObjectPath> views;
    if (TQProviderVendor::GetVendorId(systemPath) != TQ_VENDOR_HP_EVA) {
      DEBUG_TRACE_NORMAL(kLabel, "Got vendor %s object path for HP SMIS operation",
                         TQProviderVendor::GetVendorPrefix(systemPath).c_str());
      return views;
    }
    std::string systemName = GetPropByObjPath(systemPath, "Name");
    Array<CIMInstance> instances = conn.GetInstances(kEvaViewClass, PortIdentifierProperties());
    DEBUG_TRACE_NORMAL(kLabel, "Class [%s] got %d instances", kEvaViewClass, static_cast<int>(instances.size()));
    for (Uint32 v = 0; v < instances.size(); ++v) {
      CIMObjectPath path = instances[v].getPath();
      if (GetPropByObjPath(path, "SystemName") != systemName) continue;
      Array<String> identifiers = PortIdentifiersOf(instances[v]);
      for (Uint32 i = 0; i < identifiers.size(); ++i) {
        for (Uint32 p = 0; p < ports.size(); ++p) {
          if (identifiers[i] == ports[p]) {
            views.append(path);
            break;
          }
        }
      }
    }
    return views;
  });
}

Array<CIMObjectPath> TqCimUtil::GetHPCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                     Array<CIMObjectPath>& volumes, Array<String>& ports) {
  return TracedRethrow(*this, kLabel, TQ_HANDLER_SITE, [&]() {
    Array<CIMObjectPath> views;
    const char* viewClass =
        TQProviderVendor::GetVendorId(systemPath) == TQ_VENDOR_HP_EVA ? kEvaViewClass : "CIM_SCSIProtocolController";
    if (volumes.size() == 0) {
      DEBUG_TRACE(kLabel, "Instances not found for class [%s]", "CIM_StorageVolume");
      return views;
    }
    CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
    Uint32 matches = 0;
    // The search ends once there have been as many matches as ports.
    auto allPortsMatched = [&]() {
      for (Uint32 v = 0; v < volumes.size(); ++v) {
        Array<CIMObjectPath> volumeViews =
            conn.GetAssociatorNames(volumes[v], "CIM_ProtocolControllerForUnit", viewClass, "", "");
        for (Uint32 c = 0; c < volumeViews.size(); ++c) {
          CIMInstance view =
              conn.Client().getInstance(nameSpace, volumeViews[c], true, false, false, PortIdentifierProperties());
          Array<String> identifiers = PortIdentifiersOf(view);
          for (Uint32 i = 0; i < identifiers.size(); ++i) {
            for (Uint32 p = 0; p < ports.size(); ++p) {
              if (identifiers[i] != ports[p]) continue;
              views.append(volumeViews[c]);
              if (++matches == ports.size()) return true;
            }
          }
        }
      }
      return false;
    };
    if (!allPortsMatched()) DEBUG_TRACE_NORMAL(kLabel, "Ctlr paths not found for some of the initiator ports");
    return views;
  });
}
