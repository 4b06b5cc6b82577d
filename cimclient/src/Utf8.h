// UTF-8 helpers for single characters (char16 values).
#pragma once
#include <string>
#include "Pegasus/Config.h"

namespace Pegasus {

// The UTF-8 bytes of one UCS-2 code unit.
std::string encodeUtf8(Char16 c);

// Decodes `text` when it is exactly one UTF-8 character in the UCS-2 range (no surrogates); false otherwise.
bool decodeSingleUtf8(const std::string& text, Char16& c);

}  // namespace Pegasus
