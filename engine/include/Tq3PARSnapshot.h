// The snapshot object of 3PAR arrays, the one the engine builds per device: the generic operations with
// the 3PAR error table installed and the replica creation sending no target pool (the array places the
// copy itself).
#pragma once

#include "TqSnapshot.h"

// The 3PAR error table: provider codes, SMI-S codes, engine codes and texts.
extern const TQ_SMIS_SNAP::TQ_SMIS_ERROR_MAP TparSmisTqErrorMap[];

class Tq3PARSnapshot : public TQ_SMIS_SNAP::Snapshot {
 public:
  Tq3PARSnapshot();

  void SetHPErrorTable(const TQ_SMIS_SNAP::TQ_SMIS_ERROR_MAP* table) { m_ErrorMap = table; }
};
