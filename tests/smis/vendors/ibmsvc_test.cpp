// IBM SVC volumes, preferred nodes and views against two simulated SVC clusters in root/ibm: the volume path
// built from its concise volume, the node of a number, the views of ports through the shared hardware-ID
// cache under the lookup lock, and faults traced and passed on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Pegasus/Exception.h"
#include "lookups/support/VendorArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

const char* const kCluster = "0000020060C0A1B2";
const char* const kOtherCluster = "0000020060C0FFFF";
const char* const kUuid1 = "60050768000000000000000000000001";
const char* const kUuid2 = "60050768000000000000000000000002";
const char* const kEsxPort1 = "500507680140A001";
const char* const kEsxPort2 = "500507680140A002";
const char* const kLinuxIqn = "iqn.1994-05.com.redhat:lnx1";

constexpr const char* kSvcSeed = R"({"arrays": [
  {"family": "ibmsvc", "name": "0000020060C0A1B2", "nodes": 2,
   "volumes": [{"name": "vd1", "uuid": "60050768000000000000000000000001", "preferredNode": 2},
               {"name": "vd2", "uuid": "60050768000000000000000000000002"}],
   "hosts": [{"name": "esx1", "fc": ["500507680140A001", "500507680140A002"]},
             {"name": "lnx1", "iscsi": ["iqn.1994-05.com.redhat:lnx1"]}],
   "exports": [{"volume": "vd1", "host": "esx1"}, {"volume": "vd2", "host": "esx1"},
               {"volume": "vd2", "host": "lnx1"}]},
  {"family": "ibmsvc", "name": "0000020060C0FFFF", "hosts": [{"name": "esx9", "fc": ["500507680140F001"]}]}
]})";

class IbmSvcTest : public VendorArrayTest {
 protected:
  IbmSvcTest() : VendorArrayTest(kSvcSeed, "root/ibm") {}

  void SetUp() override {
    VendorArrayTest::SetUp();
    system_ = System(kCluster);
    ASSERT_EQ("IBMTSSVC_Cluster", system_.getClassName().getString().str());
    sim().clearLog();
    record_.clearMessages();
  }

  Array<CIMObjectPath> PortViews(std::initializer_list<const char*> ports) {
    Array<String> list;
    for (const char* port : ports) list.append(port);
    return util_.GetIBMSVCCtlrListByHwIDs(conn_, system_, list);
  }

  static bool LockIsFree() {
    std::atomic<int> taken{0};
    std::thread probe([&] {
      taken = TqCimUtil::m_CimUtilLock.enter(false);
      if (taken) TqCimUtil::m_CimUtilLock.leave();
    });
    probe.join();
    return taken == 1;
  }

  CIMObjectPath system_;
};

TEST_F(IbmSvcTest, VolumePathIsBuiltFromItsConciseVolume) {
  std::string path = util_.GetIBMSVCVolObjPathByUUID(conn_, kUuid1, kCluster);
  ASSERT_NE("", path);
  CIMObjectPath volume{String(path)};
  CIMObjectPath seeded = VolumeNamed(kCluster, "vd1");
  for (const char* key : {"DeviceID", "SystemName", "SystemCreationClassName", "CreationClassName"})
    EXPECT_EQ(util_.GetPropByObjPath(seeded, key), util_.GetPropByObjPath(volume, key)) << key;
  EXPECT_EQ("root/ibm", volume.getNameSpace().getString().str());
  EXPECT_EQ(1, CountMessages(record_, "] found"));

  // Identifiers compare whole; a blank one asks nothing.
  EXPECT_EQ("", util_.GetIBMSVCVolObjPathByUUID(conn_, "6005076800000000000000000000000", kCluster));
  sim().clearLog();
  EXPECT_EQ("", util_.GetIBMSVCVolObjPathByUUID(conn_, "  ", kCluster));
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_EQ(2, CountMessages(record_, "Class IBMTSSVC_ConciseVolume: UUID"));
}

TEST_F(IbmSvcTest, VolumeWhosePathCannotBeBuiltIsSearchedByDeviceId) {
  // A concise volume whose cluster key names another I/O group form: the built path names nothing.
  CIMObjectPath vd2 = VolumeNamed(kCluster, "vd2");
  std::string deviceId = util_.GetPropByObjPath(vd2, "DeviceID");
  sim().withModel([&](smissim::Model& model) {
    CIMInstance concise{CIMName("IBMTSSVC_ConciseVolume")};
    concise.addProperty(CIMProperty(CIMName("Cluster"), CIMValue(String(std::string(kCluster) + "x:1"))));
    concise.addProperty(CIMProperty(CIMName("DeviceID"), CIMValue(String(deviceId))));
    concise.addProperty(CIMProperty(CIMName("UniqueID"), CIMValue(String("U-ALIAS"))));
    Array<CIMKeyBinding> keys{CIMKeyBinding("Cluster", String(std::string(kCluster) + "x:1"), CIMKeyBinding::STRING),
                              CIMKeyBinding("DeviceID", String(deviceId), CIMKeyBinding::STRING),
                              CIMKeyBinding("UniqueID", "U-ALIAS", CIMKeyBinding::STRING)};
    concise.setPath(CIMObjectPath("", CIMNamespaceName(), CIMName("IBMTSSVC_ConciseVolume"), keys));
    model.store().put(concise);
    return 0;
  });
  std::string found = util_.GetIBMSVCVolObjPathByUUID(conn_, "U-ALIAS", kCluster);
  ASSERT_NE("", found);
  CIMObjectPath path{String(found)};
  EXPECT_EQ(deviceId, util_.GetPropByObjPath(path, "DeviceID"));
  EXPECT_EQ(std::string(kCluster) + ":0", util_.GetPropByObjPath(path, "SystemName"));
  EXPECT_EQ(1, CountMessages(record_, "not found, fetch all object paths and compare"));
  // The search keeps to the named array.
  EXPECT_EQ("", util_.GetIBMSVCVolObjPathByUUID(conn_, "U-ALIAS", kOtherCluster));
}

TEST_F(IbmSvcTest, PreferredNodeByTheNumberAfterTheColon) {
  std::string nodePath = "untouched";
  EXPECT_EQ(1, util_.GetPreferredNodeForIBMSVC(conn_, "2", nodePath));
  CIMObjectPath node{String(nodePath)};
  EXPECT_EQ(std::string(kCluster) + ":2", util_.GetPropByObjPath(node, "Name"));

  // The whole number must match: 1 is not 10; nothing found leaves the path alone.
  nodePath = "untouched";
  EXPECT_EQ(0, util_.GetPreferredNodeForIBMSVC(conn_, "", nodePath));
  EXPECT_EQ(0, util_.GetPreferredNodeForIBMSVC(conn_, "3", nodePath));
  EXPECT_EQ("untouched", nodePath);

  sim().injectFault(On("EnumerateInstanceNames", CimErrorFault(1)));
  EXPECT_EQ(0, util_.GetPreferredNodeForIBMSVC(conn_, "1", nodePath));
  EXPECT_EQ(2, LevelOf(record_, "GetPreferredNodeForIBMSVC: TqCimUtilIbmSvcVolumes.cpp"));
}

TEST_F(IbmSvcTest, ViewsOfPortsOfTheArraysHosts) {
  EXPECT_EQ(Names_t({"esx1"}), Names(PortViews({kEsxPort2})));
  EXPECT_EQ(Names_t({"lnx1"}), Names(PortViews({kLinuxIqn})));
  // The first port decides the kind: an iSCSI name first makes the Fibre Channel port unmatched.
  EXPECT_EQ(Names_t({"lnx1"}), Names(PortViews({kLinuxIqn, kEsxPort1})));
  EXPECT_EQ(0u, PortViews({"500507680140a001"}).size());  // case counts
  EXPECT_EQ(0u, PortViews({"500507680140F001"}).size());  // the other cluster's host
  sim().clearLog();
  EXPECT_EQ(0u, PortViews({}).size());
  EXPECT_EQ(0u, TotalRequests(server_));

  // Views of volumes narrowed to ports, through the family dispatch.
  Array<String> ports{kLinuxIqn};
  Array<String> uuids{kUuid1, kUuid2};
  EXPECT_EQ(Names_t({"lnx1"}), Names(util_.GetCtlrPathList(conn_, system_, uuids, ports)));
  Array<CIMObjectPath> volumes{VolumeNamed(kCluster, "vd1"), VolumeNamed(kCluster, "vd2")};
  Array<String> esx{kEsxPort1};
  EXPECT_EQ(Names_t({"esx1", "esx1"}), Names(util_.GetctlrPathListByAssn(conn_, system_, volumes, esx)));
}

TEST_F(IbmSvcTest, HardwareIdCacheServesLaterLookupsAndRefreshesOnAMiss) {
  TqConfigOverride cacheOn("Corvane", "TQ_IBMSVC_CACHE_HBA_INSTANCES", "1");
  EXPECT_EQ(Names_t({"esx1"}), Names(PortViews({kEsxPort1})));
  EXPECT_EQ(Names_t({"lnx1"}), Names(PortViews({kLinuxIqn})));
  EXPECT_EQ(1u, Requests("EnumerateInstances"));
  EXPECT_EQ(1, CountMessages(record_, "Trying to search the initiators within the cache"));
  EXPECT_EQ(3u, TqHardwareIdInstanceCache::Size());

  // A list cached from another cluster's CIMOM holds none of this array's hosts: it is fetched again once.
  {
    TqCriticalSectionLock guard(&TqCimUtil::m_CimUtilLock);
    Array<CIMInstance>& cache = TqHardwareIdInstanceCache::InstancesLocked();
    Array<CIMInstance> others;
    for (Uint32 i = 0; i < cache.size(); ++i) {
      CIMObjectPath path = cache[i].getPath();
      if (util_.GetPropByObjPath(path, "InstanceID").find(kOtherCluster) == 0) others.append(cache[i]);
    }
    cache = others;
  }
  EXPECT_EQ(Names_t({"esx1"}), Names(PortViews({kEsxPort1})));
  EXPECT_EQ(1, CountMessages(record_, "in refreshed list"));
  EXPECT_EQ(2u, Requests("EnumerateInstances"));
  // A port of no host: one refresh, then nothing.
  EXPECT_EQ(0u, PortViews({"5005076801FFFFFF"}).size());
  EXPECT_EQ(2, CountMessages(record_, "HBA not found in the old list"));
  EXPECT_EQ(3u, Requests("EnumerateInstances"));

  // With the key 0 each lookup fetches and leaves the cache empty.
  TqConfigOverride cacheOff("Corvane", "TQ_IBMSVC_CACHE_HBA_INSTANCES", "0");
  EXPECT_EQ(Names_t({"esx1"}), Names(PortViews({kEsxPort1})));
  EXPECT_EQ(0u, TqHardwareIdInstanceCache::Size());
}

TEST_F(IbmSvcTest, LookupRunsUnderTheLockAndFaultsEmptyTheCache) {
  TqConfigOverride cacheOn("Corvane", "TQ_IBMSVC_CACHE_HBA_INSTANCES", "1");
  std::atomic<int> requestsWhileFree{0};
  std::atomic<int> requests{0};
  sim().observeRequests([&](const std::string&) {
    ++requests;
    if (LockIsFree()) ++requestsWhileFree;
  });
  Array<CIMObjectPath> views = PortViews({kEsxPort1});
  sim().observeRequests(nullptr);
  EXPECT_EQ(Names_t({"esx1"}), Names(views));
  EXPECT_EQ(3, requests.load());  // the fetch and the two association steps
  EXPECT_EQ(0, requestsWhileFree.load());
  EXPECT_TRUE(LockIsFree());
  EXPECT_GT(TqHardwareIdInstanceCache::Size(), 0u);

  sim().injectFault(On("AssociatorNames", CimErrorFault(1)));
  EXPECT_THROW(PortViews({kEsxPort1}), CIMException);
  EXPECT_EQ(2, LevelOf(record_, "GetIBMSVCCtlrListByHwIDs: TqCimUtilIbmSvcViews.cpp"));
  EXPECT_EQ(0u, TqHardwareIdInstanceCache::Size());
  EXPECT_TRUE(LockIsFree());

  // Through the intersection the fault is traced again and still reaches the caller.
  sim().injectFault(On("EnumerateInstances", CimErrorFault(1)));
  Array<CIMObjectPath> volumes{VolumeNamed(kCluster, "vd1")};
  Array<String> ports{kEsxPort1};
  EXPECT_THROW(util_.GetctlrPathListByAssn(conn_, system_, volumes, ports), CIMException);
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetIBMSVCCtlrListByHwIDs: TqCimUtilViews.cpp"));
  EXPECT_TRUE(LockIsFree());
}

}  // namespace
