#include "ArrayProblems.h"

#include <set>

#include "Outcome.h"

namespace tqso {

namespace {

const int kLoginRefused = 60555;
const int kUnreachable = 60541;

// Why the client could not connect, from the device's latest trace of it: the transport puts its cause
// after "Connection failed: " (nothing listening, an unknown host, a failed TLS handshake, ...). Empty when
// no trace says.
std::string ConnectFailureCause(const TQSO::SnapInfo& record) {
  static const std::string kFailed = "Connection failed: ";
  const std::vector<TQSO::JobMessage> messages = record.messages();
  for (auto message = messages.rbegin(); message != messages.rend(); ++message) {
    const size_t found = message->text.find(kFailed);
    if (found == std::string::npos) continue;
    std::string cause = TrimmedEnd(message->text.substr(found + kFailed.size()));
    if (!cause.empty() && cause.back() == '.') cause.pop_back();
    return cause;
  }
  return "";
}

std::string Where(const ArraySpec& array) {
  return array.address + ":" + std::to_string(array.port != 0 ? array.port : (array.https ? 5989 : 5988));
}

std::string Problem(const ArraySpec& array, int code, const TQSO::SnapInfo& record) {
  const std::string at = "array " + array.id + " at " + Where(array);
  if (code == kLoginRefused) return at + " refused the login of user " + array.user;
  const std::string cause = ConnectFailureCause(record);
  return at + " could not be reached" + (cause.empty() ? "" : ": " + cause);
}

}  // namespace

std::vector<std::string> ArrayProblems(const std::vector<ArraySpec>& arrays,
                                       const std::vector<TQSO::SnapInfo*>& records) {
  std::vector<std::string> problems;
  std::set<std::string> named;
  for (TQSO::SnapInfo* record : records) {
    const int code = record->errorCode();
    if (code != kLoginRefused && code != kUnreachable) continue;
    const std::string id = record->selectedArrayId();
    if (!named.insert(id).second) continue;
    for (const ArraySpec& array : arrays)
      if (array.id == id) problems.push_back(Problem(array, code, *record));
  }
  return problems;
}

}  // namespace tqso
