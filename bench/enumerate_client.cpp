// Our CIM client on the canned answer: connect, enumerate the volumes, read every property's value.
// Usage: enumerate_client PORT VOLUMES [--warm N]
#include <string>

#include "Pegasus/CIMClient.h"
#include "RepeatedFetch.h"

using namespace Pegasus;

namespace {

// Reads each property: the text of strings, the element count of arrays, the number of other scalars.
std::size_t readEveryValue(const Array<CIMInstance>& instances) {
  std::size_t bytes = 0;
  for (const CIMInstance& instance : instances) {
    for (Uint32 i = 0; i < instance.getPropertyCount(); ++i) {
      const CIMValue& value = instance.getProperty(i).getValue();
      if (value.isNull()) continue;
      if (value.isArray()) {
        bytes += value.getArraySize();
      } else if (value.getType() == CIMTYPE_STRING) {
        String text;
        value.get(text);
        bytes += text.size();
      } else if (value.getType() == CIMTYPE_UINT64) {
        Uint64 number = 0;
        value.get(number);
        bytes += static_cast<std::size_t>(number & 1);
      } else {
        ++bytes;
      }
    }
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: enumerate_client PORT VOLUMES [--warm N]\n");
    return 2;
  }
  try {
    CIMClient client;
    client.connect("127.0.0.1", static_cast<Uint32>(std::stoul(argv[1])), String(), String());
    return bench::runFetches(argc, argv, std::stoul(argv[2]), [&] {
      const Array<CIMInstance> volumes =
          client.enumerateInstances(CIMNamespaceName("root/tpd"), CIMName("TPD_StorageVolume"));
      if (readEveryValue(volumes) == 0) return std::size_t(0);
      return static_cast<std::size_t>(volumes.size());
    });
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.getMessage().str().c_str());
    return 1;
  }
}
