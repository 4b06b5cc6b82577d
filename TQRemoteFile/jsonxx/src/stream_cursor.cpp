#include "cursor.h"

#include <istream>
#include <iterator>

namespace jsonxx::detail {

namespace {
std::string read_rest(std::istream& input) {
  if (!input.good()) {
    return std::string();
  }
  return std::string(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
}
}  // namespace

StreamCursor::StreamCursor(std::istream& input)
    : input_(input), start_(input.good() ? static_cast<long long>(input.tellg()) : -1), cursor_(std::string_view()) {
  buffer_ = read_rest(input_);
  cursor_ = Cursor(buffer_);
}

StreamCursor::~StreamCursor() {
  if (start_ < 0) {
    input_.setstate(std::ios::eofbit);  // read to its end; nothing can be given back
    return;
  }
  input_.clear();
  input_.seekg(static_cast<std::streamoff>(start_ + static_cast<long long>(cursor_.position())));
}

}  // namespace jsonxx::detail
