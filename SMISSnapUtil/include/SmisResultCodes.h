// Results of the SMI-S actions. An action answers 0 for success, the extrinsic method's own return value
// when the provider refused, or one of the codes below.
#pragma once

#include <cstdint>

typedef std::uint32_t SmisResultCode;

const SmisResultCode kSmisSuccess = 0;
// A caught exception; also the job-failure result of the operations that report failed jobs as 1.
const SmisResultCode kSmisFailed = 1;
// Arguments the operation refuses itself, before any call.
const SmisResultCode kSmisInvalidParameter = 5;
// The method started a job (answered by the operations that do not follow their jobs).
const SmisResultCode kSmisJobStarted = 4096;
// Exposing paths without a view was refused: read by the callers as initiator ports the array does not take.
const SmisResultCode kSmisInitiatorsRefused = 4098;
const SmisResultCode kSmisHostMappingsFound = 650006;
const SmisResultCode kSmisMappingNotFound = 650007;
const SmisResultCode kSmisVolumeNotFound = 650008;
const SmisResultCode kSmisTooFewArguments = 650009;
// A supplied system, service, volume or association is not on the provider.
const SmisResultCode kSmisObjectNotFound = 650015;
