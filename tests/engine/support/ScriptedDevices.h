// A device tree for identification tests: devices whose INQUIRY answers are given by the test (standard
// data, page 0x83, a failing command, no SCSI interface), with a count of the commands each received.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TqDeviceTree.h"

namespace enginetest {

struct ScriptedDevice {
  std::vector<unsigned char> standard;  // empty: the command fails
  std::vector<unsigned char> page83;    // empty: the command fails
  bool scsi = true;
};

// Standard INQUIRY data with the vendor and product fields blank-padded (or cut) to 8 and 16 bytes.
inline std::vector<unsigned char> StandardData(const std::string& vendor, const std::string& product) {
  std::vector<unsigned char> data(36, 0);
  for (size_t i = 0; i < 8; ++i) data[8 + i] = i < vendor.size() ? vendor[i] : ' ';
  for (size_t i = 0; i < 16; ++i) data[16 + i] = i < product.size() ? product[i] : ' ';
  return data;
}

// Page 0x83 with one designator of the given type (3 NAA) holding the WWN's bytes.
inline std::vector<unsigned char> Page83(const std::string& wwnHex, unsigned char designatorType = 3) {
  const size_t idLength = wwnHex.size() / 2;
  std::vector<unsigned char> page(8 + idLength, 0);
  page[1] = 0x83;
  page[3] = static_cast<unsigned char>(4 + idLength);
  page[4] = 1;  // binary
  page[5] = designatorType;
  page[7] = static_cast<unsigned char>(idLength);
  for (size_t i = 0; i < idLength; ++i)
    page[8 + i] = static_cast<unsigned char>(std::stoi(wwnHex.substr(2 * i, 2), nullptr, 16));
  return page;
}

class ScriptedDevices : public TqDeviceSource {
 public:
  void add(const std::string& name, ScriptedDevice device) {
    std::lock_guard<std::mutex> hold(mutex_);
    devices_[name] = std::move(device);
  }
  int commands() const { return commands_; }

  SP<TqDevice> openDevice(const std::string& name, CWmError* error) override {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = devices_.find(name);
    if (found == devices_.end()) {
      if (error != nullptr) *error = CWmError(TqDeviceTree::kNoSuchDevice, "no device " + name);
      return nullptr;
    }
    return SP<TqDevice>(new Device(name, found->second, commands_));
  }

 private:
  class Device : public TqDevice, public TqDeviceScsiIface {
   public:
    Device(std::string name, ScriptedDevice script, std::atomic<int>& commands)
        : name_(std::move(name)), script_(std::move(script)), commands_(commands) {}
    std::string getName() override { return name_.substr(name_.find_last_of('/') + 1); }
    TqDeviceScsiIface* findInterface(const char*) override { return script_.scsi ? this : nullptr; }
    int sendCdb(const unsigned char* cdb, int, unsigned char* buffer, int bufferLength, int, int, int, int, int,
                CWmError* error) override {
      ++commands_;
      const std::vector<unsigned char>& answer = (cdb[1] & 1) ? script_.page83 : script_.standard;
      if (answer.empty()) {
        if (error != nullptr) *error = CWmError(5, "scripted failure of " + name_);
        return -1;
      }
      std::fill(buffer, buffer + bufferLength, 0);
      const size_t count = std::min(answer.size(), static_cast<size_t>(bufferLength));
      std::copy(answer.begin(), answer.begin() + count, buffer);
      return static_cast<int>(count);
    }

   private:
    std::string name_;
    ScriptedDevice script_;
    std::atomic<int>& commands_;
  };

  std::mutex mutex_;
  std::map<std::string, ScriptedDevice> devices_;
  std::atomic<int> commands_{0};
};

}  // namespace enginetest
