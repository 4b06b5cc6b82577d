// Numbers read from texts of the array (firmware version fields).
#pragma once

#include <string>

// Reads a number the way a standard input stream does: leading white space skipped, decimal digits up to
// the first other character. A text that does not begin with a number gives 0; a number above the type's
// range gives its largest value.
template <class T>
T str2num(const std::string& text);

template <>
unsigned short str2num<unsigned short>(const std::string& text);
