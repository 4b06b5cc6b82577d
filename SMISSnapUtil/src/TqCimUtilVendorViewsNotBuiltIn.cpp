// Controller lookups of array families whose lookup is not built in yet (HP EVA, LSI family and the
// IBM SVC port step): each answers no controllers and says so in the trace. The families' own lookups
// replace this file.
#include "TqCimUtil.h"

using namespace Pegasus;

Array<CIMObjectPath> TqCimUtil::VendorViewsNotBuiltIn(const char* label, const char* family)
{
  DEBUG_TRACE(label, "Protocol controller lookup for %s arrays is not available, no controllers returned", family);
  return Array<CIMObjectPath>();
}

Array<CIMObjectPath> TqCimUtil::GetHPCtlrListByHwIDs(TqCimConnection&, CIMObjectPath&, Array<CIMObjectPath>&,
                                                     Array<String>&)
{
  return VendorViewsNotBuiltIn("SMIS::GetHPCtlrListByHwIDs", "HP EVA");
}

Array<CIMObjectPath> TqCimUtil::GetLSICtlrListByHwIDs(TqCimConnection&, CIMObjectPath&, Array<CIMObjectPath>&,
                                                      Array<String>&)
{
  return VendorViewsNotBuiltIn("SMIS::GetLSICtlrListByHwIDs", "LSI family");
}

Array<CIMObjectPath> TqCimUtil::GetIBMSVCCtlrListByHwIDs(TqCimConnection&, CIMObjectPath&, Array<String>&)
{
  return VendorViewsNotBuiltIn("GetIBMSVCCtlrListByHwIDs", "IBM SVC");
}

Array<CIMObjectPath> TqCimUtil::GetHPCtlrListByHwIDs(TqCimConnection&, CIMObjectPath&, Array<String>&) {
  return VendorViewsNotBuiltIn("SMIS::GetHPCtlrListByHwIDs", "HP EVA");
}

Array<CIMObjectPath> TqCimUtil::GetLSICtlrListByHwIDs(TqCimConnection&, CIMObjectPath&, Array<String>&, bool) {
  return VendorViewsNotBuiltIn("SMIS::GetLSICtlrListByHwIDs", "LSI family");
}
