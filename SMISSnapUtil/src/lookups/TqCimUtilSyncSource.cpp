// Synchronization paths (replica-pair associations) found or built from a source volume.
#include <cstdlib>

#include "CimUtilHandlers.h"
#include "Pegasus/CIMClient.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::TracedOr;

namespace {

const char* const kSyncClass = "CIM_StorageSynchronized";

CIMNamespaceName ConnectionNameSpace(TqCimConnection& conn) {
  return CIMNamespaceName(String(conn.m_Cimom.GetNameSpace()));
}

// The target volume of a replica pair and its ElementName (empty when unreadable).
void ReadTargetOfPair(TqCimUtil& util, TqCimConnection& conn, std::string pairPath, std::string& target,
                      std::string& elementName) {
  target = util.GetCIMProp(conn, pairPath, "SyncedElement");
  elementName = util.GetCIMProp(conn, target, "ElementName");
}

// A target carries a label when its ElementName contains it. A blank label is carried by no target:
// it must never select every copy of a source.
bool CarriesLabel(const std::string& elementName, const std::string& label) {
  return !tqcimutil::IsBlankName(label) && elementName.find(label) != std::string::npos;
}

// Reads the source's "Name" (for the traces), then asks the CIMOM for every replica pair that references
// the source in either role; traces the lack of any.
Array<CIMObjectPath> SyncPathsOfSource(TqCimUtil& util, TqCimConnection& conn, const char* label,
                                       const std::string& source, std::string& sourceName) {
  std::string sourceText = source;
  sourceName = util.GetCIMProp(conn, sourceText, "Name");
  CIMObjectPath sourcePath{String(source)};
  Array<CIMObjectPath> names = conn.Client().referenceNames(ConnectionNameSpace(conn), sourcePath, kSyncClass, "");
  util.DEBUG_TRACE_NORMAL(label, "Sync paths size [%d] for source dev [%s]", static_cast<int>(names.size()),
                          sourceName.c_str());
  if (names.size() == 0) util.DEBUG_TRACE(label, "No sync paths reported for source [%s]", sourceName.c_str());
  return names;
}

// The class prefix of an LSI-family class name: the text before its first '_' (all of it without one).
std::string ClassPrefix(const CIMObjectPath& path) {
  std::string className = path.getClassName().getString().str();
  return className.substr(0, className.find('_'));
}

}  // namespace

CIMObjectPath TqCimUtil::GetSyncPath(TqCimConnection& conn, String nameSpace, std::string, CIMObjectPath source,
                                     CIMObjectPath target) {
  const char* label = "SMIS::GetSyncPath";
  // After a caught fault the result is what it holds at that point.
  CIMObjectPath result;
  try {
    TQ_PROVIDER_VENDOR vendor = TQProviderVendor::GetVendorId(source);
    String targetText = target.toString();
    std::string localClass;
    if (vendor == TQ_VENDOR_HP_3PAR)
      localClass = "TPD_StorageSynchronized";
    else if ((vendor == TQ_VENDOR_LSI || vendor == TQ_VENDOR_DCIM || vendor == TQ_VENDOR_NETAPP) &&
             targetText.find("Snapshot") == PEG_NOT_FOUND)
      localClass = ClassPrefix(source) + "_VolumeCopySynchronized";
    else if (vendor == TQ_VENDOR_IBM_SVC)
      localClass = "IBMTSSVC_LocalStorageSynchronized";

    if (!localClass.empty()) {
      // The pair's path is built from its two keys; the CIMOM is not asked whether the pair exists.
      std::string text = MakeAssnPath(source.getHost(), nameSpace, String(localClass), "SystemElement",
                                      source.toString(), "SyncedElement", targetText);
      if (!text.empty()) result = CIMObjectPath(String(text));
      return result;
    }
    Array<CIMObjectPath> names = conn.Client().referenceNames(CIMNamespaceName(nameSpace), target, kSyncClass, "");
    if (names.size() == 1) {
      result = names[0];
      DEBUG_TRACE_NORMAL(label, "Sync Path %s", result.toString().str().c_str());
    } else if (names.size() > 1) {
      DEBUG_TRACE(label, "Error: Multiple sync paths reported");
    }
  } catch (const CIMException& e) {
    tqcimutil::TraceCimException(*this, label, TQ_HANDLER_SITE, e);
  } catch (const Exception& e) {
    tqcimutil::TraceException(*this, label, TQ_HANDLER_SITE, e);
  } catch (...) {
    DEBUG_TRACE(label, "%s", tqcimutil::kUnknownException);
  }
  return result;
}

int TqCimUtil::GetSyncPathFromSourceBySyncType(TqCimConnection& conn, int copyType, std::string source,
                                               std::string& syncPath, std::string& target) {
  const char* label = "SMIS::GetSyncPathFromSourceBySyncType";
  return TracedOr(*this, label, TQ_HANDLER_SITE, -1, [&]() {
    CIMObjectPath sourcePath{String(source)};
    Array<CIMObject> pairs = conn.Client().references(ConnectionNameSpace(conn), sourcePath, kSyncClass, "", false,
                                                      false, CIMPropertyList());
    DEBUG_TRACE_NORMAL(label, "Sync objects size [%d] for source dev [%s]", static_cast<int>(pairs.size()),
                       source.c_str());
    if (pairs.size() == 0) {
      DEBUG_TRACE(label, "No sync paths reported for source [%s]", source.c_str());
      return -1;
    }
    for (Uint32 i = 0; i < pairs.size(); ++i) {
      CIMInstance pair(pairs[i]);
      std::string pairPath = pair.getPath().toString().str();
      std::string pairCopyType = GetCIMProp(pair, "CopyType");
      if (pairCopyType.empty() || std::atoi(pairCopyType.c_str()) != copyType) {
        DEBUG_TRACE_NORMAL(label, "Sync Path [%s] copyType [%s]", pairPath.c_str(), pairCopyType.c_str());
        continue;
      }
      syncPath = pairPath;
      target = GetCIMProp(pair, "SyncedElement");
      DEBUG_TRACE_NORMAL(label, "Sync Path [%s] copyType [%s]", syncPath.c_str(), pairCopyType.c_str());
      return 0;
    }
    DEBUG_TRACE(label, "No sync paths of copy type [%d] reported for source [%s]", copyType, source.c_str());
    return -1;
  });
}

int TqCimUtil::GetSyncPathFromSource(TqCimConnection& conn, std::string source, std::string& syncPath,
                                     std::string& target, std::string& targetName) {
  const char* label = "SMIS::GetSyncPathFromSource";
  return TracedOr(*this, label, TQ_HANDLER_SITE, -1, [&]() {
    std::string sourceName;
    Array<CIMObjectPath> names = SyncPathsOfSource(*this, conn, label, source, sourceName);
    if (names.size() == 0) return -1;
    syncPath = names[0].toString().str();
    target = GetCIMProp(conn, syncPath, "SyncedElement");
    targetName = GetCIMProp(conn, target, "Name");
    DEBUG_TRACE_NORMAL(label, "Sync Path [%s]", syncPath.c_str());
    return 0;
  });
}

int TqCimUtil::GetDelSyncPathFromSource(TqCimConnection& conn, std::string source, std::string& syncPath,
                                        std::string& target, std::string& targetName, std::string label) {
  // The plain lookup's label, on purpose: the deletion variant traces as GetSyncPathFromSource.
  const char* traceLabel = "SMIS::GetSyncPathFromSource";
  return TracedOr(*this, traceLabel, TQ_HANDLER_SITE, -1, [&]() {
    std::string sourceName;
    Array<CIMObjectPath> names = SyncPathsOfSource(*this, conn, traceLabel, source, sourceName);
    if (names.size() == 0) return -1;
    for (Uint32 i = 0; i < names.size(); ++i) {
      std::string elementName;
      syncPath = names[i].toString().str();
      ReadTargetOfPair(*this, conn, syncPath, target, elementName);
      if (!CarriesLabel(elementName, label)) {
        DEBUG_TRACE_NORMAL(traceLabel, "Target Device Name [%s]", elementName.c_str());
        continue;
      }
      DEBUG_TRACE_NORMAL(traceLabel, "Match found, target device name [%s]", elementName.c_str());
      targetName = GetCIMProp(conn, target, "Name");
      DEBUG_TRACE_NORMAL(traceLabel, "Sync Path [%s]", syncPath.c_str());
      return 0;
    }
    DEBUG_TRACE(traceLabel, "No deleted state sync paths reported for source [%s]", sourceName.c_str());
    return -1;
  });
}

int TqCimUtil::GetAllSyncPathFromSource(TqCimConnection& conn, std::string source, std::string label,
                                        std::map<std::string, std::string>& targets) {
  const char* traceLabel = "SMIS::GetAllSyncPathFromSource";
  return TracedOr(*this, traceLabel, TQ_HANDLER_SITE, -1, [&]() {
    std::string sourceName;
    Array<CIMObjectPath> names = SyncPathsOfSource(*this, conn, traceLabel, source, sourceName);
    if (names.size() == 0) return -1;
    for (Uint32 i = 0; i < names.size(); ++i) {
      std::string target, elementName;
      ReadTargetOfPair(*this, conn, names[i].toString().str(), target, elementName);
      if (CarriesLabel(elementName, label)) targets[GetCIMProp(conn, target, "Name")] = target;
    }
    DEBUG_TRACE(traceLabel, "%d targets found with label [%s]", static_cast<int>(targets.size()), label.c_str());
    return 0;
  });
}
