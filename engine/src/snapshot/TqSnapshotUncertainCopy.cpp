// The copy a create may have made although it failed: its answer lost, late, spoiled or malformed, its job
// ended in error, or a success without an id. Snapshot names are often reused, so only a copy this create
// made is removed: the source's copies are listed before the create, and one on that list (an older copy of
// the same name) is never touched. What cannot be settled is noted for the device's error, so that no copy
// stays on the array with nothing naming it.
#include <string>
#include <vector>

#include "SnapshotText.h"
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

const char* const kSyncClass = "CIM_StorageSynchronized";
const char* const kVolumeClass = "CIM_StorageVolume";

bool Holds(const Pegasus::Array<Pegasus::CIMObjectPath>& list, const Pegasus::CIMObjectPath& volume) {
  for (Pegasus::Uint32 i = 0; i < list.size(); ++i)
    if (Pegasus::refersToSameObject(list[i], volume)) return true;
  return false;
}

}  // namespace

void Snapshot::UseCopiesBefore(const std::string& sourcePath, const Pegasus::Array<Pegasus::CIMObjectPath>& copies) {
  m_CopiesBeforeSource = sourcePath;
  m_CopiesBefore = copies;
}

bool Snapshot::CopiesBeforeKnown() const {
  return !m_CopiesBeforeSource.empty() && m_CopiesBeforeSource == m_SourceDevPath;
}

void Snapshot::ForgetCopiesBefore() {
  m_CopiesBeforeSource.clear();
  m_CopiesBefore.clear();
}

bool Snapshot::ReadCopiesOfSource(const char* label, Pegasus::Array<Pegasus::CIMObjectPath>& copies) {
  return Guarded(label, false, [&] {
    Pegasus::CIMObjectPath source{Pegasus::String(m_SourceDevPath)};
    copies = m_Conn.GetAssociatorNames(source, kSyncClass, kVolumeClass, "", "");
    // A refused login reads as an empty list: that is no list.
    return !m_Conn.m_AuthFailure;
  });
}

void Snapshot::ListCopiesBefore(const char* label) {
  if (CopiesBeforeKnown()) {
    DEBUG_TRACE_NORMAL(label, "The source had %u copies before the create, as the child check read them\n",
                       static_cast<unsigned>(m_CopiesBefore.size()));
    return;
  }
  ForgetCopiesBefore();
  Pegasus::Array<Pegasus::CIMObjectPath> copies;
  if (!ReadCopiesOfSource(label, copies)) {
    DEBUG_TRACE(label, "The copies of the source could not be listed before the create\n");
    return;
  }
  UseCopiesBefore(m_SourceDevPath, copies);
}

void Snapshot::SettleUncertainCopy(const char* label, SmisCallOutcome outcome) {
  const bool listed = CopiesBeforeKnown();
  std::vector<std::string> made, unsure;
  const bool looked = Guarded(label, false, [&] { return FindCopiesOfTheCreate(label, listed, made, unsure); });
  m_TargetDev.clear();
  m_TargetDevPath.clear();
  if (!looked) {
    NoteUnsettledCopy(label, FormatText("Copy [%s] may be on the storage array: the clean-up of its failed create "
                                        "could not look for it; if a copy of that name that no record names is "
                                        "there, remove it",
                                        m_SnapName.c_str()));
    return;
  }
  // Which of several new copies of the name this create made cannot be told.
  if (made.size() > 1) {
    unsure.insert(unsure.end(), made.begin(), made.end());
    made.clear();
  }
  if (made.size() == 1) RemoveCopyOfTheCreate(label, made[0]);
  if (!unsure.empty()) {
    std::string ids;
    for (const std::string& path : unsure) ids += (ids.empty() ? "" : ", ") + CopyIdOf(path);
    NoteUnsettledCopy(label, FormatText("Copy [%s] named [%s] is on the storage array: its failed create may have "
                                        "made it, or it is an older copy of that name, so it was left there",
                                        ids.c_str(), m_SnapName.c_str()));
  } else if (made.empty() && outcome == SmisCallOutcome::kNoAnswer) {
    // The provider may still be working on the request.
    NoteUnsettledCopy(label, FormatText("Copy [%s] may yet appear on the storage array: its create got no "
                                        "answer; if a copy of that name that no record names appears, remove it",
                                        m_SnapName.c_str()));
  } else if (made.empty()) {
    DEBUG_TRACE_NORMAL(label, "No copy named [%s] was made\n", m_SnapName.c_str());
  }
}

bool Snapshot::FindCopiesOfTheCreate(const char* label, bool listed, std::vector<std::string>& made,
                                     std::vector<std::string>& unsure) {
  if (!m_TargetDevPath.empty()) {
    // The array named the copy it made.
    if (listed && Holds(m_CopiesBefore, Pegasus::CIMObjectPath(Pegasus::String(m_TargetDevPath))))
      DEBUG_TRACE(label, "The array named copy [%s], which was there before the create; left alone\n",
                  m_TargetDevPath.c_str());
    else
      made.push_back(m_TargetDevPath);
    return true;
  }
  Pegasus::Array<Pegasus::CIMObjectPath> copies;
  if (!ReadCopiesOfSource(label, copies)) return false;
  for (Pegasus::Uint32 i = 0; i < copies.size(); ++i) {
    if (listed && Holds(m_CopiesBefore, copies[i])) continue;
    Pegasus::CIMInstance copy = m_Conn.GetInstance(copies[i]);
    // Exact, case included: a copy of another name is another copy.
    if (GetCIMProp(copy, "ElementName") != m_SnapName) continue;
    (listed ? made : unsure).push_back(copies[i].toString().str());
  }
  if (listed)
    DEBUG_TRACE_NORMAL(label, "%u copies of the source were there before the create and are left alone\n",
                       static_cast<unsigned>(m_CopiesBefore.size()));
  return true;
}

void Snapshot::RemoveCopyOfTheCreate(const char* label, const std::string& path) {
  m_TargetDevPath = path;
  m_TargetDev = CopyIdOf(path);
  DEBUG_TRACE(label, "The failed create left copy %s [%s] on the array, removing it\n", m_TargetDev.c_str(),
              m_SnapName.c_str());
  if (DeleteOnArray() == TQSO::SS_DELETED) {
    DEBUG_TRACE(label, "Removed copy %s [%s] of the failed create\n", m_TargetDev.c_str(), m_SnapName.c_str());
    m_TargetDev.clear();
    m_TargetDevPath.clear();
    return;
  }
  DEBUG_TRACE(label, "Copy %s [%s] of the failed create could not be removed: %s\n", m_TargetDev.c_str(),
              m_SnapName.c_str(), m_TargetDevPath.c_str());
}

void Snapshot::NoteUnsettledCopy(const char* label, const std::string& note) {
  m_UnsettledCopyNote = note;
  DEBUG_TRACE(label, "%s\n", note.c_str());
}

}  // namespace TQ_SMIS_SNAP
