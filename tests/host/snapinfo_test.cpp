#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SnapInfo.h"

namespace {

using TQSO::SnapInfo;

std::shared_ptr<TQSO::ArrayRegistry> registryWithArray() {
  auto registry = std::make_shared<TQSO::ArrayRegistry>();
  TQSO::ArrayEntry entry;
  entry.id = "3PAR-1";
  entry.info = "{engineId:25,cimomAddress:10.0.0.5,hostUser:admin,hostPassword:secret}";
  entry.controlHost = "ctl-1";
  entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = "5989";
  entry.settings["SMCONFIG_NAME_VOLUME_LABEL_PREFIX"] = "snap_";
  entry.settings["SMCONFIG_NAME_BROKEN"] = "59x";
  registry->put(entry);
  return registry;
}

// Getters whose buffer size is passed by value; each is given the same 8-character text.
TEST(SnapInfoBuffers, FixedSizeGettersCopyWholeTextsOrNothing) {
  const std::string text = "/dev/sdb";
  SnapInfo record;
  record.setSourceDeviceName(text);
  record.setHostDevicePath(text.c_str());
  record.setSnapDeviceName(text.c_str());
  auto registry = std::make_shared<TQSO::ArrayRegistry>();
  registry->put(TQSO::ArrayEntry{"A", text, "", 0, {}});
  record.setArrayRegistry(registry);
  ASSERT_EQ(record.setArrayLogin("A"), 0);

  const std::pair<const char*, std::function<int(char*, uint16_t)>> getters[] = {
      {"getSourceDeviceName", [&](char* b, uint16_t n) { return record.getSourceDeviceName(b, n); }},
      {"getHostDevicePath", [&](char* b, uint16_t n) { return record.getHostDevicePath(b, n); }},
      {"getSnapDeviceName", [&](char* b, uint16_t n) { return record.getSnapDeviceName(b, n); }},
      {"getArrayInfo", [&](char* b, uint16_t n) { return record.getArrayInfo(b, n); }},
  };
  struct Case {
    uint16_t capacity;
    int result;
    const char* content;
  } cases[] = {{1024, 0, "/dev/sdb"}, {9, 0, "/dev/sdb"}, {8, 2, ""}, {1, 2, ""}};
  for (const auto& getter : getters) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(getter.first) + " capacity " + std::to_string(c.capacity));
      std::vector<char> buffer(c.capacity + 1, 'Z');  // one guard byte after the capacity
      EXPECT_EQ(getter.second(buffer.data(), c.capacity), c.result);
      EXPECT_STREQ(buffer.data(), c.content);
      EXPECT_EQ(buffer[c.capacity], 'Z') << "wrote past the capacity";
    }
    EXPECT_EQ(getter.second(nullptr, 1024), 2) << getter.first;
  }
}

TEST(SnapInfoBuffers, InOutLengthsTellTheTextLengthOrTheSizeNeeded) {
  const std::string id = "vc:esx01.example,esxname:esx01,user:root,password:x";
  SnapInfo record;
  record.setClientHostId(id);
  record.setClientHostIdByType(9, id + "-mount");

  char buffer[2048];
  uint16_t length = sizeof buffer;
  EXPECT_EQ(record.getClientHostId(buffer, &length), 0);
  EXPECT_EQ(std::string(buffer), id);
  EXPECT_EQ(length, id.size());

  length = uint16_t(id.size());  // one short: no room for the NUL
  EXPECT_EQ(record.getClientHostId(buffer, &length), 2);
  EXPECT_EQ(length, id.size() + 1);
  EXPECT_STREQ(buffer, "");

  length = sizeof buffer;
  EXPECT_EQ(record.getClientHostIdByType(9, buffer, &length), 0);
  EXPECT_EQ(std::string(buffer), id + "-mount");
  length = sizeof buffer;
  EXPECT_EQ(record.getClientHostIdByType(3, buffer, &length), 1);
  EXPECT_EQ(length, 0);

  SnapInfo empty;
  length = sizeof buffer;
  EXPECT_EQ(empty.getClientHostId(buffer, &length), 1);
}

TEST(SnapInfoBuffers, LongTextsAreNeverCut) {
  const std::string longPath(5000, 'x');
  SnapInfo record;
  record.setError(62005, longPath.c_str());
  std::vector<char> small(4096), large(8192);
  uint16_t length = uint16_t(small.size());
  int code = 0;
  record.getError(&code, small.data(), &length);
  EXPECT_EQ(code, 62005);
  EXPECT_EQ(length, 5001);
  EXPECT_STREQ(small.data(), "");
  length = uint16_t(large.size());
  record.getError(nullptr, large.data(), &length);
  EXPECT_EQ(std::string(large.data()), longPath);
  EXPECT_EQ(length, 5000);
}

TEST(SnapInfoMetaData, RoundTripsClearsAndRefuses) {
  SnapInfo record;
  std::string text = "untouched";
  EXPECT_FALSE(record.getMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text));
  EXPECT_EQ(text, "untouched");

  const std::string snapRecord = "{sourceDev:50002AC0001A2B3C,snapOp:4,targetDev:%41}";
  EXPECT_EQ(record.setMetaData(1, snapRecord.c_str()), 0);
  EXPECT_EQ(record.setMetaData(1, "replaced"), 0);
  EXPECT_EQ(record.setMetaDataValue(121, ""), 0);
  ASSERT_TRUE(record.getMetaData(1, text));
  EXPECT_EQ(text, "replaced");
  ASSERT_TRUE(record.getMetaData(121, text));  // an empty value is still a value
  EXPECT_EQ(text, "");

  EXPECT_EQ(record.setMetaData(1, nullptr), 0);
  EXPECT_FALSE(record.getMetaData(1, text));

  record.refuseMetaData(124, true);
  EXPECT_EQ(record.setMetaData(124, "wwn"), 1);
  EXPECT_EQ(record.setMetaDataValue(124, "wwn"), 1);
  EXPECT_FALSE(record.metaDataText(124).has_value());
  record.refuseMetaData(124, false);
  EXPECT_EQ(record.setMetaData(124, "wwn"), 0);
  EXPECT_EQ(record.metaData(), (std::map<int, std::string>{{121, ""}, {124, "wwn"}}));
}

TEST(SnapInfoRecord, ErrorStatusFlagsAndMessages) {
  SnapInfo record;
  int code = -1;
  record.getError(&code, nullptr, nullptr);
  EXPECT_EQ(code, 0);
  record.setError(62002, "Failed to get host identifier");
  record.setError(60555, "HTTP 401");
  record.getError(&code, nullptr, nullptr);
  EXPECT_EQ(code, 60555);
  EXPECT_EQ(record.errorText(), "HTTP 401");

  record.setStatus(TQSO::SS_PREPARED);
  record.setStatus(TQSO::SnapStatus(12));
  EXPECT_EQ(record.getStatus(), TQSO::SS_SEEN_AS_HOST_DEVICE);
  EXPECT_EQ(record.statusHistory(), (std::vector<TQSO::SnapStatus>{TQSO::SS_PREPARED, TQSO::SS_SEEN_AS_HOST_DEVICE}));

  record.setRequestFlags(TQSO::REQUEST_FLAG_SNAP_COPY | TQSO::REQUEST_FLAG_PERSISTENT_SNAPSHOT);
  struct FlagCase {
    uint32_t mask;
    bool set;
  } flags[] = {{0x8000, true}, {0x1000, true}, {0x9000, true}, {0x20000000, false}, {0x8001, false}, {0, false}};
  for (const FlagCase& f : flags) EXPECT_EQ(record.isFlagSet(f.mask), f.set) << std::hex << f.mask;
  EXPECT_EQ(record.getRequestFlags(), 0x9000u);

  record.logMessage(0, "plain 100%s");
  record.logFormatted(2, "Snapshot::setErrorMsg", "ErrorCode %d: ErrorMsg = %s", 60555, "50% done %n");
  const std::vector<TQSO::JobMessage> messages = record.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].tag, "");
  EXPECT_EQ(messages[0].text, "plain 100%s");
  EXPECT_EQ(messages[1].level, 2);
  EXPECT_EQ(messages[1].tag, "Snapshot::setErrorMsg");
  EXPECT_EQ(messages[1].text, "ErrorCode 60555: ErrorMsg = 50% done %n");
  EXPECT_TRUE(record.hasMessageContaining("50% done"));
}

TEST(SnapInfoArrays, LoginSelectsAKnownArrayAndItsSettings) {
  SnapInfo record;
  char buffer[4096];
  EXPECT_EQ(record.setArrayLogin("3PAR-1"), 1) << "no registry: nothing is known";
  record.setArrayRegistry(registryWithArray());
  EXPECT_EQ(record.getArrayInfo(buffer, sizeof buffer), 1) << "nothing selected yet";
  int port = -1;
  EXPECT_EQ(record.getConfigInt("SMCONFIG_NAME_SMIS_SERVER_PORT", &port), 1);
  EXPECT_EQ(record.setArrayLogin("3PAR-9"), 1);
  EXPECT_EQ(record.setArrayLogin(nullptr), 1);

  ASSERT_EQ(record.setArrayLogin("3PAR-1"), 0);
  EXPECT_EQ(record.selectedArrayId(), "3PAR-1");
  EXPECT_EQ(record.getArrayInfo(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "{engineId:25,cimomAddress:10.0.0.5,hostUser:admin,hostPassword:secret}");
  EXPECT_EQ(record.getConfigInt("SMCONFIG_NAME_SMIS_SERVER_PORT", &port), 0);
  EXPECT_EQ(port, 5989);
  EXPECT_EQ(record.setArrayLogin("3PAR-9"), 1);
  EXPECT_EQ(record.selectedArrayId(), "3PAR-1") << "a failed login keeps the selection";

  // The record's own setting wins over the array's; a bad number reads as absent.
  record.setSetting("SMCONFIG_NAME_SMIS_SERVER_PORT", 6000);
  EXPECT_EQ(record.getConfigInt("SMCONFIG_NAME_SMIS_SERVER_PORT", &port), 0);
  EXPECT_EQ(port, 6000);
  port = -1;
  EXPECT_EQ(record.getConfigInt("SMCONFIG_NAME_BROKEN", &port), 1);
  EXPECT_EQ(port, -1);
}

TEST(SnapInfoArrays, ConfigStringOverloadsShareOneContract) {
  SnapInfo record;
  record.setArrayRegistry(registryWithArray());
  ASSERT_EQ(record.setArrayLogin("3PAR-1"), 0);
  const char* name = "SMCONFIG_NAME_VOLUME_LABEL_PREFIX";

  char buffer[1024] = {0};
  uint32_t length32 = 1023;
  EXPECT_EQ(record.getConfigString(name, buffer, &length32), 0);
  EXPECT_STREQ(buffer, "snap_");
  EXPECT_EQ(length32, 5u);

  uint16_t length16 = 5;
  EXPECT_EQ(record.getConfigString(name, buffer, &length16), 2);
  EXPECT_EQ(length16, 6);
  EXPECT_STREQ(buffer, "");

  EXPECT_EQ(record.getConfigString(name, buffer, uint32_t(6)), 0);
  EXPECT_STREQ(buffer, "snap_");
  EXPECT_EQ(record.getConfigString("SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX", buffer, uint32_t(1023)), 1);
  EXPECT_STREQ(buffer, "");
}

TEST(SnapInfoRecord, InquiryDataAndHostFilledValues) {
  SnapInfo record;
  EXPECT_EQ(record.getInquiryData(0), nullptr);
  std::vector<unsigned char> standard(36, 0);
  std::memcpy(&standard[8], "3PARdataVV", 10);
  record.setInquiryData(0, standard);
  const unsigned char* page = record.getInquiryData(0);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(std::memcmp(page + 8, "3PARdataVV", 10), 0);
  for (size_t i = 36; i < SnapInfo::kInquiryBufferSize; ++i) ASSERT_EQ(page[i], 0) << "byte " << i;
  EXPECT_EQ(record.getInquiryData(0x83), nullptr);

  std::string devices, other;
  EXPECT_EQ(record.getPRDMDeviceInfo(devices, other), 0);
  record.setPRDMDeviceInfo("/dev/sdc|/dev/sdd|", "extra");
  EXPECT_EQ(record.getPRDMDeviceInfo(devices, other), 1);
  EXPECT_EQ(devices, "/dev/sdc|/dev/sdd|");
  EXPECT_EQ(other, "extra");

  record.setCopyNumber(7);
  record.setSnapId(4000000000u);
  record.setOperationType(9);
  record.setIdentifyState(2);
  record.setCloneSyncFlag(true);
  record.setArrayName("ARRAY1");
  record.setLunWWN("50002AC0001A2B3C");
  EXPECT_EQ(record.getCopyNumber(), 7u);
  EXPECT_EQ(record.getSnapId(), 4000000000u);
  EXPECT_EQ(record.getOperationType(), 9);
  EXPECT_EQ(record.getIdentifyState(), 2);
  EXPECT_TRUE(record.cloneSyncFlag());
  EXPECT_EQ(record.arrayName(), "ARRAY1");
  EXPECT_EQ(record.lunWWN(), "50002AC0001A2B3C");
}

TEST(SnapInfoRecord, CopiesAreDeepAndIndependent) {
  SnapInfo original;
  original.setMetaData(117, "1");
  original.logMessage(0, "before");
  original.setStatus(TQSO::SS_PREPARED);
  SnapInfo copy(original);
  original.setMetaData(117, "changed");
  original.logMessage(0, "after");
  copy.setStatus(TQSO::SS_SNAPSHOT_CREATED);

  EXPECT_EQ(copy.metaDataText(117), "1");
  EXPECT_EQ(copy.messages().size(), 1u);
  EXPECT_EQ(original.getStatus(), TQSO::SS_PREPARED);

  SnapInfo assigned;
  assigned = original;
  EXPECT_EQ(assigned.metaDataText(117), "changed");
  EXPECT_EQ(assigned.messages().size(), 2u);
}

TEST(SnapInfoRecord, SeveralThreadsOnOneRecordLoseNothing) {
  SnapInfo record;
  record.setArrayRegistry(registryWithArray());
  const int threads = 8, rounds = 500;
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] {
      char buffer[256];
      for (int i = 0; i < rounds; ++i) {
        record.logFormatted(1, "worker", "t%d m%d", t, i);
        record.setMetaData(1000 + t, std::to_string(i).c_str());
        record.setStatus(TQSO::SS_PREPARED);
        record.setArrayLogin("3PAR-1");
        int port = 0;
        EXPECT_EQ(record.getConfigInt("SMCONFIG_NAME_SMIS_SERVER_PORT", &port), 0);
        record.getArrayInfo(buffer, sizeof buffer);
        SnapInfo snapshot(record);
      }
    });
  for (std::thread& w : workers) w.join();
  EXPECT_EQ(record.messages().size(), size_t(threads * rounds));
  EXPECT_EQ(record.statusHistory().size(), size_t(threads * rounds));
  for (int t = 0; t < threads; ++t) EXPECT_EQ(record.metaDataText(1000 + t), std::to_string(rounds - 1));
}

}  // namespace
