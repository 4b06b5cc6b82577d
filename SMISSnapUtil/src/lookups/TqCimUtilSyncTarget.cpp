// The synchronization path (replica-pair association) of a target volume.
#include "CimUtilHandlers.h"
#include "Pegasus/CIMClient.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::TracedOr;

namespace {

const char* const kTargetNowSource =
    "Returning empty sync path as It seems original sync path already deleted, the original target now being used "
    "as source for another synchronization operation";

// The one pair that references the target: 0 with its path and its source ("SystemElement") and that
// source's "Name"; 1 when no pair references it; -1 when several do.
int SolePairOfTarget(TqCimUtil& util, TqCimConnection& conn, const char* label, const std::string& target,
                     const std::string& targetName, std::string& syncPath, std::string& sourcePath,
                     std::string& sourceName) {
  CIMObjectPath targetPath{String(target)};
  CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
  Array<CIMObjectPath> names = conn.Client().referenceNames(nameSpace, targetPath, "CIM_StorageSynchronized", "");
  util.DEBUG_TRACE_NORMAL(label, "Sync paths size [%d] for target dev [%s]", static_cast<int>(names.size()),
                          targetName.c_str());
  if (names.size() > 1) {
    util.DEBUG_TRACE(label, "More than one sync path reported for target [%s]", targetName.c_str());
    return -1;
  }
  if (names.size() == 0) {
    util.DEBUG_TRACE(label, "No sync paths [%s]", targetName.c_str());
    return 1;
  }
  syncPath = names[0].toString().str();
  sourcePath = util.GetCIMProp(conn, syncPath, "SystemElement");
  sourceName = util.GetCIMProp(conn, sourcePath, "Name");
  return 0;
}

}  // namespace

int TqCimUtil::GetSyncPathFromTarget(TqCimConnection& conn, std::string target, std::string& syncPath,
                                     std::string& sourcePath, std::string& sourceName) {
  const char* label = "SMIS::GetSyncPathFromTarget";
  return TracedOr(*this, label, TQ_HANDLER_SITE, -1, [&]() {
    std::string targetName = GetCIMProp(conn, target, "Name");
    std::string pair, element, elementName;
    int found = SolePairOfTarget(*this, conn, label, target, targetName, pair, element, elementName);
    if (found != 0) return found;
    if (elementName == targetName) {
      DEBUG_TRACE(label, "%s", kTargetNowSource);
      return -1;
    }
    syncPath = pair;
    sourcePath = element;
    sourceName = elementName;
    DEBUG_TRACE_NORMAL(label, "Sync Path [%s]", syncPath.c_str());
    return 0;
  });
}

int TqCimUtil::GetSyncPathFromTargetAndSource(TqCimConnection& conn, const std::string& target,
                                              const std::string& source, std::string& syncPath) {
  const char* label = "SMIS::GetSyncPathFromTargetAndSource";
  return TracedOr(*this, label, TQ_HANDLER_SITE, -1, [&]() {
    std::string targetText = target;
    std::string sourceText = source;
    std::string targetName = GetCIMProp(conn, targetText, "Name");
    std::string sourceName = GetCIMProp(conn, sourceText, "Name");
    std::string pair, element, elementName;
    int found = SolePairOfTarget(*this, conn, label, target, targetName, pair, element, elementName);
    if (found != 0) return found;
    // A name that could not be read matches nothing: two failed reads are no proof of one source.
    if (!sourceName.empty() && elementName == sourceName) {
      syncPath = pair;
      DEBUG_TRACE_NORMAL(label, "Sync Path [%s]", syncPath.c_str());
      return 0;
    }
    if (elementName == targetName) DEBUG_TRACE(label, "%s", kTargetNowSource);
    return -1;
  });
}
