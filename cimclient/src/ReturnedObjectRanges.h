// Where the objects an intrinsic method returned lie in a response's text, found without building a tree, so
// that each object can be parsed and decoded on its own and the tree of a large answer never exists whole.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace Pegasus {
namespace CimXml {

struct TextRange {
  std::size_t begin = 0;
  std::size_t end = 0;  // one past the last character
};

struct ReturnedObjectRanges {
  TextRange content;               // between <IRETURNVALUE ...> and </IRETURNVALUE>
  std::vector<TextRange> objects;  // each element in that content, from its start tag to its end tag
};

// True when `text` is a UTF-8 document without zero bytes whose IRETURNVALUE (under CIM, MESSAGE, SIMPLERSP and
// IMETHODRESPONSE) holds only elements, blanks, comments and processing instructions. Otherwise false: the
// document is then read whole, which also reports whatever is wrong with it. The well-formedness of the content
// (objects, and the comments and processing instructions around them) is left to its parse, and the rest of the
// document to the parse of the text around the content.
bool findReturnedObjects(const std::string& text, ReturnedObjectRanges& ranges);

}  // namespace CimXml
}  // namespace Pegasus
