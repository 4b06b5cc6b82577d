// Texts of a device's job record that the list workers read through fixed-size host getters.
#pragma once

#include <string>

#include "SnapInfo.h"
#include "config/HostText.h"

namespace tqengine {

const uint16_t kDeviceTextCapacity = 1024;

// The device's host device path; "" when the host has none.
inline std::string HostDevicePathOf(TQSO::SnapInfo* device) {
  std::string path;
  ReadHostText(
      kDeviceTextCapacity, [&](char* buffer, uint16_t capacity) { return device->getHostDevicePath(buffer, capacity); },
      path);
  return path;
}

// The device's source device name; "" when the host has none.
inline std::string SourceDeviceNameOf(TQSO::SnapInfo* device) {
  std::string name;
  ReadHostText(
      kDeviceTextCapacity,
      [&](char* buffer, uint16_t capacity) { return device->getSourceDeviceName(buffer, capacity); }, name);
  return name;
}

// A path of a VMware host ("vmware" anywhere in it, as the host writes it).
inline bool IsVmwarePath(const std::string& path) { return path.find("vmware") != std::string::npos; }

}  // namespace tqengine
