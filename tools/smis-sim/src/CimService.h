// One CIM-XML request over HTTP: the CIM headers checked as a CIM server checks them, the body decoded,
// faults applied, the operation run against the model, the answer encoded.
#pragma once
#include <cstddef>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "Pegasus/CimXml.h"
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

// Storage of large answers, given back once they are sent and written into again: memory a process has not
// touched yet costs a page fault per page, which for a 20 MB answer is a large part of producing it.
class AnswerBuffers {
 public:
  // Buffers smaller than this are not kept.
  static constexpr std::size_t kMinBytes = std::size_t(1) << 20;

  // A kept buffer (its text to be overwritten), or an empty string when none is kept.
  std::string take();
  void giveBack(std::string buffer);

 private:
  static constexpr std::size_t kKept = 4;
  std::mutex mutex_;
  std::vector<std::string> kept_;
};

class CimService {
 public:
  CimService(Model& model, FaultPlan& faults, RequestLog& log) : model_(model), faults_(faults), log_(log) {}

  CimHttpReply handle(const CimHttpRequest& request);

  // Where sent answers go back to, for the front end.
  AnswerBuffers& answerBuffers() { return answerBuffers_; }

 private:
  // Runs a decoded request against the model, with the faults that act inside a method.
  CimHttpReply run(const Pegasus::CimXml::Request& request, const std::vector<FaultRule>& methodFaults);

  AnswerBuffers answerBuffers_;
  Model& model_;
  FaultPlan& faults_;
  RequestLog& log_;
};

}  // namespace smissim
