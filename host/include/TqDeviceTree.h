// The host's device tree: opens a device by name ("/dev/sdb" or "sdb").
//
// The devices come from a device source: by default the Linux host at "/", replaceable process-wide
// (the simulated host, a Linux host over a test tree, a fake). getDevice is thread-safe.
#pragma once

#include <memory>
#include <string>

#include "CWmError.h"
#include "SP.h"
#include "TqDevice.h"

class TqDeviceSource {
 public:
  virtual ~TqDeviceSource() = default;
  // The device, or null with the reason in *error (when not null).
  virtual SP<TqDevice> openDevice(const std::string& name, CWmError* error) = 0;
};

class TqDeviceTree {
 public:
  // Error codes a device source gives.
  static constexpr int kNoSuchDevice = 2;
  static constexpr int kBadArgument = 22;

  // Null with *error set when the name is null or empty, or the device does not exist.
  static SP<TqDevice> getDevice(const char* name, CWmError* error);

  // null puts back the default source.
  static void setSource(std::shared_ptr<TqDeviceSource> source);
  static std::shared_ptr<TqDeviceSource> source();
};

// Sets a device source for the life of the object, then puts back the one before.
class TqDeviceSourceScope {
 public:
  explicit TqDeviceSourceScope(std::shared_ptr<TqDeviceSource> source);
  ~TqDeviceSourceScope();
  TqDeviceSourceScope(const TqDeviceSourceScope&) = delete;
  TqDeviceSourceScope& operator=(const TqDeviceSourceScope&) = delete;

 private:
  std::shared_ptr<TqDeviceSource> previous_;
};
