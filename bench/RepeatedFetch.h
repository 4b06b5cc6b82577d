// The shared main of the side-by-side contestants: one fetch-and-read (a one-shot process), or with
// "--warm N" N of them in one process, printing the median milliseconds of one as "warm_ms <value>".
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace bench {

// `fetchAndRead` does one whole enumeration and returns how many objects it read; `expected` is checked.
inline int runFetches(int argc, char** argv, std::size_t expected, const std::function<std::size_t()>& fetchAndRead) {
  int repeats = 1;
  bool warm = argc >= 5 && std::strcmp(argv[3], "--warm") == 0;
  if (warm) repeats = std::max(1, std::atoi(argv[4]));
  std::vector<double> milliseconds;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::size_t read = fetchAndRead();
    milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (read != expected) {
      std::fprintf(stderr, "read %zu objects, expected %zu\n", read, expected);
      return 1;
    }
  }
  if (warm) {
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("warm_ms %.3f\n", milliseconds[milliseconds.size() / 2]);
  }
  return 0;
}

}  // namespace bench
