#include "LinuxHostPlatform.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "TqNumberParse.h"
#include "TqScsiInquiry.h"
#include "TqSysfs.h"

namespace TQSO {

namespace {

const char kDevPrefix[] = "/dev/";

// "sdb" from "/dev/sdb" or "sdb"; empty when the name has no usable last part.
std::string blockNameOf(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (base == "." || base == "..") return std::string();
  return base;
}

std::string portNameFrom(const std::string& text) {
  std::string name = tqhost::trimBlanks(text);
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) name.erase(0, 2);
  return name;
}

// The first "InitiatorName=" value of an initiatorname.iscsi file, whole.
std::string iscsiNameFrom(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  const std::string key = "InitiatorName=";
  while (std::getline(lines, line)) {
    const std::string trimmed = tqhost::trimBlanks(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (trimmed.compare(0, key.size(), key) == 0) return tqhost::trimBlanks(trimmed.substr(key.size()));
  }
  return std::string();
}

// One SCSI disk of the Linux host.
class LinuxScsiDevice : public tqhost::ScsiDisk {
 public:
  LinuxScsiDevice(std::string blockName, std::string nodePath, std::string sysfsDevice)
      : blockName_(std::move(blockName)), nodePath_(std::move(nodePath)), sysfsDevice_(std::move(sysfsDevice)) {}

  std::string getName() override { return blockName_; }

  int sendCdb(const unsigned char* cdb, int cdbLength, unsigned char* buffer, int bufferLength, int, int direction, int,
              int, int timeoutSeconds, CWmError* error) override {
    if (!tqhost::validCdbArguments(cdb, cdbLength, buffer, bufferLength) ||
        (direction != kDataIn && direction != kNoData)) {
      tqhost::setError(error, TqDeviceTree::kBadArgument, "invalid SCSI command arguments");
      return -1;
    }
    std::string passThroughFailure;
    const int received =
        sendThroughSgIo(cdb, cdbLength, buffer, bufferLength, direction, timeoutSeconds, passThroughFailure);
    tqhost::InquiryRequest request;
    const bool inquiry = tqhost::readInquiryCdb(cdb, cdbLength, request);
    if (received >= 0) {
      if (inquiry && !tqhost::checkInquiryAnswer(request, buffer, static_cast<size_t>(received),
                                                 static_cast<size_t>(bufferLength), error))
        return -1;
      return received;
    }
    if (!inquiry || direction != kDataIn) {
      tqhost::setError(error, 5, blockName_ + ": " + passThroughFailure);
      return -1;
    }
    return answerFromSysfs(request, buffer, static_cast<size_t>(bufferLength), passThroughFailure, error);
  }

 private:
  // Bytes received, or -1 with the reason.
  int sendThroughSgIo(const unsigned char* cdb, int cdbLength, unsigned char* buffer, int bufferLength, int direction,
                      int timeoutSeconds, std::string& failure) {
    const int fd = ::open(nodePath_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      failure = nodePath_ + ": " + std::strerror(errno);
      return -1;
    }
    unsigned char sense[64] = {0};
    sg_io_hdr_t io;
    std::memset(&io, 0, sizeof(io));
    io.interface_id = 'S';
    io.cmd_len = static_cast<unsigned char>(cdbLength);
    io.cmdp = const_cast<unsigned char*>(cdb);
    io.dxfer_direction = direction == kDataIn && bufferLength > 0 ? SG_DXFER_FROM_DEV : SG_DXFER_NONE;
    io.dxfer_len = direction == kDataIn ? static_cast<unsigned int>(bufferLength) : 0;
    io.dxferp = direction == kDataIn ? buffer : nullptr;
    io.mx_sb_len = sizeof(sense);
    io.sbp = sense;
    io.timeout = static_cast<unsigned int>(timeoutSeconds > 0 ? timeoutSeconds : 10) * 1000U;
    const int result = ::ioctl(fd, SG_IO, &io);
    const int ioctlErrno = errno;
    ::close(fd);
    if (result < 0) {
      failure = nodePath_ + ": SG_IO: " + std::strerror(ioctlErrno);
      return -1;
    }
    if ((io.info & SG_INFO_OK_MASK) != SG_INFO_OK || io.status != 0 || io.host_status != 0 || io.driver_status != 0) {
      char text[128];
      std::snprintf(text, sizeof(text), "SCSI command failed (status %u, host %u, driver %u)", io.status,
                    io.host_status, io.driver_status);
      failure = text;
      return -1;
    }
    const int received = io.dxfer_len > 0 ? static_cast<int>(io.dxfer_len) - io.resid : 0;
    const int kept = received < 0 ? 0 : received;
    if (bufferLength > kept) std::memset(buffer + kept, 0, static_cast<size_t>(bufferLength - kept));
    return kept;
  }

  int answerFromSysfs(const tqhost::InquiryRequest& request, unsigned char* buffer, size_t bufferLength,
                      const std::string& passThroughFailure, CWmError* error) {
    if (!tqhost::pathExists(sysfsDevice_)) {
      tqhost::setError(error, TqDeviceTree::kNoSuchDevice, blockName_ + ": the device is gone");
      return -1;
    }
    std::optional<std::string> data = request.vitalProductData ? vpdPage(request.page) : standardData();
    if (!data) {
      tqhost::setError(error, 5, blockName_ + ": " + passThroughFailure + "; no INQUIRY data in sysfs");
      return -1;
    }
    const std::vector<unsigned char> answer(data->begin(), data->end());
    if (!tqhost::checkInquiryAnswer(request, answer.data(), answer.size(), bufferLength, error)) return -1;
    return static_cast<int>(tqhost::deliverAnswer(answer, request, buffer, bufferLength));
  }

  std::optional<std::string> vpdPage(unsigned char page) const {
    char name[32];
    std::snprintf(name, sizeof(name), "/vpd_pg%02x", page);
    return tqhost::readFile(sysfsDevice_ + name);
  }

  std::optional<std::string> standardData() const {
    if (std::optional<std::string> raw = tqhost::readFile(sysfsDevice_ + "/inquiry")) return raw;
    std::optional<std::string> vendor = tqhost::readFile(sysfsDevice_ + "/vendor");
    std::optional<std::string> model = tqhost::readFile(sysfsDevice_ + "/model");
    if (!vendor || !model) return std::nullopt;
    const std::string revision = tqhost::trimTrailing(tqhost::readFile(sysfsDevice_ + "/rev").value_or(""));
    int32_t type = 0;
    tqhost::parseInt32(tqhost::readFile(sysfsDevice_ + "/type").value_or("0"), type);
    const std::vector<unsigned char> data = tqhost::standardInquiry(
        static_cast<unsigned char>(type), tqhost::trimTrailing(*vendor), tqhost::trimTrailing(*model), revision);
    return std::string(data.begin(), data.end());
  }

  std::string blockName_;
  std::string nodePath_;
  std::string sysfsDevice_;
};

}  // namespace

LinuxHostPlatform::LinuxHostPlatform(std::string root) : root_(std::move(root)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
  if (root_.empty()) root_ = "/";
}

std::string LinuxHostPlatform::path(const std::string& relative) const {
  return root_ == "/" ? relative : root_ + relative;
}

bool LinuxHostPlatform::initiators(std::vector<HostInitiator>& out, std::string&) {
  out.clear();
  const std::string fcHosts = path("/sys/class/fc_host");
  for (const std::string& host : tqhost::directoryEntries(fcHosts)) {
    std::optional<std::string> portName = tqhost::readFile(fcHosts + "/" + host + "/port_name");
    if (!portName) continue;
    const std::string name = portNameFrom(*portName);
    if (!name.empty()) out.push_back({name, INITIATOR_FC});
  }
  if (std::optional<std::string> file = tqhost::readFile(path("/etc/iscsi/initiatorname.iscsi"))) {
    const std::string name = iscsiNameFrom(*file);
    if (!name.empty()) out.push_back({name, INITIATOR_ISCSI});
  }
  return true;
}

bool LinuxHostPlatform::blockDevices(std::vector<HostBlockDevice>& out, std::string& error) {
  out.clear();
  const std::string blockDirectory = path("/sys/block");
  if (!tqhost::pathExists(blockDirectory)) {
    error = blockDirectory + " cannot be read";
    return false;
  }
  for (const std::string& name : tqhost::directoryEntries(blockDirectory)) {
    const std::string device = blockDirectory + "/" + name + "/device";
    std::optional<std::string> vendor = tqhost::readFile(device + "/vendor");
    std::optional<std::string> model = tqhost::readFile(device + "/model");
    if (!vendor || !model) continue;  // not SCSI, or gone while listing
    out.push_back({kDevPrefix + name, tqhost::trimTrailing(*vendor), tqhost::trimTrailing(*model)});
  }
  return true;
}

bool LinuxHostPlatform::rescan(const std::vector<std::string>&, const std::vector<std::string>& devicesToDelete,
                               std::string& error) {
  bool ok = true;
  for (const std::string& device : devicesToDelete) {
    const std::string name = blockNameOf(device);
    std::string failure;
    if (name.empty() || !tqhost::writeExistingFile(path("/sys/block/" + name + "/device/delete"), "1", failure)) {
      error += (error.empty() ? "" : "; ") + (name.empty() ? "bad device name " + device : failure);
      ok = false;
    }
  }
  const std::string scsiHosts = path("/sys/class/scsi_host");
  for (const std::string& host : tqhost::directoryEntries(scsiHosts)) {
    std::string failure;
    if (!tqhost::writeExistingFile(scsiHosts + "/" + host + "/scan", "- - -", failure)) {
      error += (error.empty() ? "" : "; ") + failure;
      ok = false;
    }
  }
  return ok;
}

SP<TqDevice> LinuxHostPlatform::openDevice(const std::string& name, CWmError* error) {
  const std::string blockName = blockNameOf(name);
  if (blockName.empty()) {
    tqhost::setError(error, TqDeviceTree::kBadArgument, "invalid device name '" + name + "'");
    return nullptr;
  }
  const std::string sysfsDevice = path("/sys/block/" + blockName + "/device");
  const std::string node =
      root_ == "/" && !name.empty() && name[0] == '/' ? name : path(std::string(kDevPrefix) + blockName);
  if (!tqhost::pathExists(node) && !tqhost::pathExists(sysfsDevice)) {
    tqhost::setError(error, TqDeviceTree::kNoSuchDevice, "no such device '" + name + "'");
    return nullptr;
  }
  return new LinuxScsiDevice(blockName, node, sysfsDevice);
}

}  // namespace TQSO
