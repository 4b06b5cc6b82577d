#include "TQProviderVendor.h"

#include "Pegasus/CIMName.h"

const TqVendorInfo_t vInfo[kTqVendorRows] = {
    {TQ_VENDOR_HP_EVA, "HPEVA"},    {TQ_VENDOR_HP_XP, "HPXP"},       {TQ_VENDOR_LSI, "LSISSI"},
    {TQ_VENDOR_DCIM, "DCIM"},       {TQ_VENDOR_IBM_SVC, "IBMTSSVC"}, {TQ_VENDOR_HP_3PAR, "3PAR"},
    {TQ_VENDOR_FUJITSU, "FUJITSU"}, {TQ_VENDOR_EMC, "EMC"},          {TQ_VENDOR_NETAPP, "NETAPP"},
};

const TqVendorInfo_t nInfo[kTqVendorRows] = {
    {TQ_VENDOR_HP_EVA, "root/eva"},
    {TQ_VENDOR_HP_XP, "root/xp"},
    {TQ_VENDOR_LSI, "root/LsiArray13"},
    {TQ_VENDOR_DCIM, "root/DCIM/MDStorageArray13"},
    {TQ_VENDOR_IBM_SVC, "root/ibm"},
    {TQ_VENDOR_HP_3PAR, "root/tpd"},
    {TQ_VENDOR_FUJITSU, "root/eternus"},
    {TQ_VENDOR_EMC, "root/emc"},
    {TQ_VENDOR_NETAPP, "root/netapp/santricity"},
};

namespace {

struct SelectingText {
  const char* text;
  TQ_PROVIDER_VENDOR vendor;
};

// Tested in this order; the first text found decides.
const SelectingText kSelectingTexts[] = {
    {"HPEVA_", TQ_VENDOR_HP_EVA}, {"HPXP_", TQ_VENDOR_HP_XP},       {"LSISSI_", TQ_VENDOR_LSI},
    {"DCIM_", TQ_VENDOR_DCIM},    {"IBMTSSVC_", TQ_VENDOR_IBM_SVC}, {"3PAR_", TQ_VENDOR_HP_3PAR},
    {"TPD_", TQ_VENDOR_HP_3PAR},  {"FUJITSU_", TQ_VENDOR_FUJITSU},  {"Symm_", TQ_VENDOR_EMC},
    {"SE_", TQ_VENDOR_EMC},       {"NETAPP_", TQ_VENDOR_NETAPP},
};

std::string TextOfVendor(const TqVendorInfo_t (&table)[kTqVendorRows], TQ_PROVIDER_VENDOR vendor) {
  std::string text;
  for (const TqVendorInfo_t& row : table) {
    if (row.id == vendor) {
      text = row.text;
      break;
    }
  }
  return text;
}

std::string ClassNameOf(const Pegasus::CIMObjectPath& path) {
  return std::string(path.getClassName().getString().getCString());
}

}  // namespace

TQ_PROVIDER_VENDOR TQProviderVendor::GetVendorId(std::string className) {
  for (const SelectingText& selecting : kSelectingTexts) {
    if (className.find(selecting.text) != std::string::npos) return selecting.vendor;
  }
  return TQ_VENDOR_NONE;
}

TQ_PROVIDER_VENDOR TQProviderVendor::GetVendorId(const char* className) {
  return GetVendorId(std::string(className ? className : ""));
}

TQ_PROVIDER_VENDOR TQProviderVendor::GetVendorId(Pegasus::CIMObjectPath path) { return GetVendorId(ClassNameOf(path)); }

std::string TQProviderVendor::GetVendorPrefix(TQ_PROVIDER_VENDOR vendor) { return TextOfVendor(vInfo, vendor); }

std::string TQProviderVendor::GetVendorPrefix(Pegasus::CIMObjectPath path) {
  return GetVendorPrefix(GetVendorId(path));
}

std::string TQProviderVendor::GetVendorNameSpace(TQ_PROVIDER_VENDOR vendor) { return TextOfVendor(nInfo, vendor); }

std::string TQProviderVendor::GetVendorNameSpace(Pegasus::CIMObjectPath path) {
  return GetVendorNameSpace(GetVendorId(path));
}
