// Requests per second the simulated provider serves to the project's client over loopback, in one process:
// GetInstance of a volume (one and eight clients) and whole enumerations of a 10,000-volume array.
#include <benchmark/benchmark.h>

#include "Pegasus/CIMClient.h"
#include "smis-sim/TestServer.h"

using namespace Pegasus;

namespace {

const CIMNamespaceName kNamespace("root/tpd");

smissim::TestServer& smallArray() {
  static smissim::TestServer server;
  return server;
}

smissim::TestServer& bulkArray() {
  static smissim::TestServer server([] {
    smissim::SimulatorOptions options;
    options.seedJson = R"({"arrays":[{"serial":"0B0B0B","cpgs":["BULK"],
            "generate":{"count":10000,"prefix":"bulk","cpg":"BULK","sizeBytes":1073741824}}]})";
    return options;
  }());
  return server;
}

void connect(CIMClient& client, smissim::TestServer& server) {
  client.connect(server.host(), static_cast<Uint32>(server.port()), String(server.user()), String(server.password()));
}

void BM_GetInstance(benchmark::State& state) {
  smissim::TestServer& server = smallArray();
  CIMClient client;
  connect(client, server);
  CIMObjectPath volume = client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume")[0];
  for (auto _ : state) benchmark::DoNotOptimize(client.getInstance(kNamespace, volume, false));
  state.SetItemsProcessed(state.iterations());
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetInstance)->Threads(1)->Threads(8)->UseRealTime();

void BM_EnumerateInstances10k(benchmark::State& state) {
  smissim::TestServer& server = bulkArray();
  CIMClient client;
  connect(client, server);
  for (auto _ : state) {
    Array<CIMInstance> volumes = client.enumerateInstances(kNamespace, "CIM_StorageVolume", true, false);
    if (volumes.size() != 10000) state.SkipWithError("wrong volume count");
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EnumerateInstances10k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EnumerateInstanceNames10k(benchmark::State& state) {
  smissim::TestServer& server = bulkArray();
  CIMClient client;
  connect(client, server);
  for (auto _ : state) benchmark::DoNotOptimize(client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"));
  state.SetItemsProcessed(state.iterations() * 10000);
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EnumerateInstanceNames10k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
