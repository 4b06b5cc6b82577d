// The snapshot object's error scheme: the 3PAR table row by row, from the provider's code to the device's
// engine error, and what an authentication failure or a missing sink or table leaves on the device.
#include <gtest/gtest.h>

#include <string>

#include "SnapInfo.h"
#include "Tq3PARSnapshot.h"
#include "support/SnapshotFixture.h"

namespace snapshottest {
namespace {

struct Row {
  int provider;
  int smis;
  int engine;
  const char* text;
};

// The table as the array family documents it; a second row for 32771 is reached only by its SMI-S code.
const Row kRows[] = {
    {1, 1, -1, "SMIS internal error"},
    {3, 3, 60541, "SMIS Proivider connection timeout"},
    {4, 4, -1, "SMIS methos failed"},
    {5, 5, 60540, "Invalid Parameter for SMIS method"},
    {4096, 4096, 4096, "Backgroud Job started"},
    {4097, 4097, 60547, "Mapping failed, invalid logical unit ID"},
    {4098, 4098, 60548, "Mapping fialed, invalid initiator port ID"},
    {32768, 650001, 60542, "Source volume not found in SMIS provider"},
    {32773, 650002, 60544, "Failed to create snapshot, snapshot name already in use"},
    {32771, 650003, 60546, "Failed to create clone, previous clone operation in progress"},
    {32771, 650010, 60543, "Falied to create snapshot, maximum number of snapshots reached"},
    {32770, 650004, 60545, "Can not create snapshot using snapshot disk"},
    {32775, 650005, 60546, "Failed to create clone, previous clone operation in pending"},
    {640001, 650006, 60551, "Failed, host mappings found"},
    {640002, 650007, 650007, "mapping not found"},
    {640003, 650008, 60542, "Volume not found in SMIS provider"},
    {640004, 650013, 60552, "Diskgroup not found for snap/clone operation"},
    {640005, 650014, 60555, "CIMOM authentication failure, wrong credintials provided"},
    {640006, 650009, -1, "Insuffient parameters to proceed with SMIS method"},
    {640007, 650015, -1, "supplied parameter for SMIS method not found in provider repository"},
};

bool ReachedByProviderCode(const Row& row) { return row.smis != 650010; }

TEST(SnapshotErrorTable, EachRowTranslatesProviderToSmisToEngineCode) {
  Tq3PARSnapshot snap;
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.text);
    if (ReachedByProviderCode(row)) {
      std::string text = "stale";
      EXPECT_EQ(row.smis, snap.GetVendorSmisErrorCode(row.provider, &text));
      EXPECT_EQ(row.text, text);
    }
    EXPECT_EQ(row.engine, snap.GetTqSmisErrorCode(row.smis));
  }
  std::string text = "stale";
  EXPECT_EQ(-1, snap.GetVendorSmisErrorCode(0, &text)) << "the end row is never matched";
  EXPECT_EQ("", text);
  EXPECT_EQ(-1, snap.GetTqSmisErrorCode(0));
  EXPECT_EQ(-1, snap.GetVendorSmisErrorCode(12345));
  EXPECT_EQ(-1, snap.GetTqSmisErrorCode(650011));
}

TEST(SnapshotErrorTable, EachRowReachesTheDeviceAsItsEngineCodeAndText) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.text);
    TQSO::SnapInfo record;
    Tq3PARSnapshot snap;
    snap.SetLogger(&record);
    snap.setErrorMsg(row.smis, row.text);
    bool setsError = row.engine != -1 && row.engine != 4;
    EXPECT_EQ(setsError ? row.engine : 0, DeviceErrorCode(record));
    EXPECT_EQ(setsError ? row.text : "", DeviceErrorText(record));
    EXPECT_EQ(1, simtest::CountMessages(record, row.text)) << "logged whether or not it becomes the error";
    EXPECT_EQ(row.smis, snap.m_LastErrorCode);
    EXPECT_EQ(row.text, snap.m_LastErrorMsg);
  }
}

TEST(SnapshotErrorScheme, CodesWithoutRowsAndObjectsWithoutTableOrSinkOnlyLogAndRecord) {
  TQSO::SnapInfo record;
  Tq3PARSnapshot snap;
  snap.SetLogger(&record);
  snap.setErrorMsg(650011, "X");
  EXPECT_EQ(0, DeviceErrorCode(record));
  EXPECT_EQ(1, simtest::CountMessages(record, "X"));
  EXPECT_EQ(650011, snap.m_LastErrorCode);

  TQ_SMIS_SNAP::Snapshot generic;  // no table installed
  generic.SetLogger(&record);
  generic.setErrorMsg(3, "Y");
  EXPECT_EQ(0, DeviceErrorCode(record));
  EXPECT_EQ(1, simtest::CountMessages(record, "ErrorCode 3: ErrorMsg = Y"));
  EXPECT_EQ(-1, generic.GetVendorSmisErrorCode(3));

  Tq3PARSnapshot unlogged;  // no sink: traced through the host logger only
  unlogged.setErrorMsg(3, "Z");
  EXPECT_EQ(3, unlogged.m_LastErrorCode);
  EXPECT_EQ("Z", unlogged.m_LastErrorMsg);
  unlogged.setErrorMsg(5, nullptr);
  EXPECT_EQ(5, unlogged.m_LastErrorCode);
  EXPECT_EQ("", unlogged.m_LastErrorMsg);
}

TEST(SnapshotErrorScheme, AfterAnAuthenticationFailureTheDeviceKeepsItsError) {
  TQSO::SnapInfo record;
  Tq3PARSnapshot snap;
  snap.SetLogger(&record);
  record.setError(60555, "CIMOM authentication failure");
  snap.m_Conn.m_AuthFailure = true;
  Tq3PARSnapshot copy(snap);  // a copy carries the flag
  copy.setErrorMsg(3, "X");
  EXPECT_EQ(60555, DeviceErrorCode(record));
  EXPECT_EQ(1, simtest::CountMessages(record, "ErrorCode 3: ErrorMsg = X"));
  EXPECT_EQ(3, copy.m_LastErrorCode);
}

// Every provider code of the table, answered by the array to a clone attach, ends as the device error of
// its row (4096 starts a job and is not an answer a refusal can give).
class AttachErrorTest : public SnapshotTest {};

TEST_F(AttachErrorTest, ProviderCodesOfAnAttachBecomeTheirRowsDeviceErrors) {
  for (const Row& row : kRows) {
    if (!ReachedByProviderCode(row) || row.provider == 4096) continue;
    SCOPED_TRACE(row.text);
    record_.setError(0, "");
    TQ_SMIS_SNAP::TqSnapParams request;
    request.sourceDev = Wwn("base1");
    request.targetDev = Wwn("clone1");
    snap_.SetSnapInfo(request);
    ForceAnswer("AttachOrModifyReplica", static_cast<std::uint32_t>(row.provider));
    EXPECT_FALSE(snap_.AttachCloneVolume("4"));
    bool setsError = row.engine != -1 && row.engine != 4;
    EXPECT_EQ(setsError ? row.engine : 0, DeviceErrorCode(record_));
    EXPECT_EQ(setsError ? "Snapshot::AttachCloneVolume: Failed to attach replica" : "", DeviceErrorText(record_));
    EXPECT_EQ(row.smis, snap_.m_LastErrorCode);
    ExpectClosed();
  }
}

}  // namespace
}  // namespace snapshottest
