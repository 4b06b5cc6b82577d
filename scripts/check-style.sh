#!/usr/bin/env bash
# Checks that every C++ source of the tree follows the root .clang-format; prints the files that do not.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "style: every C++ source follows .clang-format"
