// Copies through the project's client: virtual copies, physical copies and their jobs.
#include <gtest/gtest.h>

#include "smis-sim/ReturnCodes.h"
#include "support/SmallArrayTest.h"

using namespace Pegasus;
using namespace simtest;
using namespace smissim::returnCode;

namespace {

class SnapshotTest : public SmallArrayTest {
 protected:
  CIMObjectPath configService() { return firstName(client, "CIM_StorageConfigurationService"); }

  Uint32 invoke(const char* method, const Array<CIMParamValue>& in, Array<CIMParamValue>& out) {
    return returnCode(client.invokeMethod(tpd(), configService(), CIMName(method), in, out));
  }

  Uint32 createReplica(const CIMObjectPath& source, const String& name, Uint16 copyType, Array<CIMParamValue>& out) {
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", name.isEmpty() ? CIMValue(CIMTYPE_STRING, false) : CIMValue(name)));
    in.append(CIMParamValue("CopyType", CIMValue(copyType)));
    in.append(CIMParamValue("SourceElement", CIMValue(source)));
    in.append(CIMParamValue("TargetSettingGoal", CIMValue(CIMTYPE_REFERENCE, false)));
    in.append(CIMParamValue("TargetPool", CIMValue(CIMTYPE_REFERENCE, false)));
    return invoke("CreateReplica", in, out);
  }

  Uint32 volumeCount() { return client.enumerateInstanceNames(tpd(), "CIM_StorageVolume").size(); }

  // JobState of each poll, 0 when the job is gone.
  std::vector<int> pollJob(const CIMObjectPath& job, int polls) {
    Array<CIMName> names;
    for (const char* name : {"JobStatus", "JobState", "PercentComplete"}) names.append(CIMName(name));
    std::vector<int> states;
    for (int i = 0; i < polls; ++i) {
      try {
        CIMInstance instance = client.getInstance(tpd(), job, false, false, false, CIMPropertyList(names));
        states.push_back(std::stoi(propertyText(instance, "JobState").str()));
      } catch (const CIMException& e) {
        EXPECT_EQ(CIM_ERR_NOT_FOUND, e.getCode());
        states.push_back(0);
      }
    }
    return states;
  }

  CIMObjectPath attachClone(Array<CIMParamValue>& out) {
    Array<CIMParamValue> in;
    in.append(CIMParamValue("SourceElement", CIMValue(volumeNamed(client, "base1").getPath())));
    in.append(CIMParamValue("TargetElement", CIMValue(volumeNamed(client, "clone1").getPath())));
    in.append(CIMParamValue("CopyType", CIMValue(Uint16(4))));
    EXPECT_EQ(kJobStarted, invoke("AttachOrModifyReplica", in, out));
    CIMObjectPath job;
    outParam(out, "Job").get(job);
    return job;
  }

  // The pair path as a client builds it from the two volume paths.
  CIMObjectPath pairPath(const char* source, const char* target) {
    Array<CIMKeyBinding> keys;
    keys.append(
        CIMKeyBinding("SystemElement", volumeNamed(client, source).getPath().toString(), CIMKeyBinding::REFERENCE));
    keys.append(
        CIMKeyBinding("SyncedElement", volumeNamed(client, target).getPath().toString(), CIMKeyBinding::REFERENCE));
    return CIMObjectPath("", tpd(), "TPD_StorageSynchronized", keys);
  }
};

TEST_F(SnapshotTest, CreatedSnapshotShowsInEnumerationsAndAssociations) {
  CIMObjectPath base = volumeNamed(client, "base1").getPath();
  Array<CIMParamValue> out;
  ASSERT_EQ(0u, createReplica(base, "snap1", 4, out));
  CIMObjectPath snapshot;
  outParam(out, "TargetElement").get(snapshot);
  ASSERT_FALSE(snapshot.getClassName().isNull());

  CIMInstance copy = volumeNamed(client, "snap1");
  EXPECT_TRUE(refersToSameObject(copy.getPath(), snapshot));
  EXPECT_EQ(propertyText(copy, "Name"), propertyText(copy, "DeviceID"));
  EXPECT_EQ(String("1"), propertyText(copy, "Access")) << "a copy of a read-write volume is read-only";
  EXPECT_EQ(propertyText(volumeNamed(client, "base1"), "NumberOfBlocks"), propertyText(copy, "NumberOfBlocks"));

  Array<CIMObjectPath> related =
      client.associatorNames(tpd(), base, "CIM_StorageSynchronized", "CIM_StorageVolume", "", "");
  ASSERT_EQ(1u, related.size());
  EXPECT_TRUE(refersToSameObject(related[0], snapshot));
  EXPECT_EQ(String("TPD_StorageVolume"), related[0].getClassName().getString());

  Array<CIMObjectPath> pools =
      client.associatorNames(tpd(), snapshot, "CIM_AllocatedFromStoragePool", "CIM_StoragePool", "", "");
  ASSERT_EQ(1u, pools.size());
  EXPECT_EQ(String("TPD_DeltaReplicaStoragePool"), pools[0].getClassName().getString());

  Array<CIMObjectPath> pairs = client.referenceNames(tpd(), snapshot, "CIM_StorageSynchronized", "");
  ASSERT_EQ(1u, pairs.size());
  CIMInstance pair = client.getInstance(tpd(), pairPath("base1", "snap1"), false);
  EXPECT_EQ(String("4"), propertyText(pair, "CopyType"));
  EXPECT_EQ(String("11"), propertyText(pair, "SyncState"));
}

TEST_F(SnapshotTest, CopyOfCopyAlternatesAccessAndNamesTheFamilyPool) {
  Array<CIMParamValue> out;
  ASSERT_EQ(0u, createReplica(volumeNamed(client, "base1").getPath(), "snap1", 4, out));
  Array<CIMParamValue> childOut;
  ASSERT_EQ(0u, createReplica(volumeNamed(client, "snap1").getPath(), "TQ-CHILD-1", 4, childOut));
  CIMInstance child = volumeNamed(client, "TQ-CHILD-1");
  EXPECT_EQ(String("3"), propertyText(child, "Access")) << "a copy of a read-only copy is read-write";
  Array<CIMObjectPath> childPool =
      client.associatorNames(tpd(), child.getPath(), "CIM_AllocatedFromStoragePool", "CIM_StoragePool", "", "");
  Array<CIMObjectPath> parentPool = client.associatorNames(tpd(), volumeNamed(client, "snap1").getPath(),
                                                           "CIM_AllocatedFromStoragePool", "CIM_StoragePool", "", "");
  ASSERT_EQ(1u, childPool.size());
  ASSERT_EQ(1u, parentPool.size());
  EXPECT_TRUE(refersToSameObject(childPool[0], parentPool[0]));
}

struct ReplicaRefusal {
  const char* what;
  const char* settings;   // settings applied first
  const char* firstName;  // a copy made before the refused call ("" = none)
  const char* name;
  Uint16 copyType;
  Uint32 expected;
};

TEST_F(SnapshotTest, CreateReplicaRefusalsAnswerArrayCodesAndChangeNothing) {
  const ReplicaRefusal cases[] = {
      {"priming copy type", "{}", "", "probe", 15, kInvalidParameter},
      {"duplicate name", "{}", "snapA", "snapA", 4, kNameInUse},
      {"duplicate name, documented codes only", R"({"strictReturnCodes":true})", "snapA", "snapA", 4, kFailed},
      {"copy limit of the family", R"({"maxSnapshotsPerBase":1})", "snapA", "snapB", 4, kSnapshotLimit},
      {"name longer than 31 characters", "{}", "", "n234567890123456789012345678901x", 4, kInvalidParameter},
  };
  for (const ReplicaRefusal& c : cases) {
    SCOPED_TRACE(c.what);
    server->reset(kSmallSeed);
    server->updateSettings(c.settings);
    CIMObjectPath base = volumeNamed(client, "base1").getPath();
    Array<CIMParamValue> out;
    if (*c.firstName) {
      ASSERT_EQ(0u, createReplica(base, c.firstName, 4, out));
    }
    std::string before = server->modelJson();
    Array<CIMParamValue> refusedOut;
    EXPECT_EQ(c.expected, createReplica(base, c.name, c.copyType, refusedOut));
    EXPECT_TRUE(outParam(refusedOut, "TargetElement").isNull());
    EXPECT_EQ(before, server->modelJson());
  }
}

TEST_F(SnapshotTest, PhysicalCopyJobRunsThroughPollsThenDetachRemovesThePair) {
  server->updateSettings(R"({"jobPolls":2})");
  Array<CIMParamValue> probe, probeOut;
  probe.append(CIMParamValue("SourceElement", CIMValue(volumeNamed(client, "base1").getPath())));
  probe.append(CIMParamValue("TargetElement", CIMValue(volumeNamed(client, "base1").getPath())));
  probe.append(CIMParamValue("CopyType", CIMValue(Uint16(55))));
  EXPECT_EQ(kInvalidParameter, invoke("AttachOrModifyReplica", probe, probeOut)) << "the priming call is refused";

  Array<CIMParamValue> out;
  CIMObjectPath job = attachClone(out);
  EXPECT_EQ(String("15"), propertyText(client.getInstance(tpd(), pairPath("base1", "clone1"), false), "SyncState"));

  Array<CIMParamValue> detachIn, detachOut;
  detachIn.append(CIMParamValue("Operation", CIMValue(Uint16(2))));
  detachIn.append(CIMParamValue("Synchronization", CIMValue(pairPath("base1", "clone1"))));
  EXPECT_EQ(kFailed, invoke("ModifySynchronization", detachIn, detachOut)) << "a running copy cannot be detached";

  EXPECT_EQ((std::vector<int>{4, 4, 7, 7}), pollJob(job, 4));
  EXPECT_EQ(String("14"), propertyText(client.getInstance(tpd(), pairPath("base1", "clone1"), false), "SyncState"));

  EXPECT_EQ(kCompleted, invoke("ModifySynchronization", detachIn, detachOut));
  EXPECT_EQ(
      0u, client.referenceNames(tpd(), volumeNamed(client, "clone1").getPath(), "CIM_StorageSynchronized", "").size());
  EXPECT_EQ(kFailed, invoke("ModifySynchronization", detachIn, detachOut)) << "the pair is gone";
}

TEST_F(SnapshotTest, InjectedJobFaultsEndTheJobAsScripted) {
  struct Case {
    smissim::FaultAction action;
    Uint16 finalState;
    std::vector<int> states;
  };
  const Case cases[] = {
      {smissim::FaultAction::JobFails, 9, {4, 9, 9}},    {smissim::FaultAction::JobFails, 10, {4, 10, 10}},
      {smissim::FaultAction::JobVanishes, 0, {4, 0, 0}}, {smissim::FaultAction::JobNeverEnds, 0, {4, 4, 4}},
      {smissim::FaultAction::AsJob, 0, {4, 7, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(smissim::faultActionName(c.action));
    server->reset(kSmallSeed);
    server->updateSettings(R"({"jobPolls":1})");
    smissim::FaultRule rule;
    rule.operation = "CreateReplica";
    rule.action = c.action;
    rule.jobFinalState = c.finalState;
    server->injectFault(rule);
    Array<CIMParamValue> out;
    ASSERT_EQ(kJobStarted, createReplica(volumeNamed(client, "base1").getPath(), "snapJ", 4, out));
    EXPECT_FALSE(outParam(out, "TargetElement").isNull()) << "the new volume is named with the job";
    CIMObjectPath job;
    outParam(out, "Job").get(job);
    EXPECT_EQ(c.states, pollJob(job, 3));
  }
}

TEST_F(SnapshotTest, RestoreRunsAsJobAndIsRefusedWhileTheCopyIsExposed) {
  Array<CIMParamValue> out;
  ASSERT_EQ(0u, createReplica(volumeNamed(client, "base1").getPath(), "snap1", 4, out));
  Array<CIMParamValue> in, restoreOut;
  in.append(CIMParamValue("Operation", CIMValue(Uint16(5))));
  in.append(CIMParamValue("Synchronization", CIMValue(pairPath("base1", "snap1"))));

  server->seed(R"({"arrays":[{"serial":"00ABCD","exports":[{"volume":"snap1","host":"host1"}]}]})");
  EXPECT_EQ(kFailed, invoke("ModifySynchronization", in, restoreOut));

  server->reset(kSmallSeed);
  ASSERT_EQ(0u, createReplica(volumeNamed(client, "base1").getPath(), "snap1", 4, out));
  EXPECT_EQ(kJobStarted, invoke("ModifySynchronization", in, restoreOut));
  CIMObjectPath job;
  outParam(restoreOut, "Job").get(job);
  EXPECT_EQ(String("10"), propertyText(client.getInstance(tpd(), pairPath("base1", "snap1"), false), "SyncState"));
  pollJob(job, 3);
  EXPECT_EQ(String("11"), propertyText(client.getInstance(tpd(), pairPath("base1", "snap1"), false), "SyncState"));

  Array<CIMParamValue> probe;
  in[0] = CIMParamValue("Operation", CIMValue(Uint16(55)));
  EXPECT_EQ(kInvalidParameter, invoke("ModifySynchronization", in, probe)) << "the priming operation is refused";
}

TEST_F(SnapshotTest, VolumeCreateGrowAndDelete) {
  CIMObjectPath cpg;
  for (const CIMInstance& pool : client.enumerateInstances(tpd(), "CIM_StoragePool", true, false))
    if (propertyText(pool, "ElementName") == String("CPG1")) cpg = pool.getPath();
  ASSERT_FALSE(cpg.getClassName().isNull());

  auto create = [&](const CIMValue& name, Uint64 size, Array<CIMParamValue>& out) {
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", name));
    in.append(CIMParamValue("ElementType", CIMValue(Uint16(5))));
    in.append(CIMParamValue("Goal", CIMValue(CIMTYPE_REFERENCE, false)));
    in.append(CIMParamValue("Size", CIMValue(size)));
    in.append(CIMParamValue("InPool", CIMValue(cpg)));
    in.append(CIMParamValue("TheElement", CIMValue(CIMTYPE_REFERENCE, false)));
    return invoke("CreateOrModifyElementFromStoragePool", in, out);
  };
  Array<CIMParamValue> out;
  Uint32 before = volumeCount();
  EXPECT_EQ(kInvalidParameter, create(CIMValue(CIMTYPE_STRING, false), 0, out)) << "the priming call is refused";
  EXPECT_EQ(before, volumeCount());
  ASSERT_EQ(0u, create(CIMValue("newvol"), 5000, out));
  CIMObjectPath created;
  outParam(out, "TheElement").get(created);
  CIMInstance volume = client.getInstance(tpd(), created, false);
  EXPECT_EQ(String("10"), propertyText(volume, "NumberOfBlocks")) << "5000 bytes take ten 512-byte blocks";
  EXPECT_EQ(String("CPG1"), propertyText(volume, "UserDSPName"));
  EXPECT_EQ(kFailed, create(CIMValue("newvol"), 5000, out)) << "duplicate name";

  Array<CIMParamValue> grow, growOut;
  grow.append(CIMParamValue("Size", CIMValue(Uint64(1024))));
  grow.append(CIMParamValue("TheElement", CIMValue(created)));
  EXPECT_EQ(kSizeNotSupported, invoke("CreateOrModifyElementFromStoragePool", grow, growOut)) << "volumes never shrink";

  Array<CIMParamValue> del, delOut;
  del.append(CIMParamValue("TheElement", CIMValue(created)));
  EXPECT_EQ(kCompleted, invoke("ReturnToStoragePool", del, delOut));
  EXPECT_EQ(before, volumeCount());
  try {
    invoke("ReturnToStoragePool", del, delOut);
    ADD_FAILURE() << "a deleted volume cannot be deleted again";
  } catch (const CIMException& e) {
    EXPECT_EQ(CIM_ERR_NOT_FOUND, e.getCode());
  }
}

}  // namespace
