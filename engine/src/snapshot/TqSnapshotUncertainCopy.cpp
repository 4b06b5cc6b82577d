// The copy a create may have made although it failed: an answer lost, late or malformed, a failed job, or a
// success without an id. It is looked for and removed, so that the array keeps no copy that nothing names.
#include <string>

#include "SnapshotText.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

void Snapshot::RemoveUncertainCopy(const char* label) {
  const bool looked = Guarded(label, false, [&] {
    if (m_TargetDevPath.empty()) {
      m_TargetDevPath = FindCopyByName(label);
      if (m_TargetDevPath.empty()) {
        DEBUG_TRACE_NORMAL(label, "No copy named [%s] was made\n", m_SnapName.c_str());
        return true;
      }
      m_TargetDev = CopyIdOf(m_TargetDevPath);
    }
    DEBUG_TRACE(label, "The failed create left copy %s [%s] on the array, removing it\n", m_TargetDev.c_str(),
                m_SnapName.c_str());
    if (DeleteOnArray() == TQSO::SS_DELETED) {
      DEBUG_TRACE(label, "Removed copy %s [%s] of the failed create\n", m_TargetDev.c_str(), m_SnapName.c_str());
      m_TargetDev.clear();
      m_TargetDevPath.clear();
    }
    return true;
  });
  if (!looked && m_TargetDevPath.empty())
    DEBUG_TRACE(label, "Could not look for a copy named [%s] that the failed create may have made\n",
                m_SnapName.c_str());
  if (!m_TargetDevPath.empty())
    DEBUG_TRACE(label, "Copy %s [%s] of the failed create could not be removed: %s\n", m_TargetDev.c_str(),
                m_SnapName.c_str(), m_TargetDevPath.c_str());
}

std::string Snapshot::FindCopyByName(const char* label) {
  const Pegasus::CIMObjectPath found =
      GetObjPathByPropName(m_Conn, m_SystemName, Pegasus::String("CIM_StorageVolume"), Pegasus::String("ElementName"),
                           Pegasus::String(m_SnapName.c_str()), true);
  if (found.getClassName().isNull()) return "";
  const std::string path = found.toString().str();
  // A volume of that name that is not a copy of this source belongs to someone else.
  std::string syncPath;
  if (TqCimUtil::GetSyncPathFromTargetAndSource(m_Conn, path, m_SourceDevPath, syncPath) != 0) {
    DEBUG_TRACE(label, "Volume [%s] named [%s] is no copy of the source, left alone\n", path.c_str(),
                m_SnapName.c_str());
    return "";
  }
  return path;
}

}  // namespace TQ_SMIS_SNAP
