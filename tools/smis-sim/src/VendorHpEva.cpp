// HP EVA arrays: per host one presentation view that names the host's ports itself, "WWNs" for a Fibre
// Channel host and "iqn" for an iSCSI host.
#include "VendorArrayBuilder.h"

using namespace Pegasus;

namespace smissim {

void seedHpEvaArray(VendorArrayBuilder& builder, const Json& item) {
  seedVolumes(builder, item, [&](const Json&, const std::string& name, const std::string& uuid) {
    builder.addVolume("vdisk" + std::to_string(builder.nextNumber()), name, uuid);
  });
  std::map<std::string, CIMObjectPath> views;
  for (const SeededHost& host : seededHosts(item)) {
    std::vector<std::pair<const char*, CIMValue>> ports;
    if (!host.fc.empty()) {
      Array<String> wwns;
      for (const std::string& port : host.fc) wwns.append(String(port));
      ports.emplace_back("WWNs", CIMValue(wwns));
    }
    if (!host.iscsi.empty()) ports.emplace_back("iqn", CIMValue(String(host.iscsi.front())));
    std::string deviceId = builder.systemName() + "\\host" + std::to_string(builder.nextNumber());
    views[host.name] = builder.addView(deviceId, host.name, ports);
  }
  seedExports(builder, item, views);
}

}  // namespace smissim
