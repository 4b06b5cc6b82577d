#include <algorithm>
#include <cctype>
#include <string>

#include "HttpTransport.h"

namespace Pegasus {

std::string toLowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const std::string* HttpResponse::header(const std::string& name) const {
  const std::string wanted = toLowerAscii(name);
  for (auto it = headers.rbegin(); it != headers.rend(); ++it)
    if (it->first == wanted) return &it->second;
  return nullptr;
}

}  // namespace Pegasus
