// One CIM-XML request over HTTP: the CIM headers checked as a CIM server checks them, the body decoded,
// faults applied, the operation run against the model, the answer encoded.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "smis-sim/FaultPlan.h"
#include "smis-sim/Model.h"
#include "smis-sim/RequestLog.h"

namespace smissim {

struct CimHttpRequest {
  std::string body;
  std::string cimOperation;  // header values as received (empty when absent)
  std::string cimMethod;
  std::string cimObject;
  std::string cimProtocolVersion;
  bool hasCimMethod = false;
  bool hasCimObject = false;
  bool mayChange = true;  // false: the user may read but not invoke methods or change instances
};

struct CimHttpReply {
  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  bool dropConnection = false;
  bool challenge = false;  // 401: add the authentication challenge
};

class CimService {
 public:
  CimService(Model& model, FaultPlan& faults, RequestLog& log) : model_(model), faults_(faults), log_(log) {}

  CimHttpReply handle(const CimHttpRequest& request);

 private:
  Model& model_;
  FaultPlan& faults_;
  RequestLog& log_;
};

}  // namespace smissim
