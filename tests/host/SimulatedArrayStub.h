// An in-memory stand-in for the simulated array's exposure answers, for simulated-host tests.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "SimulatedHostPlatform.h"

class ExposureStub : public TQSO::TqExposureSource {
 public:
  struct Exposure {
    std::string port;
    TQSO::ExposedVolume volume;
  };

  void expose(const std::string& port, const std::string& volume, const std::string& wwn, unsigned lun) {
    std::lock_guard<std::mutex> hold(mutex_);
    exposures_.push_back({port, {"s1234", volume, wwn, lun}});
  }
  void hide(const std::string& volume) {
    std::lock_guard<std::mutex> hold(mutex_);
    exposures_.erase(std::remove_if(exposures_.begin(), exposures_.end(),
                                    [&](const Exposure& item) { return item.volume.volume == volume; }),
                     exposures_.end());
  }
  void failNext(bool fail) {
    std::lock_guard<std::mutex> hold(mutex_);
    fail_ = fail;
  }
  std::vector<std::vector<std::string>> questions() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return questions_;
  }

  bool exposedTo(const std::vector<std::string>& ports, std::vector<TQSO::ExposedVolume>& out,
                 std::string& error) override {
    std::lock_guard<std::mutex> hold(mutex_);
    questions_.push_back(ports);
    if (fail_) {
      error = "array unreachable";
      return false;
    }
    out.clear();
    for (const Exposure& item : exposures_)
      if (std::find(ports.begin(), ports.end(), item.port) != ports.end()) out.push_back(item.volume);
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Exposure> exposures_;
  std::vector<std::vector<std::string>> questions_;
  bool fail_ = false;
};
