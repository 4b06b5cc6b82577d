#include "DeviceRecords.h"

#include "CopyRecord.h"

namespace tqso {

namespace {

const int kCloneEngine = 26;

std::string DeviceName(size_t device) { return "devices[" + std::to_string(device) + "]"; }

}  // namespace

bool DiskArrayListed(const Job& job, size_t device, const std::string& path, const DiskIdentity& disk,
                     std::string& error) {
  if (disk.array.empty() || ListsArray(job, disk.array)) return true;
  error = DeviceName(device) + " (" + path + ") is a disk of array " + disk.array +
          ", which the job does not list (it lists " + ListedArrays(job) + ")";
  return false;
}

bool CarriedRecordText(const Job& job, size_t device, const DiskIdentity& disk, std::string& record,
                       std::string& error) {
  const DeviceSpec& spec = job.devices[device];
  record = spec.metadata;
  if (spec.copy.empty()) return true;
  KnownCopy known;
  known.array = !disk.array.empty() ? disk.array : (job.arrays.size() == 1 ? job.arrays[0].id : "");
  if (known.array.empty()) {
    error = DeviceName(device) + ".copy: the array of the device's disk cannot be told and the job lists " +
            std::to_string(job.arrays.size()) + " arrays; give the device's metadata instead";
    return false;
  }
  known.source = disk.wwn;
  known.copy = spec.copy;
  known.clone = job.engineId == kCloneEngine;
  record = RecordOfCopy(known);
  return true;
}

}  // namespace tqso
