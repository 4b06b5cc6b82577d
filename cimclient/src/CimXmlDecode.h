// Decoding of a response held in a buffer the caller gives up: parsed in place, and the buffer and its tree
// freed before the decoded response is returned.
#pragma once
#include <string>
#include "Pegasus/CimXml.h"

namespace Pegasus {
namespace CimXml {

// As decodeResponse, from `xml`, which is consumed.
Response decodeResponseText(std::string&& xml);

}  // namespace CimXml
}  // namespace Pegasus
