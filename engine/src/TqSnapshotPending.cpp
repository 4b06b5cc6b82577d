// Operations of the snapshot object whose array actions are not built yet. Each answers its failure
// result without touching the array and says so in the trace.
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

namespace {

void NotBuilt(Snapshot& object, const char* label) {
  object.DEBUG_TRACE(label, "Not built yet: the operation fails without reaching the array\n");
}

}  // namespace

// NOT BUILT YET: presenting a copy to host initiators.
int Snapshot::MapSnap() {
  NotBuilt(*this, "Snapshot::MapSnap");
  return 1;
}

// NOT BUILT YET: withdrawing a copy from host initiators.
int Snapshot::UnmapSnap() {
  NotBuilt(*this, "Snapshot::UnmapSnap");
  return 1;
}

// NOT BUILT YET: the mapping state of a copy.
int Snapshot::IsSnapMapped() {
  NotBuilt(*this, "Snapshot::IsSnapMapped");
  return 0;
}

}  // namespace TQ_SMIS_SNAP
