#include "number_text.h"

#include <locale.h>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace jsonxx::detail {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t skip_digits(std::string_view text, std::size_t at) {
  while (at < text.size() && is_digit(text[at])) {
    ++at;
  }
  return at;
}

locale_t c_locale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

std::string format_general(Number value, int digits) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::size_t number_prefix_length(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    ++at;
  }
  const std::size_t integer_end = skip_digits(text, at);
  bool has_digits = integer_end > at;
  at = integer_end;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fraction_end = skip_digits(text, at + 1);
    has_digits = has_digits || fraction_end > at + 1;
    at = fraction_end;
  }
  if (!has_digits) {
    return 0;
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
      ++exponent;
    }
    const std::size_t exponent_end = skip_digits(text, exponent);
    if (exponent_end == exponent) {
      return 0;
    }
    at = exponent_end;
  }
  return at;
}

bool text_to_number(std::string_view text, Number& value) {
  const std::string token(text);
  char* end = nullptr;
  errno = 0;
  const Number parsed = strtod_l(token.c_str(), &end, c_locale());
  if (end != token.c_str() + token.size() || std::isinf(parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

std::string number_to_text(Number value) {
  std::string text = format_general(value, 16);
  Number back = 0;
  if (std::isfinite(value) && !text_to_number(text, back)) {
    text = format_general(value, 17);
  }
  return text;
}

}  // namespace jsonxx::detail
