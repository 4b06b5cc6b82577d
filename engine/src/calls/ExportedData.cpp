// The engine's exported data. The vendor tables and the CIM layer's locks live in that layer; naming them
// here makes the linker take them into the engine library, which exports them with the entry points.
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "TqsoEntryPoints.h"

int iEndPointId = 0;

namespace {

__attribute__((used))
const void* const kExportedData[] = {vInfo, nInfo, &TqCimConnection::m_ConnLock, &TqCimUtil::m_CimUtilLock};

}  // namespace
