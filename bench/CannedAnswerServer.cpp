#include "CannedAnswerServer.h"

#include <httplib.h>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {

// The ID of `<MESSAGE ID="...">` in a request, or "" when there is none.
std::string messageIdOf(const std::string& request) {
  const std::string marker = "<MESSAGE ID=\"";
  const std::size_t start = request.find(marker);
  if (start == std::string::npos) return "";
  const std::size_t end = request.find('"', start + marker.size());
  if (end == std::string::npos) return "";
  return request.substr(start + marker.size(), end - start - marker.size());
}

// Writes the part of `piece` (placed at `pieceStart` in the body) that overlaps [offset, offset + length).
void writeOverlap(const std::string& piece, std::size_t pieceStart, std::size_t offset, std::size_t length,
                  httplib::DataSink& sink) {
  const std::size_t from = std::max(offset, pieceStart);
  const std::size_t to = std::min(offset + length, pieceStart + piece.size());
  if (from < to) sink.write(piece.data() + (from - pieceStart), to - from);
}

}  // namespace

CannedAnswerServer::CannedAnswerServer(const std::string& answer, const std::string& placeholderId)
    : server_(new httplib::Server) {
  const std::string marker = "<MESSAGE ID=\"" + placeholderId + "\"";
  const std::size_t at = answer.find(marker);
  if (at == std::string::npos) throw std::runtime_error("the canned answer has no message ID");
  head_ = answer.substr(0, at + marker.size() - placeholderId.size() - 1);
  tail_ = answer.substr(at + marker.size() - 1);

  server_->set_tcp_nodelay(true);
  server_->Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
    auto id = std::make_shared<std::string>(messageIdOf(request.body));
    response.set_header("CIMOperation", "MethodResponse");
    const std::size_t total = head_.size() + id->size() + tail_.size();
    response.set_content_provider(total, "application/xml; charset=\"utf-8\"",
                                  [this, id](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                    writeOverlap(head_, 0, offset, length, sink);
                                    writeOverlap(*id, head_.size(), offset, length, sink);
                                    writeOverlap(tail_, head_.size() + id->size(), offset, length, sink);
                                    return true;
                                  });
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot listen on 127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::yield();
}

CannedAnswerServer::~CannedAnswerServer() {
  server_->stop();
  thread_.join();
}

}  // namespace bench
