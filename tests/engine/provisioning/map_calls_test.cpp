// Map and unmap through their exported calls against the simulated 3PAR array: a LUN presented to two
// hosts (one by iSCSI, one by Fibre Channel), its initiators listed, withdrawn again (a host definition
// that sees nothing more is removed, one that still sees a volume stays), and map-information documents
// that are truncated, malformed or name unknown protocols or operating systems.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "provisioning/MapInfoDocument.h"
#include "support/EngineProvisioningFixture.h"

using namespace engprov;

namespace {

const char kIscsiPort[] = "iqn.1994-05.com.redhat:new1";
const char kFcPort[] = "10:00:00:00:c9:ab:cd:ef";

std::string Host(const std::string& name, const std::string& os, const std::string& protocol,
                 const std::string& endpoints) {
  return R"({"hostname": ")" + name + R"(", "hostos": ")" + os + R"(", "protocol": )" + protocol +
         R"(, "endpoints": [)" + endpoints + "]}";
}

std::string Endpoint(const std::string& port) { return R"({"endpoint": ")" + port + R"("})"; }

std::string Document(const std::string& hosts) { return R"({"hosts": [)" + hosts + "]}"; }

const std::string kLinuxHost = Document(Host("linuxbox", "Red Hat Linux 9", R"("3")", Endpoint(kIscsiPort)));
const std::string kWindowsHost =
    Document(Host("winbox", "Microsoft WINDOWS 2019", R"(" 4")", "{}," + Endpoint(kFcPort)));

class MapCallTest : public EngineProvisioningTest {
 protected:
  std::unique_ptr<TQSO::LUNInfo> MapLun(const std::string& volume, const std::string& document) {
    auto lun = Lun(volume);
    lun->setMapInfoText(document);
    return lun;
  }

  bool HostExists(const std::string& name) {
    return sim().withModel(
        [&](smissim::Model& model) { return model.findHost(*model.arrayBySerial("0B0001"), name) != nullptr; });
  }

  // Initiator -> protocol of the groups that see the volume.
  std::map<std::string, std::string> Users(const std::string& volume) {
    auto lun = Lun(volume);
    Run(tqso_resolveLunsToUsers, {lun.get()});
    std::map<std::string, std::string> users;
    for (const TQSO::IGroupInfo& group : lun->initiatorGroups())
      for (const std::string& initiator : group.initiators) users[initiator] = group.protocol;
    return users;
  }
};

TEST_F(MapCallTest, MapsToAnIscsiAndAFibreChannelHostThenUnmapsAndRemovesTheHostDefinitions) {
  auto created = Lun("lun-fc");
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_createLUNs, {created.get()})) << created->errorText();

  auto toLinux = MapLun("vol1", kLinuxHost), toWindows = MapLun("lun-fc", kWindowsHost);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {toLinux.get(), toWindows.get()})) << toWindows->errorText();
  EXPECT_EQ((std::vector<int>{11, 9}), toLinux->stateHistory());
  EXPECT_EQ((std::vector<int>{11, 9}), toWindows->stateHistory());
  EXPECT_TRUE(HostExists("TQ_linuxbox_iscsi"));
  EXPECT_TRUE(HostExists("TQ_winbox_fc"));
  EXPECT_EQ((std::map<std::string, std::string>{{kIscsiPort, "iscsi"}}), Users("vol1"));
  EXPECT_EQ((std::map<std::string, std::string>{{"10000000C9ABCDEF", "fcp"}}), Users("lun-fc"));

  auto again = MapLun("vol1", kLinuxHost);
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {again.get()})) << "already presented: nothing to do";

  auto fromLinux = MapLun("vol1", kLinuxHost), fromWindows = MapLun("lun-fc", kWindowsHost);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_unmapLUNs, {fromLinux.get(), fromWindows.get()})) << fromLinux->errorText();
  EXPECT_EQ((std::vector<int>{15, 14}), fromLinux->stateHistory());
  EXPECT_EQ((std::vector<int>{15, 14}), fromWindows->stateHistory());
  EXPECT_TRUE(Users("vol1").empty());
  EXPECT_TRUE(Users("lun-fc").empty());
  EXPECT_FALSE(HostExists("TQ_linuxbox_iscsi")) << "a host definition that sees nothing more is removed";
  EXPECT_FALSE(HostExists("TQ_winbox_fc"));

  auto twice = MapLun("vol1", kLinuxHost);
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_unmapLUNs, {twice.get()})) << "already withdrawn: nothing to do";
  auto deleted = Lun("lun-fc");
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_deleteLUNs, {deleted.get()})) << deleted->errorText();
}

TEST_F(MapCallTest, AnExistingHostIsUsedByItsNameAndStaysWhileItSeesAnotherVolume) {
  const std::string document = Document(Host("any-name", "linux", R"("3")", Endpoint("iqn.1994-05.com.redhat:a1")));
  auto map = MapLun("vol1", document);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {map.get()})) << map->errorText();
  EXPECT_FALSE(HostExists("TQ_any-name_iscsi"));
  EXPECT_EQ(1u, Users("vol1").count("iqn.1994-05.com.redhat:a1"));

  auto unmap = MapLun("vol1", document);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_unmapLUNs, {unmap.get()})) << unmap->errorText();
  EXPECT_TRUE(HostExists("hostA")) << "hostA still sees the shared volume";
  EXPECT_EQ(2u, Users("shared").size());
}

TEST_F(MapCallTest, DocumentsThatCannotBeUsedFailTheLunWithEachCallsText) {
  struct Case {
    const char* what;
    std::string document;
    const char* mapText;
    const char* unmapText;
  } cases[] = {
      {"truncated", kLinuxHost.substr(0, 30), "Unable to Parse the hosts list", "Unable to Parse the host list."},
      {"not JSON", "hosts: linuxbox", "Unable to Parse the hosts list", "Unable to Parse the host list."},
      {"no host", Document(""), "Unable to Parse the hosts list", "Unable to Parse the host list."},
      {"protocol as a number", Document(Host("h", "linux", "3", Endpoint(kIscsiPort))),
       "Unable to Parse the hosts list", "Unable to Parse the host list."},
      {"host not an object", R"({"hosts": ["linuxbox"]})", "Unable to Parse the hosts list",
       "Unable to Parse the host list."},
      {"unknown protocol", Document(Host("h", "linux", R"("5")", Endpoint(kIscsiPort))),
       "Incorrect paramteres in the map info structure", "Incorrect paramteres in the map info structure."},
      {"protocol not a number", Document(Host("h", "linux", R"("iscsi")", Endpoint(kIscsiPort))),
       "Incorrect paramteres in the map info structure", "Incorrect paramteres in the map info structure."},
      {"only empty endpoints", Document(Host("h", "linux", R"("3")", "{}, {}")),
       "Incorrect paramteres in the map info structure", "Incorrect paramteres in the map info structure."},
      {"no host name", Document(Host("", "linux", R"("3")", Endpoint(kIscsiPort))),
       "Incorrect paramteres in the map info structure", "Incorrect paramteres in the map info structure."},
      {"unknown OS", Document(Host("h", "VMS", R"("3")", Endpoint(kIscsiPort))),
       "Required parameters in initiator list or protocoltype or ostype or mount host name is missing.",
       "Required parameters initiator list or protocoltype or ostype or mount host name is missing."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool map : {true, false}) {
      auto lun = MapLun("vol1", c.document);
      EXPECT_EQ(TQSO::RC_FAIL, Run(map ? tqso_mapLUNs : tqso_unmapLUNs, {lun.get()}));
      EXPECT_EQ(70003, lun->errorCode());
      EXPECT_EQ(map ? c.mapText : c.unmapText, lun->errorText());
      EXPECT_EQ(std::vector<int>{map ? 11 : 15}, lun->stateHistory());
    }
  }
  EXPECT_TRUE(Users("vol1").empty());

  auto none = Lun("vol1");  // the host gives no document
  EXPECT_EQ(TQSO::RC_FAIL, Run(tqso_mapLUNs, {none.get()}));
  EXPECT_EQ("Unable to get the Host List", none->errorText());
}

TEST_F(MapCallTest, HostEntriesDoneBeforeAFailureStayDoneAndTheCallIsPartial) {
  struct Case {
    const char* what;
    std::string second;
    const char* error;
  } cases[] = {
      {"unknown protocol", Host("other", "linux", R"("5")", Endpoint(kIscsiPort)),
       "Incorrect paramteres in the map info structure"},
      // A volume presented to one host is not presented to another by the same call.
      {"another host", Host("winbox", "windows", R"("4")", Endpoint(kFcPort)), "Failed to map the volume"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto first = MapLun("vol1", Document(Host("linuxbox", "linux", R"("3")", Endpoint(kIscsiPort)) + "," + c.second));
    auto later = MapLun("shared", kLinuxHost);
    EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, Run(tqso_mapLUNs, {first.get(), later.get()}));
    EXPECT_EQ((std::vector<int>{11, 9}), first->stateHistory());
    EXPECT_EQ(c.error, first->errorText());
    EXPECT_TRUE(later->stateHistory().empty());
    EXPECT_EQ((std::map<std::string, std::string>{{kIscsiPort, "iscsi"}}), Users("vol1"));
    auto unmap = MapLun("vol1", kLinuxHost);
    ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_unmapLUNs, {unmap.get()})) << unmap->errorText();
  }
}

TEST_F(MapCallTest, ALargeDocumentIsFetchedAgainWithTheSizeTheHostAsksFor) {
  const std::string padded = R"({"note": ")" + std::string(6000, 'x') + R"(", )" + kWindowsHost.substr(1);
  auto lun = MapLun("vol1", padded);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {lun.get()})) << lun->errorText();
  EXPECT_EQ(1u, Users("vol1").count("10000000C9ABCDEF"));
}

TEST_F(MapCallTest, HostsWhoseNamesShareTwentyCharactersShareOneDefinitionWithAWarning) {
  auto first = MapLun("vol1", Document(Host("production-db-server-01", "linux", R"("3")", Endpoint(kIscsiPort))));
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {first.get()})) << first->errorText();
  EXPECT_TRUE(HostExists("TQ_production-db-server_iscsi"));

  auto created = Lun("lun-2");
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_createLUNs, {created.get()})) << created->errorText();
  EvDebugCapture log;
  auto second = MapLun(
      "lun-2", Document(Host("production-db-server-02", "linux", R"("3")", Endpoint("iqn.1994-05.com.redhat:new2"))));
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {second.get()})) << second->errorText();
  EXPECT_TRUE(log.contains("Warning: host definition [TQ_production-db-server_iscsi] already holds port"));
  EXPECT_EQ(2u, Users("lun-2").size()) << "both hosts' ports are in the one definition";
}

TEST_F(MapCallTest, WithFaultRetryEveryOperationMakesAThrowAwayCallFirstAndStillDoesItsWork) {
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  auto created = Lun("retried");
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_createLUNs, {created.get()})) << created->errorText();
  EXPECT_EQ(2u, sim().requestCount("CreateOrModifyElementFromStoragePool")) << "a throw-away call, then the real one";
  auto grown = Lun("retried", "FC_r5", 2147483648L);
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_resizeLUNs, {grown.get()})) << grown->errorText();
  auto mapped = MapLun("retried", kLinuxHost);
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {mapped.get()})) << mapped->errorText();
  EXPECT_EQ(1u, Users("retried").size());
  auto unmapped = MapLun("retried", kLinuxHost);
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_unmapLUNs, {unmapped.get()})) << unmapped->errorText();
  auto deleted = Lun("retried");
  EXPECT_EQ(TQSO::RC_SUCCESS, Run(tqso_deleteLUNs, {deleted.get()})) << deleted->errorText();
  EXPECT_FALSE(VolumeExists("retried"));
  EXPECT_TRUE(VolumeExists("vol1")) << "the throw-away calls name no volume";
  EXPECT_TRUE(VolumeExists("shared"));
}

// A fault inside the throw-away call does not keep the real call from being made.
TEST_F(MapCallTest, WithFaultRetryAFaultInTheThrowAwayCallLeavesTheRealCallToRun) {
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  // The first hardware-ID lookup of map and of unmap is the throw-away call's.
  auto firstPortLookupFails = [&] {
    smissim::FaultRule rule = On("EnumerateInstances", CimErrorFault(1, "provider busy"));
    rule.className = "CIM_StorageHardwareID";
    sim().injectFault(rule);
  };
  firstPortLookupFails();
  auto map = MapLun("vol1", kLinuxHost);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {map.get()})) << map->errorText();
  EXPECT_EQ(1u, Users("vol1").count(kIscsiPort));
  firstPortLookupFails();
  auto unmap = MapLun("vol1", kLinuxHost);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_unmapLUNs, {unmap.get()})) << unmap->errorText();
  EXPECT_TRUE(Users("vol1").empty());
}

// A provider that refuses the login in the middle of a call answers the lookups with nothing: the LUN
// fails, and nothing reads as "not presented" or "no initiators".
TEST_F(MapCallTest, ALoginRefusedMidCallFailsTheLunAndChangesNothing) {
  auto mapped = MapLun("vol1", kLinuxHost);
  ASSERT_EQ(TQSO::RC_SUCCESS, Run(tqso_mapLUNs, {mapped.get()})) << mapped->errorText();
  struct Case {
    const char* what;
    decltype(&tqso_mapLUNs) call;
    std::string volume, document;  // document empty: a plain LUN
    int before;                    // the LUN's state, kept
  };
  const Case cases[] = {
      {"unmap of a presented volume", tqso_unmapLUNs, "vol1", kLinuxHost, 15},
      {"initiators of a presented volume", tqso_resolveLunsToUsers, "shared", "", 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim().injectFault(On("AssociatorNames", HttpStatusFault(401, kLasting)));
    auto lun = c.document.empty() ? Lun(c.volume) : MapLun(c.volume, c.document);
    EXPECT_EQ(TQSO::RC_FAIL, Run(c.call, {lun.get()}));
    EXPECT_EQ(std::vector<int>{c.before}, lun->stateHistory());
    EXPECT_FALSE(lun->initiatorGroupsSet());
    sim().clearFaults();
  }
  EXPECT_EQ(1u, Users("vol1").count(kIscsiPort)) << "still presented";
  EXPECT_TRUE(HostExists("TQ_linuxbox_iscsi"));
}

TEST(MapInfoDocument, OperatingSystemFamiliesAndInitiatorLists) {
  struct Os {
    const char* text;
    const char* family;
  } systems[] = {{"Microsoft WINDOWS Server", "windows"},
                 {"SunOS 5.11", "solaris"},
                 {"linux on aix", "linux"},
                 {"HP-UX 11i", "hpux"},
                 {"AIX 7.2", "aix"},
                 {"VMS", ""}};
  for (const Os& os : systems) {
    std::string text = os.text;
    xlateOsType(text);
    EXPECT_EQ(os.family, text) << os.text;
  }
  std::list<std::string> fc = {"10:00:00:00:c9:ab:cd:ef", "21:00:00:24:ff:00:00:01"};
  EXPECT_EQ("10000000C9ABCDEF,21000024FF000001", ConvertInitiatorList(fc, false));
  std::list<std::string> iscsi = {"iqn.1994-05.com.Example:a", std::string("iqn.") + std::string(200, 'n')};
  EXPECT_EQ(iscsi.front() + "," + iscsi.back(), ConvertInitiatorList(iscsi, true)) << "long names are not cut";
}

}  // namespace
