// The result convention of the list calls, the first-error rule, the calls built in full here (version,
// unprepare, the remote snapshot call), and what every list call does with an empty list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "EvDebug.h"
#include "Pegasus/Exception.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqsoEntryPoints.h"
#include "calls/EntryGuard.h"

namespace {

TEST(ListResult, AllNoneOrSome) {
  TQSO::SnapInfo a, b, c;
  TQSO::SnapInfo* list[] = {&a, &b, nullptr, &c};
  struct Case {
    TQSO::SnapStatus a, b, c;
    short count;
    TQSO::ResultCode result;
  } cases[] = {
      {TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_CLONE_CREATED, TQSO::SS_SNAPSHOT_CREATED, 2, TQSO::RC_SUCCESS},
      {TQSO::SS_SNAPSHOT_FAILED, TQSO::SS_CLONE_FAILED, TQSO::SS_SNAPSHOT_CREATED, 2, TQSO::RC_FAIL},
      {TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_SNAPSHOT_FAILED, TQSO::SS_SNAPSHOT_FAILED, 2, TQSO::RC_FAIL_PARTIAL},
      {TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_SNAPSHOT_CREATED, 4, TQSO::RC_FAIL_PARTIAL},
  };
  for (const Case& k : cases) {
    a.setStatus(k.a);
    b.setStatus(k.b);
    c.setStatus(k.c);
    EXPECT_EQ(k.result, tqengine::CountResult(list, k.count, {TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_CLONE_CREATED}));
  }
  EXPECT_EQ(TQSO::RC_FAIL, tqengine::CountResult(nullptr, 3, {TQSO::SS_PREPARED}));
}

TEST(FirstError, OnlyTheFirstErrorIsKept) {
  TQSO::SnapInfo device;
  setError(&device, 60555, "array refused the login");
  setError(&device, tqengine::kErrArrayInfo, tqengine::kTextArrayInfo);
  EXPECT_EQ(60555, device.errorCode());
  EXPECT_EQ("array refused the login", device.errorText());
  ASSERT_EQ(1u, device.messages().size()) << "the kept error's job message only";
  EXPECT_EQ(2, device.messages()[0].level);

  setError(nullptr, 1, "x");
  TQSO::SnapInfo clean;
  setError(&clean, 1, nullptr);
  EXPECT_EQ(0, clean.errorCode());
  EXPECT_TRUE(clean.messages().empty());
}

TEST(VersionCalls, WriteOneZeroZeroOnlyWithThreePointers) {
  for (auto call : {&tqso_version, &tqso_sProvVersion}) {
    short major = 9, minor = 9, patch = 9;
    call(&major, nullptr, &patch);
    EXPECT_EQ(9, major);
    call(&major, &minor, &patch);
    EXPECT_EQ(1, major);
    EXPECT_EQ(0, minor);
    EXPECT_EQ(0, patch);
  }
}

// A record whose status cannot be written: the host's failure must not leave the engine.
class ThrowingRecord : public TQSO::SnapInfo {
 public:
  void setStatus(TQSO::SnapStatus) override { throw std::runtime_error("record is gone"); }
};

TEST(Unprepare, ClearsTheRecordOfEveryDeviceAndAlwaysSucceeds) {
  TQSO::SnapInfo first, last;
  ThrowingRecord broken;
  for (TQSO::SnapInfo* d : {&first, static_cast<TQSO::SnapInfo*>(&broken), &last})
    d->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, "A*4*s*d*p*g*t*tp*c*cp*1*0");
  TQSO::SnapInfo* list[] = {&first, &broken, nullptr, &last};
  EvDebugCapture log;
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_unprepareDevices(list, 4, nullptr));
  for (TQSO::SnapInfo* d : {&first, &last}) {
    EXPECT_EQ(TQSO::SS_UNPREPARED, d->getStatus());
    EXPECT_FALSE(d->metaDataText(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID).has_value());
  }
  EXPECT_TRUE(log.contains("Caught Exception: record is gone"));
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_unprepareDevices(nullptr, 3, nullptr));
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_unprepareDevices(list, -1, nullptr));
}

TEST(RemoteSnaps, DoNothingAndSucceed) {
  TQSO::SnapInfo device;
  TQSO::SnapInfo* list[] = {&device};
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_createRemoteSnaps(list, 1, nullptr));
  EXPECT_EQ(TQSO::SS_RESET, device.getStatus());
  EXPECT_TRUE(device.metaData().empty());
}

TEST(ListCalls, EmptyListsTouchNothingAndLunCallsWithoutLunsFail) {
  typedef TQSO::ResultCode (*SnapCall)(TQSO::SnapInfo**, short, TQSO::TQOSUtil*);
  typedef TQSO::ResultCode (*LunCall)(TQSO::LUNInfo**, short, TQSO::TQOSUtil*);
  const SnapCall snapCalls[] = {&tqso_processVPDInfo, &tqso_execSnapEngineOp, &tqso_prepareDevices,
                                &tqso_snapDevices,    &tqso_postSnapDevices,  &tqso_isMapped,
                                &tqso_mapSnaps,       &tqso_unmapSnaps,       &tqso_deleteSnaps,
                                &tqso_revertSnaps,    &tqso_reconcileSnaps,   &tqso_prepareRemoteSnaps};
  const LunCall lunCalls[] = {&tqso_createLUNs,         &tqso_deleteLUNs, &tqso_resizeLUNs,
                              &tqso_resolveLunsToUsers, &tqso_mapLUNs,    &tqso_unmapLUNs};
  TQSO::SnapInfo device;
  TQSO::SnapInfo* devices[] = {&device};
  TQSO::LUNInfo lun;
  TQSO::LUNInfo* luns[] = {&lun};
  TQSO::TQOSUtil services;
  EvDebugCapture log;
  for (SnapCall call : snapCalls) {
    EXPECT_EQ(TQSO::RC_SUCCESS, call(devices, 0, &services)) << "an empty list changes nothing and succeeds";
    EXPECT_EQ(TQSO::RC_SUCCESS, call(nullptr, 5, &services));
  }
  for (LunCall call : lunCalls) {
    EXPECT_EQ(TQSO::RC_FAIL, call(luns, 1, &services));
    EXPECT_EQ(TQSO::RC_FAIL, call(nullptr, 0, &services));
  }
  TQSO::DeviceMap deviceMap;
  short mismatches = 0;
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_identifyDevices(devices, 0, deviceMap, 1, mismatches, &services));
  EXPECT_EQ(1, tqso_getArrayInfo(nullptr, &services));
  EXPECT_EQ(TQSO::SS_RESET, device.getStatus());
  EXPECT_TRUE(device.metaData().empty());
  EXPECT_TRUE(device.messages().empty());
  EXPECT_EQ(0, device.errorCode());
}

TEST(EntryGuard, EveryExceptionBecomesTheFailureResult) {
  EvDebugCapture log;
  EXPECT_EQ(7, tqengine::GuardedCall("t", 7,
                                     []() -> int { throw Pegasus::CIMException(Pegasus::CIMStatusCode(6), "gone"); }));
  EXPECT_EQ(7, tqengine::GuardedCall("t", 7, []() -> int { throw Pegasus::Exception("Connection failed"); }));
  EXPECT_EQ(7, tqengine::GuardedCall("t", 7, []() -> int { throw std::bad_alloc(); }));
  EXPECT_EQ(7, tqengine::GuardedCall("t", 7, []() -> int { throw "Not enough memory"; }));
  EXPECT_EQ(7, tqengine::GuardedCall("t", 7, []() -> int { throw 42; }));
  EXPECT_EQ(3, tqengine::GuardedCall("t", 7, [] { return 3; }));
  EXPECT_TRUE(log.contains("Caught CIMException: CIM_ERR_NOT_FOUND: gone"));
  EXPECT_TRUE(log.contains("Caught Exception: Connection failed"));
  EXPECT_TRUE(log.contains("Caught Exception: Not enough memory"));
  EXPECT_TRUE(log.contains("Caught unknown Exception"));
}

}  // namespace
