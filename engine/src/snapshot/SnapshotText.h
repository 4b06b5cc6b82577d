// Message texts of the snapshot operations, formatted whole (the values come from the array and the host,
// so nothing is cut).
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "EvDebug.h"  // TQ_PRINTF_LIKE
#include "TqSnapshot.h"

namespace TQ_SMIS_SNAP {

inline std::string FormatText(const char* format, ...) TQ_PRINTF_LIKE(1, 2);
inline std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

// The catch texts of the lookups and host-group operations of 3PAR arrays.
const CatchTexts kCaughtTexts = {"%s: %d: Caught CIMException: %s: %s", "%s: %d: Caught Exception: %s",
                                 "Caught unknown Exception"};
// Those of the remote-copy group operations, of the synchronization checks, and of the resynchronization.
const CatchTexts kCopyGroupCaughtTexts = {"%s: %d: [ERROR] unable to Create copy group. Caught CIMException: %s: %s",
                                          "[ERROR] unable to Create copy group  %s: %d: Caught Exception: %s",
                                          "[ERROR] unable to Create copy groupCaught unknown Exception"};
const CatchTexts kSyncGroupCaughtTexts = {"%s: %d: [ERROR] unable to Sync-Group. Caught CIMException: %s: %s",
                                          "[ERROR] unable to Sync-Group  %s: %d: Caught Exception: %s",
                                          "[ERROR] unable to Sync-Group Caught unknown Exception"};

// True when an optional output text holds a value ("null" marks none).
inline bool HoldsValue(const std::vector<std::string>& out, std::size_t index) {
  return index < out.size() && out[index].find("null") == std::string::npos;
}

}  // namespace TQ_SMIS_SNAP
