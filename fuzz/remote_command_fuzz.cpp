// Fuzz entry point of the remote-proxy texts: the command (version, message id, device index) and the map
// parameter (host group, flags, ports). Any text is read or refused; what is read is written and read
// back to the same values.
#include <cstdint>
#include <string>

#include "EngineFuzzLog.h"
#include "FuzzProperty.h"
#include "TqRemoteProxy.h"

using fuzzcheck::require;

namespace {

void CheckCommand(std::string text) {
  int messageId = 0;
  int deviceIndex = 0;
  if (!ExtractCommandParameter(text, messageId, deviceIndex)) return;
  std::string written;
  if (!GetRemoteCommandParameter(messageId, deviceIndex, written)) return;  // a value too wide for its field
  int messageBack = 0;
  int indexBack = 0;
  require(ExtractCommandParameter(written, messageBack, indexBack), "a written command reads back");
  require(messageBack == messageId && indexBack == deviceIndex, "a command reads back to the same numbers");
}

void CheckMapParameter(std::string text) {
  std::string group, ports;
  bool iscsi = false;
  bool snapshotVolumes = false;
  if (!ExtractRemoteMapParameter(text, group, ports, iscsi, snapshotVolumes)) return;
  std::string written;
  require(GetRemoteMapParameter(ports, group, iscsi, snapshotVolumes, written), "a group read from a field fits it");
  std::string groupBack, portsBack;
  bool iscsiBack = false;
  bool snapshotBack = false;
  require(ExtractRemoteMapParameter(written, groupBack, portsBack, iscsiBack, snapshotBack),
          "a written map parameter reads back");
  require(groupBack == group && portsBack == ports && iscsiBack == iscsi && snapshotBack == snapshotVolumes,
          "a map parameter reads back to the same values");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::QuietEngineLog();
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckCommand(text);
  CheckMapParameter(text);
  return 0;
}
