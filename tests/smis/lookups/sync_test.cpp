// Synchronization paths (replica pairs) from a source and from a target, on the simulated 3PAR arrays
// and with paths of other families built locally.
#include <gtest/gtest.h>

#include "support/Seeds.h"
#include "support/SimArrayFixture.h"

using namespace Pegasus;
using namespace lookuptest;

namespace {

class SyncPathTest : public SimArrayTest {
 protected:
  SyncPathTest() : SimArrayTest(kThreeArrays) {}

  std::string Text(const char* volume) { return VolumePath("0A0002", volume).toString().str(); }

  // A virtual copy of the volume (by ElementName) on the second array.
  void Copy(const char* source, const char* name) {
    sim().withModel([&](smissim::Model& model) {
      smissim::StorageArray& array = *model.arrayBySerial("0A0002");
      CIMInstance base = *model.findVolumeByName(array, source);
      model.addVirtualCopy(array, base, name);
      return 0;
    });
  }

  // Whether the sync path text names the pair of these two volumes.
  bool NamesPair(const std::string& syncPath, const char* source, const char* target) {
    CIMObjectPath path{String(syncPath)};
    return refersToSameObject(CIMObjectPath(String(util_.GetPropByObjPath(path, "SystemElement"))),
                              VolumePath("0A0002", source)) &&
           refersToSameObject(CIMObjectPath(String(util_.GetPropByObjPath(path, "SyncedElement"))),
                              VolumePath("0A0002", target));
  }
};

TEST_F(SyncPathTest, ThreeParPairIsBuiltWithoutAsking) {
  CIMObjectPath source = VolumePath("0A0002", "data1");
  source.setHost("127.0.0.1");
  source.setNameSpace(CIMNamespaceName("root/tpd"));
  CIMObjectPath target = VolumePath("0A0002", "data1-snapB");
  CIMObjectPath pair = util_.GetSyncPath(conn_, "root/tpd", SystemNameOf("0A0002"), source, target);
  EXPECT_EQ(0u, Requests("ReferenceNames") + Requests("GetInstance"));
  EXPECT_EQ("TPD_StorageSynchronized", pair.getClassName().getString().str());
  EXPECT_EQ("127.0.0.1", pair.getHost().str());
  EXPECT_TRUE(NamesPair(pair.toString().str(), "data1", "data1-snapB"));
  // The built path names the provider's pair.
  EXPECT_EQ("4", util_.GetCIMProp(conn_, pair, "CopyType"));
  // Built even for volumes that form no pair.
  CIMObjectPath unpaired = VolumePath("0A0002", "data2");
  EXPECT_FALSE(util_.GetSyncPath(conn_, "root/tpd", "", source, unpaired).toString().isEmpty());
}

TEST_F(SyncPathTest, OtherFamiliesBuildLocallyOrAskOnTheTarget) {
  struct Case {
    const char* source;
    const char* target;
    const char* pairClass;
  };
  const Case local[] = {
      {"LSISSI_StorageVolume.DeviceID=\"s\"", "LSISSI_StorageVolume.DeviceID=\"t\"", "LSISSI_VolumeCopySynchronized"},
      {"DCIM_StorageVolume.DeviceID=\"s\"", "DCIM_StorageVolume.DeviceID=\"t\"", "DCIM_VolumeCopySynchronized"},
      {"NETAPP_StorageVolume.DeviceID=\"s\"", "NETAPP_Volume.DeviceID=\"snapshot\"", "NETAPP_VolumeCopySynchronized"},
      {"IBMTSSVC_StorageVolume.DeviceID=\"s\"", "IBMTSSVC_StorageVolume.DeviceID=\"Snapshot\"",
       "IBMTSSVC_LocalStorageSynchronized"},
  };
  for (const Case& c : local) {
    CIMObjectPath pair = util_.GetSyncPath(conn_, "root/tpd", "", CIMObjectPath(c.source), CIMObjectPath(c.target));
    EXPECT_EQ(c.pairClass, pair.getClassName().getString().str()) << c.source;
  }
  EXPECT_EQ(0u, Requests("ReferenceNames"));

  // Other families, and LSI-family targets that are snapshots, are asked on the target.
  CIMObjectPath genericSource("CIM_StorageVolume.DeviceID=\"s\"");
  CIMObjectPath snapA = VolumePath("0A0002", "data1-snapA");
  CIMObjectPath pair = util_.GetSyncPath(conn_, "root/tpd", "", genericSource, snapA);
  EXPECT_TRUE(NamesPair(pair.toString().str(), "data1", "data1-snapA"));
  EXPECT_EQ(1, CountMessages(record_, "SMIS::GetSyncPath: Sync Path "));

  CIMObjectPath data1 = VolumePath("0A0002", "data1");
  EXPECT_TRUE(util_.GetSyncPath(conn_, "root/tpd", "", genericSource, data1).toString().isEmpty());
  EXPECT_EQ(1, CountMessages(record_, "Error: Multiple sync paths reported"));
  CIMObjectPath unpaired = VolumePath("0A0002", "data2");
  EXPECT_TRUE(util_.GetSyncPath(conn_, "root/tpd", "", genericSource, unpaired).toString().isEmpty());

  CIMObjectPath lsiSource("LSISSI_StorageVolume.DeviceID=\"s\"");
  CIMObjectPath lsiSnapshot("LSISSI_Snapshot.DeviceID=\"t\"");
  EXPECT_TRUE(util_.GetSyncPath(conn_, "root/tpd", "", lsiSource, lsiSnapshot).toString().isEmpty());
  EXPECT_EQ(4u, Requests("ReferenceNames"));
}

TEST_F(SyncPathTest, FirstPairOfASource) {
  std::string syncPath, target, targetName;
  EXPECT_EQ(0, util_.GetSyncPathFromSource(conn_, Text("data1"), syncPath, target, targetName));
  EXPECT_TRUE(NamesPair(syncPath, "data1", "data1-snapA"));
  EXPECT_TRUE(refersToSameObject(CIMObjectPath(String(target)), VolumePath("0A0002", "data1-snapA")));
  EXPECT_EQ(WwnOf("0A0002", "data1-snapA"), targetName);
  EXPECT_EQ(1, CountMessages(record_, "Sync paths size [2] for source dev [" + WwnOf("0A0002", "data1") + "]"));

  std::string untouched = "kept";
  EXPECT_EQ(-1, util_.GetSyncPathFromSource(conn_, Text("data2"), untouched, untouched, untouched));
  EXPECT_EQ("kept", untouched);
  EXPECT_EQ(2, LevelOf(record_, "No sync paths reported for source [" + WwnOf("0A0002", "data2") + "]"));
}

TEST_F(SyncPathTest, PairOfASourceByTargetLabel) {
  std::string syncPath, target, targetName = "kept";
  EXPECT_EQ(0, util_.GetDelSyncPathFromSource(conn_, Text("data1"), syncPath, target, targetName, "snapB"));
  EXPECT_TRUE(NamesPair(syncPath, "data1", "data1-snapB"));
  EXPECT_EQ(WwnOf("0A0002", "data1-snapB"), targetName);
  EXPECT_EQ(1, CountMessages(record_, "Target Device Name [data1-snapA]"));
  EXPECT_EQ(1, CountMessages(record_, "Match found, target device name [data1-snapB]"));

  targetName = "kept";
  EXPECT_EQ(-1, util_.GetDelSyncPathFromSource(conn_, Text("data1"), syncPath, target, targetName, "snapC"));
  EXPECT_TRUE(NamesPair(syncPath, "data1", "data1-snapB"));  // the last candidate looked at
  EXPECT_EQ("kept", targetName);
  EXPECT_EQ(1, CountMessages(record_, "No deleted state sync paths reported for source"));

  // A blank label selects no pair: it must never pick some copy of the source.
  for (const char* blank : {"", "   "}) {
    SCOPED_TRACE(std::string("label [") + blank + "]");
    targetName = "kept";
    EXPECT_EQ(-1, util_.GetDelSyncPathFromSource(conn_, Text("data1"), syncPath, target, targetName, blank));
    EXPECT_EQ("kept", targetName);
  }
}

TEST_F(SyncPathTest, AllTargetsOfASourceWithALabel) {
  std::map<std::string, std::string> targets = {{"earlier", "entry"}};
  EXPECT_EQ(0, util_.GetAllSyncPathFromSource(conn_, Text("data1"), "data1-snap", targets));
  ASSERT_EQ(3u, targets.size());
  EXPECT_EQ("entry", targets["earlier"]);
  EXPECT_TRUE(refersToSameObject(CIMObjectPath(String(targets[WwnOf("0A0002", "data1-snapB")])),
                                 VolumePath("0A0002", "data1-snapB")));
  EXPECT_EQ(1, CountMessages(record_, "3 targets found with label [data1-snap]"));

  std::map<std::string, std::string> none;
  EXPECT_EQ(0, util_.GetAllSyncPathFromSource(conn_, Text("data1"), "other", none));
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(0, util_.GetAllSyncPathFromSource(conn_, Text("data1"), "", none));
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(-1, util_.GetAllSyncPathFromSource(conn_, Text("data2"), "", none));
}

TEST_F(SyncPathTest, PairOfASourceByCopyType) {
  std::string syncPath = "kept", target = "kept";
  EXPECT_EQ(-1, util_.GetSyncPathFromSourceBySyncType(conn_, 5, Text("data1"), syncPath, target));
  EXPECT_EQ("kept", syncPath);
  EXPECT_EQ(2, CountMessages(record_, "copyType [4]"));
  EXPECT_EQ(1, CountMessages(record_, "No sync paths of copy type [5] reported for source"));

  EXPECT_EQ(0, util_.GetSyncPathFromSourceBySyncType(conn_, 4, Text("data1"), syncPath, target));
  EXPECT_TRUE(NamesPair(syncPath, "data1", "data1-snapA"));
  EXPECT_TRUE(refersToSameObject(CIMObjectPath(String(target)), VolumePath("0A0002", "data1-snapA")));
  EXPECT_EQ(-1, util_.GetSyncPathFromSourceBySyncType(conn_, 4, Text("data2"), syncPath, target));
}

// A pair whose CopyType reads as nothing is no pair of copy type 0 (an empty text would read as 0).
TEST_F(SyncPathTest, PairWithoutCopyTypeIsNeverOfCopyTypeZero) {
  sim().withModel([&](smissim::Model& model) {
    for (const CIMInstance* pair : model.store().enumerate("TPD_StorageSynchronized")) {
      CIMInstance* mutablePair = model.store().findMutable(pair->getPath());
      mutablePair->removeProperty(mutablePair->findProperty("CopyType"));
    }
    return 0;
  });
  std::string syncPath = "kept", target = "kept";
  EXPECT_EQ(-1, util_.GetSyncPathFromSourceBySyncType(conn_, 0, Text("data1"), syncPath, target));
  EXPECT_EQ("kept", syncPath);
  EXPECT_EQ("kept", target);
  EXPECT_EQ(1, CountMessages(record_, "No sync paths of copy type [0] reported for source"));
}

TEST_F(SyncPathTest, SourceThatIsNoPathFails) {
  std::string syncPath, target, name;
  std::map<std::string, std::string> targets;
  std::string wwn = WwnOf("0A0002", "data1");
  EXPECT_EQ(-1, util_.GetSyncPathFromSource(conn_, wwn, syncPath, target, name));
  EXPECT_EQ(-1, util_.GetDelSyncPathFromSource(conn_, wwn, syncPath, target, name, ""));
  EXPECT_EQ(-1, util_.GetAllSyncPathFromSource(conn_, wwn, "", targets));
  EXPECT_EQ(-1, util_.GetSyncPathFromSourceBySyncType(conn_, 4, wwn, syncPath, target));
  EXPECT_EQ(-1, util_.GetSyncPathFromTarget(conn_, wwn, syncPath, target, name));
  EXPECT_EQ(9, CountMessages(record_, "Caught Exception: malformed object name"));  // name reads and parses
  EXPECT_EQ(0u, Requests("ReferenceNames") + Requests("References"));
}

TEST_F(SyncPathTest, PairOfATarget) {
  std::string syncPath, sourcePath, sourceName;
  EXPECT_EQ(0, util_.GetSyncPathFromTarget(conn_, Text("data1-snapA"), syncPath, sourcePath, sourceName));
  EXPECT_TRUE(NamesPair(syncPath, "data1", "data1-snapA"));
  EXPECT_TRUE(refersToSameObject(CIMObjectPath(String(sourcePath)), VolumePath("0A0002", "data1")));
  EXPECT_EQ(WwnOf("0A0002", "data1"), sourceName);

  std::string pair;
  EXPECT_EQ(0, util_.GetSyncPathFromTargetAndSource(conn_, Text("data1-snapB"), Text("data1"), pair));
  EXPECT_TRUE(NamesPair(pair, "data1", "data1-snapB"));
  record_.clearMessages();
  std::string kept = "kept";
  EXPECT_EQ(-1, util_.GetSyncPathFromTargetAndSource(conn_, Text("data1-snapB"), Text("data2"), kept));
  EXPECT_EQ("kept", kept);
  EXPECT_EQ(1u, record_.messages().size());  // the count trace only

  EXPECT_EQ(1, util_.GetSyncPathFromTarget(conn_, Text("data2"), syncPath, sourcePath, sourceName));
  EXPECT_EQ(1, CountMessages(record_, "No sync paths [" + WwnOf("0A0002", "data2") + "]"));
  EXPECT_EQ(1, util_.GetSyncPathFromTargetAndSource(conn_, Text("data2"), Text("data1"), kept));
}

TEST_F(SyncPathTest, UnreadableSourceNamesNeverMatch) {
  // The given source's Name and the pair's source Name both fail to read: no pair is reported.
  smissim::FaultRule rule = On("GetInstance", CimErrorFault(6, "", 2));
  rule.className = "CIM_StorageVolume";
  rule.skip = 1;  // the target's own Name still reads
  sim().injectFault(rule);
  std::string kept = "kept";
  EXPECT_EQ(-1, util_.GetSyncPathFromTargetAndSource(conn_, Text("data1-snapB"), Text("data1"), kept));
  EXPECT_EQ("kept", kept);
}

TEST_F(SyncPathTest, TargetInSeveralPairsOrNowASource) {
  // A copy of a copy: data1-snapA is now the target of one pair and the source of another.
  Copy("data1-snapA", "data1-snapA-rw");
  std::string syncPath = "kept", sourcePath = "kept", sourceName = "kept";
  EXPECT_EQ(-1, util_.GetSyncPathFromTarget(conn_, Text("data1-snapA"), syncPath, sourcePath, sourceName));
  EXPECT_EQ(1, CountMessages(record_, "More than one sync path reported for target"));

  // A volume whose only pair names it as the source: the pair that made it is gone.
  Copy("data2", "data2-snap");
  EXPECT_EQ(-1, util_.GetSyncPathFromTarget(conn_, Text("data2"), syncPath, sourcePath, sourceName));
  EXPECT_EQ("kept", syncPath);
  EXPECT_EQ("kept", sourceName);
  EXPECT_EQ(1, CountMessages(record_, "Returning empty sync path as It seems original sync path already deleted"));
  EXPECT_EQ(-1, util_.GetSyncPathFromTargetAndSource(conn_, Text("data2"), Text("data1"), syncPath));
  EXPECT_EQ(2, CountMessages(record_, "Returning empty sync path as It seems original sync path already deleted"));
  // The source test comes first: the same volume as target and source matches its own pair.
  EXPECT_EQ(0, util_.GetSyncPathFromTargetAndSource(conn_, Text("data2"), Text("data2"), syncPath));
  EXPECT_TRUE(NamesPair(syncPath, "data2", "data2-snap"));
}

}  // namespace
