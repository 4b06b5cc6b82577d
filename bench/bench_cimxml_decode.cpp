// Decoding speed of a large EnumerateInstances answer: 10,000 storage volumes of ~15 properties each.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include "Pegasus/CimXml.h"

using namespace Pegasus;

namespace {

const int volumeCount = 10000;

CIMInstance storageVolume(int index)
{
    const std::string id = std::to_string(index);
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding("CreationClassName", "TPD_StorageVolume", CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding("DeviceID", String(id), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding("SystemCreationClassName", "TPD_StorageSystem", CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding("SystemName", "CLUSTER1-1234567", CIMKeyBinding::STRING));

    CIMInstance volume(CIMName("TPD_StorageVolume"));
    for (const CIMKeyBinding& key : keys) volume.addProperty(CIMProperty(key.getName(), CIMValue(key.getValue())));
    volume.addProperty(CIMProperty("ElementName", CIMValue(String("vol-" + id))));
    volume.addProperty(CIMProperty("Name", CIMValue(String("60002AC00000000000000" + id + "00001234"))));
    volume.addProperty(CIMProperty("NameFormat", CIMValue(Uint16(2))));
    volume.addProperty(CIMProperty("BlockSize", CIMValue(Uint64(512))));
    volume.addProperty(CIMProperty("NumberOfBlocks", CIMValue(Uint64(2097152 + index))));
    volume.addProperty(CIMProperty("ConsumableBlocks", CIMValue(Uint64(2097152))));
    volume.addProperty(CIMProperty("OperationalStatus", CIMValue(Array<Uint16>({2}))));
    volume.addProperty(CIMProperty("StatusDescriptions", CIMValue(Array<String>({"OK"}))));
    volume.addProperty(CIMProperty("HealthState", CIMValue(Uint16(5))));
    volume.addProperty(CIMProperty("ThinlyProvisioned", CIMValue(index % 2 == 0)));
    volume.addProperty(CIMProperty("Primordial", CIMValue(false)));
    volume.addProperty(CIMProperty("Caption", CIMValue(String("Virtual volume <" + id + "> & copy"))));
    volume.setPath(CIMObjectPath(String(), CIMNamespaceName(), volume.getClassName(), keys));
    return volume;
}

std::string enumerateResponse()
{
    CimXml::Response response;
    response.messageId = "1001";
    response.methodName = "EnumerateInstances";
    response.returnKind = CimXml::Response::NAMED_INSTANCES;
    response.instances.reserve(volumeCount);
    for (int i = 0; i < volumeCount; ++i) response.instances.push_back(storageVolume(i));
    return CimXml::encodeResponse(response).str();
}

// Peak resident set size of this process in bytes (VmHWM), 0 when unknown.
double peakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmHWM:") == 0) return std::stod(line.substr(6)) * 1024.0;
    }
    return 0;
}

// Restarts the peak count so that it covers what follows (Linux: "5" into clear_refs).
void resetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_DecodeEnumerateInstances(benchmark::State& state)
{
    const String xml(enumerateResponse());
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
