// Steps shared by the LSI-family (LSI, DCIM, NetApp) view and host lookups.
#pragma once

#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/String.h"

class TqCimConnection;
class TqCimUtil;

namespace tqcimutil {

extern const char* const kLsiViewsLabel;  // "SMIS::GetLSICtlrListByHwIDs"

// The hardware ID of the array whose "StorageID" equals the port ignoring case or holds it; empty when none.
Pegasus::CIMObjectPath LsiHardwareId(TqCimUtil& util, TqCimConnection& conn, const std::string& arrayName,
                                     const Pegasus::String& port);

// The views the ports reach through the identifiers their hardware IDs carry ("HostID" and, with
// clusterMapping, "ClusterID"), for arrays whose privileges lead nowhere.
Pegasus::Array<Pegasus::CIMObjectPath> LsiViewsByIdentifiers(TqCimUtil& util, TqCimConnection& conn,
                                                             const std::string& arrayName,
                                                             Pegasus::Array<Pegasus::String>& ports,
                                                             bool clusterMapping);

}  // namespace tqcimutil
