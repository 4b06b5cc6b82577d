// Reading a LUN's request from the host's record, the volume-name rule, and failing a LUN.
#include "ProvisioningLun.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <vector>

#include "TQPassword.h"

namespace {

const char kCredentialsTag[] = "TQProvEngine3PAR::GetCredentialsAndLunInfo";
const short kLunTextCapacity = 512;

// A text getter of the record, asked with the engine's usual buffer and, when the host says the text does
// not fit, once more with the largest buffer a 16-bit length allows, so that no text is cut.
template <class Getter>
bool ReadLunText(Getter&& getter, std::string& text) {
  for (short capacity : {kLunTextCapacity, static_cast<short>(SHRT_MAX)}) {
    std::vector<char> buffer(static_cast<size_t>(capacity) + 1, '\0');
    short length = capacity;
    const int result = getter(buffer.data(), &length);
    if (result == TQSO::LUNInfo::kOk) {
      text.assign(buffer.data());
      return true;
    }
    if (result != TQSO::LUNInfo::kBufferTooSmall) break;
  }
  text.clear();
  return false;
}

bool Decipher(const std::string& enciphered, std::string& password) {
  TQPassword cipher;
  std::vector<char> buffer(kLunTextCapacity, '\0');
  unsigned long length = buffer.size();
  if (cipher.decrypt(enciphered.c_str(), buffer.data(), &length) == 0) {
    if (length <= buffer.size()) return false;
    buffer.assign(length, '\0');  // a longer password than the usual buffer holds
    if (cipher.decrypt(enciphered.c_str(), buffer.data(), &length) == 0) return false;
  }
  password.assign(buffer.data());
  return true;
}

void LogRead(bool read, unsigned long long jobId, const char* success, const std::string& shown, const char* failure) {
  if (read)
    o_logger.DebugLvl(kCredentialsTag, 0, jobId, success, shown.c_str());
  else
    o_logger.DebugLvl(kCredentialsTag, -1, jobId, "%s", failure);
}

}  // namespace

bool GetCredentialsAndLunInfo(TQSO::LUNInfo* lun, tqengine::LunRequest& request, unsigned long long jobId) {
  request = tqengine::LunRequest();
  bool read = ReadLunText([&](char* b, short* l) { return lun->getArrayName(b, l); }, request.arrayName);
  std::transform(request.arrayName.begin(), request.arrayName.end(), request.arrayName.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  LogRead(read, jobId, "Array Name [%s]", request.arrayName, "Falied to get Array Name");
  read = ReadLunText([&](char* b, short* l) { return lun->getArrayControlHost(b, l); }, request.controlHost);
  LogRead(read, jobId, "Array Control Host [%s]", request.controlHost, "Falied to get Array Control Host");
  read = ReadLunText([&](char* b, short* l) { return lun->getArrayLogin(b, l); }, request.login);
  LogRead(read, jobId, "Array Login [%s]", request.login, "Falied to get Array Login");
  read = ReadLunText([&](char* b, short* l) { return lun->getArrayPassword(b, l); }, request.encipheredPassword);
  LogRead(read, jobId, "Array Password [%s]", "*****", "Falied to get Array Password");
  read = ReadLunText([&](char* b, short* l) { return lun->getVolumeName(b, l); }, request.volumeName);
  LogRead(read, jobId, "Array Volume name [%s]", request.volumeName, "Falied to get Array volume name");
  read = ReadLunText([&](char* b, short* l) { return lun->getPoolName(b, l); }, request.poolName);
  LogRead(read, jobId, "Array Pool name [%s]", request.poolName, "Falied to get Array Pool Name");

  long size = 0;
  if (lun->getVolumeSize(size) == 0) {
    request.sizeBytes = size;
    o_logger.DebugLvl(kCredentialsTag, 0, jobId, "Array Volume size [%llu]", static_cast<unsigned long long>(size));
  } else {
    o_logger.DebugLvl(kCredentialsTag, -1, jobId, "Falied to get volume Size");
  }
  return Decipher(request.encipheredPassword, request.password);
}

bool isVolumeNameValid(std::string name, unsigned long long jobId) {
  const char* failure = nullptr;
  if (name.empty()) {
    failure = "Invalid parameters. Volume name is empty";
  } else if (name[0] == '-') {
    failure = "Volume Name contains invalid characters. Volume Name cannot begin with a hyphen.";
  } else if (name.size() > 31) {
    failure = "Volume Name contains invalid characters. Volume Name must be 1 to 31 length";
  } else if (!std::all_of(name.begin(), name.end(),
                          [](unsigned char c) { return std::isalnum(c) != 0 || c == '.' || c == '-' || c == '_'; })) {
    failure =
        "Volume Name contains invalid characters. Volume name is a sequence of alphanumeric characters including "
        "hyphen, period, and underscore";
  }
  if (failure == nullptr) return true;
  o_logger.DebugLvl("TQProvEngine3PAR::isVolumeNameValid", -1, jobId, "%s", failure);
  return false;
}

namespace tqengine {

void FailLun(const char* tag, TQSO::LUNInfo* lun, unsigned long long jobId, const char* text) {
  o_logger.DebugLvl(tag, -1, jobId, "%s", text);
  lun->setError(kLunError, text);
}

}  // namespace tqengine
