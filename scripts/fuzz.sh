#!/usr/bin/env bash
# Builds the JSON reader's libFuzzer target with clang (AddressSanitizer) in build-fuzz and runs it
# for the given number of seconds (default 60) over the seed corpus. Exits non-zero on a crash,
# a sanitizer report or a violated property; the failing input is kept in build-fuzz/fuzz-artifacts/.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

mkdir -p "$build"
log="$build/fuzz-jsonxx-build.log"
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_BENCH=OFF &&
       cmake --build "$build" -j "$(nproc)" --target fuzz_jsonxx_parse; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "fuzz-jsonxx: building the fuzz target failed" >&2
  exit 1
fi

# New inputs go to a scratch directory: the committed seed corpus stays as it is.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/fuzz-artifacts"

"$build/fuzz/fuzz_jsonxx_parse" \
  -max_total_time="$seconds" \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -max_len=8192 \
  -print_final_stats=1 \
  -dict="$root/fuzz/jsonxx.dict" \
  -artifact_prefix="$build/fuzz-artifacts/" \
  "$scratch" "$root/fuzz/corpus/jsonxx"
