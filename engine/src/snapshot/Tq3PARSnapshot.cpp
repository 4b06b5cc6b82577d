// The 3PAR snapshot object: built on the generic one with the 3PAR family's error table.
#include "Tq3PARSnapshot.h"

using TQ_SMIS_SNAP::TQ_SMIS_ERROR_MAP;

// The texts are the array family's own, as the host shows them.
const TQ_SMIS_ERROR_MAP TparSmisTqErrorMap[] = {
    {1, 1, -1, "SMIS internal error"},
    {3, 3, 60541, "SMIS Proivider connection timeout"},
    {4, 4, -1, "SMIS methos failed"},
    {5, 5, 60540, "Invalid Parameter for SMIS method"},
    {4096, 4096, 4096, "Backgroud Job started"},
    {4097, 4097, 60547, "Mapping failed, invalid logical unit ID"},
    {4098, 4098, 60548, "Mapping fialed, invalid initiator port ID"},
    {32768, 650001, 60542, "Source volume not found in SMIS provider"},
    {32773, 650002, 60544, "Failed to create snapshot, snapshot name already in use"},
    {32771, 650003, 60546, "Failed to create clone, previous clone operation in progress"},
    {32771, 650010, 60543, "Falied to create snapshot, maximum number of snapshots reached"},
    {32770, 650004, 60545, "Can not create snapshot using snapshot disk"},
    {32775, 650005, 60546, "Failed to create clone, previous clone operation in pending"},
    {640001, 650006, 60551, "Failed, host mappings found"},
    {640002, 650007, 650007, "mapping not found"},
    {640003, 650008, 60542, "Volume not found in SMIS provider"},
    {640004, 650013, 60552, "Diskgroup not found for snap/clone operation"},
    {640005, 650014, 60555, "CIMOM authentication failure, wrong credintials provided"},
    {640006, 650009, -1, "Insuffient parameters to proceed with SMIS method"},
    {640007, 650015, -1, "supplied parameter for SMIS method not found in provider repository"},
    {0, 0, 0, "Success"},
};

Tq3PARSnapshot::Tq3PARSnapshot() {
  SetHPErrorTable(TparSmisTqErrorMap);
  SetOpType(kOpType3PARSnapshot);
}
