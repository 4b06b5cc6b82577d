#!/usr/bin/env bash
# Installs a build (default: build/) into a temporary prefix and checks what an agent's build takes from it:
# `tqso demo` run from the prefix loads the installed engine, and a small agent built with find_package(tqso)
# (as C++14, which the package raises to C++17) links the engine and sends its log to a file, and another loads
# it with dlopen. The prefix is removed afterwards.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/install.log"
engine="$(readlink -f "$prefix/lib/libtqsoengine.so.1")"

"$prefix/bin/tqso" demo >"$work/demo.txt" || { cat "$work/demo.txt" >&2; echo "install: tqso demo failed" >&2; exit 1; }
if ! grep -qxF "engine $engine" "$work/demo.txt"; then
  grep "^engine " "$work/demo.txt" >&2 || true
  echo "install: the installed tqso did not load the installed engine $engine" >&2
  exit 1
fi

cmake -S "$root/tests/install-consumer" -B "$work/agent" -DCMAKE_PREFIX_PATH="$prefix" >"$work/agent.log"
cmake --build "$work/agent" >>"$work/agent.log" || { cat "$work/agent.log" >&2; exit 1; }
"$work/agent/linked_agent" "$work/engine.log"
"$work/agent/loading_agent"
echo "install: tqso demo ran from the installed prefix on the installed engine; an agent built with" \
  "find_package(tqso) links and loads it"
