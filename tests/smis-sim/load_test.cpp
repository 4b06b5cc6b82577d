// Size and concurrency: a 10,000-volume array enumerated whole, and 64 clients served at once.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/SimClient.h"

using namespace Pegasus;
using namespace simtest;

namespace {

TEST(LoadTest, TenThousandSeededVolumesAreEnumerated) {
  smissim::SimulatorOptions options;
  options.seedJson = R"({"arrays":[{"serial":"0A0B0C","cpgs":["BULK"],
        "generate":{"count":10000,"prefix":"bulk","cpg":"BULK","sizeBytes":1073741824}}]})";
  smissim::TestServer server(options);
  CIMClient client;
  connectTo(client, server);

  Array<CIMObjectPath> names = client.enumerateInstanceNames(tpd(), "CIM_StorageVolume");
  ASSERT_EQ(10000u, names.size());
  Array<CIMName> list;
  list.append("ElementName");
  list.append("Name");
  Array<CIMInstance> volumes =
      client.enumerateInstances(tpd(), "CIM_StorageVolume", true, false, false, false, CIMPropertyList(list));
  ASSERT_EQ(10000u, volumes.size());
  EXPECT_EQ(String("bulk00001"), propertyText(volumes[0], "ElementName"));
  EXPECT_EQ(String("bulk10000"), propertyText(volumes[9999], "ElementName"));
  EXPECT_EQ(2u, volumes[5000].getPropertyCount()) << "the property list is honoured";
  EXPECT_TRUE(refersToSameObject(volumes[1234].getPath(), names[1234]));
}

// Large answers are written into storage an earlier answer used: each answer is whole, whether the one before
// was larger or smaller, one client after another or several at once, over HTTP and HTTPS.
class LargeAnswerTest : public ::testing::TestWithParam<bool> {};

TEST_P(LargeAnswerTest, AnswersOfEverySizeInTurnAreWhole) {
  smissim::SimulatorOptions options;
  options.https = GetParam();
  options.seedJson = R"({"arrays":[{"serial":"0A0B0C","cpgs":["BULK"],
        "generate":{"count":2000,"prefix":"bulk","cpg":"BULK","sizeBytes":1073741824}}]})";
  smissim::TestServer server(options);
  auto enumerateInTurn = [&](int rounds) {
    try {
      CIMClient client;
      connectTo(client, server);
      for (int round = 0; round < rounds; ++round) {
        Array<CIMInstance> volumes = client.enumerateInstances(tpd(), "CIM_StorageVolume", true, false);
        Array<CIMInstance> systems = client.enumerateInstances(tpd(), "CIM_ComputerSystem", true, false);
        if (volumes.size() != 2000 || propertyText(volumes[1999], "ElementName") != "bulk02000" || systems.size() != 1)
          return false;
      }
      return true;
    } catch (const Exception&) {
      return false;
    }
  };
  EXPECT_TRUE(enumerateInTurn(2));
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t)
    threads.emplace_back([&] {
      if (!enumerateInTurn(2)) ++failures;
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, failures.load());
}

INSTANTIATE_TEST_SUITE_P(OverHttpAndHttps, LargeAnswerTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Https" : "Http"; });

class ConcurrencyTest : public ::testing::TestWithParam<bool> {};

TEST_P(ConcurrencyTest, SixtyFourClientsAreServedWithoutError) {
  smissim::SimulatorOptions options;
  options.https = GetParam();
  smissim::TestServer server(options);
  constexpr int kClients = 64;
  constexpr int kRounds = 10;
  std::atomic<int> failures{0};
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kClients; ++t) {
    threads.emplace_back([&] {
      try {
        CIMClient client;
        connectTo(client, server);
        ++ready;
        while (ready.load() < kClients)
          std::this_thread::yield();  // every client holds its connection before the rounds start
        for (int round = 0; round < kRounds; ++round) {
          Array<CIMObjectPath> volumes = client.enumerateInstanceNames(tpd(), "CIM_StorageVolume");
          CIMInstance volume = client.getInstance(tpd(), volumes[round % volumes.size()], false);
          if (volumes.size() != 4 || propertyText(volume, "ElementName").isEmpty()) ++failures;
        }
      } catch (const Exception&) {
        ++ready;
        ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, failures.load());
  EXPECT_EQ(static_cast<std::uint64_t>(kClients * kRounds), server->requestCount("GetInstance"));
}

INSTANTIATE_TEST_SUITE_P(OverHttpAndHttps, ConcurrencyTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Https" : "Http"; });

}  // namespace
