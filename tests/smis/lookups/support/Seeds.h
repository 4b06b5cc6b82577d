// Seeds of the lookup tests: several arrays on one provider, hundreds of volumes.
#pragma once

namespace lookuptest {

// Three arrays; each has a CPG named CPG1 and one of its own, 150 generated volumes, a few named volumes
// and hosts; data1 of the second array is exported to host h2 and has two snapshots.
constexpr const char* kThreeArrays = R"({
  "arrays": [
    {"serial": "0A0001", "cpgs": ["CPG1", "Gold1"],
     "volumes": [{"name": "data1", "cpg": "CPG1"}],
     "generate": {"prefix": "a1vv", "count": 150, "cpg": "CPG1"},
     "hosts": [{"name": "h1", "fc": ["10000000C9A00001"]}],
     "exports": [{"volume": "data1", "host": "h1"}]},
    {"serial": "0A0002", "cpgs": ["CPG1", "Gold2"],
     "volumes": [{"name": "data1", "cpg": "CPG1"}, {"name": "data2", "cpg": "Gold2"}, {"name": "lonely", "cpg": "CPG1"}],
     "generate": {"prefix": "a2vv", "count": 150, "cpg": "CPG1"},
     "snapshots": [{"source": "data1", "name": "data1-snapA"}, {"source": "data1", "name": "data1-snapB"}],
     "hosts": [{"name": "h2", "fc": ["10000000C9A00002", "10000000C9A00022"]},
               {"name": "h2b", "fc": ["10000000C9A000B2"]},
               {"name": "nohost-view", "fc": ["10000000C9A000C2"]}],
     "exports": [{"volume": "data1", "host": "h2"}, {"volume": "data2", "host": "h2"},
                 {"volume": "data1", "host": "h2b"}]},
    {"serial": "0A0003", "cpgs": ["CPG1", "Gold3"],
     "generate": {"prefix": "a3vv", "count": 150, "cpg": "CPG1"}}
  ]
})";

}  // namespace lookuptest
