#include "FXString.h"

#include "TqFormat.h"

std::string FXString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  return text;
}

std::string FXString::FormatV(const char* fmt, va_list args) { return tqhost::formatV(fmt, args); }
