// Values and conversions the model's parts share.
#pragma once
#include <algorithm>
#include <cctype>
#include <string>

#include "Pegasus/CIMValue.h"
#include "Properties.h"
#include "smis-sim/Model.h"

namespace smissim {

constexpr Pegasus::Uint64 kBlockSize = 512;
constexpr Pegasus::Uint64 kPoolCapacity = Pegasus::Uint64(1) << 50;  // 1 PiB: a CPG without a growth limit

inline bool isHexSerial(const std::string& serial) {
  return serial.size() == 6 &&
         std::all_of(serial.begin(), serial.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

inline std::string upperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

inline Pegasus::CIMValue uint16Array(std::initializer_list<Pegasus::Uint16> values) {
  Pegasus::Array<Pegasus::Uint16> array;
  for (Pegasus::Uint16 v : values) array.append(v);
  return Pegasus::CIMValue(array);
}

// Initiator ports compare without colons and ignoring case.
inline std::string normalizedPort(const std::string& port) {
  std::string out;
  for (char c : port)
    if (c != ':') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Whether the instance's InstanceID carries the array's serial.
inline bool identifiedWithArray(const Pegasus::CIMInstance& instance, const StorageArray& array) {
  return stringProperty(instance, "InstanceID").find(":" + array.serial + ":") != std::string::npos;
}

// The array's rule for the names of CPGs, volumes and hosts: 1 to 31 characters.
inline bool isValidName(const std::string& name) { return !name.empty() && name.size() <= 31; }

// Throws ModelError unless `name` is a valid name for a new CPG, volume or host (`kind`) that is not `taken`.
inline void requireNewName(const char* kind, const std::string& name, bool taken) {
  if (!isValidName(name)) throw ModelError(std::string(kind) + " name must have 1 to 31 characters: \"" + name + "\"");
  if (taken) throw ModelError(std::string(kind) + " " + name + " exists already");
}

}  // namespace smissim
