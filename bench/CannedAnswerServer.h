// An HTTP server on loopback that answers every CIM request with one canned response held in memory,
// carrying the request's own message ID, so clients measure their side alone.
#pragma once
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace bench {

class CannedAnswerServer {
 public:
  // `answer` holds `placeholderId` once, as its MESSAGE ID.
  CannedAnswerServer(const std::string& answer, const std::string& placeholderId);
  ~CannedAnswerServer();
  CannedAnswerServer(const CannedAnswerServer&) = delete;
  CannedAnswerServer& operator=(const CannedAnswerServer&) = delete;

  int port() const { return port_; }
  std::size_t answerBytes() const { return head_.size() + tail_.size(); }

 private:
  std::string head_;  // up to the message ID
  std::string tail_;  // after it
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace bench
