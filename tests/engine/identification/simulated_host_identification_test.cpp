// Identifying the devices of the simulated host, which shows the simulated array's volumes over HTTP.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SimulatedHostPlatform.h"
#include "SimulatorExposureSource.h"
#include "TqDeviceInquiry.h"
#include "TqDeviceTree.h"
#include "TqsoEntryPoints.h"
#include "smis-sim/TestServer.h"

namespace {

struct Identified {
  bool read = false;
  std::string vendor, product, arrayId, wwn;
};

Identified Identify(const char* name) {
  Identified r;
  r.read = getDevArrayInfo(name, r.vendor, r.product, r.arrayId, r.wwn, nullptr, nullptr);
  return r;
}

// The simulated host in front of the simulated array: volumes exported to the host's port become
// devices after a rescan, and each is identified as the array's own volume.
TEST(SimulatedHostIdentification, ExportedVolumesAreIdentifiedWithTheirArray) {
  const char* port = "10000000C9A1B2C3";
  smissim::SimulatorOptions options;
  options.seedJson = std::string(R"({"arrays":[{"serial":"00ABCD","firmware":"3.1.2","cpgs":["FC_r1"],)") +
                     R"("volumes":[{"name":"vol1","cpg":"FC_r1"},{"name":"vol2","cpg":"FC_r1"}],)" +
                     R"("hosts":[{"name":"simhost","fc":[")" + port + R"("]}],)" +
                     R"("exports":[{"volume":"vol1","host":"simhost","lun":1},)" +
                     R"({"volume":"vol2","host":"simhost","lun":2}]}]})";
  smissim::TestServer array(options);
  const std::string url = "http://127.0.0.1:" + std::to_string(array.port());
  auto host = std::make_shared<TQSO::SimulatedHostPlatform>(
      std::vector<TQSO::HostInitiator>{{port, TQSO::INITIATOR_FC}},
      std::make_shared<TQSO::SimulatorExposureSource>(url, array.user(), array.password()));
  TqDeviceSourceScope scope(host);
  std::string error;
  ASSERT_TRUE(host->rescan({}, {}, error)) << error;

  const auto visible = host->visibleDevices();
  ASSERT_EQ(2u, visible.size());
  for (const auto& device : visible) {
    SCOPED_TRACE(device.first);
    Identified r = Identify(device.first.c_str());
    ASSERT_TRUE(r.read);
    EXPECT_EQ(device.second.wwn, r.wwn);
    EXPECT_EQ("2FF70002AC00ABCD", r.arrayId) << "the id derived from the WWN is the array's system name";
    EXPECT_EQ(0, tqso_isSupported(device.first.c_str(), 0, nullptr, nullptr, 0));
  }
  EXPECT_EQ(1, tqso_isSupported("/dev/sdz", 0, nullptr, nullptr, 0));
}

}  // namespace
