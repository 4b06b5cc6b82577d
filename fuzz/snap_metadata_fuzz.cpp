// Fuzz entry point of the snapshot metadata string: any text is a record or refused, and a record read
// from a text is written and read back unchanged.
#include <cstdint>
#include <string>

#include "EngineFuzzLog.h"
#include "FuzzProperty.h"
#include "TqSnapMetadata.h"

using fuzzcheck::require;

namespace {

bool SameRecord(const _TQ3PAR_SnapMetadata& a, const _TQ3PAR_SnapMetadata& b) {
  return a.arrayId == b.arrayId && a.snapOp == b.snapOp && a.snapServicePath == b.snapServicePath &&
         a.srcDev == b.srcDev && a.srcDevPath == b.srcDevPath && a.targetDGpath == b.targetDGpath &&
         a.targetDev == b.targetDev && a.targetDevPath == b.targetDevPath && a.childdev == b.childdev &&
         a.childdevpath == b.childdevpath && a.version == b.version && a.flags == b.flags;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::QuietEngineLog();
  const std::string text(reinterpret_cast<const char*>(data), size);
  _TQ3PAR_SnapMetadata record;
  if (!ParseMetadata(text.c_str(), record)) return 0;
  std::string written;
  ConstructMetadata(record, written);
  _TQ3PAR_SnapMetadata back;
  require(ParseMetadata(written.c_str(), back), "a written record reads back");
  require(SameRecord(record, back), "a record reads back unchanged");
  std::string again;
  ConstructMetadata(back, again);
  require(again == written, "a record's text is stable");
  return 0;
}
