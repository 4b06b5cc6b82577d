// The SCSI command interface of a host device.
#pragma once

#include "CWmError.h"

class TqDeviceScsiIface {
 public:
  static const char* const kInterfaceName;  // "TqDeviceScsiIface"

  // Data directions of sendCdb.
  static constexpr int kNoData = 0;
  static constexpr int kDataIn = 1;  // device to host

  virtual ~TqDeviceScsiIface() = default;

  // Sends one command (a CDB of 6 to 16 bytes) and reads its data into the buffer. Returns the number of
  // bytes the device sent (the rest of the buffer is zeroed), or -1 with the reason in *error (when not
  // null): the device is gone, the command failed, or its data is too short to be a whole answer (an
  // INQUIRY answer under 36 bytes, a VPD page of another page, or shorter than its 4-byte header or than
  // the length its header gives, as far as the buffer and the allocation length reach).
  // reserved1, reserved2 and reserved3 are accepted and not used.
  virtual int sendCdb(const unsigned char* cdb, int cdbLength, unsigned char* buffer, int bufferLength, int reserved1,
                      int direction, int reserved2, int reserved3, int timeoutSeconds, CWmError* error) = 0;
};
