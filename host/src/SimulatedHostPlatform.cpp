#include "SimulatedHostPlatform.h"

#include <cctype>
#include <mutex>

#include "TqScsiInquiry.h"

namespace TQSO {

const char* const SimulatedHostPlatform::kVendor = "3PARdata";
const char* const SimulatedHostPlatform::kProduct = "VV";

namespace {

// Linux-style disk letters: 0 -> "a", 25 -> "z", 26 -> "aa".
std::string diskLetters(long long number) {
  std::string letters;
  long long value = number + 1;
  while (value > 0) {
    --value;
    letters.insert(letters.begin(), static_cast<char>('a' + value % 26));
    value /= 26;
  }
  return letters;
}

std::string upper(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace

class SimulatedHostPlatform::DeviceTable {
 public:
  // Makes the visible devices those of the answer; a device name stays with its WWN.
  void replace(const std::vector<ExposedVolume>& exposed) {
    std::lock_guard<std::mutex> hold(mutex_);
    std::map<std::string, ExposedVolume> visible;
    for (ExposedVolume volume : exposed) {
      volume.wwn = upper(volume.wwn);
      if (!volume.wwn.empty()) visible[pathForWwnLocked(volume.wwn)] = volume;
    }
    visible_ = std::move(visible);
  }
  void remove(const std::vector<std::string>& paths) {
    std::lock_guard<std::mutex> hold(mutex_);
    ++rescans_;
    for (const std::string& path : paths) visible_.erase(path);
  }
  bool find(const std::string& path, ExposedVolume& volume) const {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = visible_.find(path);
    if (found == visible_.end()) return false;
    volume = found->second;
    return true;
  }
  bool isVisible(const std::string& path, const std::string& wwn) const {
    ExposedVolume volume;
    return find(path, volume) && volume.wwn == wwn;
  }
  std::map<std::string, ExposedVolume> visible() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return visible_;
  }
  long long rescans() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return rescans_;
  }

 private:
  std::string pathForWwnLocked(const std::string& wwn) {
    const auto found = pathByWwn_.find(wwn);
    if (found != pathByWwn_.end()) return found->second;
    const std::string path = "/dev/sd" + diskLetters(nextDeviceNumber_++);
    pathByWwn_[wwn] = path;
    return path;
  }

  mutable std::mutex mutex_;
  std::map<std::string, std::string> pathByWwn_;
  std::map<std::string, ExposedVolume> visible_;  // by path
  long long nextDeviceNumber_ = 0;
  long long rescans_ = 0;
};

namespace {

class SimulatedScsiDevice : public tqhost::ScsiDisk {
 public:
  SimulatedScsiDevice(std::shared_ptr<const SimulatedHostPlatform::DeviceTable> table, std::string path,
                      ExposedVolume volume)
      : table_(std::move(table)), path_(std::move(path)), volume_(std::move(volume)) {}

  std::string getName() override { return path_.substr(path_.find_last_of('/') + 1); }

  int sendCdb(const unsigned char* cdb, int cdbLength, unsigned char* buffer, int bufferLength, int, int direction, int,
              int, int, CWmError* error) override {
    if (!tqhost::validCdbArguments(cdb, cdbLength, buffer, bufferLength)) {
      tqhost::setError(error, TqDeviceTree::kBadArgument, "invalid SCSI command arguments");
      return -1;
    }
    if (!table_->isVisible(path_, volume_.wwn)) {
      tqhost::setError(error, TqDeviceTree::kNoSuchDevice, path_ + ": the device is gone");
      return -1;
    }
    tqhost::InquiryRequest request;
    if (!tqhost::readInquiryCdb(cdb, cdbLength, request) || direction != kDataIn) {
      tqhost::setError(error, 5, path_ + ": only INQUIRY is simulated");
      return -1;
    }
    std::vector<unsigned char> answer;
    if (!request.vitalProductData)
      answer = tqhost::standardInquiry(0, SimulatedHostPlatform::kVendor, SimulatedHostPlatform::kProduct, "3212");
    else if (request.page == tqhost::kDeviceIdentificationPage)
      answer = tqhost::deviceIdentificationPage(volume_.wwn);
    else if (request.page == 0x00)
      answer = {0x00, 0x00, 0x00, 0x02, 0x00, tqhost::kDeviceIdentificationPage};
    if (answer.empty()) {
      tqhost::setError(error, 5, path_ + ": VPD page not supported");
      return -1;
    }
    return static_cast<int>(tqhost::deliverAnswer(answer, request, buffer, static_cast<size_t>(bufferLength)));
  }

 private:
  std::shared_ptr<const SimulatedHostPlatform::DeviceTable> table_;
  std::string path_;
  ExposedVolume volume_;
};

}  // namespace

SimulatedHostPlatform::SimulatedHostPlatform(std::vector<HostInitiator> ports,
                                             std::shared_ptr<TqExposureSource> exposures)
    : ports_(std::move(ports)), exposures_(std::move(exposures)), table_(std::make_shared<DeviceTable>()) {}

bool SimulatedHostPlatform::initiators(std::vector<HostInitiator>& out, std::string&) {
  out = ports_;
  return true;
}

bool SimulatedHostPlatform::blockDevices(std::vector<HostBlockDevice>& out, std::string&) {
  out.clear();
  for (const auto& item : table_->visible()) out.push_back({item.first, kVendor, kProduct});
  return true;
}

bool SimulatedHostPlatform::rescan(const std::vector<std::string>&, const std::vector<std::string>& devicesToDelete,
                                   std::string& error) {
  table_->remove(devicesToDelete);
  if (!exposures_) {
    error = "the simulated host has no array to ask";
    return false;
  }
  std::vector<std::string> portNames;
  for (const HostInitiator& port : ports_) portNames.push_back(port.name);
  std::vector<ExposedVolume> exposed;
  if (!exposures_->exposedTo(portNames, exposed, error)) return false;
  table_->replace(exposed);
  return true;
}

SP<TqDevice> SimulatedHostPlatform::openDevice(const std::string& name, CWmError* error) {
  const std::string path = name.compare(0, 5, "/dev/") == 0 ? name : "/dev/" + name;
  ExposedVolume volume;
  if (!table_->find(path, volume)) {
    tqhost::setError(error, TqDeviceTree::kNoSuchDevice, "no such device '" + name + "'");
    return nullptr;
  }
  return new SimulatedScsiDevice(table_, path, volume);
}

std::map<std::string, ExposedVolume> SimulatedHostPlatform::visibleDevices() const { return table_->visible(); }

long long SimulatedHostPlatform::rescanCount() const { return table_->rescans(); }

}  // namespace TQSO
