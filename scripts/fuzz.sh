#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer) in build-fuzz and runs each for the given number
# of seconds (default 30) over its seed corpus: the JSON reader, the CIM-XML response decoder, the
# object-path parser, the engine's parsers of outside text (array-info texts, snapshot metadata, remote-proxy
# fields, stored INQUIRY data, descriptor texts) and the harness's job-file reader. Each fuzzer's output goes
# to build-fuzz/fuzz-<target>.log; the run ends with one summary line. Exits non-zero on a crash, a sanitizer
# report or a violated property; the failing input is kept in build-fuzz/fuzz-artifacts/.
set -euo pipefail
seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

# target, seed corpus, extra libFuzzer options
targets=(
  "fuzz_jsonxx_parse|$root/fuzz/corpus/jsonxx|-dict=$root/fuzz/jsonxx.dict"
  "fuzz_cimxml_response|$root/tests/cimclient/data|"
  "fuzz_object_path|$root/fuzz/corpus/object_path|"
  "fuzz_array_info|$root/fuzz/corpus/array_info|"
  "fuzz_snap_metadata|$root/fuzz/corpus/snap_metadata|"
  "fuzz_remote_command|$root/fuzz/corpus/remote_command|"
  "fuzz_inquiry|$root/fuzz/corpus/inquiry|"
  "fuzz_descriptor|$root/fuzz/corpus/descriptor|"
  "fuzz_job_file|$root/fuzz/corpus/job_file|-dict=$root/fuzz/jsonxx.dict"
)

mkdir -p "$build"
log="$build/fuzz-build.log"
names=()
for entry in "${targets[@]}"; do names+=("${entry%%|*}"); done
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_BENCH=OFF &&
       cmake --build "$build" -j "$(nproc)" --target "${names[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "fuzz: building the fuzz targets failed" >&2
  exit 1
fi

# New inputs go to a scratch directory: the committed seed corpora stay as they are.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/fuzz-artifacts"

summary=()
for entry in "${targets[@]}"; do
  IFS='|' read -r name corpus extra <<<"$entry"
  mkdir -p "$scratch/$name"
  target_log="$build/fuzz-${name#fuzz_}.log"
  # shellcheck disable=SC2086  # extra holds zero or one option
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
       -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/" $extra \
       "$scratch/$name" "$corpus" >"$target_log" 2>&1; then
    tail -n 40 "$target_log" >&2
    echo "fuzz: $name failed (whole output in $target_log)" >&2
    exit 1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$target_log" | tail -n 1)"
  summary+=("${name#fuzz_} ${runs:-?} runs")
done
echo "fuzz: ${seconds} s each, no failure: $(IFS=,; echo "${summary[*]}" | sed 's/,/, /g')"
