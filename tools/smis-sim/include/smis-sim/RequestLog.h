// What the provider was asked: request counts per operation and the extrinsic calls with their parameters.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "smis-sim/Json.h"

namespace smissim {

struct ParamRecord {
  std::string name;
  std::string type;   // CIM type name as received ("string" for a value sent without PARAMTYPE)
  bool typed = true;  // sent with PARAMTYPE
  bool isNull = false;
  bool isArray = false;
  std::string value;  // text form; arrays as "a b " (each element followed by a blank)
};

struct MethodCallRecord {
  std::string method;
  std::string target;               // the service path, as text
  std::vector<ParamRecord> params;  // in the order sent
  std::int64_t returnValue = -1;    // -1 when the call ended with a CIM error
  int cimError = 0;

  const ParamRecord* param(const std::string& name) const;  // ignoring case
  Json toJson() const;
};

class RequestLog {
 public:
  // Counts the request and tells the observer, on the thread serving it.
  void count(const std::string& operation);
  void record(const MethodCallRecord& call);
  void clear();

  std::map<std::string, std::uint64_t> counts() const;
  std::uint64_t count(const std::string& operation) const;
  std::vector<MethodCallRecord> calls() const;
  // Called with the operation or method name of every request from now on; an empty function stops it.
  void observe(std::function<void(const std::string& operation)> observer);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::uint64_t> counts_;
  std::vector<MethodCallRecord> calls_;
  std::function<void(const std::string&)> observer_;
};

}  // namespace smissim
