// The engine library as a host agent loads it: dlopen, the entry points found by name, nothing else
// visible, and calls that share the host library (its records and logger) with the program.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "EvDebug.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"
#include "support/ElfExports.h"

namespace {

const char* const kEntryPoints[] = {
    "tqso_version",           "tqso_isSupported",        "tqso_processVPDInfo", "tqso_execSnapEngineOp",
    "tqso_createRemoteSnaps", "tqso_prepareRemoteSnaps", "tqso_prepareDevices", "tqso_unprepareDevices",
    "tqso_snapDevices",       "tqso_postSnapDevices",    "tqso_deleteSnaps",    "tqso_isMapped",
    "tqso_mapSnaps",          "tqso_unmapSnaps",         "tqso_revertSnaps",    "tqso_reconcileSnaps",
    "tqso_identifyDevices",   "tqso_sProvVersion",       "tqso_createLUNs",     "tqso_deleteLUNs",
    "tqso_resizeLUNs",        "tqso_resolveLunsToUsers", "tqso_mapLUNs",        "tqso_unmapLUNs",
    "tqso_getArrayInfo",
};
// The exported data the engine itself defines: the three process-wide locks among it (the logger
// o_logger lives in the host library).
const char* const kExportedData[] = {"iEndPointId",
                                     "vInfo",
                                     "nInfo",
                                     "_ZN15TqCimConnection10m_ConnLockE",
                                     "_ZN9TqCimUtil13m_CimUtilLockE",
                                     "_ZN10SmisAction6m_LockE"};

typedef TQSO::ResultCode (*ListCall)(TQSO::SnapInfo**, short, TQSO::TQOSUtil*);
typedef void (*VersionCall)(short*, short*, short*);
typedef int (*SupportCall)(const char*, int32_t, void*, void*, int16_t);

class EngineLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(TQSO_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle_) << dlerror();
  }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
  }
  template <class T>
  T Find(const char* name) {
    return reinterpret_cast<T>(dlsym(handle_, name));
  }
  void* handle_ = nullptr;
};

TEST_F(EngineLibrary, ShowsExactlyTheEntryPointsAndTheExportedData) {
  std::set<std::string> expected(std::begin(kEntryPoints), std::end(kEntryPoints));
  expected.insert(std::begin(kExportedData), std::end(kExportedData));
  for (const std::string& name : expected) EXPECT_NE(nullptr, dlsym(handle_, name.c_str())) << name;

  std::set<std::string> defined;
  ASSERT_TRUE(enginetest::DefinedDynamicSymbols(TQSO_ENGINE_LIBRARY, defined));
  EXPECT_EQ(expected, defined);
  EXPECT_EQ(nullptr, dlsym(handle_, "_Z15parseJsonStringNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES4_RS4_"))
      << "what lies behind the entry points stays hidden";
}

TEST_F(EngineLibrary, CallsWorkOnTheProgramsRecordsAndLogger) {
  short major = -1, minor = -1, patch = -1;
  Find<VersionCall>("tqso_version")(&major, &minor, &patch);
  EXPECT_EQ(1, major);
  EXPECT_EQ(0, minor);
  EXPECT_EQ(0, patch);
  Find<VersionCall>("tqso_version")(&major, nullptr, &patch);  // writes nothing, does not crash

  EvDebugCapture log;
  TQSO::SnapInfo device;
  device.setHostDevicePath("/dev/sdb");
  TQSO::SnapInfo* list[] = {&device};
  TQSO::TQOSUtil services;
  EXPECT_EQ(TQSO::RC_FAIL, Find<ListCall>("tqso_prepareDevices")(list, 1, &services));
  EXPECT_EQ(TQSO::RC_SUCCESS, Find<ListCall>("tqso_prepareDevices")(nullptr, 0, &services));
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, device.getStatus()) << "a device without inquiry data is no 3PAR volume";
  EXPECT_TRUE(device.hasMessageContaining("Failed to get 3PAR Array name from host device [/dev/sdb]"));
  EXPECT_FALSE(log.lines().empty()) << "the engine logs through the program's one logger";

  EXPECT_EQ(TQSO::RC_SUCCESS, Find<ListCall>("tqso_unprepareDevices")(list, 1, &services));
  EXPECT_EQ(TQSO::SS_UNPREPARED, device.getStatus()) << "the engine writes the program's own record";
  EXPECT_EQ(1, Find<SupportCall>("tqso_isSupported")(nullptr, 0, nullptr, nullptr, 0));
  EXPECT_EQ(0, *Find<int*>("iEndPointId"));
}

}  // namespace
