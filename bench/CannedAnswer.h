// The canned answer the benchmarks decode and serve: an EnumerateInstances response of storage volumes
// (4 keys and 13 properties each), as an array provider writes it.
#pragma once
#include <string>

namespace bench {

// The whole CIM-XML response for `volumeCount` volumes, with `messageId` as its message ID.
std::string enumerateVolumesResponse(int volumeCount, const std::string& messageId = "1001");

}  // namespace bench
