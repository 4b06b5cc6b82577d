// Vendor ids of the array families, told from CIM class names, with each vendor's class prefix and
// default CIM namespace.
#pragma once

#include <string>

#include "Pegasus/CIMObjectPath.h"

enum TQ_PROVIDER_VENDOR {
  TQ_VENDOR_HP_EVA = 1,
  TQ_VENDOR_HP_XP = 2,
  TQ_VENDOR_EMC = 7,
  TQ_VENDOR_LSI = 8,
  TQ_VENDOR_DCIM = 9,
  TQ_VENDOR_IBM_SVC = 10,
  TQ_VENDOR_HP_3PAR = 11,
  TQ_VENDOR_FUJITSU = 12,
  TQ_VENDOR_NETAPP = 13,
  TQ_VENDOR_NONE = 14,
};

// One row of the vendor tables.
struct TqVendorInfo_t {
  int id;
  const char* text;
};

const int kTqVendorRows = 9;
// Class prefixes (no trailing underscore) and namespaces; row i of both tables is the same vendor.
extern const TqVendorInfo_t vInfo[kTqVendorRows];
extern const TqVendorInfo_t nInfo[kTqVendorRows];

class TQProviderVendor {
 public:
  // The vendor of the first selecting text found anywhere in the class name (case-sensitive); 14 when none.
  static TQ_PROVIDER_VENDOR GetVendorId(std::string className);
  static TQ_PROVIDER_VENDOR GetVendorId(const char* className);
  static TQ_PROVIDER_VENDOR GetVendorId(Pegasus::CIMObjectPath path);
  // "" when the id has no row.
  static std::string GetVendorPrefix(TQ_PROVIDER_VENDOR vendor);
  static std::string GetVendorPrefix(Pegasus::CIMObjectPath path);
  static std::string GetVendorNameSpace(TQ_PROVIDER_VENDOR vendor);
  static std::string GetVendorNameSpace(Pegasus::CIMObjectPath path);
};
