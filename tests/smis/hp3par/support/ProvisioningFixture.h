// Shared set-up of the provisioning tests: two simulated 3PAR arrays on one provider, a connected
// connection, and a 3PAR utility tracing into a job record (so that its errors can be read).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HP3ParCimUtil.h"
#include "lookups/support/SimArrayFixture.h"

namespace provtest {

using namespace lookuptest;

// The first array has pools in every state, volumes of both sizes of interest, two hosts with volumes
// exported to them, a port in two hosts (hostB and hostC), a host that sees nothing (hostD) and a port in
// no host; the second array names a volume
// like the first.
constexpr const char* kTwoArrays = R"({
  "arrays": [
    {"serial": "0B0001",
     "cpgs": ["FC_r5", {"name": "NL_r6", "operationalStatus": [3]}, {"name": "Broken", "operationalStatus": [6]},
              {"name": "Sums", "totalManagedSpace": 1048576, "currentSpaceConsumed": 1572864,
               "usedSnapAdminSpace": 1572864}],
     "volumes": [{"name": "vol1", "cpg": "FC_r5", "sizeBytes": 1073741824},
                 {"name": "vol10", "cpg": "FC_r5"},
                 {"name": "tiny", "cpg": "NL_r6", "sizeBytes": 524288},
                 {"name": "notbase", "cpg": "FC_r5", "volumeType": 2},
                 {"name": "shared", "cpg": "FC_r5"}],
     "hosts": [{"name": "hostA", "iscsi": ["iqn.1994-05.com.redhat:a1"], "fc": ["10000000C9AA0001"]},
               {"name": "hostB", "fc": ["10000000C9BB0001"]},
               {"name": "hostC", "iscsi": ["iqn.1994-05.com.redhat:c1"]},
               {"name": "hostD", "iscsi": ["iqn.1994-05.com.redhat:d1"]}],
     "hardwareIds": [{"port": "10000000C9000009"}, {"port": "10000000C9000010", "hosts": ["hostB", "hostC"]}],
     "exports": [{"volume": "shared", "host": "hostA"}, {"volume": "vol10", "host": "hostB"}]},
    {"serial": "0B0002", "cpgs": ["Other"], "volumes": [{"name": "vol1", "cpg": "Other"}]}
  ]
})";

const char* const kHostAIscsi = "iqn.1994-05.com.redhat:a1";
const char* const kHostAFc = "10000000C9AA0001";
const char* const kHostBFc = "10000000C9BB0001";
const char* const kLonePort = "10000000C9000009";
const char* const kTwoHostPort = "10000000C9000010";

class ProvisioningTest : public SimArrayTest {
 protected:
  ProvisioningTest() : SimArrayTest(kTwoArrays), hiddenPoolCheck_("Corvane", "nHP3PARDisablePoolCheck") {
    util3par_.m_SnapInfo = &record_;
  }

  // The calls of one extrinsic method the provider received.
  std::vector<smissim::MethodCallRecord> CallsOf(const std::string& method) {
    std::vector<smissim::MethodCallRecord> calls;
    for (const smissim::MethodCallRecord& call : sim().methodCalls())
      if (call.method == method) calls.push_back(call);
    return calls;
  }

  bool VolumeExists(const std::string& serial, const std::string& name) {
    return sim().withModel([&](smissim::Model& model) {
      smissim::StorageArray* array = model.arrayBySerial(serial);
      return array && model.findVolumeByName(*array, name) != nullptr;
    });
  }

  TqConfigOverride hiddenPoolCheck_;
  HP3ParCimUtil util3par_;
  const std::string array1_ = SystemNameOf("0B0001");
  const std::string array2_ = SystemNameOf("0B0002");
};

}  // namespace provtest
