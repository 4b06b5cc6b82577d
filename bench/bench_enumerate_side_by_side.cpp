// Our CIM client beside the limit (libcurl + pugixml in place, enumerate_baseline) and sblim-wbemcli (when
// installed) on one canned EnumerateInstances answer served from memory on loopback. Each contestant runs as
// a process of its own, in turn, after one uncounted round; medians and per-round ratios come from this run.
// Usage: bench_enumerate_side_by_side [--volumes N] [--runs N] [--warm N] [--serve 1]
// With "--serve 1" it only serves the answer, printing the port, until its standard input closes (for profiling
// a contestant by hand).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CannedAnswer.h"
#include "CannedAnswerServer.h"
#include "ProcessRun.h"

namespace {

struct Options {
  int volumes = 10000;
  int runs = 5;
  int warmRepeats = 20;
  bool serveOnly = false;
};

struct Contestant {
  Contestant(std::string label, std::vector<std::string> argv, bool canWarm)
      : label(std::move(label)), argv(std::move(argv)), canWarm(canWarm) {}

  std::string label;
  std::vector<std::string> argv;
  bool canWarm = false;
  std::vector<bench::ProcessRun> runs;
  double warmMilliseconds = 0;
};

Options parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--volumes") == 0)
      options.volumes = value;
    else if (std::strcmp(argv[i], "--runs") == 0)
      options.runs = value;
    else if (std::strcmp(argv[i], "--warm") == 0)
      options.warmRepeats = value;
    else if (std::strcmp(argv[i], "--serve") == 0)
      options.serveOnly = true;
    else
      throw std::runtime_error(std::string("unknown option ") + argv[i]);
  }
  return options;
}

// The folder of this program, where the contestants built beside it live.
std::string ownFolder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  std::string text(path, static_cast<std::size_t>(length));
  return text.substr(0, text.rfind('/'));
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double medianOf(const Contestant& contestant, const std::function<double(const bench::ProcessRun&)>& figure) {
  std::vector<double> values;
  for (const bench::ProcessRun& run : contestant.runs) values.push_back(figure(run));
  return median(values);
}

// The median over rounds of a's figure divided by b's.
double medianRatio(const Contestant& a, const Contestant& b,
                   const std::function<double(const bench::ProcessRun&)>& figure) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < a.runs.size() && i < b.runs.size(); ++i)
    ratios.push_back(figure(a.runs[i]) / figure(b.runs[i]));
  return median(ratios);
}

bench::ProcessRun checkedRun(const Contestant& contestant, const std::vector<std::string>& argv) {
  bench::ProcessRun run = bench::runProcess(argv, contestant.canWarm);
  if (run.exitStatus != 0) throw std::runtime_error(contestant.label + " failed (" + argv[0] + ")");
  return run;
}

double warmMilliseconds(const Contestant& contestant, int repeats) {
  std::vector<std::string> argv = contestant.argv;
  argv.push_back("--warm");
  argv.push_back(std::to_string(repeats));
  const std::string output = checkedRun(contestant, argv).output;
  const std::size_t at = output.find("warm_ms ");
  return at == std::string::npos ? 0 : std::atof(output.c_str() + at + 8);
}

void printTable(const std::vector<Contestant>& contestants, std::size_t answerBytes, const Options& options) {
  const double answerMB = static_cast<double>(answerBytes) / 1e6;
  std::printf("EnumerateInstances of %d volumes, answer %.1f MB, %d counted rounds (medians)\n", options.volumes,
              answerMB, options.runs);
  std::printf("| %-34s | wall s | cpu s | peak MB | peak/answer | warm ms |\n", "");
  std::printf("|%s|--------|-------|---------|-------------|---------|\n", std::string(36, '-').c_str());
  for (const Contestant& c : contestants) {
    const double peakMB = medianOf(c, [](const bench::ProcessRun& r) { return r.peakBytes; }) / 1e6;
    std::printf("| %-34s | %6.3f | %5.3f | %7.1f | %10.1fx | ", c.label.c_str(),
                medianOf(c, [](const bench::ProcessRun& r) { return r.wallSeconds; }),
                medianOf(c, [](const bench::ProcessRun& r) { return r.cpuSeconds; }), peakMB, peakMB / answerMB);
    if (c.canWarm)
      std::printf("%7.1f |\n", c.warmMilliseconds);
    else
      std::printf("%7s |\n", "-");
  }
}

void printRatios(const std::vector<Contestant>& contestants) {
  auto wall = [](const bench::ProcessRun& r) { return r.wallSeconds; };
  auto peak = [](const bench::ProcessRun& r) { return r.peakBytes; };
  const Contestant& limit = contestants[0];
  const Contestant& client = contestants[1];
  std::printf("our client / limit: wall %.2fx, peak memory %.2fx, warm %.2fx\n", medianRatio(client, limit, wall),
              medianRatio(client, limit, peak), client.warmMilliseconds / limit.warmMilliseconds);
  if (contestants.size() > 2)
    std::printf("sblim-wbemcli / our client: wall %.2fx, peak memory %.2fx\n",
                medianRatio(contestants[2], client, wall), medianRatio(contestants[2], client, peak));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], bench::kLaunchArgument) == 0) return bench::launchAndReport(argv + 2);
  try {
    const Options options = parseOptions(argc, argv);
    const bench::CannedAnswerServer server(bench::enumerateVolumesResponse(options.volumes, "0"), "0");
    const std::string port = std::to_string(server.port());
    if (options.serveOnly) {
      std::printf("%s\n", port.c_str());
      std::fflush(stdout);
      while (std::getchar() != EOF) {
      }
      return 0;
    }
    const std::string volumes = std::to_string(options.volumes);
    const std::string folder = ownFolder();

    std::vector<Contestant> contestants;
    contestants.emplace_back(
        Contestant{"curl + pugixml in place (the limit)", {folder + "/enumerate_baseline", port, volumes}, true});
    contestants.emplace_back(Contestant{"our client", {folder + "/enumerate_client", port, volumes}, true});
    const std::string wbemcli = bench::findInPath("wbemcli");
    if (!wbemcli.empty())
      contestants.emplace_back(
          Contestant{"sblim-wbemcli ei",
                     {wbemcli, "-noverify", "ei", "http://127.0.0.1:" + port + "/root/tpd:TPD_StorageVolume"},
                     false});
    else
      std::printf("(sblim-wbemcli is not installed: left out)\n");

    for (int round = 0; round <= options.runs; ++round)
      for (Contestant& contestant : contestants) {
        bench::ProcessRun run = checkedRun(contestant, contestant.argv);
        if (round > 0) contestant.runs.push_back(run);  // round 0 warms caches and is not counted
      }
    for (Contestant& contestant : contestants)
      if (contestant.canWarm) contestant.warmMilliseconds = warmMilliseconds(contestant, options.warmRepeats);

    printTable(contestants, server.answerBytes(), options);
    printRatios(contestants);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_enumerate_side_by_side: %s\n", e.what());
    return 1;
  }
}
