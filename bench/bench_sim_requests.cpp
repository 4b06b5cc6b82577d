// Requests per second the simulated provider serves to the project's client over loopback, in one process:
// GetInstance of a volume (one and eight clients) and whole enumerations of a 10,000-volume array; and the
// simulator's own CPU for one 10,000-volume EnumerateInstances answer, read raw so no decode is counted.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <ctime>

#include "Pegasus/CIMClient.h"
#include "Pegasus/CimXml.h"
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

double cpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The simulator serves from its own threads: the process's CPU less this thread's is the simulator's.
void BM_SimulatorCpuPerEnumerateInstances10k(benchmark::State& state) {
  smissim::TestServer& server = bulkArray();
  CimXml::Request request;
  request.messageId = "1001";
  request.methodName = "EnumerateInstances";
  request.nameSpace = kNamespace;
  request.params.push_back(CimXml::ParamValue::ofClassName("ClassName", CIMName("TPD_StorageVolume")));
  request.params.push_back(CimXml::ParamValue::ofValue("LocalOnly", CIMValue(false)));
  const std::string body = CimXml::encodeRequest(request).str();
  const httplib::Headers headers = {
      {"CIMOperation", "MethodCall"}, {"CIMMethod", "EnumerateInstances"}, {"CIMObject", "root%2Ftpd"}};
  httplib::Client http(server.host(), server.port());
  http.set_basic_auth(server.user(), server.password());
  http.set_read_timeout(60, 0);
  double serverCpu = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const double process = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID), thread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    httplib::Result answer = http.Post("/cimom", headers, body, "application/xml; charset=utf-8");
    serverCpu += (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process) - (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread);
    if (!answer || answer->status != 200 || answer->body.find("</CIM>") == std::string::npos) {
      state.SkipWithError("no whole answer");
      break;
    }
    bytes = answer->body.size();
  }
  state.counters["sim_cpu_ms"] = serverCpu * 1000 / static_cast<double>(state.iterations());
  state.counters["answer_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_SimulatorCpuPerEnumerateInstances10k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
