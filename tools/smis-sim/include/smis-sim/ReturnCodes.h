// Return values of the simulated provider's extrinsic methods, as the services of a 3PAR array answer them.
// The same number means different things on different services (4096 is a started job, but an invalid
// hardware ID on the hardware-ID service), so each has its own name. Code and tests use these names.
#pragma once

#include <cstdint>

namespace smissim {
namespace returnCode {

// Every service.
constexpr std::uint32_t kCompleted = 0;
constexpr std::uint32_t kNotSupported = 1;
constexpr std::uint32_t kFailed = 4;
constexpr std::uint32_t kInvalidParameter = 5;
constexpr std::uint32_t kInUse = 6;
constexpr std::uint32_t kJobStarted = 4096;

// Storage configuration service.
constexpr std::uint32_t kSizeNotSupported = 4097;
constexpr std::uint32_t kSourceNotFound = 32768;
constexpr std::uint32_t kSnapshotLimit = 32771;
constexpr std::uint32_t kNameInUse = 32773;

// Hardware-ID management service.
constexpr std::uint32_t kInvalidHardwareId = 4096;
constexpr std::uint32_t kIdsCannotShare = 4098;

// Controller configuration service.
constexpr std::uint32_t kInvalidLogicalUnit = 4097;
constexpr std::uint32_t kInvalidHostName = 4098;
constexpr std::uint32_t kInvalidTargetPort = 4099;
constexpr std::uint32_t kInvalidPermission = 4100;
constexpr std::uint32_t kLunInUse = 4101;

}  // namespace returnCode
}  // namespace smissim
