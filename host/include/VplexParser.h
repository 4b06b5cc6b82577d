// The host's parser of VPLEX backend device identifiers (the identifier the host stores for a device
// that a VPLEX virtual volume is built on): it yields the backend array's id and the device's WWN.
//
// The real host's format is its own; this stand-in reads the documented form
//
//   <array id>:<wwn>
//
// with blanks around the whole text and around either part ignored. The array id is one or more
// letters, digits, '_', '-' or '.'; the WWN is 16 or 32 hexadecimal digits, optionally after "0x" or
// "naa." (any case), and is returned in upper case. Anything else is refused and the outputs are left
// as they were.
#pragma once

#include <string>

bool ParseVPLEXBackendMetadata(const std::string& text, std::string& arrayId, std::string& wwn);
