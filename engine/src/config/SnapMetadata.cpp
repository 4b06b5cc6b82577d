#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "EvDebug.h"
#include "TqSnapMetadata.h"

namespace {

const char kSeparator = '*';
const size_t kFieldsOfOlderWriter = 10;  // nine separators
const size_t kTextFields = 10;

// The field line both the writer and the reader log (targetDev, targetDevpath and targetDGpath in that
// order on purpose: it is the line the host's support tools know).
void LogFields(const char* tag, const _TQ3PAR_SnapMetadata& r) {
  o_logger.DebugLvl(tag, 3,
                    "[version - %u] [arrayId = %s] [snapOp = %s] [snapServicePath = %s] [srcDev = %s],[srcDevPath = "
                    "%s] [targetDev = %s] [targetDevpath = %s] [targetDGpath = %s] [childdev = %s] [childdevpath = "
                    "%s] [Flags = 0x%X]",
                    r.version, r.arrayId.c_str(), r.snapOp.c_str(), r.snapServicePath.c_str(), r.srcDev.c_str(),
                    r.srcDevPath.c_str(), r.targetDev.c_str(), r.targetDevPath.c_str(), r.targetDGpath.c_str(),
                    r.childdev.c_str(), r.childdevpath.c_str(), r.flags);
}

// The text fields in the order of the text.
template <class Record>
std::array<decltype(&std::declval<Record&>().arrayId), kTextFields> TextFields(Record& r) {
  return {&r.arrayId,      &r.snapOp,    &r.snapServicePath, &r.srcDev,   &r.srcDevPath,
          &r.targetDGpath, &r.targetDev, &r.targetDevPath,   &r.childdev, &r.childdevpath};
}

// The leading decimal number of a field as the C conversion reads it (blanks, an optional sign, digits),
// checked: 0 when there are no digits, the number is negative or it does not fit 32 bits.
uint32_t LeadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t value = 0;
  bool digits = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    digits = true;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > UINT32_MAX) return 0;
  }
  if (!digits || (negative && value != 0)) return 0;
  return static_cast<uint32_t>(value);
}

}  // namespace

void ConstructMetadata(const _TQ3PAR_SnapMetadata& record, std::string& out) {
  const auto fields = TextFields(record);
  out = *fields[0];
  for (size_t i = 1; i < kTextFields; ++i) out += kSeparator + *fields[i];
  out += kSeparator + std::to_string(record.version);
  out += kSeparator + std::to_string(record.flags);
  LogFields("ConstructMetadata", record);
  o_logger.DebugLvl("ConstructMetadata", 3, "Metadata-String [%s]", out.c_str());
}

bool ParseMetadata(const char* text, _TQ3PAR_SnapMetadata& record) {
  const char* tag = "3PAR-ParseMetadata";
  o_logger.DebugLvl(tag, 3, "Metadata-String** [%s]", text != nullptr ? text : "(null)");
  if (text == nullptr) return false;

  // Split at the first eleven separators; everything after the eleventh stays in the last piece.
  const std::string copy = text;
  std::vector<std::string> pieces;
  size_t start = 0;
  while (pieces.size() < kTextFields + 1) {
    const size_t separator = copy.find(kSeparator, start);
    if (separator == std::string::npos) break;
    pieces.push_back(copy.substr(start, separator - start));
    start = separator + 1;
  }
  pieces.push_back(copy.substr(start));

  const size_t pieceCount = pieces.size();
  if (pieceCount != kFieldsOfOlderWriter && pieceCount != kTextFields + 2) {
    o_logger.DebugLvl(tag, -1, "Invalid unique identifier [%s]", text);
    return false;
  }
  const auto fields = TextFields(record);
  for (size_t i = 0; i < kTextFields; ++i) *fields[i] = pieces[i];
  if (pieceCount == kTextFields + 2) {
    record.version = LeadingNumber(pieces[10]);
    record.flags = LeadingNumber(pieces[11]);
  }
  o_logger.DebugLvl(tag, 3, "Metadata-String [%s]", text);
  LogFields(tag, record);
  return true;
}
