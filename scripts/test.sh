#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs the whole test suite twice:
# once in a normal build and once under AddressSanitizer and UndefinedBehaviorSanitizer,
# with a short fuzzing run of the JSON parser in between.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

# A short run of the JSON parser fuzzer (clang, libFuzzer, AddressSanitizer).
bash scripts/fuzz-jsonxx.sh 30

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTQ_SANITIZE=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs" --timeout 900)
