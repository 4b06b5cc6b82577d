// Preparing a copy on an array of another family: on IBM SVC the source volume is found through its
// concise volume first, and by the regular lookup on the system when that finds nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TqSnapshot.h"
#include "support/VendorArrayFixture.h"

namespace {

constexpr const char* kCluster = "0000020060C0A1B2";
constexpr const char* kUuid = "60050768000000000000000000000001";
constexpr const char* kSvcSeed = R"({"arrays": [
  {"family": "ibmsvc", "name": "0000020060C0A1B2", "nodes": 2,
   "volumes": [{"name": "vd1", "uuid": "60050768000000000000000000000001"}]}
]})";

class SvcPrepareTest : public lookuptest::VendorArrayTest {
 protected:
  SvcPrepareTest() : VendorArrayTest(kSvcSeed, "root/ibm") {
    snap_.SetLogger(&record_);
    TQ_SMIS_SNAP::TqArrayParams login;
    static_cast<TqCimomParams&>(login) = simtest::ParamsFor(server_);
    login.m_NameSpace = "root/ibm";
    login.systemName = kCluster;
    snap_.SetArrayInfo(login);
    TQ_SMIS_SNAP::TqSnapParams request;
    request.snapName = "svc-copy";
    request.snapOp = 4;
    request.sourceDev = kUuid;
    snap_.SetSnapInfo(request);
  }

  void ForgetConciseVolumes() {
    sim().withModel([](smissim::Model& model) {
      std::vector<Pegasus::CIMObjectPath> paths;
      for (const Pegasus::CIMInstance* concise : model.store().enumerate("IBMTSSVC_ConciseVolume"))
        paths.push_back(concise->getPath());
      for (const Pegasus::CIMObjectPath& path : paths) model.store().remove(path);
      return 0;
    });
  }

  TQ_SMIS_SNAP::Snapshot snap_;
};

TEST_F(SvcPrepareTest, TheSourceIsFoundByItsConciseVolumeFirst) {
  Pegasus::CIMObjectPath seeded = VolumeNamed(kCluster, "vd1");
  struct Case {
    const char* name;
    bool conciseVolumes;
    const char* traced;
  } cases[] = {
      {"concise volume present", true, "Found source volume [60050768000000000000000000000001] using optmized"},
      {"no concise volume", false, "Can not find source volume [60050768000000000000000000000001] using optmized"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.conciseVolumes) ForgetConciseVolumes();
    record_.clearMessages();
    sim().clearLog();
    EXPECT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
    ASSERT_FALSE(snap_.GetSourceDevPath().empty());
    Pegasus::CIMObjectPath found{Pegasus::String(snap_.GetSourceDevPath())};
    for (const char* key : {"DeviceID", "SystemName"})
      EXPECT_EQ(util_.GetPropByObjPath(seeded, key), util_.GetPropByObjPath(found, key)) << key;
    EXPECT_EQ(1, simtest::CountMessages(record_, c.traced));
  }
}

}  // namespace
