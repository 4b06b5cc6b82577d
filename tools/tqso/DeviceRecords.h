// What the harness settles for each device of a job before the engine's first call: that its disk is on an
// array the job lists (the engine would fail it without a reason), and the record it carries from an
// earlier job.
#pragma once

#include <string>

#include "DiskIdentity.h"
#include "Job.h"

namespace tqso {

// False with a message naming the disk's array and the listed ones when the disk is on an array the job does
// not list; a disk whose array cannot be told passes (the engine reports it).
bool DiskArrayListed(const Job& job, size_t device, const std::string& path, const DiskIdentity& disk,
                     std::string& error);

// The engine's record the device starts with: its carried metadata, a record made from its carried copy id
// (the disk's array, else the job's only array), or empty for a new device. False when the array of a
// carried copy cannot be told.
bool CarriedRecordText(const Job& job, size_t device, const DiskIdentity& disk, std::string& record,
                       std::string& error);

}  // namespace tqso
