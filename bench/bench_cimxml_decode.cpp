// Decoding speed of a large EnumerateInstances answer: 10,000 storage volumes of ~15 properties each.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include "CannedAnswer.h"
#include "Pegasus/CimXml.h"

using namespace Pegasus;

namespace {

const int volumeCount = 10000;

// Peak resident set size of this process in bytes (VmHWM), 0 when unknown.
double peakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 6, "VmHWM:") == 0) return std::stod(line.substr(6)) * 1024.0;
  }
  return 0;
}

// Restarts the peak count so that it covers what follows (Linux: "5" into clear_refs).
void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_DecodeEnumerateInstances(benchmark::State& state) {
  const String xml(bench::enumerateVolumesResponse(volumeCount));
  resetPeakResident();
  size_t decoded = 0;
  for (auto _ : state) {
    const CimXml::Response response = CimXml::decodeResponse(xml);
    decoded = response.instances.size();
    benchmark::DoNotOptimize(decoded);
  }
  if (decoded != volumeCount) state.SkipWithError("wrong instance count");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
  state.counters["document_MB"] = static_cast<double>(xml.size()) / 1e6;
  // Peak while decoding (the document itself included).
  state.counters["peak_rss_MB"] = peakResidentBytes() / 1e6;
}
BENCHMARK(BM_DecodeEnumerateInstances)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
