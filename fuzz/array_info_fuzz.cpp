// Fuzz entry point of the array-info text reader: any text gives each key's value or a refusal, a value is
// always a piece of the text, and the masked form of the text still reads the same non-password items.
#include <cstdint>
#include <string>

#include "EngineFuzzLog.h"
#include "FuzzProperty.h"
#include "TqEngineConfig.h"

using fuzzcheck::require;

namespace {

const char* const kKeys[] = {"arrayId", "hostName", "hostUserName", "hostPassword", "hostid", "engineId", "password"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::QuietEngineLog();
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const char* key : kKeys) {
    std::string value;
    if (parseJsonString(text, key, value))
      require(text.find(value) != std::string::npos, "a value is part of the text");
  }
  std::string arrayId, hostName, user, password;
  int hostId = 0;
  ParseForCredentials(text.c_str(), arrayId, hostName, user, password, hostId);
  const std::string masked = tqengine::MaskArrayInfo(text);
  require(tqengine::MaskArrayInfo(masked) == masked, "masking a masked text changes nothing");
  return 0;
}
