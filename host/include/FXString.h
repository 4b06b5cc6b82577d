// printf-style formatting into a std::string. The result is as long as the text needs: nothing is cut.
// Outside texts must go in as "%s" arguments, never as the format.
#pragma once

#include <cstdarg>
#include <string>

#if defined(__GNUC__)
#define TQ_FXSTRING_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define TQ_FXSTRING_PRINTF_LIKE(fmtIndex, firstArg)
#endif

class FXString {
 public:
  // Empty for a null format or a formatting error.
  static std::string Format(const char* fmt, ...) TQ_FXSTRING_PRINTF_LIKE(1, 2);
  static std::string FormatV(const char* fmt, va_list args);
};
