// A read position over a byte buffer, with unlimited rewind. The readers work on this instead of
// putting characters back into a stream, so a failed token can always be restored exactly and no
// read ever goes past the end of the input.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace jsonxx::detail {

class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool at_end() const { return pos_ >= text_.size(); }
  // The byte `ahead` places after the position, as 0..255; -1 past the end.
  int peek(std::size_t ahead = 0) const {
    return ahead < text_.size() - pos_ ? static_cast<unsigned char>(text_[pos_ + ahead]) : -1;
  }
  // Consumes and returns the next byte; -1 at the end (nothing consumed).
  int get() { return at_end() ? -1 : static_cast<unsigned char>(text_[pos_++]); }
  void advance(std::size_t count) { pos_ += count < text_.size() - pos_ ? count : text_.size() - pos_; }
  std::size_t position() const { return pos_; }
  void rewind(std::size_t position) { pos_ = position; }
  std::string_view rest() const { return text_.substr(pos_); }

  // Nesting depth of the arrays and objects being read.
  unsigned depth = 0;

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A cursor over the unread rest of a stream. When it goes out of scope the stream is moved to just
// after what was consumed (seekable streams); a stream that cannot seek stays read to its end.
class StreamCursor {
 public:
  explicit StreamCursor(std::istream& input);
  ~StreamCursor();
  StreamCursor(const StreamCursor&) = delete;
  StreamCursor& operator=(const StreamCursor&) = delete;

  Cursor& cursor() { return cursor_; }

 private:
  std::istream& input_;
  std::string buffer_;
  long long start_ = -1;
  Cursor cursor_;
};

}  // namespace jsonxx::detail
