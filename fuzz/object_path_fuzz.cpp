// Fuzz entry point of the object-path parser: any text either parses or throws the client's own
// exception, and a parsed path's text parses back to the same path (and the same text).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/Exception.h"

using namespace Pegasus;

namespace {

void require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CIMObjectPath parsed;
  try {
    parsed = CIMObjectPath(String(text));
  } catch (const Exception&) {
    return 0;  // refused: the documented outcome for a text that is no path
  }
  const String written = parsed.toString();
  CIMObjectPath back;
  try {
    back = CIMObjectPath(written);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s -> %s: %s\n", text.c_str(), written.str().c_str(), e.getMessage().str().c_str());
    require(false, "a parsed path's text parses back");
  }
  require(back == parsed, "a path's text parses back to the same path");
  require(back.toString() == written, "a path's text is stable");
  return 0;
}
