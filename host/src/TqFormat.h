// printf-style formatting into a std::string of whatever length the result needs.
#pragma once

#include <cstdarg>
#include <string>

namespace tqhost {

std::string formatV(const char* fmt, va_list args);

}  // namespace tqhost
