// Number text: the reader's number grammar and the writers' 16-digit form, both locale independent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "jsonxx.h"

namespace jsonxx::detail {

// Length of the number at the start of `text`: an optional sign, digits with an optional '.' and
// fraction (at least one digit in all), and an optional exponent. 0 when no number starts there or
// when an exponent mark has no digits.
std::size_t number_prefix_length(std::string_view text);

// Converts a text accepted by number_prefix_length; false when the magnitude exceeds the largest Number.
bool text_to_number(std::string_view text, Number& value);

// 16 significant digits, the shorter of fixed and exponent notation, no trailing zeros ("%.16g").
// Near the largest Number, where 16 digits would round past it, 17 digits are written so the
// text reads back.
std::string number_to_text(Number value);

}  // namespace jsonxx::detail
