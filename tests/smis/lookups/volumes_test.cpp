// Volume lookups by identifier (with and without the shared cache), existence checks and volume paths,
// among three arrays of 150 and more volumes each.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/Seeds.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

class VolumeLookupTest : public SimArrayTest {
 protected:
  VolumeLookupTest() : SimArrayTest(kThreeArrays) {}

  std::string Lookup(const std::string& wwn, const std::string& arrayName) {
    return util_.GetVolObjPathByUUID(conn_, String(wwn), String(arrayName));
  }

  // The "DeviceID" key of a path text; "" when the text is empty.
  std::string DeviceIdOf(const std::string& pathText) {
    if (pathText.empty()) return "";
    CIMObjectPath path{String(pathText)};
    return util_.GetPropByObjPath(path, "DeviceID");
  }

  bool CacheLockIsFree() {
    std::atomic<int> taken{0};
    std::thread probe([&] {
      taken = TqCimUtil::m_CimUtilLock.enter(false);
      if (taken) TqCimUtil::m_CimUtilLock.leave();
    });
    probe.join();
    return taken == 1;
  }

  const std::string array1_ = SystemNameOf("0A0001");
  const std::string array2_ = SystemNameOf("0A0002");
};

TEST_F(VolumeLookupTest, FindsTheVolumeOfTheNamedArrayWithoutTheCache) {
  const std::string wwn = WwnOf("0A0002", "a2vv00120");
  std::string path = Lookup(wwn, array2_);
  EXPECT_EQ(wwn, DeviceIdOf(path));
  EXPECT_NE(std::string::npos, path.find("root/tpd:")) << path;
  EXPECT_EQ(1u, Requests("EnumerateInstances"));

  // Same identifier asked on another array: the system check refuses it.
  EXPECT_EQ("", Lookup(wwn, array1_));
  EXPECT_EQ(1, CountMessages(record_, "System name given [" + array1_ + "] but actual system name [" + array2_ + "]"));
  // No array: any system.
  EXPECT_EQ(wwn, DeviceIdOf(Lookup(wwn, "")));
  // The system name is compared whole: a part of it does not do.
  EXPECT_EQ("", Lookup(wwn, array2_.substr(0, 12)));
  // Identifiers compare with case.
  std::string lower = wwn;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ("", Lookup(lower, array2_));

  EXPECT_EQ(5u, Requests("EnumerateInstances"));
  EXPECT_EQ(0u, TqVolumeInstanceCache::Size());
  EXPECT_EQ(0, CountMessages(record_, "CimUtil lock"));
}

TEST_F(VolumeLookupTest, EmptyIdentifierFindsNothingWithoutAsking) {
  EXPECT_EQ("", Lookup("", array2_));
  EXPECT_EQ("", Lookup("   ", ""));
  EXPECT_EQ(0u, Requests("EnumerateInstances"));
}

TEST_F(VolumeLookupTest, CacheFillsOnceAndServesLaterLookups) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  const char* names[] = {"a2vv00001", "a2vv00150", "data2", "a2vv00077"};
  for (const char* name : names) {
    std::string wwn = WwnOf("0A0002", name);
    EXPECT_EQ(wwn, DeviceIdOf(Lookup(wwn, array2_))) << name;
  }
  EXPECT_EQ(1u, Requests("EnumerateInstances"));
  EXPECT_EQ(3, CountMessages(record_, "Not fetching volumes as already cached"));
  EXPECT_EQ(4, CountMessages(record_, "Acquired CimUtil lock"));
  EXPECT_EQ(4, CountMessages(record_, "Released CimUtil lock"));
  // Every volume of the provider is cached, with its "Name" only.
  EXPECT_GE(TqVolumeInstanceCache::Size(), 3u * 150u + 4u);
  EXPECT_TRUE(CacheLockIsFree());
}

TEST_F(VolumeLookupTest, CacheRefreshesAtMostOncePerLookup) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  ASSERT_NE("", Lookup(WwnOf("0A0001", "data1"), array1_));
  ASSERT_EQ(1u, Requests("EnumerateInstances"));

  // Not on the array at all: one refresh, then nothing; the next miss refreshes again.
  EXPECT_EQ("", Lookup("60002AC0FFFFFFFFFFFFFFFFFF0A0002", array2_));
  EXPECT_EQ(2u, Requests("EnumerateInstances"));
  EXPECT_EQ(1, CountMessages(record_, "refreshed cached volume instances"));
  EXPECT_EQ("", Lookup("60002AC0FFFFFFFFFFFFFFFFFF0A0002", array2_));
  EXPECT_EQ(3u, Requests("EnumerateInstances"));

  // A volume made after the fill is found in the refreshed list.
  std::string made = sim().withModel([](smissim::Model& model) {
    smissim::VolumeSpec spec;
    spec.name = "made-later";
    spec.cpg = "CPG1";
    spec.sizeBytes = 1 << 30;
    model.addVolume(*model.arrayBySerial("0A0003"), spec);
    return model.findVolumeByName(*model.arrayBySerial("0A0003"), "made-later")->getPath().toString().str();
  });
  std::string wwn = WwnOf("0A0003", "made-later");
  EXPECT_EQ(wwn, DeviceIdOf(Lookup(wwn, SystemNameOf("0A0003"))));
  EXPECT_EQ(4u, Requests("EnumerateInstances"));
  EXPECT_EQ(1, CountMessages(record_, "Found volume UUID [" + wwn + "] in the refreshed cache list"));
  EXPECT_TRUE(CacheLockIsFree());
}

TEST_F(VolumeLookupTest, ListFetchedInThisLookupIsNeverRefreshed) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  ASSERT_EQ(0u, TqVolumeInstanceCache::Size());
  // The empty cache is filled by this lookup: a miss in that fresh list asks the provider no second time.
  EXPECT_EQ("", Lookup("60002AC0FFFFFFFFFFFFFFFFFF0A0002", array2_));
  EXPECT_EQ(1u, Requests("EnumerateInstances"));
  EXPECT_EQ(0, CountMessages(record_, "refreshed cached volume instances"));
  EXPECT_GT(TqVolumeInstanceCache::Size(), 0u);
  EXPECT_TRUE(CacheLockIsFree());
}

TEST_F(VolumeLookupTest, NoRefreshWhenTheLastCachedVolumeMatchesOnAnotherArray) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  ASSERT_NE("", Lookup(WwnOf("0A0001", "data1"), array1_));
  // The provider lists the third array's generated volumes last: its last volume asked on array 1 matches
  // the identifier but not the system, so the scan ends without a refresh.
  std::string last = WwnOf("0A0003", "a3vv00150");
  EXPECT_EQ("", Lookup(last, array1_));
  EXPECT_EQ(1u, Requests("EnumerateInstances"));
  EXPECT_EQ(0, CountMessages(record_, "refreshed cached volume instances"));
}

TEST_F(VolumeLookupTest, ConcurrentCachedLookupsFillTheCacheOnce) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  const int kThreads = 8;
  std::vector<std::string> wwns, found(kThreads);
  for (int i = 0; i < kThreads; ++i) wwns.push_back(WwnOf("0A0002", "a2vv0010" + std::to_string(i)));
  std::vector<TQSO::SnapInfo> records(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      TqCimConnection connection(conn_);  // a copy has no client of its own until it connects
      connection.m_SnapInfo = &records[i];
      if (connection.ConnectCimom() != 0) return;
      TqCimUtil util;
      util.m_SnapInfo = &records[i];
      found[i] = util.GetVolObjPathByUUID(connection, String(wwns[i]), String(array2_));
      connection.DisconnectCimom();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < kThreads; ++i) EXPECT_EQ(wwns[i], DeviceIdOf(found[i])) << i;
  EXPECT_EQ(1u, Requests("EnumerateInstances"));
  EXPECT_TRUE(CacheLockIsFree());
}

TEST_F(VolumeLookupTest, CacheFilledFromAnotherProviderIsRefreshed) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  smissim::TestServer other(OptionsWithSeed(R"({"arrays": [{"serial": "0C0001", "cpgs": ["C"],
      "volumes": [{"name": "far", "cpg": "C"}]}]})"));
  std::string farWwn = other->withModel([](smissim::Model& model) {
    const Pegasus::CIMInstance* volume = model.findVolumeByName(*model.arrayBySerial("0C0001"), "far");
    return volume->getProperty(volume->findProperty("Name")).getValue().toString().str();
  });
  TqCimomParams params = ParamsFor(other);
  TqCimConnection otherConn;
  otherConn.m_Cimom.SetCimom(params);
  ASSERT_EQ(0, otherConn.ConnectCimom());

  std::string nearWwn = WwnOf("0A0002", "data2");
  ASSERT_NE("", Lookup(nearWwn, array2_));
  // The cache holds the first provider's volumes: the miss refreshes it from the second provider.
  EXPECT_EQ(farWwn, DeviceIdOf(util_.GetVolObjPathByUUID(otherConn, String(farWwn), String(SystemNameOf("0C0001")))));
  EXPECT_EQ(1u, other->requestCount("EnumerateInstances"));
  EXPECT_LT(TqVolumeInstanceCache::Size(), 10u);
  // And back again for the first provider.
  EXPECT_EQ(nearWwn, DeviceIdOf(Lookup(nearWwn, array2_)));
  EXPECT_EQ(2u, Requests("EnumerateInstances"));
  otherConn.DisconnectCimom();
}

TEST_F(VolumeLookupTest, FailedFillReleasesTheLockAndLeavesTheCacheEmpty) {
  TqConfigOverride cacheOn("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", "1");
  sim().injectFault(On("EnumerateInstances", CimErrorFault(1, "provider busy")));

  std::string wwn = WwnOf("0A0002", "data2");
  EXPECT_EQ("", Lookup(wwn, array2_));
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetVolObjPathByUUID: TqCimUtilVolumes.cpp"));
  EXPECT_EQ(2, LevelOf(record_, "Caught CIMException: CIM_ERR_FAILED:"));
  EXPECT_EQ(1, CountMessages(record_, "Released CimUtil lock"));
  // The lock is let go only once the fault has been traced.
  ASSERT_FALSE(record_.messages().empty());
  EXPECT_NE(std::string::npos, record_.messages().back().text.find("Released CimUtil lock"));
  EXPECT_TRUE(CacheLockIsFree());
  EXPECT_EQ(0u, TqVolumeInstanceCache::Size());
  // The next lookup fills the cache.
  EXPECT_EQ(wwn, DeviceIdOf(Lookup(wwn, array2_)));
  EXPECT_GT(TqVolumeInstanceCache::Size(), 0u);
}

TEST_F(VolumeLookupTest, ZeroOrNegativeSettingLeavesTheCacheOff) {
  for (const char* value : {"0", "-1"}) {
    TqConfigOverride setting("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", value);
    std::string wwn = WwnOf("0A0001", "a1vv00003");
    EXPECT_EQ(wwn, DeviceIdOf(Lookup(wwn, array1_))) << value;
    EXPECT_EQ(0u, TqVolumeInstanceCache::Size()) << value;
  }
  EXPECT_EQ(2u, Requests("EnumerateInstances"));
  EXPECT_EQ(0, CountMessages(record_, "CimUtil lock"));
}

TEST_F(VolumeLookupTest, ExistenceOfVolumesByPathAndByIdentifier) {
  const std::string wwn = WwnOf("0A0002", "data2");
  std::string path = Lookup(wwn, array2_);
  ASSERT_FALSE(path.empty());
  std::string lowerWwn = wwn;
  for (char& c : lowerWwn) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

  struct Case {
    const char* what;
    std::string volume;
    std::string arrayName;
    std::string uuid;
    int expected;
  };
  const std::vector<Case> cases = {
      {"path, no uuid", path, array2_, "", 1},
      {"path, uuid in other case", path, array2_, lowerWwn, 1},
      {"path, blank uuid (no test)", path, array2_, "   ", 1},
      {"path of a volume now named otherwise", path, array2_, WwnOf("0A0002", "lonely"), 0},
      {"identifier on its array", wwn, array2_, "", 1},
      {"identifier on another array", wwn, array1_, "", 0},
      {"unknown identifier", "60002AC0FFFFFFFFFFFFFFFFFF0A0002", array2_, "", 0},
      {"empty text", "", array2_, "", 0},
  };
  for (Case c : cases)
    EXPECT_EQ(c.expected, util_.CheckInstanceExistence(conn_, c.arrayName, c.volume, c.uuid)) << c.what;

  // A volume deleted since: the CIMOM answers not-found.
  std::string gone = Lookup(WwnOf("0A0002", "lonely"), array2_);
  sim().withModel([&](smissim::Model& model) {
    model.removeVolume(*model.arrayBySerial("0A0002"), CIMObjectPath(String(gone)));
    return 0;
  });
  std::string array = array2_;
  EXPECT_EQ(0, util_.CheckInstanceExistence(conn_, array, gone, ""));
}

TEST_F(VolumeLookupTest, ExistenceIsUndeterminedWhenTheCimomFailsOrRefuses) {
  std::string path = Lookup(WwnOf("0A0002", "data2"), array2_);
  std::string array = array2_;

  sim().injectFault(On("GetInstance", CimErrorFault(1)));
  EXPECT_EQ(-1, util_.CheckInstanceExistence(conn_, array, path, ""));

  // A refused read says nothing about the volume: never "gone".
  sim().injectFault(On("GetInstance", HttpStatusFault(401)));
  EXPECT_EQ(-1, util_.CheckInstanceExistence(conn_, array, path, ""));

  sim().injectFault(On("EnumerateInstances", HttpStatusFault(401)));
  std::string wwn = WwnOf("0A0002", "data2");
  EXPECT_EQ(-1, util_.CheckInstanceExistence(conn_, array, wwn, ""));
}

TEST_F(VolumeLookupTest, VolumePathFromTextOrIdentifier) {
  const std::string wwn = WwnOf("0A0002", "data2");
  CIMObjectPath path;
  ASSERT_TRUE(util_.GetVolumeObjectPath(conn_, array2_, wwn, path, 11));
  EXPECT_EQ(wwn, util_.GetPropByObjPath(path, "DeviceID"));
  EXPECT_EQ(1, CountMessages(record_, "assuming [UUID(Name)]"));

  ASSERT_TRUE(util_.GetVolumeObjectPath(conn_, array2_, wwn, path, 7));
  EXPECT_EQ(1, CountMessages(record_, "assuming [DeviceNumber(DeviceID)]"));

  // A path text is taken as it is: no request, no array check.
  std::string text = path.toString().str();
  std::uint64_t before = Requests("EnumerateInstances");
  CIMObjectPath parsed;
  ASSERT_TRUE(util_.GetVolumeObjectPath(conn_, "no-such-array", text, parsed, 11));
  EXPECT_EQ(text, parsed.toString().str());
  EXPECT_EQ(before, Requests("EnumerateInstances"));

  // Identifier on another array, or nothing at all.
  CIMObjectPath kept = parsed;
  EXPECT_FALSE(util_.GetVolumeObjectPath(conn_, array1_, wwn, parsed, 11));
  EXPECT_EQ(1, CountMessages(record_, " Volume Name [" + wwn + "] not found"));
  record_.clearMessages();
  parsed = kept;
  EXPECT_FALSE(util_.GetVolumeObjectPath(conn_, array2_, "", parsed, 11));
  EXPECT_EQ(kept, parsed);
  EXPECT_TRUE(record_.messages().empty());
}

// A Name beginning with a letter parses as a class path without keys; it is still looked up as a Name.
TEST_F(VolumeLookupTest, ANameBeginningWithALetterIsLookedUpByName) {
  const std::string name = "B0002AC000000000000000000A0A0002";
  sim().withModel([&](smissim::Model& model) {
    smissim::VolumeSpec spec;
    spec.name = "lettered";
    spec.thin = false;
    spec.sizeBytes = 1ull << 30;
    spec.wwn = name;
    model.addVolume(*model.arrayBySerial("0A0002"), spec);
    return 0;
  });
  std::string array = array2_;
  std::string text = name;
  EXPECT_EQ(1, util_.CheckInstanceExistence(conn_, array, text, ""));
  array = array1_;
  EXPECT_EQ(0, util_.CheckInstanceExistence(conn_, array, text, ""));
  CIMObjectPath path;
  ASSERT_TRUE(util_.GetVolumeObjectPath(conn_, array2_, name, path, 11));
  EXPECT_EQ(name, util_.GetPropByObjPath(path, "DeviceID"));
}

}  // namespace
