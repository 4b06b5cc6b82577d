// Helpers shared by the files of the 3PAR utility: typed property reads, argument texts and the
// provisioning switch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Pegasus/CIMInstance.h"
#include "Pegasus/String.h"

class TqCimConnection;
class TqCimUtil;

namespace hp3par {

// True, traced under the label, when the provider refused the connection's login ("401") since it was
// opened: a lookup of the CIM layer then answers with an empty list, which says nothing about the array,
// so the step that read it counts as failed.
bool LoginRefused(TqCimUtil& util, TqCimConnection& conn, const char* label);

// Typed reads of an instance's property. A missing property or one of another type throws the CIM
// client's exception; a null value reads as 0 or "".
Pegasus::Uint16 ReadUint16(const Pegasus::CIMInstance& instance, const char* name);
Pegasus::Uint64 ReadUint64(const Pegasus::CIMInstance& instance, const char* name);
std::string ReadString(const Pegasus::CIMInstance& instance, const char* name);
// The first value of a uint16 array property; 0 for an empty or null array.
Pegasus::Uint16 ReadFirstStatus(const Pegasus::CIMInstance& instance, const char* name);

// A position that holds "null" anywhere is absent.
inline bool IsAbsent(const std::string& text) { return text.find("null") != std::string::npos; }

// A byte count written as decimal digits only (no sign, no blanks) that fits 64 bits.
bool ParseByteCount(const std::string& text, Pegasus::Uint64& bytes);

// The comma-separated items joined back with one blank after each, for traces.
std::string BlankJoined(const std::vector<std::string>& items);

// Non-zero "nHP3PARDisablePoolCheck" under "Corvane": pools are not asked whether they are online.
bool PoolCheckDisabled();

}  // namespace hp3par
