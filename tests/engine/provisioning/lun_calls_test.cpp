// The LUN provisioning calls through their exported entry points against the simulated 3PAR array:
// volumes created thin and full, resized, deleted and their users resolved; refused sizes, names, pools and
// volumes; the stop at the first failing LUN, an unreachable array, and the password kept out of the log.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "support/EngineProvisioningFixture.h"

using namespace engprov;

namespace {

class LunCallTest : public EngineProvisioningTest {
 protected:
  uint64_t SizeOf(const std::string& name) {
    return std::stoull(VolumeProperty(name, "NumberOfBlocks")) * std::stoull(VolumeProperty(name, "BlockSize"));
  }
};

TEST_F(LunCallTest, CreatesThinAndFullVolumesThenResizesAndDeletesThem) {
  struct Case {
    const char* name;
    const char* fullyProvisioned;
    const char* thin;
  } cases[] = {{"thinlun", "0", "TRUE"}, {"full.lun-name_0123456789abcdefg", "-1", "FALSE"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TqConfigOverride full("~Corvane", "nHP3PAREnableFullyProvision", c.fullyProvisioned);
    auto lun = Lun(c.name);
    ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_createLUNs, {lun.get()})) << lun->errorText();
    EXPECT_EQ((std::vector<int>{1, 0}), lun->stateHistory());
    EXPECT_EQ(c.name, lun->createdVolumeName());
    EXPECT_EQ(c.name, lun->createdVolumeId());
    EXPECT_EQ(c.thin, VolumeProperty(c.name, "ThinlyProvisioned"));
    EXPECT_EQ(1073741824u, SizeOf(c.name));

    auto grow = Lun(c.name, "FC_r5", 2147483648L);
    ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_resizeLUNs, {grow.get()})) << grow->errorText();
    EXPECT_EQ((std::vector<int>{3, 2}), grow->stateHistory());
    EXPECT_EQ(2147483648u, SizeOf(c.name));

    auto gone = Lun(c.name);
    ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_deleteLUNs, {gone.get()})) << gone->errorText();
    EXPECT_EQ((std::vector<int>{21, 20}), gone->stateHistory());
    EXPECT_FALSE(VolumeExists(c.name));
  }
}

TEST_F(LunCallTest, RefusedRequestsFailTheLunWithTheCallsTextAndChangeNothing) {
  struct Case {
    const char* what;
    TQSO::ResultCode (*call)(TQSO::LUNInfo**, short, TQSO::TQOSUtil*);
    std::string volume;
    std::string pool;
    std::optional<long> size;
    int beforeState;
    const char* error;
  } cases[] = {
      {"zero size", tqso_createLUNs, "newlun", "FC_r5", 0, 1, "Failed to create LUN"},
      {"negative size", tqso_createLUNs, "newlun", "FC_r5", -1073741824L, 1, "Failed to create LUN"},
      {"no size", tqso_createLUNs, "newlun", "FC_r5", std::nullopt, 1, "Failed to create LUN"},
      {"unknown pool", tqso_createLUNs, "newlun", "NoSuchPool", 1048576, 1, "Failed to create LUN"},
      {"offline pool", tqso_createLUNs, "newlun", "Broken", 1048576, 1, "Failed to create LUN"},
      {"no pool", tqso_createLUNs, "newlun", "", 1048576, 1, "Failed to create LUN"},
      {"empty name", tqso_createLUNs, "", "FC_r5", 1048576, 1, "Invalid Volume Name. Failed to create LUN"},
      {"leading hyphen", tqso_createLUNs, "-" + std::string(40, 'a'), "FC_r5", 1048576, 1,
       "Invalid Volume Name. Failed to create LUN"},
      {"32 characters", tqso_createLUNs, std::string(32, 'a'), "FC_r5", 1048576, 1,
       "Invalid Volume Name. Failed to create LUN"},
      {"blank", tqso_createLUNs, "new lun", "FC_r5", 1048576, 1, "Invalid Volume Name. Failed to create LUN"},
      {"resize to zero", tqso_resizeLUNs, "vol1", "FC_r5", 0, 3, "Failed to resize the volume"},
      {"resize unknown volume", tqso_resizeLUNs, "nosuchvol", "FC_r5", 1073741824L, 3, "Failed to resize the volume"},
      {"resize part of a name", tqso_resizeLUNs, "vol", "FC_r5", 1073741824L, 3, "Failed to resize the volume"},
      {"delete unknown volume", tqso_deleteLUNs, "nosuchvol", "FC_r5", 0, 21, "Failed to delete the volume"},
      {"delete a presented volume", tqso_deleteLUNs, "shared", "FC_r5", 0, 21, "Failed to delete the volume"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto lun = Lun(c.volume, c.pool, c.size);
    sim().clearLog();
    EXPECT_EQ(TQSO::RC_FAIL, Run(c.call, {lun.get()}));
    EXPECT_EQ(70003, lun->errorCode());
    EXPECT_EQ(c.error, lun->errorText());
    EXPECT_EQ(std::vector<int>{c.beforeState}, lun->stateHistory());
    EXPECT_EQ(0u, sim().requestCount("CreateOrModifyElementFromStoragePool")) << "no volume is created or resized";
    EXPECT_EQ(0u, sim().requestCount("ReturnToStoragePool"));
  }
  EXPECT_EQ(104857600u, SizeOf("vol1"));
  EXPECT_TRUE(VolumeExists("shared"));

  auto existing = Lun("vol1", "FC_r5", 1048576);
  EXPECT_EQ(TQSO::RC_FAIL, Run(tqso_createLUNs, {existing.get()})) << "the array refuses a second volume of a name";
  EXPECT_EQ("Failed to create LUN", existing->errorText());
  EXPECT_EQ(104857600u, SizeOf("vol1"));
}

TEST_F(LunCallTest, TheFirstFailingLunEndsTheCallAndLaterLunsAreUntouched) {
  auto first = Lun("lun-a"), unreachable = Lun("lun-b"), third = Lun("lun-c");
  unreachable->setArrayControlHostText(kUnreachableHost);
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, Run(tqso_createLUNs, {first.get(), unreachable.get(), third.get()}));
  EXPECT_EQ((std::vector<int>{1, 0}), first->stateHistory());
  EXPECT_EQ(std::vector<int>{1}, unreachable->stateHistory());
  EXPECT_EQ("Failed to create LUN", unreachable->errorText());
  EXPECT_TRUE(third->stateHistory().empty());
  EXPECT_FALSE(VolumeExists("lun-c"));

  auto undecipherable = Lun("lun-d");
  undecipherable->setArrayPasswordText("not enciphered");
  EXPECT_EQ(TQSO::RC_FAIL, Run(tqso_deleteLUNs, {undecipherable.get(), first.get()}));
  EXPECT_EQ("Failed to decrypt the password!", undecipherable->errorText());
  EXPECT_EQ((std::vector<int>{1, 0}), first->stateHistory()) << "the second LUN is not touched";
  EXPECT_TRUE(VolumeExists("lun-a"));

  EXPECT_EQ(TQSO::RC_FAIL, tqso_createLUNs(nullptr, 1, &os_));
  TQSO::LUNInfo* none[] = {first.get()};
  EXPECT_EQ(TQSO::RC_FAIL, tqso_createLUNs(none, 0, &os_));
}

TEST_F(LunCallTest, ResolvesTheInitiatorsOfEachVolumeAndPassesOverThoseItCannotList) {
  auto shared = Lun("shared"), unknown = Lun("nosuchvol"), alone = Lun("vol1");
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, Run(tqso_resolveLunsToUsers, {shared.get(), unknown.get(), alone.get()}));

  EXPECT_EQ((std::vector<int>{6, 5}), shared->stateHistory());
  std::vector<TQSO::IGroupInfo> groups = shared->initiatorGroups();
  ASSERT_EQ(2u, groups.size());
  std::map<std::string, std::string> protocolOf;
  for (const TQSO::IGroupInfo& group : groups) {
    ASSERT_EQ(1u, group.initiators.size());
    protocolOf[group.initiators[0]] = group.protocol;
    EXPECT_TRUE(group.name.empty());
  }
  EXPECT_EQ("iscsi", protocolOf["iqn.1994-05.com.redhat:a1"]);
  EXPECT_EQ("fcp", protocolOf["10000000C9AA0001"]);
  EXPECT_EQ(0, shared->endPointId().value_or(-1));

  EXPECT_EQ(std::vector<int>{6}, unknown->stateHistory()) << "passed over";
  EXPECT_EQ(0, unknown->errorCode());
  EXPECT_FALSE(unknown->initiatorGroupsSet());

  EXPECT_EQ((std::vector<int>{6, 5}), alone->stateHistory());
  EXPECT_TRUE(alone->initiatorGroupsSet());
  EXPECT_TRUE(alone->initiatorGroups().empty());
}

TEST_F(LunCallTest, AProviderFaultWhileListingInitiatorsPassesTheLunOver) {
  sim().injectFault(On("AssociatorNames", CimErrorFault(1, "provider failure", kLasting)));
  auto shared = Lun("shared");
  EXPECT_EQ(TQSO::RC_FAIL, Run(tqso_resolveLunsToUsers, {shared.get()}));
  EXPECT_EQ(std::vector<int>{6}, shared->stateHistory());
  EXPECT_EQ(0, shared->errorCode());
}

TEST_F(LunCallTest, TheEncipheredPasswordNeverReachesTheLog) {
  EvDebugCapture log;
  auto lun = Lun("vol1");
  const std::string enciphered = TQPassword::encipher(server_.password());
  Run(tqso_resizeLUNs, {lun.get()});
  EXPECT_TRUE(log.contains("Array Password [*****]"));
  EXPECT_FALSE(log.contains(enciphered));
  EXPECT_FALSE(log.contains(server_.password()));
  EXPECT_TRUE(log.contains("Array Name [2FF70002AC0B0001]")) << "the array name is upper-cased";
}

TEST(ProvisioningVersion, IsOneZeroZero) {
  short major = -1, minor = -1, patch = -1;
  tqso_sProvVersion(&major, &minor, &patch);
  EXPECT_EQ(1, major);
  EXPECT_EQ(0, minor);
  EXPECT_EQ(0, patch);
}

}  // namespace
