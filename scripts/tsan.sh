#!/usr/bin/env bash
# Builds the engine's tests, the ones that start worker threads, with ThreadSanitizer in build-tsan and runs
# them in as many shards as there are cores. Address-space randomisation is turned off for the run: the
# sanitizer's fixed memory layout can clash with it on some kernels. Exits non-zero on a data race, a
# lock-order inversion or a failed test; each shard's output goes to build-tsan/tsan-<shard>.log.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tsan"
jobs=$(nproc)

mkdir -p "$build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DTQ_TSAN=ON -DTQ_WERROR=ON \
  -DTQ_BUILD_BENCH=OFF >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" -j "$jobs" --target engine_tests

pids=()
for ((shard = 0; shard < jobs; shard++)); do
  GTEST_TOTAL_SHARDS=$jobs GTEST_SHARD_INDEX=$shard TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan-suppressions.txt" \
    setarch "$(uname -m)" -R "$build/tests/engine/engine_tests" >"$build/tsan-$shard.log" 2>&1 &
  pids+=($!)
done
failed=0
for ((shard = 0; shard < jobs; shard++)); do
  if ! wait "${pids[$shard]}"; then
    tail -n 60 "$build/tsan-$shard.log" >&2
    echo "tsan: shard $shard failed (whole output in $build/tsan-$shard.log)" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "tsan: the engine's tests ran clean under ThreadSanitizer in $jobs shards"
