#include <algorithm>
#include <cctype>
#include <string>

#include "HttpTransport.h"

namespace Pegasus {

const std::string* HttpResponse::header(const std::string& name) const {
  std::string wanted = name;
  std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (auto it = headers.rbegin(); it != headers.rend(); ++it)
    if (it->first == wanted) return &it->second;
  return nullptr;
}

}  // namespace Pegasus
