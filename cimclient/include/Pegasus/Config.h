// Basic types of the CIM client API.
#pragma once
#include <cstdint>

namespace Pegasus {

typedef bool Boolean;
typedef std::uint8_t Uint8;
typedef std::int8_t Sint8;
typedef std::uint16_t Uint16;
typedef std::int16_t Sint16;
typedef std::uint32_t Uint32;
typedef std::int32_t Sint32;
typedef std::uint64_t Uint64;
typedef std::int64_t Sint64;
typedef float Real32;
typedef double Real64;
typedef std::uint16_t Char16;

// Returned by String::find and CIMInstance::findProperty when nothing matches.
const Uint32 PEG_NOT_FOUND = 0xFFFFFFFFu;

}  // namespace Pegasus
