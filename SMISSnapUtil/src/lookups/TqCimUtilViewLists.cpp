// The views of a list of volumes, narrowed to the views of given initiator ports by the array's family.
#include "CimUtilHandlers.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::TracedRethrow;

Array<CIMObjectPath> TqCimUtil::GetctlrPathListByAssn(TqCimConnection& conn, CIMObjectPath systemPath,
                                                      Array<CIMObjectPath>& volumes, Array<String>& ports) {
  const char* label = "SMIS::GetctlrPathListByAssn";
  return TracedRethrow(
      *this, label, TQ_HANDLER_SITE,
      [&]() {
        Array<CIMObjectPath> result;
        if (ports.size() == 0) {
          for (Uint32 v = 0; v < volumes.size(); ++v) {
            Array<CIMObjectPath> views = VolumeViews(conn, volumes[v]);
            if (views.size() == 0)
              DEBUG_TRACE(label, "Ctlr paths not found for storage volume path %s",
                          volumes[v].toString().str().c_str());
            result.appendArray(views);
          }
          return result;
        }
        switch (TQProviderVendor::GetVendorId(systemPath)) {
          case TQ_VENDOR_HP_EVA:
            result = GetHPCtlrListByHwIDs(conn, systemPath, volumes, ports);
            break;
          case TQ_VENDOR_HP_3PAR:
            result = Get3PARCtlrListByHwIDs(conn, systemPath, volumes, ports);
            break;
          case TQ_VENDOR_LSI:
          case TQ_VENDOR_DCIM:
          case TQ_VENDOR_NETAPP:
            result = GetLSICtlrListByHwIDs(conn, systemPath, volumes, ports);
            break;
          case TQ_VENDOR_IBM_SVC:
            result = GetIBMSVCCtlrListByHwIDs(conn, systemPath, volumes, ports);
            break;
          case TQ_VENDOR_FUJITSU:
            result = GetEternusCtlrListByHwIDs(conn, systemPath, volumes, ports);
            break;
          case TQ_VENDOR_EMC:
            result = GetEMCVMAXCtlrListByHwIDs(conn, systemPath, volumes, ports);
            break;
          default:
            break;
        }
        if (result.size() == 0) DEBUG_TRACE(label, "Ctlr paths not found for storage volumes paths ");
        return result;
      },
      tqcimutil::kUnknownExceptionLower);
}

Array<CIMObjectPath> TqCimUtil::GetCtlrPathList(TqCimConnection& conn, CIMObjectPath systemPath,
                                                Array<String>& volumeTexts, Array<String> ports) {
  const char* label = "SMIS::GetCtlrPathList";
  return TracedRethrow(
      *this, label, TQ_HANDLER_SITE,
      [&]() {
        std::string systemName = tqcimutil::ComparableSystemName(GetPropByObjPath(systemPath, "Name"), systemPath);

        Array<CIMObjectPath> volumes;
        bool byName = volumeTexts.size() > 1;
        if (volumeTexts.size() == 1 && tqcimutil::IsBlankName(volumeTexts[0].str())) {
          byName = true;  // a blank text is no path; by name it finds nothing
        } else if (volumeTexts.size() == 1) {
          try {
            volumes.append(CIMObjectPath(volumeTexts[0]));
            DEBUG_TRACE_NORMAL(label, "Processing path for one volume [%s]", volumeTexts[0].str().c_str());
          } catch (const Exception&) {
            DEBUG_TRACE_NORMAL(label, "Supplied source volume value [%s] is not an object path, trying with UUID(Name)",
                               volumeTexts[0].str().c_str());
            byName = true;
          }
        }
        if (byName) {
          DEBUG_TRACE_NORMAL(label, "Processing paths for volumes size [%d]", static_cast<int>(volumeTexts.size()));
          volumes = GetObjPathListByPropNameList(conn, "CIM_StorageVolume", "Name", volumeTexts, systemName);
        }
        if (volumes.size() == 0) {
          DEBUG_TRACE(label, "Instances not found for class [%s]", "CIM_StorageVolume");
          return Array<CIMObjectPath>();
        }
        return GetctlrPathListByAssn(conn, systemPath, volumes, ports);
      },
      tqcimutil::kUnknownExceptionLower);
}
