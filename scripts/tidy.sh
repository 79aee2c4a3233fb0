#!/usr/bin/env bash
# clang-tidy over src/ with the checks of .clang-tidy; any finding fails. Takes a configured build directory with
# compile_commands.json (default build-clang) whose generated files exist, i.e. one that has been built.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-clang}
run-clang-tidy -quiet -j "$(nproc)" -p "$dir" "$PWD/src/"
echo "clang-tidy: keine Befunde."
