// A scan of a response's markup that tells apart tags, comments, processing instructions and character data
// sections, and no more: anything it does not expect ends the scan, and the document is read whole instead.
#include "ReturnedObjectRanges.h"

#include <cstring>
#include <string_view>

namespace Pegasus {
namespace CimXml {

namespace {

// The elements that enclose the returned objects, outermost first.
constexpr const char* kReturnPath[] = {"CIM", "MESSAGE", "SIMPLERSP", "IMETHODRESPONSE", "IRETURNVALUE"};
constexpr std::size_t kReturnDepth = sizeof kReturnPath / sizeof kReturnPath[0];

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool equalNoCase(std::string_view text, const char* other) {
  if (text.size() != std::strlen(other)) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != other[i]) return false;
  }
  return true;
}

// The characters a tag's scan stops at: quotes, and the brackets that end a tag or show a broken one.
struct CharacterSet {
  constexpr CharacterSet() : members() {
    for (unsigned char c : {'"', '\'', '<', '>'}) members[c] = true;
  }
  constexpr bool operator[](unsigned char c) const { return members[c]; }
  bool members[256];
};
constexpr CharacterSet kEndsTagPart;

class MarkupScan {
 public:
  enum class Markup { START_TAG, EMPTY_TAG, END_TAG, SKIPPED, CHARACTER_DATA, UNEXPECTED };

  explicit MarkupScan(const std::string& text) : text_(text) {}

  // Past a UTF-8 byte order mark and an XML declaration that names no encoding other than UTF-8: the objects
  // are parsed as UTF-8 without the declaration.
  bool skipUtf8Prolog() {
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
    if (text_.compare(pos_, 5, "<?xml") != 0 || pos_ + 5 >= text_.size() || !isBlank(text_[pos_ + 5])) return true;
    const std::size_t end = text_.find("?>", pos_);
    if (end == std::string::npos) return false;
    const std::string_view declaration(text_.data() + pos_, end - pos_);
    pos_ = end + 2;
    const std::size_t encoding = declaration.find("encoding");
    if (encoding == std::string_view::npos) return true;
    const std::size_t open = declaration.find_first_of("\"'", encoding);
    if (open == std::string_view::npos) return false;
    const std::size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos) return false;
    return equalNoCase(declaration.substr(open + 1, close - open - 1), "utf-8");
  }

  // The next '<', passing over character data; false at the end of the text.
  bool toNextMarkup() {
    pos_ = text_.find('<', pos_);
    return pos_ != std::string::npos;
  }

  // Past blanks; false when something else comes first.
  bool skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size() && text_[pos_] == '<';
  }

  // Reads the markup that starts at the current '<'; a tag's name goes to `name`.
  Markup markup(std::string_view& name) {
    const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
    if (next == '?') return skipPast("<?", "?>") ? Markup::SKIPPED : Markup::UNEXPECTED;
    if (next != '!') return tag(name);
    if (startsWith("<!--")) return skipPast("<!--", "-->") ? Markup::SKIPPED : Markup::UNEXPECTED;
    if (startsWith("<![CDATA[")) return skipPast("<![CDATA[", "]]>") ? Markup::CHARACTER_DATA : Markup::UNEXPECTED;
    return Markup::UNEXPECTED;  // a document type declaration has no place here
  }

  // Past the rest of an element whose start tag has just been read. Only the kind of each tag matters here.
  bool skipElementContent() {
    for (std::size_t depth = 1; depth > 0;) {
      if (!toNextMarkup()) return false;
      const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
      std::string_view unused;
      if (next == '!' || next == '?') {
        if (markup(unused) == Markup::UNEXPECTED) return false;
        continue;
      }
      bool emptyElement = false;
      if (!skipTag(emptyElement)) return false;
      if (next == '/')
        --depth;
      else if (!emptyElement)
        ++depth;
    }
    return true;
  }

  std::size_t position() const { return pos_; }

 private:
  bool startsWith(const char* prefix) const { return text_.compare(pos_, std::strlen(prefix), prefix) == 0; }

  // Past the first `terminator` after `opening`, which starts at the current position ("<!--->" does not end
  // the comment it opens).
  bool skipPast(const char* opening, const char* terminator) {
    const std::size_t at = text_.find(terminator, pos_ + std::strlen(opening));
    if (at == std::string::npos) return false;
    pos_ = at + std::strlen(terminator);
    return true;
  }

  // A start, empty-element or end tag.
  Markup tag(std::string_view& name) {
    const char* const text = text_.data();
    const std::size_t size = text_.size();
    const bool endTag = text[pos_ + 1] == '/';
    const std::size_t nameBegin = pos_ + (endTag ? 2 : 1);
    std::size_t at = nameBegin;
    while (at < size && !isBlank(text[at]) && text[at] != '/' && text[at] != '>' && text[at] != '<') ++at;
    if (at == size || at == nameBegin) return Markup::UNEXPECTED;
    name = std::string_view(text + nameBegin, at - nameBegin);
    bool emptyElement = false;
    if (!skipTag(emptyElement)) return Markup::UNEXPECTED;
    if (endTag) return Markup::END_TAG;
    return emptyElement ? Markup::EMPTY_TAG : Markup::START_TAG;
  }

  // Past the '>' that ends the tag at the current '<', passing over quoted attribute values whole (they may
  // hold '>'); false when the tag never ends or holds a '<'.
  bool skipTag(bool& emptyElement) {
    const char* at = text_.data() + pos_ + 1;
    const char* const end = text_.data() + text_.size();
    for (;;) {
      while (at < end && !kEndsTagPart[static_cast<unsigned char>(*at)]) ++at;
      if (at == end || *at == '<') return false;
      if (*at == '>') break;
      const void* close = std::memchr(at + 1, *at, static_cast<std::size_t>(end - at - 1));
      if (close == nullptr) return false;
      at = static_cast<const char*>(close) + 1;
    }
    emptyElement = at[-1] == '/';
    pos_ = static_cast<std::size_t>(at + 1 - text_.data());
    return true;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

// Opens the enclosing elements down to IRETURNVALUE, passing over comments and processing instructions.
bool openReturnValue(MarkupScan& scan) {
  std::string_view name;
  for (std::size_t depth = 0; depth < kReturnDepth;) {
    if (!scan.toNextMarkup()) return false;
    switch (scan.markup(name)) {
      case MarkupScan::Markup::SKIPPED:
        break;
      case MarkupScan::Markup::START_TAG:
        if (name != kReturnPath[depth]) return false;
        ++depth;
        break;
      default:
        return false;
    }
  }
  return true;
}

// The elements up to </IRETURNVALUE>; anything but blanks, comments and processing instructions between them
// ends the scan.
bool collectObjects(MarkupScan& scan, ReturnedObjectRanges& ranges) {
  ranges.content.begin = scan.position();
  std::string_view name;
  for (;;) {
    if (!scan.skipBlanks()) return false;
    const std::size_t begin = scan.position();
    switch (scan.markup(name)) {
      case MarkupScan::Markup::SKIPPED:
        break;
      case MarkupScan::Markup::EMPTY_TAG:
        ranges.objects.push_back({begin, scan.position()});
        break;
      case MarkupScan::Markup::START_TAG:
        if (!scan.skipElementContent()) return false;
        ranges.objects.push_back({begin, scan.position()});
        break;
      case MarkupScan::Markup::END_TAG:
        if (name != kReturnPath[kReturnDepth - 1]) return false;
        ranges.content.end = begin;
        return true;
      default:
        return false;
    }
  }
}

}  // namespace

bool findReturnedObjects(const std::string& text, ReturnedObjectRanges& ranges) {
  ranges = ReturnedObjectRanges();
  // The parser takes a zero byte for the end of its buffer, so a part would end where the whole does not; and
  // text with zero bytes may be UTF-16 or UTF-32 (their markup has them), which the parser reads as such.
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) return false;
  MarkupScan scan(text);
  return scan.skipUtf8Prolog() && openReturnValue(scan) && collectObjects(scan, ranges);
}

}  // namespace CimXml
}  // namespace Pegasus
