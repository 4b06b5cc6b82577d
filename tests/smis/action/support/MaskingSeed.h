// The array of the masking tests: two hosts with their own ports, volumes exported to one host, to the
// other, to both and to nobody, and a port of no host.
#pragma once

namespace smisactiontest {

constexpr const char* kMaskingArraySerial = "0C0001";
constexpr const char* kMaskingArray = R"({
  "arrays": [
    {"serial": "0C0001", "cpgs": ["CPG1"],
     "volumes": [{"name": "ownvol", "cpg": "CPG1"}, {"name": "othervol", "cpg": "CPG1"},
                 {"name": "sharedvol", "cpg": "CPG1"}, {"name": "freevol", "cpg": "CPG1"},
                 {"name": "freevol2", "cpg": "CPG1"}],
     "hosts": [{"name": "hostA", "fc": ["10000000C9A0000A", "10000000C9A000AA"]},
               {"name": "hostB", "fc": ["10000000C9B0000B"], "iscsi": ["iqn.1994-05.com.example:hostb"]}],
     "hardwareIds": [{"port": "10000000C9D0000D"}],
     "exports": [{"volume": "ownvol", "host": "hostA"}, {"volume": "othervol", "host": "hostB"},
                 {"volume": "sharedvol", "host": "hostA"}, {"volume": "sharedvol", "host": "hostB"}]}
  ]
})";

// The job-record level of error traces.
constexpr int kErrorLevel = 2;

constexpr const char* kPortA = "10000000C9A0000A";
constexpr const char* kPortA2 = "10000000C9A000AA";
constexpr const char* kPortB = "10000000C9B0000B";
constexpr const char* kLonePort = "10000000C9D0000D";

}  // namespace smisactiontest
