// What one engine operation pays to reach the array: connect, one small request, disconnect, over HTTP and
// HTTPS against the simulated provider on loopback.
#include <benchmark/benchmark.h>

#include "Pegasus/CIMClient.h"
#include "smis-sim/TestServer.h"

using namespace Pegasus;

namespace {

Boolean acceptAny(SSLCertificateInfo&) { return true; }

smissim::TestServer& array(bool https) {
  static smissim::TestServer plain;
  static smissim::TestServer secure([] {
    smissim::SimulatorOptions options;
    options.https = true;
    return options;
  }());
  return https ? secure : plain;
}

void BM_ConnectAndOneRequest(benchmark::State& state) {
  const bool https = state.range(0) != 0;
  smissim::TestServer& server = array(https);
  const String user(server.user()), password(server.password());
  for (auto _ : state) {
    CIMClient client;
    if (https)
      client.connect(server.host(), static_cast<Uint32>(server.port()), SSLContext("", acceptAny), user, password);
    else
      client.connect(server.host(), static_cast<Uint32>(server.port()), user, password);
    benchmark::DoNotOptimize(client.enumerateInstanceNames(CIMNamespaceName("root/tpd"), "TPD_StorageSystem"));
    client.disconnect();
  }
  state.SetLabel(https ? "https" : "http");
}
BENCHMARK(BM_ConnectAndOneRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
