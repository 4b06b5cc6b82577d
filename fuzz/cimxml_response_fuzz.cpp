// Fuzz entry point of the CIM-XML response decoder: any input either decodes or throws the client's own
// exception, and whatever decodes and the encoder writes decodes again to the same text (decode, encode,
// decode, encode: the two encodings agree).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Pegasus/CimXml.h"
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
  CimXml::Response decoded;
  try {
    decoded = CimXml::decodeResponse(String(text));
  } catch (const Exception&) {
    return 0;  // refused: the documented outcome for bad input
  }
  String first;
  try {
    first = CimXml::encodeResponse(decoded);
  } catch (const Exception&) {
    return 0;  // a text the writer cannot put in XML (a control character in a name) is refused, not written
  }
  CimXml::Response again;
  try {
    again = CimXml::decodeResponse(first);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.getMessage().str().c_str());
    require(false, "an encoded response decodes again");
  }
  require(CimXml::encodeResponse(again) == first, "encoding a decoded response is stable");
  return 0;
}
