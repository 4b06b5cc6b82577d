#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs the whole test suite twice:
# once in a normal build and once under AddressSanitizer and UndefinedBehaviorSanitizer,
# with a short fuzzing run of every parser of outside text and the engine's tests (the ones that start
# worker threads) under ThreadSanitizer in between. The CI builds treat compiler warnings as errors; the
# code style is checked first. The normal build is also installed into a temporary prefix and run from there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-style.sh
jobs=$(nproc)

# Line tables only (-g1): sanitizer reports and backtraces keep their file and line, and the builds take about a
# quarter less time than with full debug information.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DTQ_WERROR=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

# The install an agent's build takes: `tqso demo` from a temporary prefix, and find_package(tqso).
bash scripts/test-install.sh build

# The transport-free libraries and their tests on the engine's platform: ppc64, big-endian, under qemu-ppc64.
bash scripts/test-ppc64.sh

# Short runs of the fuzzers (clang, libFuzzer, AddressSanitizer); their output goes to build-fuzz/*.log.
bash scripts/fuzz.sh 15

bash scripts/tsan.sh

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTQ_SANITIZE=ON -DTQ_WERROR=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs" --timeout 900)
